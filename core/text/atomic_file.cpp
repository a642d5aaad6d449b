#include "text/atomic_file.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <random>
#include <system_error>

#include <unistd.h>

#include "text/error.h"

namespace quarvel {

namespace {

std::string temporaryNameBeside(const std::string& target) {
    const std::filesystem::path path(target);
    std::random_device seed;
    const auto tag = std::to_string(::getpid()) + "-" + std::to_string(seed() % 1000000u);
    // Appended piece by piece: GCC 12 warns falsely on a chain of string additions.
    std::string name = ".";
    name += path.filename().string();
    name += ".";
    name += tag;
    name += ".part";
    const std::filesystem::path temp = path.parent_path() / name;
    return temp.string();
}

}  // namespace

AtomicFile::AtomicFile(std::string targetPath) : target_(std::move(targetPath)) {
    if (target_.empty()) throw IoError(target_, "no file name given");
    if (std::filesystem::is_directory(target_)) throw IoError(target_, "is a folder");
    temp_ = temporaryNameBeside(target_);
    out_.open(temp_, std::ios::binary | std::ios::trunc);
    if (!out_) {
        const std::string reason = std::strerror(errno);
        throw IoError(target_, "cannot create file: " + reason);
    }
}

AtomicFile::~AtomicFile() {
    if (!done_) discard();
}

void AtomicFile::commit() {
    out_.flush();
    const bool writeFailed = out_.fail();
    out_.close();
    if (writeFailed || out_.fail()) {
        const std::string reason = errno != 0 ? std::strerror(errno) : "write failed";
        discard();
        throw IoError(target_, "cannot write file: " + reason);
    }
    std::error_code ec;
    std::filesystem::rename(temp_, target_, ec);
    if (ec) {
        discard();
        throw IoError(target_, "cannot replace file: " + ec.message());
    }
    done_ = true;
}

void AtomicFile::discard() {
    if (out_.is_open()) out_.close();
    std::error_code ignored;
    std::filesystem::remove(temp_, ignored);
    done_ = true;
}

}  // namespace quarvel
