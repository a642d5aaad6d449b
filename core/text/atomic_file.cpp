#include "text/atomic_file.h"

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <random>
#include <streambuf>
#include <system_error>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "text/error.h"

namespace quarvel {

namespace {

namespace fs = std::filesystem;

// As many links as the system itself follows before it reports a loop.
constexpr int kMaxLinkDepth = 40;
// Writers whose temporary files a signal handler can still remove; more at once are rare.
constexpr int kSignalSlots = 16;
constexpr std::size_t kSlotBytes = PATH_MAX;

char gSlotPaths[kSignalSlots][kSlotBytes];
std::atomic<bool> gSlotTaken[kSignalSlots];
std::atomic<bool> gSlotLive[kSignalSlots];

// Keeps `path` where a signal handler can find it; -1 when every slot is taken.
int registerTemporary(const std::string& path) {
    if (path.size() >= kSlotBytes) return -1;
    for (int slot = 0; slot < kSignalSlots; ++slot) {
        bool expected = false;
        if (!gSlotTaken[slot].compare_exchange_strong(expected, true)) continue;
        std::memcpy(gSlotPaths[slot], path.c_str(), path.size() + 1);
        gSlotLive[slot].store(true, std::memory_order_release);
        return slot;
    }
    return -1;
}

void unregisterTemporary(int slot) {
    if (slot < 0) return;
    gSlotLive[slot].store(false, std::memory_order_release);
    gSlotTaken[slot].store(false, std::memory_order_release);
}

// The system's text for a failed call, in the words the user needs.
std::string reasonFor(int code) {
    if (code == ENOSPC) return "no space left on device";
    if (code == EDQUOT) return "disk quota exceeded";
    return std::strerror(code);
}

// "." NAME "." PID "-" RAND ".part", with NAME cut short so that the whole stays within
// the system's limit for one file name.
std::string temporaryNameBeside(const std::string& target) {
    const fs::path path(target);
    std::random_device seed;
    const auto tag = std::to_string(::getpid()) + "-" + std::to_string(seed() % 1000000u);
    std::string base = path.filename().string();
    const std::size_t fixed = 1 + 1 + tag.size() + 5;
    if (base.size() + fixed > NAME_MAX) base.resize(NAME_MAX - fixed);
    // Appended piece by piece: GCC 12 warns falsely on a chain of string additions.
    std::string name = ".";
    name += base;
    name += ".";
    name += tag;
    name += ".part";
    return (path.parent_path() / name).string();
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
void copyIdentity(const struct stat& old, int fd, const std::string& target) {
    if (::fchmod(fd, old.st_mode & 07777) != 0) {
        const int code = errno;
        throw IoError(target, "cannot set permissions: " + reasonFor(code));
    }
    // Only the superuser may give a file away; anyone else keeps their own ownership.
    if (::fchown(fd, old.st_uid, old.st_gid) != 0 && errno != EPERM) {
        const int code = errno;
        throw IoError(target, "cannot set owner: " + reasonFor(code));
    }
}

// Devices and pipes cannot be synced; that is no failure of the write.
bool syncFailed(int fd) {
    if (::fsync(fd) == 0) return false;
    return errno != EINVAL && errno != EROFS;
}

// The rename is only durable once the folder's entry is on disk too.
void syncFolderOf(const std::string& path) {
    const fs::path parent = fs::path(path).parent_path();
    const std::string folder = parent.empty() ? "." : parent.string();
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

}  // namespace

// Output straight to a descriptor, keeping the errno of the first failing write.
class AtomicFile::Buffer final : public std::streambuf {
public:
    explicit Buffer(int fd) : fd_(fd), space_(1 << 16) {
        setp(space_.data(), space_.data() + space_.size());
    }
    int error() const { return error_; }
    bool flushAll() { return drain() && error_ == 0; }

protected:
    int_type overflow(int_type ch) override {
        if (!drain()) return traits_type::eof();
        if (!traits_type::eq_int_type(ch, traits_type::eof())) {
            *pptr() = traits_type::to_char_type(ch);
            pbump(1);
        }
        return traits_type::not_eof(ch);
    }
    int sync() override { return drain() ? 0 : -1; }
    // Blocks of at least the buffer's size go to the descriptor as they are, uncopied.
    std::streamsize xsputn(const char* text, std::streamsize count) override {
        if (static_cast<std::size_t>(count) < space_.size())
            return std::streambuf::xsputn(text, count);
        if (!drain() || !writeAll(text, static_cast<std::size_t>(count))) return 0;
        return count;
    }
    // Some writers patch a header after the body (TIFF): positions are the descriptor's.
    pos_type seekoff(off_type off, std::ios_base::seekdir dir, std::ios_base::openmode) override {
        if (!drain()) return pos_type(off_type(-1));
        const int whence = dir == std::ios_base::beg   ? SEEK_SET
                           : dir == std::ios_base::cur ? SEEK_CUR
                                                       : SEEK_END;
        return pos_type(off_type(::lseek(fd_, off, whence)));
    }
    pos_type seekpos(pos_type pos, std::ios_base::openmode which) override {
        return seekoff(off_type(pos), std::ios_base::beg, which);
    }

private:
    bool drain() {
        writeAll(pbase(), static_cast<std::size_t>(pptr() - pbase()));
        setp(space_.data(), space_.data() + space_.size());
        return error_ == 0;
    }
    bool writeAll(const char* at, std::size_t count) {
        const char* const end = at + count;
        while (at < end && error_ == 0) {
            const ssize_t wrote = ::write(fd_, at, static_cast<std::size_t>(end - at));
            if (wrote < 0 && errno == EINTR) continue;
            if (wrote <= 0) {
                error_ = wrote < 0 ? errno : EIO;
                break;
            }
            at += wrote;
            startWriteback(static_cast<std::size_t>(wrote));
        }
        return error_ == 0;
    }
    // Every few megabytes, asks the system to start putting what was written on the disk
    // (without waiting for it), then waits for what was handed over a step earlier and
    // drops that from the cache: the disk works while the rest is being made, the sync
    // on commit waits only for the last part, and a file of gigabytes does not push
    // everything else out of memory. Only hints: nothing fails by them.
    void startWriteback(std::size_t wrote) {
#if defined(__linux__)
        written_ += wrote;
        if (written_ - started_ < kWritebackStep) return;
        const auto offset = [](std::uint64_t at) { return static_cast<off64_t>(at); };
        (void)::sync_file_range(fd_, offset(started_), offset(written_ - started_),
                                SYNC_FILE_RANGE_WRITE);
        // A length of 0 would mean the rest of the file.
        if (started_ > settled_ + kWritebackStep) {
            const std::uint64_t until = started_ - kWritebackStep;
            (void)::sync_file_range(
                fd_, offset(settled_), offset(until - settled_),
                SYNC_FILE_RANGE_WAIT_BEFORE | SYNC_FILE_RANGE_WRITE | SYNC_FILE_RANGE_WAIT_AFTER);
            (void)::posix_fadvise(fd_, offset(settled_), offset(until - settled_),
                                  POSIX_FADV_DONTNEED);
            settled_ = until;
        }
        started_ = written_;
#else
        (void)wrote;
#endif
    }

    static constexpr std::size_t kWritebackStep = 8 << 20;
    int fd_;
    std::vector<char> space_;
    int error_ = 0;
    // Bytes written; those handed to the disk; those on it and dropped from the cache.
    std::uint64_t written_ = 0, started_ = 0, settled_ = 0;
};

AtomicFile::AtomicFile(std::string targetPath) : target_(std::move(targetPath)) {
    if (target_.empty()) throw IoError(target_, "no file name given");
    final_ = followLinks(target_);
    struct stat existing {};
    const bool exists = ::stat(final_.c_str(), &existing) == 0;
    if (exists && S_ISDIR(existing.st_mode)) throw IoError(target_, "is a folder");
    if (exists && !S_ISREG(existing.st_mode))
        openInPlace();
    else
        openTemporary();
    buffer_ = std::make_unique<Buffer>(fd_);
    out_ = std::make_unique<std::ostream>(buffer_.get());
    if (!exists || temp_.empty()) return;
    // Before any text is written, so a private file's text is never readable by others.
    try {
        copyIdentity(existing, fd_, target_);
    } catch (...) {
        discard();
        throw;
    }
}

void AtomicFile::openTemporary() {
    for (int attempt = 0; attempt < 8; ++attempt) {
        temp_ = temporaryNameBeside(final_);
        // Known to a signal handler before the file exists, so no moment leaves it behind.
        slot_ = registerTemporary(temp_);
        fd_ = ::open(temp_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd_ >= 0) return;
        const int code = errno;
        unregisterTemporary(slot_);
        slot_ = -1;
        if (code != EEXIST) {
            temp_.clear();
            done_ = true;
            throw IoError(target_, "cannot create file: " + reasonFor(code));
        }
    }
    temp_.clear();
    done_ = true;
    throw IoError(target_, "cannot create a temporary file beside it");
}

void AtomicFile::openInPlace() {
    fd_ = ::open(final_.c_str(), O_WRONLY | O_NOCTTY | O_CLOEXEC);
    if (fd_ < 0) {
        const int code = errno;
        done_ = true;
        throw IoError(target_, "cannot open for writing: " + reasonFor(code));
    }
}

AtomicFile::~AtomicFile() {
    if (!done_) discard();
}

void AtomicFile::commit() {
    out_->flush();
    int code = buffer_->flushAll() ? 0 : buffer_->error();
    if (code == 0 && syncFailed(fd_)) code = errno;
    if (::close(fd_) != 0 && code == 0) code = errno;
    fd_ = -1;
    if (code != 0) {
        discard();
        throw IoError(target_, "cannot write file: " + reasonFor(code));
    }
    if (!temp_.empty()) {
        if (::rename(temp_.c_str(), final_.c_str()) != 0) {
            code = errno;
            discard();
            throw IoError(target_, "cannot replace file: " + reasonFor(code));
        }
        syncFolderOf(final_);
    }
    unregisterTemporary(slot_);
    slot_ = -1;
    done_ = true;
}

void AtomicFile::discard() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
    if (!temp_.empty()) ::unlink(temp_.c_str());
    unregisterTemporary(slot_);
    slot_ = -1;
    done_ = true;
}

void AtomicFile::removeTemporariesForSignal() noexcept {
    for (int slot = 0; slot < kSignalSlots; ++slot)
        if (gSlotLive[slot].load(std::memory_order_acquire)) ::unlink(gSlotPaths[slot]);
}

}  // namespace quarvel
