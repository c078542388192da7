// The curve on the board: the view window's values mapped to heights by the
// library (KUR_TO_NKUR), drawn as one connected line from left to right, the
// smoothed overlay on top of it, and the indicator on the range bar that shows
// which stretch of the curve is in view.
//
// Departures where the plain drawing would show stale or undefined things:
// - a view window of a single point is drawn as a short horizontal mark at the
//   point's height (a line to a neighbour would use a height never mapped);
// - without a curve (npcur = 0) nothing is drawn and the indicator is hidden,
//   and it comes back with the next curve drawn;
// - the indicator is never given a width below one twip.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include "library/numeric.h"
#include "plot/frmVorselPlot.h"

namespace vorsel::plot {

using numeric::saturate;

namespace {

// Length of the mark that stands for a one-point view window: four pixels on
// a usual screen, enough to be seen beside the axis.
constexpr std::int32_t kOnePointMark = 60;
// The narrowest view-window indicator: four pixels on a usual screen.
constexpr std::int64_t kNarrowestIndicator = 60;

// The points of a curve in drawing order, drawn as one connected line with
// each run of points in one twip column reduced to the lines that show it.
class ColumnRun {
public:
    ColumnRun(platform::Board& board, platform::Colour colour, int x, int y)
        : board_(board), colour_(colour), start_x_(x), start_y_(y), x_(x), low_(y),
          high_(y), last_(y), pen_y_(y) {}

    void add(int x, int y) {
        if (x == x_) {
            low_ = std::min(low_, y);
            high_ = std::max(high_, y);
            last_ = y;
            return;
        }
        flush();
        to(x, y);
        x_ = x;
        low_ = high_ = last_ = pen_y_ = y;
    }

    void finish() {
        flush();
        // A curve whose points all lie on the first point still shows it.
        if (!drawn_) board_.line(start_x_, start_y_, x_, last_, colour_);
    }

private:
    // The run's column from the first point (where the pen is) to its lowest,
    // its highest and its last point.
    void flush() {
        for (int y : {low_, high_, last_})
            if (y != pen_y_) {
                to(x_, y);
                pen_y_ = y;
            }
    }
    void to(int x, int y) {
        if (drawn_) {
            board_.line_to(x, y, colour_);
        } else {
            board_.line(start_x_, start_y_, x, y, colour_);
            drawn_ = true;
        }
    }

    platform::Board& board_;
    platform::Colour colour_;
    int start_x_, start_y_;
    int x_, low_, high_, last_, pen_y_;
    bool drawn_ = false;
};

}  // namespace

void frmVorselPlot::gfxdrawboard() {
    // Only a window inside the current curve has heights to draw.
    const bool window_ok = window_in_curve() && static_cast<std::size_t>(nl) <= ycur.size() &&
                           static_cast<std::size_t>(nl) <= nkur.size() &&
                           (!smoothed || static_cast<std::size_t>(nl) <= ysmo.size());
    if (!window_ok) return hide_indicator();

    if (!p_.library.KUR_TO_NKUR(ycur.data(), nkur.data(), &npcur, &nf, &nl, &valmin, &maxpar,
                                &skale))
        return;
    p_.pctPlot.set_pen_width(1);
    icolor = icob;
    draw_curve();

    if (smoothed) {
        // Same valmin and skale: the overlay is read against the same axis.
        if (!p_.library.KUR_TO_NKUR(ysmo.data(), nkur.data(), &npcur, &nf, &nl, &valmin,
                                    &maxpar, &skale))
            return;
        p_.pctPlot.set_pen_width(2);
        icolor = icsm;
        draw_curve();
    }
    active = true;
}

void frmVorselPlot::draw_curve() {
    if (!window_in_curve() || static_cast<std::size_t>(nl) > nkur.size()) return;

    const int y1 = saturate(std::int64_t{nypix} - nkur(nf));
    if (nl == nf) {
        p_.pctPlot.line(nxorg, y1, saturate(std::int64_t{nxorg} + kOnePointMark), y1, icolor);
        place_viewwindow();
        return;
    }

    // Whole steps add up exactly; a real step is accumulated and each point
    // rounded down, so the spacing alternates where the step is fractional.
    std::int64_t x = nxorg;
    double xr = nxorg;
    const auto advance = [&] {
        if (nstep != 0) {
            x += nstep;
            return saturate(x);
        }
        xr += step;
        return numeric::floor_saturated(xr);
    };

    // "fit to frame" spreads up to a million points over ten thousand twips,
    // so many points share one twip column. The lines between them are
    // vertical and together cover the column from its lowest to its highest
    // point: such a run is drawn as the line into its first point, then lines
    // to its lowest, its highest and its last point. The board shows the same
    // marks, from a hundredth of the lines.
    ColumnRun run{p_.pctPlot, icolor, nxorg, y1};
    const std::int32_t last = nl;
    for (std::int64_t i = std::int64_t{nf} + 1; i <= last; ++i)
        run.add(advance(), saturate(std::int64_t{nypix} - nkur(i)));
    run.finish();
    place_viewwindow();
}

void frmVorselPlot::hide_indicator() {
    if (indicator_hidden) return;
    p_.cmdWindow.set_visible(false);
    indicator_hidden = true;
}

void frmVorselPlot::place_viewwindow() {
    if (!window_in_curve()) return hide_indicator();

    const float ratio =
        static_cast<float>(static_cast<double>(std::int64_t{nl} - nf + 1) / static_cast<double>(npcur));
    const double range_width = p_.cmdRange.width();
    const std::int32_t W = numeric::nearest_even_saturated(range_width);
    const std::int64_t wwin = static_cast<std::int64_t>(static_cast<double>(W) * static_cast<double>(ratio));
    std::int64_t offs = static_cast<std::int64_t>(static_cast<double>(nf) / static_cast<double>(npcur) *
                                                  static_cast<double>(W));
    if (nf == 1) offs = 1;
    std::int64_t width = wwin - 1;
    if (nl == npcur) width = numeric::nearest_even_saturated(range_width - static_cast<double>(offs) - 1.0);
    if (width < 1) width = 1;  // a control cannot be narrower than nothing

    double left = p_.cmdRange.left() + static_cast<double>(offs) - 1.0;
    if (width < kNarrowestIndicator) {
        // A window of a few points among a million would be a bar under a
        // pixel wide: it is drawn as wide as can be seen, about its own centre,
        // and kept on the range bar.
        const double centre = left + static_cast<double>(width) / 2.0;
        const double lowest = p_.cmdRange.left();
        const double highest = p_.cmdRange.left() + range_width - kNarrowestIndicator;
        left = std::max(lowest, std::min(centre - kNarrowestIndicator / 2.0, highest));
        width = kNarrowestIndicator;
    }
    p_.cmdWindow.set_left(left);
    p_.cmdWindow.set_width(static_cast<double>(width));
    if (indicator_hidden) {
        p_.cmdWindow.set_visible(true);
        indicator_hidden = false;
    }
}

}  // namespace vorsel::plot
