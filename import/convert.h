// From a refinement's reflection file (*.fcf) to a data file (*.vorsel): one
// data line of 15 fields per reflection the refinement used, in file order:
//   1 the reflection's number in the file, 2 Fo, 3 Fc, 4 s(Fo), 6 theta in
//   degrees, 13 the weight when a scheme is given, 14 and 15 h k l
//   (library/miller_indices.h);
//   5 and 7 to 12 (exposure time, angles, background ratio, absorption
//   correction, drift) are 0: the reflection file does not hold them.
#ifndef VORSEL_IMPORT_CONVERT_H
#define VORSEL_IMPORT_CONVERT_H

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "import/weighting.h"

namespace vorsel::import {

// Mo K-alpha (weighted mean of K-alpha1 and K-alpha2), in Angstrom.
inline constexpr double kMoKalpha = 0.71073;

struct Options {
    std::optional<double> wavelength;  // --wavelength; the file's own comes first
    bool crlf = true;                  // false: lines end in LF alone
    bool all_status = false;           // keep the reflections the refinement left out
    std::optional<WeightScheme> weight;  // fills field 13
};

struct Summary {
    std::size_t reflections = 0;  // written
    std::size_t left_out = 0;     // by their _refln_observed_status
    double wavelength = 0;
    std::vector<std::string> notes;  // for the user, one line each
};

// Fo = sqrt(Fo^2); 0 for Fo^2 <= 0.
double fo_from_squared(double fo_squared);

// s(Fo) = s(Fo^2) / (2 max(Fo, sqrt(s(Fo^2)) / 2)): the first-order
// propagation s(Fo^2) / (2 Fo) wherever Fo^2 >= s(Fo^2) / 4. Below, where that
// grows without bound as Fo goes to 0, it stays at sqrt(s(Fo^2)), the value
// the exact interval sqrt(Fo^2 + s(Fo^2)) - Fo has at Fo = 0; the two meet,
// so s(Fo) has no jump. 0 for s(Fo^2) = 0.
double sigma_fo(double fo_squared, double sigma_fo_squared);

// Whether the refinement used a reflection of this _refln_observed_status:
// not for x (left out by the user), h and l (beyond the resolution limits)
// and - (systematically absent).
bool used_in_refinement(char status);

// Converts the whole file; throws Error. Nothing is written under output
// unless the conversion succeeds.
Summary convert_fcf(const std::string& input, const std::string& output, const Options& options);
// The same into `data`, the whole data file's text, for a program that reads
// the reflection file as if it were a data file.
Summary convert_fcf_to_text(const std::string& input, std::string& data, const Options& options);

}  // namespace vorsel::import

#endif
