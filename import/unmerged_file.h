// The unmerged file of data processing: one record per observation of a
// reflection, as measured (before merging equivalents). Three kinds are read,
// told apart by their content, not their name:
//   XDS_ASCII.HKL  ("!FORMAT=XDS_ASCII  MERGE=FALSE"), its columns by the
//                  "!ITEM_name=n" lines; ZD is the frame coordinate of the
//                  spot's centroid;
//   INTEGRATE.HKL  (another "!" header that names INTEGRATE or lists the
//                  columns as "!H,K,L,IOBS,SIGMA,..."), its columns by that
//                  list, else its fixed order; ZCAL is the centroid's frame
//                  coordinate;
//   a CIF with a _diffrn_refln_ loop (index_h/k/l, intensity_net or
//                  counts_net, intensity_sigma; optional angle_phi/omega/kappa/
//                  chi, elapsed_time, scale_group_code, counts_bg_1/2,
//                  counts_peak), in either tag style (_diffrn_refln_index_h,
//                  _diffrn_refln.index_h).
// Anything else is refused with a message naming what was found.
#ifndef VORSEL_IMPORT_UNMERGED_FILE_H
#define VORSEL_IMPORT_UNMERGED_FILE_H

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace vorsel::import {

struct Observation {
    std::array<int, 3> hkl{};  // as measured; |index| <= 999
    // XRtime (frame or elapsed time), the angles at the centroid, background
    // over peak counts: the data file stores them as 4-byte reals.
    float time = 0, phi = 0, omega = 0, kappa = 0, background_ratio = 0;
    double intensity = 0, sigma = 0;
    std::uint64_t number = 0;  // the observation's place in the file, from 1
    std::uint64_t line = 0;    // the file's line that holds it (XDS)
};

struct UnmergedFile {
    std::string kind;  // "XDS_ASCII.HKL", "INTEGRATE.HKL" or "CIF (_diffrn_refln_ loop)"
    std::vector<Observation> observations;
    std::uint64_t outliers = 0;  // XDS: records marked as misfits (negative sigma), left out
    std::optional<double> wavelength;
    std::optional<std::array<double, 6>> cell;  // a, b, c, alpha, beta, gamma
    std::optional<int> space_group_number;
    std::uint64_t cell_line = 0, space_group_line = 0;
    std::vector<std::string> notes;
    // The line of an observation, for a message (a CIF finds it only on demand).
    std::function<std::uint64_t(const Observation&)> line_of = [](const Observation& o) { return o.line; };
};

// Reads the whole file; throws Error (input) naming the file and, where it
// applies, the line: unreadable, of another kind, cut short, no observations,
// an index that is not a whole number or beyond ±999, a value that is not a
// finite number.
UnmergedFile read_unmerged(const std::string& path);

// Whether x is a whole number within the ±999 that a data file carries.
bool index_fits(double x);

// The CIF kind alone (import/cif_observations.cpp, which includes gemmi).
UnmergedFile read_cif_observations(const std::string& path);

}  // namespace vorsel::import

#endif
