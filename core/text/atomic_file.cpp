#include "text/atomic_file.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <random>
#include <system_error>

#include <sys/stat.h>
#include <unistd.h>

#include "text/error.h"

namespace quarvel {

namespace {

namespace fs = std::filesystem;

// As many links as the system itself follows before it reports a loop.
constexpr int kMaxLinkDepth = 40;

std::string temporaryNameBeside(const std::string& target) {
    const fs::path path(target);
    std::random_device seed;
    const auto tag = std::to_string(::getpid()) + "-" + std::to_string(seed() % 1000000u);
    // Appended piece by piece: GCC 12 warns falsely on a chain of string additions.
    std::string name = ".";
    name += path.filename().string();
    name += ".";
    name += tag;
    name += ".part";
    const fs::path temp = path.parent_path() / name;
    return temp.string();
}

// The file a write to `target` lands in: every symbolic link followed, relative links
// taken from their own folder. A dangling link gives the path it names.
std::string followLinks(const std::string& target) {
    fs::path path(target);
    for (int depth = 0; depth < kMaxLinkDepth; ++depth) {
        std::error_code ec;
        if (!fs::is_symlink(fs::symlink_status(path, ec))) return path.string();
        const fs::path next = fs::read_symlink(path, ec);
        if (ec) throw IoError(target, "cannot read link: " + ec.message());
        path = next.is_absolute() ? next : path.parent_path() / next;
    }
    throw IoError(target, "too many levels of symbolic links");
}

// Gives the new file the old one's permission bits and, where allowed, its owner and
// group. A new file keeps the mode the umask gave it.
void copyIdentity(const std::string& from, const std::string& to, const std::string& target) {
    struct stat old {};
    if (::stat(from.c_str(), &old) != 0) return;
    if (::chmod(to.c_str(), old.st_mode & 07777) != 0) {
        const std::string reason = std::strerror(errno);
        throw IoError(target, "cannot set permissions: " + reason);
    }
    // Only the superuser may give a file away; anyone else keeps their own ownership.
    if (::chown(to.c_str(), old.st_uid, old.st_gid) != 0 && errno != EPERM) {
        const std::string reason = std::strerror(errno);
        throw IoError(target, "cannot set owner: " + reason);
    }
}

}  // namespace

AtomicFile::AtomicFile(std::string targetPath) : target_(std::move(targetPath)) {
    if (target_.empty()) throw IoError(target_, "no file name given");
    final_ = followLinks(target_);
    if (fs::is_directory(final_)) throw IoError(target_, "is a folder");
    temp_ = temporaryNameBeside(final_);
    out_.open(temp_, std::ios::binary | std::ios::trunc);
    if (!out_) {
        const std::string reason = std::strerror(errno);
        throw IoError(target_, "cannot create file: " + reason);
    }
    // Before any text is written, so a private file's text is never readable by others.
    try {
        copyIdentity(final_, temp_, target_);
    } catch (...) {
        discard();
        throw;
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
    fs::rename(temp_, final_, ec);
    if (ec) {
        discard();
        throw IoError(target_, "cannot replace file: " + ec.message());
    }
    done_ = true;
}

void AtomicFile::discard() {
    if (out_.is_open()) out_.close();
    std::error_code ignored;
    fs::remove(temp_, ignored);
    done_ = true;
}

}  // namespace quarvel
