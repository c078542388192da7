// Output files that replace an older file only when they are whole. Every
// writer of the program and of the importer goes through here: pictures,
// curve data, the report and the data file.
//
// A file is written without a name in the target's folder (O_TMPFILE), or,
// where the file system has no such files, under a hidden temporary name
// that a stop by SIGINT, SIGTERM or SIGHUP removes. commit() flushes it to the
// disk (fsync) and only then gives it the target's name; any failure before
// leaves the old file as it was and no temporary behind.
//
// The target must be a regular file or not exist yet. A symbolic link at the
// target's name is followed: the file it leads to is replaced and the link
// stays. A device, FIFO, socket or folder is refused.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace vorsel::platform {

// What went wrong, in words for the user ("the disk is full").
std::string error_text(int error_number);

// Why nothing may be written at `path`; empty when a file may be.
std::string output_problem(const std::string& path);

// The first of `inputs` that is the very file `output` names (the same file
// through another spelling or a link); empty when none is.
std::string input_named_by(const std::string& output, const std::vector<std::string>& inputs);

// Removes the temporary files of writers still open when SIGINT, SIGTERM or
// SIGHUP stops the program, then lets the signal take its course.
void remove_temporaries_on_signals();

class OutputFile {
public:
    // Opens the unnamed (or temporary) file; ok() tells whether it could.
    explicit OutputFile(std::string path);
    ~OutputFile();
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    bool ok() const { return error_.empty(); }
    // Why the file cannot be written, in words ("the disk is full").
    const std::string& error() const { return error_; }

    // Writes all of the bytes; false (and error() says why) when it could not.
    bool write(std::string_view bytes);
    // Flushes to the disk and puts the file in place; false when it failed.
    bool commit();

private:
    bool fail(const std::string& why);
    void drop();

    std::string path_;       // as given, for the messages
    std::string target_;     // the file to replace: path_ with its links followed
    std::string temporary_;  // the hidden name while the file has one
    std::string error_;
    int fd_ = -1;
    int slot_ = -1;  // the temporary's place among those removed on a signal
    bool unnamed_ = false;
};

// Writes the whole buffer to `path`; returns the empty text, or why not.
std::string write_whole_file(const std::string& path, std::string_view bytes);

}  // namespace vorsel::platform
