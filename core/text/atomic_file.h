#pragma once
// Writes a file so that the user's old file is never replaced by a partial one: the text
// goes to a temporary file in the same folder, which is renamed over the target only
// when commit() succeeds. Destroying an uncommitted writer removes the temporary file.
// Replacing keeps the file's identity: a symbolic link (or a chain of them) is followed and
// the file it names is replaced, and an existing file's permission bits, and its owner
// where the system allows, pass to the new file.
#include <fstream>
#include <string>

namespace quarvel {

class AtomicFile {
public:
    // Opens the temporary file in binary mode. Throws IoError when it cannot.
    explicit AtomicFile(std::string targetPath);
    ~AtomicFile();
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;

    std::ostream& stream() { return out_; }
    // The path as given, used in messages.
    const std::string& targetPath() const { return target_; }
    // The file actually replaced: the target with its symbolic links followed.
    const std::string& finalPath() const { return final_; }
    const std::string& temporaryPath() const { return temp_; }

    // Flushes, checks every write, and renames over the target. Throws IoError.
    void commit();
    // Drops the temporary file (cancelled jobs); the target is untouched.
    void discard();

private:
    std::string target_;
    std::string final_;
    std::string temp_;
    std::ofstream out_;
    bool done_ = false;
};

}  // namespace quarvel
