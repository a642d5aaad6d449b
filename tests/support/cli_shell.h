#pragma once
// Running the built command-line program from a test through a shell line, with its
// exit status and everything it printed.
#include <sys/wait.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace quarvel::test {

struct ShellResult {
    int status = -1;  // exit status; -1 when the line did not exit normally
    std::string output;
};

// Runs `line` with the command-line program as $CLI; stderr is joined to the output.
inline ShellResult runShell(const std::string& line) {
    ShellResult result;
    const std::string command = "CLI='" + std::string(QUARVEL_CLI_PATH) + "'; " + line + " 2>&1";
    FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe) return result;
    std::array<char, 4096> buffer{};
    std::size_t n = 0;
    while ((n = std::fread(buffer.data(), 1, buffer.size(), pipe)) > 0)
        result.output.append(buffer.data(), n);
    const int raw = ::pclose(pipe);
    result.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    return result;
}

inline std::string readFileText(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

}  // namespace quarvel::test
