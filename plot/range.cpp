// The y value range of the board: which stretch of y values the board shows
// (valmin at the bottom edge, valmax at the top), how far apart the grid lines
// lie (tickval), how many twips one y unit takes (skale), and how many decimals
// the grid labels carry (format_label). draw_yaxis computes the range, has the
// board and axes drawn (board.cpp), then shows the clip read-outs.
//
// The arithmetic is single precision step by step: every intermediate that is
// a Single is stored as a float before the next step uses it, and a product or
// quotient with a Long or a double constant is formed in double and stored
// once. The order of rounding decides the tick for ranges like exactly 1000.
//
// Departures where the plain computation would take the logarithm of zero,
// divide by zero or let a NaN or an infinity reach the board:
// - A y value that is not a finite number does not count toward the extremes;
//   values beyond +-1E7 count as +-1E7 for the range (the board cannot show
//   them anyway: its limits stay within -9999 .. 99999).
// - No point in view: the data read-outs show 0 and 0.
// - A flat curve gets a range of its own. When no finite point counts, or the
//   spread of the values is not above 1/100000 of their largest magnitude
//   (about a hundred units in the last place of a Single: the values are equal
//   as far as single precision can tell) or not above 1E-30, the range is
//   worked out as if the values ran from c - h to c + h. c is the middle of the
//   values (0 without any), brought into -9999 .. 99999; h is half of the
//   larger of |c| and 1. A constant 1 thus gets the board 0.3 .. 1.7 with its
//   line in the middle and labels 0.40 .. 1.60; a constant 0 gets -0.7 .. 0.7;
//   a constant -250 gets -420 .. 0 with its line 40 % up the board.
// - The top edge is held at 0 for a curve below zero, so a small spread far
//   below zero (-4510 .. -4508) would put thousands of grid lines, and as many
//   overlapping labels, on the board. When more than 25 tick intervals lie
//   between the edges, the tick is worked out anew, by the same steps, from
//   the range the board shows (there: 600 instead of 0.4). The limits and
//   the scale stay as computed.
// - When the clamp of the limits to -9999 .. 99999 leaves no room between them
//   (every value below -9999 or above 99999), the far limit becomes 0, so the
//   board shows 0 .. 99999 or -9999 .. 0 with the curve on its edge.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <string>

#include "platform/format.h"
#include "plot/frmVorselPlot.h"

