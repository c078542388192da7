// From a refinement's reflection file (*.fcf) to a data file (*.vorsel): one
// data line of 13 fields per reflection, in file order:
//   1 running number, 2 Fo, 3 Fc, 4 s(Fo), 6 theta in degrees;
//   5 and 7 to 13 (exposure time, angles, background ratio, absorption
//   correction, drift, weight) are 0: the reflection file does not hold them.
#ifndef VORSEL_IMPORT_CONVERT_H
#define VORSEL_IMPORT_CONVERT_H

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace vorsel::import {

// Mo K-alpha (weighted mean of K-alpha1 and K-alpha2), in Angstrom.
inline constexpr double kMoKalpha = 0.71073;

struct Options {
    std::optional<double> wavelength;  // --wavelength; the file's own comes first
    bool crlf = true;                  // false: lines end in LF alone
};

struct Summary {
    std::size_t reflections = 0;
    double wavelength = 0;
    std::vector<std::string> notes;  // for the user, one line each
};

// Fo = sqrt(Fo^2); 0 for Fo^2 <= 0.
double fo_from_squared(double fo_squared);

// s(Fo) = s(Fo^2) / (2 Fo), the first-order propagation, where
// Fo^2 >= s(Fo^2) and Fo^2 > 0. For weaker reflections (Fo^2 < s(Fo^2), negative Fo^2
// included) it grows without bound as Fo goes to 0, so they get
// sqrt(s(Fo^2)), what the exact interval sqrt(Fo^2 + s(Fo^2)) - Fo gives at
// Fo = 0.
double sigma_fo(double fo_squared, double sigma_fo_squared);

// Converts the whole file; throws Error. Nothing is written under output
// unless the conversion succeeds.
Summary convert_fcf(const std::string& input, const std::string& output, const Options& options);

}  // namespace vorsel::import

#endif
