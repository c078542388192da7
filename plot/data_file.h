// What the plot window learns about a data file before it sizes anything: the
// curve count from the header line, the number of data lines from the file
// length and the file's own line end, and whether the file can be a data file
// at all. A file that cannot be one is refused here, from its first and last
// few kilobytes, so that a huge or hollow file costs neither time nor memory
// before the user is told.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "platform/platform.h"

namespace vorsel::plot {

struct DataFileShape {
    std::int32_t ncurves = 0;  // the header's count (not yet capped at 15)
    std::int32_t npoint = 0;   // data lines estimated from the length
    std::string problem;       // why the file cannot be used; empty when it can
    bool indices = false;      // the header announces h k l in fields 14 and 15
};

// The shape of the data file at path, read through the file system.
DataFileShape examine_data_file(platform::FileSystem& files, const std::string& path);

// Bytes of the plot window's arrays for npoint points of ncurves rows.
std::uint64_t array_bytes(std::int32_t ncurves, std::int32_t npoint);

// Why arrays of `needed` bytes cannot be had when `available` bytes are left,
// or the empty text.
std::string memory_problem(std::uint64_t needed, std::optional<std::uint64_t> available,
                           std::int32_t npoint);

// The text of a data field that does not hold a number: data line `line`
// (1-based), field `field`.
std::string bad_field_text(std::int64_t line, std::int64_t field);

// A warning naming the first value of `dat` (ncurves fields of each of npoint
// data lines, field fastest) that is not finite: a field such as 1.0E99 reads
// as infinity, which no curve can show. Empty when every value is finite.
std::string infinite_field_text(const float* dat, std::int64_t npoint, std::int32_t ncurves);

}  // namespace vorsel::plot
