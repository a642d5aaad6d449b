#pragma once
// Typed failures of the core. Cancellation is never an error: loops return a RunStatus.
#include <stdexcept>
#include <string>

namespace quarvel {

class Error : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A file could not be opened, read, written or renamed. what() is "path: reason"; the
// two parts are also kept apart, for callers that show the path their own way.
class IoError : public Error {
public:
    IoError(std::string path, std::string reason)
        : Error(path + ": " + reason), path_(std::move(path)), reason_(std::move(reason)) {}
    const std::string& path() const { return path_; }
    const std::string& reason() const { return reason_; }

private:
    std::string path_;
    std::string reason_;
};

// A file was read but its text is not what was expected.
class FormatError : public Error {
public:
    FormatError(std::string file, long line, const std::string& what)
        : Error(file + ":" + std::to_string(line) + ": " + what),
          file_(std::move(file)),
          line_(line) {}
    const std::string& file() const { return file_; }
    long line() const { return line_; }

private:
    std::string file_;
    long line_;
};

// Job parameters that cannot give a sound result (a zero step, a negative depth...).
class InvalidInput : public Error {
public:
    using Error::Error;
};

}  // namespace quarvel
