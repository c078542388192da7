// The one exception of the converter: a message for the user (naming the file
// and, where it applies, the line) and the exit status it ends the program
// with.
#ifndef VORSEL_IMPORT_IMPORT_ERROR_H
#define VORSEL_IMPORT_IMPORT_ERROR_H

#include <stdexcept>
#include <string>

namespace vorsel::import {

// Exit statuses of vorsel_import.
enum class Exit : int {
    ok = 0,
    internal = 1,  // the converter itself failed (out of memory)
    usage = 2,     // the command line is wrong
    input = 3,     // the reflection file cannot be read or converted
    output = 4,    // the data file cannot be written
};

class Error : public std::runtime_error {
public:
    Error(Exit status, const std::string& message) : std::runtime_error(message), status_(status) {}
    Exit status() const noexcept { return status_; }

private:
    Exit status_;
};

}  // namespace vorsel::import

#endif
