// Text formatting of the plot window: the usual text of a number, numbers with
// a fixed count of decimals, and the "@" display patterns. Pure C++, no toolkit,
// and independent of the user's locale: the decimal point is always ".", the
// minus sign "-", there is never digit grouping.
//
// Rounding: both the usual text and the fixed decimals round the exact binary
// value of the number, halves away from zero (0.125 with two decimals is
// 0.13, 2.5 with none is 3), so a label never depends on the rounding mode of
// the C library.
#pragma once

#include <cstdint>
#include <string>

namespace vorsel::platform {

// The usual text of a whole number: "-1", "10000".
std::string usual_text(std::int64_t v);
// The usual text of a Single: at most seven significant digits, no trailing
// zeros, a "0" before a leading decimal point, exponent form where seven digits
// do not suffice: 3.7, -0.5, 98.9901, 10000, 1E+07, 1.5E-05. Exponent form is
// taken when the decimal exponent (after rounding to seven digits) is 7 or
// more, or below -4; the exponent has a sign and at least two digits.
// Zero (of either sign) is "0"; NaN is "NaN", infinities "Inf" and "-Inf".
std::string usual_text(float v);
// v with exactly ndec decimals (ndec is taken between 0 and 1100), no digit
// grouping, "-" for negatives, "0" before the decimal point; a value that
// rounds to zero shows no minus sign. NaN is "NaN", infinities "Inf", "-Inf".
std::string fixed_decimals(double v, int ndec);
// A display pattern: each "@" is one character position, filled from the
// right; a shorter text is padded with blanks on the left, a longer one is
// shown whole; any other character of the pattern is copied unchanged.
std::string at_pattern(const std::string& text, const std::string& pattern);

// The read-out form: the usual text right-aligned in seven characters.
inline std::string readout(std::int64_t v) { return at_pattern(usual_text(v), "@@@@@@@"); }
inline std::string readout(float v) { return at_pattern(usual_text(v), "@@@@@@@"); }

}  // namespace vorsel::platform
