// The current-curve pipeline of the plot window: the points ordered by the x
// quantity (sortf), the curve built by the library (FILL_KURRENT), the view
// window fixed on the board, the read-outs written and the board redrawn.
//
// Departures where the data would otherwise be read out of bounds:
// - a quantity whose data row the file does not have (fewer fields per line,
//   or rows 2, 3, 4 missing for the computed curves) gives an empty curve;
// - a view window that does not lie within 1..npcur is fitted anew, and the
//   window arithmetic is kept within the 4-byte range, so no read-out or
//   drawing ever looks at a point outside the current curve.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <new>
#include <system_error>
#include <thread>
#include <utility>
#include <vector>

#include "plot/frmVorselPlot.h"

namespace vorsel::plot {

using platform::ReadOut;

namespace {

// Data row of each x button, Index 13 to 22.
constexpr std::int32_t ixtab[10] = {2, 3, 6, 7, 8, 9, 11, 12, 13, 5};
// Data row of each y button, Index 1 to 12, that plots one quantity directly;
// 0 for the computed quantities and for those not built here.
constexpr std::int32_t iytab[12] = {2, 3, 0, 0, 0, 0, 11, 12, 13, 10, 0, 0};

constexpr std::int32_t kMinStep = 20;

std::int32_t clamp_long(std::int64_t v) {
    constexpr std::int64_t lo = std::numeric_limits<std::int32_t>::min();
    constexpr std::int64_t hi = std::numeric_limits<std::int32_t>::max();
    return static_cast<std::int32_t>(v < lo ? lo : (v > hi ? hi : v));
}

std::int16_t flag(bool b) { return b ? std::int16_t{-1} : std::int16_t{0}; }

}  // namespace

float frmVorselPlot::Float(std::int32_t Inp) {
    // Done by hand so that the result does not depend on the floating-point
    // environment's rounding mode: nearest, halves to the even mantissa.
    const bool neg = Inp < 0;
    std::uint64_t m = neg ? std::uint64_t{0} - static_cast<std::uint64_t>(static_cast<std::int64_t>(Inp))
                          : static_cast<std::uint64_t>(Inp);
    int shift = 0;
    while ((m >> shift) >= (std::uint64_t{1} << 24)) ++shift;
    std::uint64_t q = m >> shift;
    if (shift > 0) {
        const std::uint64_t rem = m & ((std::uint64_t{1} << shift) - 1);
        const std::uint64_t half = std::uint64_t{1} << (shift - 1);
        if (rem > half || (rem == half && (q & 1u))) ++q;
    }
    const float mag = std::ldexp(static_cast<float>(q), shift);
    return neg ? -mag : mag;
}

std::int32_t frmVorselPlot::nearest_long(double v) {
    if (std::isnan(v)) return 0;
    if (v >= 2147483647.0) return std::numeric_limits<std::int32_t>::max();
    if (v <= -2147483648.0) return std::numeric_limits<std::int32_t>::min();
    const double f = std::floor(v);
    const double d = v - f;
    double r = f;
    if (d > 0.5 || (d == 0.5 && std::fmod(f, 2.0) != 0.0)) r = f + 1.0;
    return clamp_long(static_cast<std::int64_t>(r));
}

namespace {

// One pass of the gap-insertion sort by descending key over the elements
// j = 1 .. n - gap of the 1-based array a whose (j - 1) mod gap lies in
// [c0, c1), in rising j. An element j only ever meets elements j +- m gap, so
// the classes of j mod gap are sorted independently of each other and any
// split of the classes gives the same array as the whole pass.
template <class T, class Key>
void gap_pass(T* a, std::int64_t n, std::int64_t gap, std::int64_t c0, std::int64_t c1, Key key) {
    // A gap of 0 (a single point) compares each key with itself: nothing moves.
    if (gap < 1) return;
    const std::int64_t last = n - gap;
    for (std::int64_t base = 0; base < last; base += gap) {
        const std::int64_t end = std::min(base + c1, last);
        for (std::int64_t j = base + 1 + c0; j <= end; ++j) {
            std::int64_t i = j;
            std::int64_t k = j + gap;
            if (key(a[i]) < key(a[k])) {
                const T t = a[k];
                const float xt = key(t);
                do {
                    a[k] = a[i];
                    k = i;
                    i -= gap;
                } while (!(i <= 0 || key(a[i]) >= xt));
                a[k] = t;
            }
        }
    }
}

// Wide gaps of a large sort are shared between two threads, each taking one
// half of the classes (next to each other, so that they seldom share a cache
// line); the narrow gaps at the end run on the calling thread.
constexpr std::int64_t kSharedGap = 64;
constexpr std::int64_t kSharedPoints = std::int64_t{1} << 16;

// The gap-insertion sort by descending key. The gap sequence fixes the order
// in which points with equal x leave the sort, and so the order in which
// reflections of equal x are drawn; it must not change. key(e) is the key of
// the element e of the 1-based array a; elements move whole.
template <class T, class Key>
void shell_sort(T* a, std::int64_t n, Key key) {
    std::int64_t gap = 4;
    while (gap < n) gap *= 2;
    gap = (3 * gap) / 4 - 1;
    if (gap > n) gap = n;
    do {
        gap /= 2;
        bool done = false;
        if (gap >= kSharedGap && n >= kSharedPoints) {
            const std::int64_t half = gap / 2;
            try {
                std::thread other([&] { gap_pass(a, n, gap, half, gap, key); });
                gap_pass(a, n, gap, 0, half, key);
                other.join();
                done = true;
            } catch (const std::system_error&) {
                // No thread to be had: the pass runs whole below.
            }
        }
        if (!done) gap_pass(a, n, gap, 0, gap, key);
    } while (gap > 1);
}

// A key with its point number: the sort then compares keys that lie next to
// the point numbers it moves, not 13 rows apart in dat.
struct KeyedPoint {
    float key;
    std::int32_t point;
};

}  // namespace

void frmVorselPlot::forget_sorted_rows() {
    sorted_rows.clear();
    sorted_rows.shrink_to_fit();
    last_curve = CurveBuilt{};
}

void frmVorselPlot::sortf(std::int32_t r) {
    const std::int64_t n = npoint;
    if (n <= 0 || iperm.size() < static_cast<std::size_t>(n)) return;
    std::int32_t* ip = iperm.data() - 1;  // ip[i] is iperm(i)
    // Without a key row in the data the points keep their file order.
    if (r < 1 || r > ncurves ||
        dat.size() < static_cast<std::size_t>(n) * static_cast<std::size_t>(ncurves)) {
        for (std::int64_t i = 1; i <= n; ++i) ip[i] = static_cast<std::int32_t>(i);
        return;
    }

    // Key of point k: dat(r, k).
    const float* key = dat.data() + (r - 1);
    const std::int64_t stride = ncurves;
    const auto un = static_cast<std::size_t>(n);

    // The same keys give the same order: an order made before is taken again.
    for (auto it = sorted_rows.begin(); it != sorted_rows.end(); ++it) {
        if (it->row != r || it->dat != dat.data() || it->dat_size != dat.size() ||
            it->ncurves != ncurves || it->npoint != npoint)
            continue;
        std::memcpy(iperm.data(), it->order.data(), un * sizeof(std::int32_t));
        std::rotate(sorted_rows.begin(), it, it + 1);
        return;
    }

    try {
        SortedRow made;
        made.row = r;
        made.dat = dat.data();
        made.dat_size = dat.size();
        made.ncurves = ncurves;
        made.npoint = npoint;
        made.order.resize(un);
        {
            std::vector<KeyedPoint> a(un);
            for (std::int64_t k = 0; k < n; ++k)
                a[static_cast<std::size_t>(k)] = {key[k * stride], static_cast<std::int32_t>(k + 1)};
            shell_sort(a.data() - 1, n, [](const KeyedPoint& p) { return p.key; });
            for (std::size_t i = 0; i < un; ++i) made.order[i] = a[i].point;
        }
        std::memcpy(iperm.data(), made.order.data(), un * sizeof(std::int32_t));
        if (sorted_rows.size() >= kSortedRowsKept) sorted_rows.pop_back();
        sorted_rows.insert(sorted_rows.begin(), std::move(made));
    } catch (const std::bad_alloc&) {
        // No room for a copy of the keys: sort the point numbers in place.
        forget_sorted_rows();
        for (std::int64_t i = 1; i <= n; ++i) ip[i] = static_cast<std::int32_t>(i);
        shell_sort(ip, n, [&](std::int32_t k) { return key[(static_cast<std::int64_t>(k) - 1) * stride]; });
    }
}

void frmVorselPlot::window_readouts() {
    show(ReadOut::FirstPoint, std::int64_t{nf});
    show(ReadOut::LastPoint, std::int64_t{nl});
    show(ReadOut::FirstValue, xcur(nf));
    show(ReadOut::LastValue, xcur(nl));
    show(ReadOut::PlottedPoints, std::int64_t{nl} - nf + 1);
}

void frmVorselPlot::fill_current() {
    if (ibx < 13 || ibx > 22) return;
    const bool iby_known = (iby >= 1 && iby <= 12) || iby == 23 || iby == 24;
    if (!iby_known) return;

    const std::size_t points = npoint > 0 ? static_cast<std::size_t>(npoint) : 0;
    const bool arrays_hold = ncurves > 0 &&
                             dat.size() >= points * static_cast<std::size_t>(ncurves) &&
                             sigrat.size() >= points && iperm.size() >= points &&
                             ywork.size() >= points && xwork.size() >= points &&
                             ycur.size() >= points && xcur.size() >= points &&
                             ysmo.size() >= points && nkur.size() >= points;

    ixval = ixtab[ibx - 13];
    const bool x_row = arrays_hold && ixval <= ncurves;
    if (x_row) sortf(ixval);

    iyval = 0;
    if (iby < 12) iyval = iytab[iby - 1];

    std::int32_t ityp = 0;
    if (iyval != 0) {
        ityp = 1;
    } else if (iby >= 3 && iby <= 6) {
        ityp = iby - 1;
    }
    // A quantity the file cannot give (its row, or Fo, Fc, s(Fo) for the
    // computed ones, is missing) is an empty curve.
    const bool rows_present =
        x_row && ((ityp == 1 && iyval <= ncurves) || (ityp >= 2 && ncurves >= 4));

    if (ityp != 0 && rows_present) {
        const std::int16_t rev = flag(reverse), sqr = flag(sqrooted), smo = flag(smoothed);
        const CurveBuilt wanted{true,   dat.data(), ncurves, npoint, ixval, iyval, ityp,
                                siglim, clipp,      clipm,   rev,    sqr,   smo,   0};
        if (wanted.same_inputs(last_curve)) {
            npcur = last_curve.npcur;
        } else {
            last_curve = CurveBuilt{};
            if (!p_.library.FILL_KURRENT(dat.data(), sigrat.data(), iperm.data(), &ixval,
                                         &iyval, ywork.data(), xwork.data(), ycur.data(),
                                         xcur.data(), ysmo.data(), &ncurves, &npoint, &npcur,
                                         &siglim, &clipp, &clipm, &rev, &sqr, &smo, &ityp))
                return;
            if (npcur < 0 || npcur > npoint) npcur = 0;  // never trust a count beyond the arrays
            last_curve = wanted;
            last_curve.npcur = npcur;
        }
    } else {
        npcur = 0;
    }

    show(ReadOut::UsedPoints, std::int64_t{npcur});

    if (npcur == 0) {
        show(ReadOut::FirstPoint, std::int64_t{0});
        show(ReadOut::LastPoint, std::int64_t{0});
        show(ReadOut::FirstValue, std::int64_t{0});
        show(ReadOut::LastValue, std::int64_t{0});
        show(ReadOut::PlottedPoints, std::int64_t{0});
        // Nothing on the board belongs to this (empty) curve any more.
        if (!indicator_hidden) {
            p_.cmdWindow.set_visible(false);
            indicator_hidden = true;
        }
        return;
    }

    // Board width right of the y axis.
    const std::int32_t w = clamp_long(std::int64_t{nxpix} - margin - 1);
    const auto fit_nummax = [&] {
        std::int64_t m = nstep > 0 ? std::int64_t{w} / nstep : 0;
        if (m < 1) m = 1;  // at least one point is always in view
        nummax = clamp_long(m);
    };

    if (nstep == -1) {
        // The first step: the curve spread over the board, kept between 20
        // twips (points still tell apart) and maxstep (a few points do not
        // look like a coarse polygon).
        const float q = Float(w) / Float(npcur);
        nstep = nearest_long(static_cast<double>(q));
        if (nstep > maxstep) nstep = maxstep;
        if (nstep < kMinStep) nstep = kMinStep;
        nf = 1;
        fit_nummax();
        nl = nummax < npcur ? nummax : npcur;
    }

    // A window left from a curve of another length is fitted anew as well.
    const bool window_valid = nf >= 1 && nl >= nf && nl <= npcur;
    if (relim || !window_valid) {
        if (nstep != 0) {
            fit_nummax();
            const std::int64_t first = nf >= 1 ? nf : 1;
            std::int64_t last = first - 1 + nummax;
            if (last > npcur) last = npcur;
            std::int64_t nfirst = last + 1 - nummax;
            if (nfirst < 1) nfirst = 1;
            nl = clamp_long(last);
            nf = clamp_long(nfirst);
        } else {
            nf = 1;
            nl = npcur;
            step = static_cast<double>(Float(w)) / static_cast<double>(Float(nl)) * dfactor;
        }
        relim = false;
    }

    show(ReadOut::StepSize, std::int64_t{nstep});
    window_readouts();

    draw_yaxis();
    gfxdrawboard();
}

}  // namespace vorsel::plot
