#include "output_checks.h"

#include <cerrno>
#include <cstring>
#include <filesystem>

#include <sys/stat.h>
#include <unistd.h>

#include "text/error.h"

namespace quarvel::cli {

namespace {

std::vector<std::string> gInputs;

bool sameFile(const struct stat& a, const struct stat& b) {
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

void refuseOutputOverInput(const std::vector<std::string>& inputs, const std::string& output,
                           const struct stat& target) {
    for (const std::string& input : inputs) {
        struct stat source {};
        if (::stat(input.c_str(), &source) == 0 && sameFile(source, target))
            throw InvalidInput(output + ": the output is the input file " + input +
                               "; choose another output file");
    }
}

void requireWritable(const std::string& path, const std::string& output, const char* what) {
    if (::access(path.c_str(), W_OK) == 0) return;
    const int code = errno;
    throw IoError(output, std::string("cannot write ") + what + ": " + std::strerror(code));
}

// The folder the output goes to (its links followed by stat): it must exist, be a folder
// and take new files, since the output is written beside the target and renamed.
void requireOutputFolder(const std::string& output) {
    const std::filesystem::path parent = std::filesystem::path(output).parent_path();
    const std::string folder = parent.empty() ? "." : parent.string();
    struct stat info {};
    if (::stat(folder.c_str(), &info) != 0) {
        const int code = errno;
        throw IoError(output, "cannot write to folder " + folder + ": " + std::strerror(code));
    }
    if (!S_ISDIR(info.st_mode)) throw IoError(output, folder + " is not a folder");
    requireWritable(folder, output, "to the folder");
}

}  // namespace

void checkJobFiles(const std::vector<std::string>& inputs, const std::string& output) {
    gInputs = inputs;
    if (output.empty()) return;
    struct stat target {};
    if (::stat(output.c_str(), &target) != 0) {
        requireOutputFolder(output);
        return;
    }
    refuseOutputOverInput(inputs, output, target);
    if (S_ISDIR(target.st_mode)) throw IoError(output, "is a folder");
    if (!S_ISREG(target.st_mode)) {
        requireWritable(output, output, "the file");
        return;
    }
    // A link is replaced where it points, so the folder that counts is the file's own.
    std::error_code ec;
    const std::filesystem::path real = std::filesystem::canonical(output, ec);
    requireOutputFolder(ec ? output : real.string());
}

std::string jobInputsText() {
    std::string text;
    for (const std::string& input : gInputs) {
        if (!text.empty()) text += ", ";
        text += input;
    }
    return text;
}

}  // namespace quarvel::cli
