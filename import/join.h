// An unmerged file of data processing joined to the refinement's reflection
// file: one data line (15 fields, the observation's own h k l in 14 and 15)
// per observation that finds its reflection, in the unmerged file's order.
#ifndef VORSEL_IMPORT_JOIN_H
#define VORSEL_IMPORT_JOIN_H

#include <cstdint>
#include <string>

#include "import/convert.h"

namespace vorsel::import {

struct JoinSummary {
    Summary summary;  // reflections: data lines written; notes for the user
    std::uint64_t exact = 0, by_symmetry = 0, left_out = 0, outliers = 0;
    double scale = 0;       // refinement Fo^2 per unit of the file's intensity
    bool friedel_apart = false;
};

// Throws Error; nothing appears under output unless the whole join succeeds.
JoinSummary join_observations(const std::string& unmerged, const std::string& refinement,
                              const std::string& output, const Options& options);

// The rules of the join, for --help.
extern const char* const kObservationsHelp;

}  // namespace vorsel::import

#endif
