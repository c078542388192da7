// The statistics as machine-readable text: JSON (one object) or CSV (one
// block per table: a "# name" line, a header line and its rows). Numbers are
// the shortest text that reads back as the same double, "." as decimal point
// in every locale; a figure that does not exist (the standard deviation of a
// bin of one, R1 without any Fo) is null in JSON and empty in CSV.
#pragma once

#include <string>

#include "analysis/statistics.h"

namespace vorsel::analysis {

std::string statistics_json(const Statistics& s, const std::string& file);
std::string statistics_csv(const Statistics& s, const std::string& file);

}  // namespace vorsel::analysis
