// The point under the pointer: which one a pointer names (the running sum of
// "fit to frame" bit for bit), the read-out line and the data line of a small
// file checked by hand, and the mark.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <set>
#include <tuple>
#include <vector>

#include "tests/plot/curve_on_board.h"
#include "tests/plot/plotted_data.h"

namespace {

namespace but = vorsel::plot::but;
using vorsel::platform::BoardPointer;

// The twips of pixel column px (15 twips a pixel) at the height y.
BoardPointer pixel(int px, int y = 2700) { return {15 * px, 15 * px + 14, y, y}; }

// The positions as draw_curve reaches them: one addition after another.
std::vector<int> walked(int origin, double step, std::int64_t n) {
    std::vector<int> x{origin};
    double xr = origin;
    for (std::int64_t j = 1; j < n; ++j) x.push_back(static_cast<int>(std::floor(xr += step)));
    return x;
}

// The point a pointer one twip or one pixel wide names at every place and three
// heights, checked against a plain search over the points as the board's log
// shows them drawn: of those drawn under the pointer the nearest in height. The steps of "fit to
// frame" are rounded in every way a running sum of doubles can be: halfway between two doubles (a
// tenth from the left edge, and at 820), and lost in the rounding altogether.
TEST(PointAt, NamesThePointDrawnUnderThePointer) {
    const std::tuple<const char*, std::int32_t, std::int32_t, std::int32_t, double, int> cases[] = {
        {"fit to frame, a million points", 1000000, 1, 0, 9999.0 / 1e6 * 0.99, 820},
        {"fit to frame, seven points", 7, 1, 0, 9999.0 / 7 * 0.99, 820},
        {"a third", 30000, 1, 0, 1.0 / 3.0, 820},
        {"a tenth from the left edge", 100000, 1, 0, 0.1, 0},
        {"halfway between two doubles", 20000, 1, 0, 0.5 + std::ldexp(1.0, -44), 820},
        {"lost in the rounding", 1000, 1, 0, 1e-14, 820},
        {"step 3, window from 101", 3100, 101, 3, 0.0, 820},
        {"step 40", 249, 1, 40, 0.0, 820}};
    for (const auto& [name, nl, nf, nstep, step, origin] : cases) {
        SCOPED_TRACE(name);
        std::vector<float> y(static_cast<std::size_t>(nl));
        for (std::size_t i = 0; i < y.size(); ++i) y[i] = std::sin(0.37f * static_cast<float>(i));
        vorsel::fakes::CurveOnBoard b(y);
        auto& w = b.w;
        w.nkur.redim(y.size());
        w.nf = nf, w.nstep = nstep, w.step = step, w.nxorg = origin;
        w.valmin = -1.5f, w.skale = 1800.0f;
        w.gfxdrawboard();
        const std::vector<int> x = walked(origin, nstep ? nstep : step, nl - nf + 1);
        std::set<int> drawn;
        for (const auto& op : b.fp.grep("line")) {
            int x1, y1, x2;
            if (std::sscanf(op.c_str(), "line %d %d %d", &x1, &y1, &x2) == 3)
                drawn.insert({x1, x2});
            if (std::sscanf(op.c_str(), "lineto %d", &x2) == 1) drawn.insert(x2);
        }
        ASSERT_EQ(drawn, std::set<int>(x.begin(), x.end()));
        for (int width : {1, 15})
            for (int x0 = 0; x0 < 10800; x0 += width)
                for (int height : {40, 2700, 5400}) {
                    const BoardPointer at{x0, x0 + width - 1, height, height};
                    const auto right = std::lower_bound(x.begin(), x.end(), x0) - x.begin();
                    std::int64_t best = -1, gap = 0;
                    for (auto j = right; j < std::ssize(x) && x[j] <= at.x_last; ++j) {
                        const std::int64_t g = std::llabs(w.nypix - w.nkur(nf + j) - height);
                        if (best < 0 || g < gap) best = nf + j, gap = g;
                    }
                    if (best < 0) continue;  // nearest in x: the small file below
                    const auto got = w.point_at(at);
                    ASSERT_TRUE(got);
                    ASSERT_EQ(got->i, best) << "twips " << x0 << " + " << width << ", y " << height;
                    ASSERT_EQ(got->x, x[static_cast<std::size_t>(best - nf)]);
                    ASSERT_EQ(got->y, w.nypix - w.nkur(got->i));
                }
    }
}

// Six reflections: running number, Fo, Fc, s(Fo), theta; the other fields c + 0.5.
// Line 3 (Fo/s(Fo) = 2) stays out; in ascending theta the curve is the lines 6,
// 2, 4, 1, 5 (running numbers 506, 502, 504, 501, 505). The first step is 200
// twips (x = 820, 1020, 1220, 1420, 1620); fit to frame spaces them 9999 / 5 x
// 0.99 = 1979.802 twips apart (x = 820, 2799, 4779, 6759, 8739).
const float kLines[6][5] = {{501, 100, 98, 2, 12}, {502, 50, 53, 1, 4},  {503, 10, 9, 5, 20},
                            {504, 80, 80, 4, 8},   {505, 60, 54, 3, 16}, {506, 40, 44, 2, 2}};
float field(int c, int k) {
    if (c <= 4) return kLines[k - 1][c - 1];
    return c == 6 ? kLines[k - 1][4] : static_cast<float>(c) + 0.5f;
}

TEST(PointAt, NamesTheReflectionOfASmallFile) {
    const std::tuple<bool, bool, int, const char*> cases[] = {
        // fit, reverse, pixel, reflection
        {false, false, 94, "501"}, {false, false, 100, "501"}, {false, false, 666, "505"},
        {false, false, 0, "506"},  {false, true, 94, "502"},   {false, true, 54, "505"},
        {true, false, 450, "501"}, {true, false, 380, "504"},  {true, true, 450, "502"},
        {true, true, 55, "505"},
    };
    for (const auto& [fit, reverse, px, reflection] : cases) {
        SCOPED_TRACE(std::to_string(px) + (fit ? " fit" : "") + (reverse ? " reversed" : ""));
        vorsel::fakes::PlottedData d(6, field);
        if (fit) d.w.cmdBut_Click(but::Fit);
        if (reverse) d.w.cmdBut_Click(but::Reverse);
        d.w.pctPlot_MouseMove(pixel(px));
        const std::string& text = d.fp.point_view.text;
        EXPECT_NE(text.find(std::string("reflection ") + reflection + " "), text.npos) << text;
    }
}

TEST(PointAt, ReadOutLineDataLineAndMark) {
    vorsel::fakes::PlottedData d(6, field);
    auto& view = d.fp.point_view;
    d.w.pctPlot_MouseMove(pixel(94));
    EXPECT_EQ(view.text, "point 4 of 5   reflection 501 (line 1)   theta 12   dF / s(Fo) 1");
    d.w.pctPlot_MouseDown(pixel(94));
    EXPECT_EQ(
        view.details,
        view.text +
            "\nrunning number  501\nFo              100\n"
            "Fc              98\ns(Fo)           2\nXRtime          5.5\ntheta           12\n"
            "phi             7.5\nomega           8.5\nkappa           9.5\nBckgrRat        10.5\n"
            "abscor          11.5\ndrift           12.5\nweight          13.5");
    // A green cross on the point as drawn; it stays while the pointer moves
    // on, and goes with the next redraw.
    EXPECT_EQ(view.mark, std::make_pair(1420, static_cast<int>(d.w.nypix - d.w.nkur(4))));
    EXPECT_EQ(view.mark_colour, 0x0000FF00u);
    d.w.pctPlot_MouseMove(pixel(300));
    EXPECT_TRUE(view.mark);
    d.w.cmdBut_Click(but::Sqrt);
    EXPECT_FALSE(view.mark);
    d.w.cmdBut_Click(but::Smooth);
    d.w.pctPlot_MouseMove(pixel(94));
    EXPECT_TRUE(view.text.starts_with(
        "point 4 of 5   reflection 501 (line 1)   theta 12   sqrt(dF / s(Fo)) 1   smoothed "))
        << view.text;
    d.w.pctPlot_MouseLeave();
    EXPECT_EQ(view.text, "");
}

}  // namespace
