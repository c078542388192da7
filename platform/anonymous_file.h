// A file without a name anywhere in the file system that holds a text the
// program made itself, for readers that take nothing but a path: the path is
// the process's own handle to it (/proc/self/fd/N), short and ending in no
// blank, and the file goes with the object.
#pragma once

#include <string>
#include <string_view>

namespace vorsel::platform {

class AnonymousFile {
public:
    // Holds `bytes`; ok() tells whether the file could be made and filled.
    explicit AnonymousFile(std::string_view bytes);
    ~AnonymousFile();
    AnonymousFile(const AnonymousFile&) = delete;
    AnonymousFile& operator=(const AnonymousFile&) = delete;

    bool ok() const { return error_.empty(); }
    const std::string& error() const { return error_; }
    // The path a reader opens it by; empty unless ok().
    const std::string& path() const { return path_; }

private:
    int fd_ = -1;
    std::string path_;
    std::string error_;
};

}  // namespace vorsel::platform
