#pragma once
// Opening a file that is read whole into memory. Only plain files are read: a device or
// a named pipe can be endless or never answer, and a file larger than any input we can
// process is refused before a byte of it is held.
#include <cstddef>
#include <cstdint>
#include <string>

namespace quarvel {

// The largest input file read: 2 GiB.
inline constexpr std::uint64_t kMaxInputFileBytes = std::uint64_t{2} << 30;

class InputFile {
public:
    // Throws IoError (path, reason) for a missing file, a folder, anything that is not a
    // plain file, or a file larger than kMaxInputFileBytes. Never blocks on a pipe.
    explicit InputFile(std::string path);
    ~InputFile();
    InputFile(const InputFile&) = delete;
    InputFile& operator=(const InputFile&) = delete;

    // The size when opened; the file may change while it is read.
    std::uint64_t size() const { return size_; }
    // Reads up to `count` bytes; 0 at the end. Throws IoError for a read error, or when
    // the file has grown past kMaxInputFileBytes.
    std::size_t read(char* into, std::size_t count);

private:
    std::string path_;
    int fd_ = -1;
    std::uint64_t size_ = 0;
    std::uint64_t readSoFar_ = 0;
};

}  // namespace quarvel
