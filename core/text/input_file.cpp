#include "text/input_file.h"

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "text/error.h"

namespace quarvel {

namespace {

std::string tooLargeText() {
    return "file is larger than " + std::to_string(kMaxInputFileBytes >> 30) +
           " GiB, too large to read";
}

}  // namespace

InputFile::InputFile(std::string path) : path_(std::move(path)) {
    // Non-blocking, so that opening a pipe with no writer returns at once; the type is
    // checked on what was opened, not on a name that may have changed.
    fd_ = ::open(path_.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd_ < 0) {
        const int code = errno;
        if (code == ENOENT) throw IoError(path_, "no such file");
        throw IoError(path_, std::string("cannot open file: ") + std::strerror(code));
    }
    struct stat info {};
    if (::fstat(fd_, &info) != 0) {
        const int code = errno;
        ::close(fd_);
        throw IoError(path_, std::string("cannot read file: ") + std::strerror(code));
    }
    const char* refusal = nullptr;
    if (S_ISDIR(info.st_mode))
        refusal = "is a folder";
    else if (!S_ISREG(info.st_mode))
        refusal = "is not a plain file (a device or a pipe); only files can be read";
    if (refusal != nullptr) {
        ::close(fd_);
        throw IoError(path_, refusal);
    }
    if (static_cast<std::uint64_t>(info.st_size) > kMaxInputFileBytes) {
        ::close(fd_);
        throw IoError(path_, tooLargeText());
    }
    size_ = static_cast<std::uint64_t>(info.st_size);
}

InputFile::~InputFile() { ::close(fd_); }

std::size_t InputFile::read(char* into, std::size_t count) {
    while (true) {
        const ssize_t got = ::read(fd_, into, count);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) {
            const int code = errno;
            throw IoError(path_, std::string("cannot read file: ") + std::strerror(code));
        }
        readSoFar_ += static_cast<std::uint64_t>(got);
        if (readSoFar_ > kMaxInputFileBytes) throw IoError(path_, tooLargeText());
        return static_cast<std::size_t>(got);
    }
}

}  // namespace quarvel
