// The board and its y axis: the background that wipes the previous plot, the
// axis bar at `margin`, the zero band, one horizontal grid line per tick with
// its value label in the margin, and print_label, which prints such a label in
// a small fixed-pitch font without disturbing the board's own text settings.
// Positions are twips, y downwards; the value v lies on the row
// r(v) = nypix - Fix((v - valmin) * skale), with Fix truncating toward zero.
//
// The pen width is deliberately left alone: the rectangles are drawn with
// whatever width the last curve drawing left (1, or 2 after a smoothed curve).
//
// Departures from drawing every row at or below the top edge:
// - a grid line, or the zero band, whose row lies more than 100 twips below
//   the bottom edge is skipped: neither it nor its label (dropped by
//   print_label anyway) could show, and a curve of large values far above 0
//   would otherwise send thousands of invisible lines to the surface;
// - the ticks are still accumulated from 0 as the grid is defined, but the
//   count of steps is bounded and a step that no longer changes the value in
//   single precision ends the grid, so no curve can make the loop endless;
// - rows and corners are computed in 64 bits and saturated to the integer
//   range of the surface.
#include <cmath>
#include <cstdint>
#include <string>

#include "library/numeric.h"
#include "plot/frmVorselPlot.h"

namespace vorsel::plot {

using numeric::saturate;

namespace {

constexpr std::int64_t kLabelColumn = 80;  // x of every label's left edge
constexpr std::int64_t kLabelRise = 100;   // a label's top lies this far above its row
constexpr std::int64_t kBelowReach = 100;  // rows further below the bottom edge are skipped
constexpr long kMaxGridSteps = 1L << 24;

}  // namespace

void frmVorselPlot::blank_board() {
    forget_mark();  // it named a point of the picture that goes now
    p_.pctPlot.fill_rect(0, 0, nxpix - 1, nypix - 1, ibackgr);
}

void frmVorselPlot::draw_axes() {
    platform::Board& board = p_.pctPlot;
    const std::int64_t left = std::int64_t{margin} + 10;  // just right of the axis bar
    const std::int64_t right = std::int64_t{nxpix} - 1;

    blank_board();
    board.fill_rect(margin, 0, saturate(std::int64_t{margin} + 9), saturate(std::int64_t{nypix} - 1),
                    icross);

    auto in_reach = [&](std::int64_t r) {
        return r >= 0 && nypix > 0 && r <= std::int64_t{nypix} + kBelowReach;
    };
    std::string text;

    // Zero band: 10 twips high, its lower edge on the zero row.
    const std::int64_t r0 = std::int64_t{nypix} - numeric::trunc_saturated(-valmin * skale);
    if (in_reach(r0)) {
        board.fill_rect(saturate(left), saturate(r0), saturate(right), saturate(r0 - 9), icross);
        float zero = 0.0f;
        format_label(text, zero, kLabelGrid);
        print_label(saturate(kLabelColumn), saturate(r0 - kLabelRise), text, 0);
    }

    // Grid lines above zero (up = +1), then below (up = -1). The tick values
    // are accumulated in single precision, as the labels show them.
    if (!(tickval > 0.0f) || !std::isfinite(tickval)) return;
    for (int up : {1, -1}) {
        float v = 0.0f;
        for (long steps = 0; steps < kMaxGridSteps; ++steps) {
            const float next = up > 0 ? v + tickval : v - tickval;
            if (up > 0 ? next >= valmax : next <= valmin) break;
            if (next == v) break;
            v = next;
            const std::int64_t r = std::int64_t{nypix} - numeric::trunc_saturated((v - valmin) * skale);
            if (!in_reach(r)) continue;
            board.fill_rect(saturate(left), saturate(r), saturate(right), saturate(r), icross);
            format_label(text, v, kLabelGrid);
            print_label(saturate(kLabelColumn), saturate(r - kLabelRise), text, 0);
        }
    }
}

void frmVorselPlot::print_label(std::int32_t x, std::int32_t y, const std::string& text,
                                int flag) {
    if (flag != 0 && x == 0 && y == 0) return;
    // Only a label whose top lies inside the board, below row 11.
    if (!(y > 11 && std::int64_t{y} <= std::int64_t{nypix} - 2)) return;

    platform::Board& board = p_.pctPlot;
    board.set_text_pos(x, y);
    const platform::Colour colour = board.text_colour();
    const std::string font = board.font_name();
    const double size = board.font_size();
    board.set_text_colour(icross);
    board.set_font_name("Courier New");
    board.set_font_size(8);
    board.print(text);
    board.set_text_colour(colour);
    board.set_font_name(font);
    board.set_font_size(size);
}

}  // namespace vorsel::plot
