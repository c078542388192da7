// A refinement's reflection file (*.fcf) opened by the program itself: the
// importer's conversion, with the options vorsel_import takes by default (the
// file's wavelength, else Mo K-alpha with a note; the reflections the
// refinement left out dropped; no weight), into a data file without a name
// that the reader takes in place of the one a user would have imported.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/anonymous_file.h"

namespace vorsel::app {

// A name ending in .fcf (any case).
bool is_reflection_file(const std::string& path);

struct ConvertedReflections {
    explicit ConvertedReflections(const std::string& text) : data(text) {}
    platform::AnonymousFile data;    // the data file, as long as this lives
    std::vector<std::string> notes;  // the importer's, one line each
};

// Throws import::Error with the importer's message (naming the file and, where
// it applies, the line) when the file cannot be converted or kept.
std::unique_ptr<ConvertedReflections> convert_reflection_file(const std::string& path);

}  // namespace vorsel::app