namespace vorsel::plot {

namespace {

// The extremes start beyond any value of the curve.
constexpr float kFarAbove = 1.0E7f;
// The limits that format_label leaves: the board never reaches past them.
constexpr float kLowestLimit = -9999.0f;
constexpr float kHighestLimit = 99999.0f;
// A spread at or below these is a flat curve.
constexpr float kFlatRelative = 1.0E-5f;
constexpr float kFlatAbsolute = 1.0E-30f;
// More tick intervals than this between the edges: the tick suits the range
// shown, not the spread of the values (the plain tick never gives more than
// about 14).
constexpr float kMostIntervals = 25.0f;

struct Range {
    float valmin;
    float valmax;
    float tickval;
};

// Tick interval for a range above 0: a round step that cuts the range into
// five to ten parts.
float tick_for(float range) {
    // Base-10 logarithm stored as a Single before it is rounded down: a range
    // of exactly 1000 gives 2.9999999999999996 in double, 3 as a Single.
    const float lg = static_cast<float>(std::log(static_cast<double>(range)) / std::log(10.0));
    const float kf = std::clamp(std::floor(lg), -45.0f, 45.0f);
    const auto k = static_cast<std::int32_t>(kf);
    const float p = static_cast<float>(std::pow(10.0, k));

    const float q = std::clamp(std::floor(range / p), 0.0f, 1.0E6f);
    auto n = static_cast<std::int32_t>(q) + 1;
    if (n > 2 && n % 2 != 0) ++n;

    float tickval = static_cast<float>(static_cast<double>(p) * n / 10.0);
    const float r = range / tickval;
    if (r < 1.0f) {
        tickval = tickval / 10;
    } else if (r < 2.0f) {
        tickval = tickval / 5;
    } else if (r < 2.5f) {
        tickval = tickval / 4;
    } else if (r < 5.0f) {
        tickval = tickval / 2;
    }
    return tickval;
}

// Tick interval and the rounded-out limits for data from lo to hi (hi > lo).
Range tick_range(float lo, float hi) {
    const float tickval = tick_for(hi - lo);

    // Upper limit: more than half a tick of room above the highest value, half
    // a tick above 0 when the highest value is near 0, never below 0.
    float valmax = hi;
    float m = std::floor(std::fabs(valmax) / tickval);
    if (valmax > 0.1f) {
        valmax = static_cast<float>((static_cast<double>(m) + 1.5) * tickval);
    } else if (valmax >= -0.1f) {
        valmax = static_cast<float>(0.5 * tickval);
    } else {
        valmax = static_cast<float>(-(static_cast<double>(m) - 1.5) * tickval);
        if (valmax < 0.0f) valmax = 0.0f;
    }

    // Lower limit: likewise below the lowest value, half a tick below 0 when
    // the lowest value is near 0.
    float valmin = lo;
    m = std::floor(std::fabs(valmin) / tickval);
    if (valmin > 0.1f) {
        valmin = static_cast<float>((static_cast<double>(m) - 0.5) * tickval);
        if (valmin < 0.0f) valmin = static_cast<float>(-0.5 * tickval);
    } else if (valmin >= -0.1f) {
        valmin = static_cast<float>(-0.5 * tickval);
    } else {
        valmin = static_cast<float>(-(static_cast<double>(m) + 1.5) * tickval);
    }
    return {valmin, valmax, tickval};
}

// Label decimals for a limit already clamped to -9999 .. 99999: fewer as the
// magnitude grows, so that a label fits its six characters.
std::int32_t decimals(float v) {
    if (v <= -1000.0f) return 0;
    if (v <= -100.0f) return 1;
    if (v <= -10.0f) return 2;
    if (v < 0.0f) return 3;
    if (v < 10.0f) return 4;
    if (v < 100.0f) return 3;
    if (v < 1000.0f) return 2;
    if (v < 10000.0f) return 1;
    return 0;
}

}  // namespace

void frmVorselPlot::draw_yaxis() {
    // ---- Value range, tick and scale; the data extremes.
    value_range();
    // ---- The board, its axis, zero band, grid and labels.
    draw_axes();
    // ---- Distances in twips from the zero row to the top and bottom edges.
    // Fix of a Single stays a Single, so no integer conversion is involved.
    show(platform::ReadOut::MaxClipValue, std::trunc(valmax * skale));
    show(platform::ReadOut::MinClipValue, std::trunc(valmin * skale));
}

Extremes finite_extremes(const float* y, std::int64_t count) {
    // In a form the compiler vectorises: a value that is not finite leaves
    // both as they are, and of equal values (0 and -0) the first one met stays.
    float hi = -std::numeric_limits<float>::infinity();
    float lo = std::numeric_limits<float>::infinity();
    for (std::int64_t i = 0; i < count; ++i) {
        const bool finite = std::fabs(y[i]) <= std::numeric_limits<float>::max();
        hi = finite && y[i] > hi ? y[i] : hi;
        lo = finite && y[i] < lo ? y[i] : lo;
    }
    Extremes e;
    if (lo <= hi) e = {true, hi, lo};
    return e;
}

Extremes frmVorselPlot::data_extremes() {
    // Over the whole curve the extremes are those of the curve as built: a
    // view window that moves along ten million points does not look at every
    // one of them again.
    if (overall && overall_.npcur == npcur && overall_.curve == cache.curve_generation())
        return overall_.extremes;
    std::int64_t first = overall ? 1 : nf;
    std::int64_t last = overall ? npcur : nl;
    first = std::max<std::int64_t>(first, 1);
    last = std::min<std::int64_t>({last, npcur, static_cast<std::int64_t>(ycur.size())});

    const Extremes e =
        last >= first ? finite_extremes(ycur.data() + (first - 1), last - first + 1) : Extremes{};
    if (overall) overall_ = {npcur, cache.curve_generation(), e};
    return e;
}

void frmVorselPlot::value_range() {
    const Extremes e = data_extremes();
    show(platform::ReadOut::MaxValue, e.any ? e.hi : 0.0f);
    show(platform::ReadOut::MinValue, e.any ? e.lo : 0.0f);

    float whi = std::clamp(e.hi, -kFarAbove, kFarAbove);
    float wlo = std::clamp(e.lo, -kFarAbove, kFarAbove);
    const float spread = whi - wlo;
    const float magnitude = std::max(std::fabs(whi), std::fabs(wlo));
    if (!e.any || !(spread > std::max(magnitude * kFlatRelative, kFlatAbsolute))) {
        double c = e.any ? (static_cast<double>(wlo) + whi) / 2.0 : 0.0;
        c = std::clamp(c, static_cast<double>(kLowestLimit), static_cast<double>(kHighestLimit));
        const double h = 0.5 * std::max(std::fabs(c), 1.0);
        whi = static_cast<float>(c + h);
        wlo = static_cast<float>(c - h);
    }

    const Range rg = tick_range(wlo, whi);
    valmax = rg.valmax;
    valmin = rg.valmin;
    tickval = rg.tickval;

    std::string unused;
    format_label(unused, valmax, kLabelUpperLimit);
    format_label(unused, valmin, kLabelLowerLimit);
    if (!(valmax > valmin)) {
        if (valmin > 0.0f) {
            valmin = 0.0f;
            format_label(unused, valmin, kLabelLowerLimit);
        } else {
            valmax = 0.0f;
            format_label(unused, valmax, kLabelUpperLimit);
        }
    }

    const float height = valmax - valmin;
    if (height / tickval > kMostIntervals) tickval = tick_for(height);
    skale = static_cast<float>(static_cast<double>(maxpix) / static_cast<double>(height));
}

void frmVorselPlot::format_label(std::string& text, float& value, int mode) {
    // A NaN has no place on an axis; it becomes 0 like an empty value would.
    if (std::isnan(value)) value = 0.0f;
    if (value < kLowestLimit) value = kLowestLimit;
    if (value > kHighestLimit) value = kHighestLimit;

    if (mode == kLabelUpperLimit) {
        ndecmax = decimals(value);
        return;
    }
    if (mode == kLabelLowerLimit) {
        ndecmin = decimals(value);
        return;
    }
    if (mode != kLabelGrid) return;

    const std::int32_t ndec = std::clamp(std::min(ndecmax, ndecmin), 0, 2);
    text = platform::at_pattern(platform::fixed_decimals(value, ndec),
                                ndec == 0 ? "@@@@@@." : "@@@@@@");
}

}  // namespace vorsel::plot
