// Where "fit to frame" puts its points across the board: draw_curve starts a
// running sum at the first point's x, adds the real step once per point (each
// sum rounded to a double, as the addition gives it) and draws each point at
// its sum rounded down. The read-out under the pointer must name the point
// drawn in a twip column, so it needs these positions bit for bit, and it
// must not walk a million points at every movement of the mouse.
//
// It need not: while the sums stay within one binary order of magnitude
// [2^p, 2^(p+1)), every sum is rounded to the same spacing, so adding the step
// moves the sum by the same amount each time (after at most one first
// addition: a step that lies exactly halfway between two multiples of the
// spacing is rounded to the even multiple, which settles after one sum). The
// sums are thus a few arithmetic runs, one or two per order of magnitude, and
// a point's position, or the first point at or beyond an x, is found run by
// run. The sums are held exactly, as integers in units of the step's last bit.
#pragma once

#include <cstdint>

namespace vorsel::plot {

class RunningSum {
public:
    RunningSum(std::int32_t origin, double step);

    // x of point j (0-based; point 0 lies at the origin), rounded down and held
    // within the 4-byte range.
    std::int32_t x(std::int64_t j) const;
    // The first point j of 0 .. n - 1 whose x is at least `at`; n when none is.
    std::int64_t first_at(std::int64_t at, std::int64_t n) const;

private:
    __extension__ typedef unsigned __int128 Units;
    // The sums after a value v: first, first + inc, ..., count of them.
    struct Run {
        Units first, inc;
        std::int64_t count;
    };
    Run next_run(Units v) const;
    Units rounded(Units v) const;

    // A step or an origin the units cannot hold (a step that is not a
    // positive number, is 2^31 or more or has bits below 2^-80, an origin
    // below zero): then the sums are walked one by one, as the drawing does.
    std::int32_t walked_x(std::int64_t j) const;
    std::int64_t walked_first_at(std::int64_t at, std::int64_t n) const;

    std::int32_t origin_;
    double step_;
    bool exact_ = false;
    int shift_ = 0;  // the units are 2^-shift_ twips
    Units origin_units_ = 0, step_units_ = 0;
};

}  // namespace vorsel::plot
