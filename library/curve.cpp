// FILL_KURRENT: the current curve from the data array. One pass over the
// reflections in walk order selects the significant ones (|Fo/s(Fo)| at or
// above the limit) and forms their y and x; one pass over the selected points
// clips y and lays the points out in plot order; optional passes take signed
// square roots and smooth.
//
// Quotients, roots and weighted sums are formed in double and rounded once to
// a 4-byte real. Beyond the curve's own rules, the call protects the caller's
// memory: rows outside 1..ncurves, walk entries outside 1..npoint and a curve
// of fewer than three points for smoothing never lead to a read or write
// outside the arrays.
#include "library/vorsel_for.h"

#include "library/float_env.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <thread>

namespace vorsel {
namespace {

struct CurveArgs {
    const float* dat;
    const float* sigrat;
    const std::int32_t* iperm;
    std::int32_t ixval, iyval;
    float *ywork, *xwork, *ycur, *xcur, *ysmo;
    std::int32_t ncurves, npoint;
    float siglim, clipp, clipm;
    bool reverse, sqrooted, smoothed;
    std::int32_t ityp;
};

// y of one reflection for the curve type; d points at its row 1. Each type
// reads only its own rows: a direct curve may come from fewer than four.
template <int Type>
inline float y_of(const float* d, std::size_t iy) {
    if constexpr (Type == 1)
        return d[iy];
    else if constexpr (Type == 2)
        return static_cast<float>((double{d[1]} - d[2]) / d[1]);
    else if constexpr (Type == 3)
        return static_cast<float>((double{d[1]} - d[2]) / d[3]);
    else if constexpr (Type == 4)
        return static_cast<float>(double{d[1]} / d[2]);
    else
        return static_cast<float>(double{d[1]} / d[3]);
}

// Selects the reflections at walk positions begin..end-1 and writes their y
// and x to y[0], x[0] on; returns how many it selected.
template <int Type>
std::int32_t select_range(const CurveArgs& a, std::int32_t begin, std::int32_t end, float* y,
                          float* x) {
    const std::size_t stride = static_cast<std::size_t>(a.ncurves);
    const std::size_t ix = static_cast<std::size_t>(a.ixval - 1);
    // iyval means something to a direct curve only, and has been checked for it.
    const std::size_t iy = Type == 1 ? static_cast<std::size_t>(a.iyval - 1) : 0;
    const auto npoint = static_cast<std::uint32_t>(a.npoint);
    std::int32_t n = 0;
    // The walk jumps through dat in x order: ask for the rows of points far
    // enough ahead that many cache misses are under way at once.
    constexpr std::int32_t kAhead = 48;
    for (std::int32_t i = begin; i < end; ++i) {
        if (i < end - kAhead) {  // i + kAhead could pass the integer range
            const auto ahead = static_cast<std::uint32_t>(a.iperm[i + kAhead]) - 1u;
            if (ahead < npoint) {
                __builtin_prefetch(a.sigrat + ahead);
                __builtin_prefetch(a.dat + ahead * stride);
                __builtin_prefetch(a.dat + ahead * stride + stride - 1);
            }
        }
        const auto k = static_cast<std::uint32_t>(a.iperm[i]) - 1u;  // 0 means "outside"
        if (k >= npoint || !(a.sigrat[k] >= a.siglim)) continue;
        const float* d = a.dat + k * stride;
        y[n] = y_of<Type>(d, iy);
        x[n] = d[ix];
        ++n;
    }
    return n;
}

// A walk of a million reflections is bound by the memory latency of its
// jumps through dat. On two cores the halves of the walk go in parallel: the
// first half selects into ywork and xwork, the second into the front of ycur
// and xcur, and its points then follow the first half's in ywork and xwork.
// ycur and xcur serve only as scratch there: the curve laid out after the
// walk fills all their elements 1..count, which covers every element the
// second half wrote. So only elements 1..count of the four arrays are
// written, as in a plain walk.
#if defined(FUZZING_BUILD_MODE_UNSAFE_FOR_PRODUCTION)
// A fuzz build shares short walks too, so that every input the fuzzer makes
// quickly can take either way.
constexpr std::int32_t kParallelWalk = 64;
#else
constexpr std::int32_t kParallelWalk = 1 << 17;
#endif

template <int Type>
std::int32_t select(const CurveArgs& a) {
    if (a.npoint < kParallelWalk || std::thread::hardware_concurrency() < 2)
        return select_range<Type>(a, 0, a.npoint, a.ywork, a.xwork);
    const std::int32_t half = a.npoint / 2;
    try {
        std::int32_t second = 0;
        std::thread other(
            [&] { second = select_range<Type>(a, half, a.npoint, a.ycur, a.xcur); });
        const std::int32_t first = select_range<Type>(a, 0, half, a.ywork, a.xwork);
        other.join();
        std::copy_n(a.ycur, second, a.ywork + first);
        std::copy_n(a.xcur, second, a.xwork + first);
        return first + second;
    } catch (...) {
        // No thread to be had: the plain walk gives the same curve.
        return select_range<Type>(a, 0, a.npoint, a.ywork, a.xwork);
    }
}

// Clips the selected points begin..end-1 of n and lays them out in plot order.
void clip_and_order(const CurveArgs& a, std::int32_t n, std::int32_t begin, std::int32_t end) {
    for (std::int32_t i = begin; i < end; ++i) {
        float y = a.ywork[i];
        if (y > a.clipp) y = a.clipp;
        if (y < a.clipm || std::isnan(y)) y = a.clipm;
        a.ywork[i] = y;
        const std::int32_t j = a.reverse ? i : n - 1 - i;
        a.ycur[j] = y;
        a.xcur[j] = a.xwork[i];
    }
}

void signed_roots(float* y, std::int32_t begin, std::int32_t end) {
    for (std::int32_t i = begin; i < end; ++i) {
        // sqrt(|y|) with the sign of y: the same as sqrt(y) for y >= 0 (0 and
        // -0 included) and -sqrt(-y) below, and free of a branch.
        const double v = y[i];
        y[i] = static_cast<float>(std::copysign(std::sqrt(std::fabs(v)), v));
    }
}

void smooth(const float* y, float* s, std::int32_t n) {
    if (n < 3) {  // the edge formulas would reach outside the curve
        for (std::int32_t i = 0; i < n; ++i) s[i] = y[i];
        return;
    }
    for (std::int32_t i = 2; i < n - 2; ++i)
        s[i] = static_cast<float>(
            (double{y[i - 2]} + 2.0 * y[i - 1] + 4.0 * y[i] + 2.0 * y[i + 1] + double{y[i + 2]}) /
            10.0);
    s[0] = static_cast<float>((2.0 * y[0] + double{y[1]}) / 3.0);
    s[1] = static_cast<float>((double{y[0]} + 2.0 * y[1] + double{y[2]}) / 4.0);
    s[n - 2] = static_cast<float>((double{y[n - 3]} + 2.0 * y[n - 2] + double{y[n - 1]}) / 4.0);
    s[n - 1] = static_cast<float>((double{y[n - 2]} + 2.0 * y[n - 1]) / 3.0);
}

std::int32_t fill_current(const CurveArgs& a) {
    if (a.npoint <= 0 || a.ncurves < 1 || a.ixval < 1 || a.ixval > a.ncurves) return 0;
    std::int32_t n = 0;
    switch (a.ityp) {
        case 1:
            if (a.iyval < 1 || a.iyval > a.ncurves) return 0;
            n = select<1>(a);
            break;
        case 2: n = a.ncurves >= 4 ? select<2>(a) : 0; break;
        case 3: n = a.ncurves >= 4 ? select<3>(a) : 0; break;
        case 4: n = a.ncurves >= 4 ? select<4>(a) : 0; break;
        case 5: n = a.ncurves >= 4 ? select<5>(a) : 0; break;
        default: return 0;
    }
    return n;
}

// Clipping, layout and roots take each point on its own: a long curve is
// shared between two threads, each its half of the points (the roots over
// the half of ycur that its own points were laid out into).
void clip_order_and_roots(const CurveArgs& a, std::int32_t n, std::int32_t begin,
                          std::int32_t end) {
    clip_and_order(a, n, begin, end);
    if (!a.sqrooted) return;
    if (a.reverse)
        signed_roots(a.ycur, begin, end);
    else
        signed_roots(a.ycur, n - end, n - begin);
}

void finish_curve(const CurveArgs& a, std::int32_t n) {
    if (n == 0) return;
    bool done = false;
    if (n >= kParallelWalk && std::thread::hardware_concurrency() >= 2) {
        const std::int32_t half = n / 2;
        try {
            std::thread other([&] { clip_order_and_roots(a, n, half, n); });
            clip_order_and_roots(a, n, 0, half);
            other.join();
            done = true;
        } catch (...) {
            // No thread to be had: the plain passes below give the same curve.
        }
    }
    if (!done) clip_order_and_roots(a, n, 0, n);
    if (a.smoothed) smooth(a.ycur, a.ysmo, n);
}

}  // namespace
}  // namespace vorsel

