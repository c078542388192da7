// Conversions between reals and 4-byte integers that never overflow: a result
// beyond the integer range is held at its nearest end, so a far-off value
// lands far off the board instead of wrapping round to its other side. Shared
// by the library and the program (header only, no dependencies).
//
// The roundings are the three the plot uses, each named for its rule:
// truncation toward zero, rounding down, and rounding to the nearest integer
// (halves to even in the plot window, halves away from zero in the library).
#pragma once

#include <cmath>
#include <cstdint>
#include <limits>

namespace vorsel::numeric {

inline constexpr std::int64_t kLongMin = std::numeric_limits<std::int32_t>::min();
inline constexpr std::int64_t kLongMax = std::numeric_limits<std::int32_t>::max();

// A 64-bit integer held within the 4-byte range.
constexpr std::int32_t saturate(std::int64_t v) {
    return static_cast<std::int32_t>(v < kLongMin ? kLongMin : (v > kLongMax ? kLongMax : v));
}

// Truncation toward zero (Fix); not-a-number gives 0.
inline std::int32_t trunc_saturated(double v) {
    if (std::isnan(v)) return 0;
    if (v >= static_cast<double>(kLongMax)) return static_cast<std::int32_t>(kLongMax);
    if (v <= static_cast<double>(kLongMin)) return static_cast<std::int32_t>(kLongMin);
    return static_cast<std::int32_t>(v);
}

// Rounding down. A position that is not a number lies beyond every edge: it
// gives the largest value. Truncation corrected below zero instead of a call
// into the maths library, because the board rounds every point of a curve of
// a million points this way.
inline std::int32_t floor_saturated(double v) {
    if (std::isnan(v)) return static_cast<std::int32_t>(kLongMax);
    if (v >= static_cast<double>(kLongMax)) return static_cast<std::int32_t>(kLongMax);
    if (v <= static_cast<double>(kLongMin)) return static_cast<std::int32_t>(kLongMin);
    const auto t = static_cast<std::int32_t>(v);
    return static_cast<double>(t) > v ? t - 1 : t;
}

// The nearest integer, halves to the even neighbour; not-a-number gives 0.
inline std::int32_t nearest_even_saturated(double v) {
    if (std::isnan(v)) return 0;
    if (v >= static_cast<double>(kLongMax)) return static_cast<std::int32_t>(kLongMax);
    if (v <= static_cast<double>(kLongMin)) return static_cast<std::int32_t>(kLongMin);
    const double f = std::floor(v);
    const double d = v - f;
    double r = f;
    if (d > 0.5 || (d == 0.5 && std::fmod(f, 2.0) != 0.0)) r = f + 1.0;
    return saturate(static_cast<std::int64_t>(r));
}

// The nearest integer, halves away from zero; not-a-number gives 0. Written
// without branches so that a loop over many values vectorises.
inline std::int32_t nearest_away_saturated(float t) {
    // t + 1/2 is exact in double for every 4-byte real below 2^52, so
    // truncation rounds halves away from zero without a second rounding
    // (0.49999997 stays 0); beyond that t is a whole number already.
    const double r = std::trunc(double{t} + std::copysign(0.5, double{t}));
    const double held = std::fmin(std::fmax(r, -2147483648.0), 2147483647.0);
    return t == t ? static_cast<std::int32_t>(held) : 0;
}

}  // namespace vorsel::numeric
