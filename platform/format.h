// Text formatting of the plot window: the usual text of a number, numbers with
// a fixed count of decimals, and the "@" display patterns. Pure C++, no toolkit.
#pragma once

#include <cstdint>
#include <string>

namespace vorsel::platform {

// The usual text of a whole number: "-1", "10000".
std::string usual_text(std::int64_t v);
// The usual text of a Single: at most seven significant digits, no trailing
// zeros, a "0" before a leading decimal point, exponent form where seven digits
// do not suffice: 3.7, -0.5, 98.9901, 10000, 1E+07, 1.5E-05.
std::string usual_text(float v);
// v with exactly ndec decimals, no digit grouping, "-" for negatives; a value
// that rounds to zero shows no minus sign.
std::string fixed_decimals(double v, int ndec);
// A display pattern: each "@" is one character position, filled from the
// right; a shorter text is padded with blanks on the left, a longer one is
// shown whole; any other character of the pattern is copied unchanged.
std::string at_pattern(const std::string& text, const std::string& pattern);

// The read-out form: the usual text right-aligned in seven characters.
inline std::string readout(std::int64_t v) { return at_pattern(usual_text(v), "@@@@@@@"); }
inline std::string readout(float v) { return at_pattern(usual_text(v), "@@@@@@@"); }

}  // namespace vorsel::platform
