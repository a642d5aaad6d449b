#pragma once
// Writes a file so that the user's old file is never replaced by a partial one: the text
// goes to a temporary file in the same folder, which is flushed to disk and renamed over
// the target only when commit() succeeds. Destroying an uncommitted writer removes the
// temporary file.
// Replacing keeps the file's identity: a symbolic link (or a chain of them) is followed and
// the file it names is replaced, and an existing file's permission bits, and its owner
// where the system allows, pass to the new file. An existing target that is not a plain
// file (a device, a named pipe) cannot be replaced by a rename and is written in place.
#include <memory>
#include <ostream>
#include <string>

namespace quarvel {

class AtomicFile {
public:
    // Opens the temporary file (or the device) for binary output. Throws IoError when it
    // cannot.
    explicit AtomicFile(std::string targetPath);
    ~AtomicFile();
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;

    std::ostream& stream() { return *out_; }
    // The path as given, used in messages.
    const std::string& targetPath() const { return target_; }
    // The file actually replaced: the target with its symbolic links followed.
    const std::string& finalPath() const { return final_; }
    // Empty when the target is written in place.
    const std::string& temporaryPath() const { return temp_; }
    bool writesInPlace() const { return temp_.empty(); }

    // Flushes, checks every write, syncs and renames over the target. Throws IoError.
    void commit();
    // Drops the temporary file (cancelled jobs); the target is untouched.
    void discard();

    // Removes every temporary file of a writer not yet committed or discarded. Uses only
    // async-signal-safe calls, for a handler that ends the program.
    static void removeTemporariesForSignal() noexcept;

    class Buffer;

private:
    void openTemporary();
    void openInPlace();

    std::string target_;
    std::string final_;
    std::string temp_;
    int fd_ = -1;
    int slot_ = -1;
    std::unique_ptr<Buffer> buffer_;
    std::unique_ptr<std::ostream> out_;
    bool done_ = false;
};

}  // namespace quarvel