extern "C" VORSEL_FOR_API void FILL_KURRENT(
    const float* dat, const float* sigrat, const int32_t* iperm, const int32_t* ixval,
    const int32_t* iyval, float* ywork, float* xwork, float* ycur, float* xcur, float* ysmo,
    const int32_t* ncurves, const int32_t* npoint, int32_t* npcur, const float* siglim,
    const float* clipp, const float* clipm, const int16_t* reverse, const int16_t* sqrooted,
    const int16_t* smoothed, const int32_t* ityp) {
    const vorsel::DefaultFloatEnvironment environment;
    // Nothing here throws; the guard keeps that promise at the boundary should
    // that ever change.
    try {
        const vorsel::CurveArgs a{dat,
                                  sigrat,
                                  iperm,
                                  *ixval,
                                  *iyval,
                                  ywork,
                                  xwork,
                                  ycur,
                                  xcur,
                                  ysmo,
                                  *ncurves,
                                  *npoint,
                                  *siglim,
                                  *clipp,
                                  *clipm,
                                  (*reverse & 1) != 0,
                                  (*sqrooted & 1) != 0,
                                  (*smoothed & 1) != 0,
                                  *ityp};
        const std::int32_t n = vorsel::fill_current(a);
        *npcur = n;
        vorsel::finish_curve(a, n);
    } catch (...) {
        *npcur = 0;
    }
}
