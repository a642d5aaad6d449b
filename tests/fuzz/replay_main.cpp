// Replays saved inputs through a fuzz target without mutation: every file of every folder
// (or file) named on the command line, in name order. Used by ctest, so that each seed
// and each saved reproducer is checked on every build, sanitizers included.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

void replayFile(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    const std::vector<char> bytes{std::istreambuf_iterator<char>(in), {}};
    LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
}

}  // namespace

int main(int argc, char** argv) {
    std::size_t count = 0;
    for (int i = 1; i < argc; ++i) {
        const std::filesystem::path where(argv[i]);
        if (!std::filesystem::exists(where)) continue;  // no reproducers saved yet
        std::vector<std::filesystem::path> files;
        if (std::filesystem::is_directory(where)) {
            for (const auto& entry : std::filesystem::directory_iterator(where))
                if (entry.is_regular_file()) files.push_back(entry.path());
        } else {
            files.push_back(where);
        }
        std::sort(files.begin(), files.end());
        for (const auto& file : files) {
            replayFile(file);
            ++count;
        }
    }
    std::cout << count << " inputs replayed\n";
    return count > 0 ? 0 : 1;
}
