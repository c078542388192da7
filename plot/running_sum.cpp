#include "plot/running_sum.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "library/numeric.h"

namespace vorsel::plot {

namespace {

// More points than any curve can have: a run that never ends.
constexpr std::int64_t kEndless = std::int64_t{1} << 62;
constexpr int kMaxShift = 80;

template <class U>
int bit_length(U v) {
    int n = 0;
    while (v != 0) {
        v >>= 1;
        ++n;
    }
    return n;
}

}  // namespace

RunningSum::RunningSum(std::int32_t origin, double step) : origin_(origin), step_(step) {
    if (origin < 0 || !(step > 0.0) || !(step < 2147483648.0)) return;
    int e = 0;
    const double mantissa = std::frexp(step, &e);  // step = mantissa * 2^e, mantissa in [0.5, 1)
    auto m = static_cast<std::uint64_t>(std::ldexp(mantissa, 53));
    int low = e - 53;  // step = m * 2^low
    while ((m & 1u) == 0) {
        m >>= 1;
        ++low;
    }
    shift_ = std::max(0, -low);
    if (shift_ > kMaxShift) return;
    step_units_ = Units{m} << (low + shift_);
    origin_units_ = Units{static_cast<std::uint32_t>(origin)} << shift_;
    exact_ = true;
}

// v rounded to a double's 53 significant bits, halves to the even neighbour.
RunningSum::Units RunningSum::rounded(Units v) const {
    const int bits = bit_length(v);
    if (bits <= 53) return v;
    const int cut = bits - 53;
    const Units unit = Units{1} << cut, half = unit >> 1;
    const Units rest = v & (unit - 1), down = v - rest;
    if (rest > half || (rest == half && ((down >> cut) & 1u) != 0)) return down + unit;
    return down;
}

RunningSum::Run RunningSum::next_run(Units v) const {
    const Units top = Units{1} << bit_length(v);  // the next order of magnitude
    const Units v1 = rounded(v + step_units_);
    // A sum that reaches the next order of magnitude is rounded more coarsely
    // from then on: it stands alone.
    if (v1 >= top || v1 + step_units_ >= top) return {v1, 0, 1};
    const Units inc = rounded(v1 + step_units_) - v1;
    if (inc == 0) return {v1, 0, kEndless};  // the step is lost in the rounding
    // Every sum from v1 + i inc with v1 + i inc + step below top moves by inc.
    const Units steps = (top - step_units_ - v1 - 1) / inc + 1;
    const auto count = steps >= Units{kEndless} ? kEndless : static_cast<std::int64_t>(steps) + 1;
    return {v1, inc, count};
}

std::int32_t RunningSum::x(std::int64_t j) const {
    if (!exact_) return walked_x(j);
    Units v = origin_units_;
    for (std::int64_t left = std::max<std::int64_t>(j, 0); left > 0;) {
        const Run r = next_run(v);
        const std::int64_t take = std::min(r.count, left);
        v = r.first + static_cast<Units>(take - 1) * r.inc;
        left -= take;
    }
    const Units whole = v >> shift_;
    return whole > Units{numeric::kLongMax} ? static_cast<std::int32_t>(numeric::kLongMax)
                                            : static_cast<std::int32_t>(whole);
}

std::int64_t RunningSum::first_at(std::int64_t at, std::int64_t n) const {
    if (n <= 0) return 0;
    if (!exact_) return walked_first_at(at, n);
    // A sum reaches a whole number exactly when its floor does.
    if (at <= origin_) return 0;
    if (at > numeric::kLongMax) return n;
    const Units target = Units{static_cast<std::uint64_t>(at)} << shift_;
    Units v = origin_units_;
    for (std::int64_t j = 0; j < n - 1;) {
        const Run r = next_run(v);
        const std::int64_t avail = std::min(r.count, n - 1 - j);
        const Units last = r.first + static_cast<Units>(avail - 1) * r.inc;
        if (last >= target) {
            if (r.first >= target) return j + 1;
            return j + 1 + static_cast<std::int64_t>((target - r.first + r.inc - 1) / r.inc);
        }
        v = last;
        j += avail;
    }
    return n;
}

std::int32_t RunningSum::walked_x(std::int64_t j) const {
    double xr = origin_;
    for (std::int64_t i = 0; i < j; ++i) xr += step_;
    return j <= 0 ? origin_ : numeric::floor_saturated(xr);
}

std::int64_t RunningSum::walked_first_at(std::int64_t at, std::int64_t n) const {
    if (origin_ >= at) return 0;
    double xr = origin_;
    for (std::int64_t j = 1; j < n; ++j) {
        xr += step_;
        if (numeric::floor_saturated(xr) >= at) return j;
    }
    return n;
}

}  // namespace vorsel::plot
