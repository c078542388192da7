// The point under the pointer: where the points lie (the running sum of "fit
// to frame" bit for bit), which one a pixel column names, the read-out line
// and the data line of a small file checked by hand, and the mark.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <set>
#include <vector>

#include "plot/running_sum.h"
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

TEST(RunningSum, GivesThePositionsOfTheWalk) {
    struct Case {
        const char* name;
        int origin;
        double step;
        std::int64_t n;
    };
    const Case cases[] = {
        {"a million points fit to frame", 820, 9999.0 / 1e6 * 0.99, 1000000},
        {"seven points fit to frame", 820, 9999.0 / 7 * 0.99, 7},
        {"step 2.5", 820, 2.5, 5000},
        {"a third", 820, 1.0 / 3.0, 30000},
        {"halfway between two doubles at 820", 820, 0.5 + std::ldexp(1.0, -44), 20000},
        {"from zero", 0, 0.1, 100000},
        {"lost in the rounding", 820, 1e-14, 1000},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::vector<int> want = walked(c.origin, c.step, c.n);
        const vorsel::plot::RunningSum sum(c.origin, c.step);
        for (std::int64_t j = 0; j < c.n; j += 1 + j / 20000) ASSERT_EQ(sum.x(j), want[j]) << j;
        for (int at = want.front() - 1; at <= want.back() + 1; ++at) {
            const auto first = std::lower_bound(want.begin(), want.end(), at) - want.begin();
            ASSERT_EQ(sum.first_at(at, c.n), first) << at;
        }
    }
}

// Every pixel column at three heights names the point a plain search over the
// drawn points finds: of those drawn in the column the nearest in height, else
// the nearest in x. x from the board's log, heights from the mapping.
TEST(PointAt, NamesThePointDrawnUnderThePointer) {
    struct Case {
        const char* name;
        std::int32_t npcur, nf, nl, nstep;
    };
    const Case cases[] = {{"fit to frame, 30000 points", 30000, 1, 30000, 0},
                          {"step 3, window from 101", 5000, 101, 3100, 3},
                          {"step 40", 500, 1, 249, 40}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<float> y(static_cast<std::size_t>(c.npcur));
        for (std::size_t i = 0; i < y.size(); ++i) y[i] = std::sin(0.37f * static_cast<float>(i));
        vorsel::fakes::CurveOnBoard b(y);
        auto& w = b.w;
        w.nkur.redim(y.size());
        w.nf = c.nf, w.nl = c.nl, w.nstep = c.nstep;
        w.step = 9999.0 / c.npcur * 0.99;
        w.valmin = -1.5f, w.skale = 1800.0f;
        w.gfxdrawboard();
        const std::vector<int> x =
            c.nstep ? walked(820, 1.0 * c.nstep, c.nl - c.nf + 1) : walked(820, w.step, c.npcur);
        std::set<int> drawn;
        for (const auto& op : b.fp.grep("line")) {
            int x1, y1, x2;
            if (std::sscanf(op.c_str(), "line %d %d %d", &x1, &y1, &x2) == 3)
                drawn.insert({x1, x2});
            if (std::sscanf(op.c_str(), "lineto %d", &x2) == 1) drawn.insert(x2);
        }
        ASSERT_EQ(drawn, std::set<int>(x.begin(), x.end()));
        for (int px = 0; px < 720; ++px)
            for (int height : {40, 2700, 5400}) {
                const BoardPointer at = pixel(px, height);
                const auto right = std::lower_bound(x.begin(), x.end(), at.x_first) - x.begin();
                std::int64_t best = -1, gap = 0;
                for (auto j = right; j < std::ssize(x) && x[j] <= at.x_last; ++j) {
                    const std::int64_t g = std::llabs(w.nypix - w.nkur(c.nf + j) - height);
                    if (best < 0 || g < gap) best = c.nf + j, gap = g;
                }
                if (best < 0) {
                    const bool left =
                        right == std::ssize(x) ||
                        (right > 0 && 15 * px + 7 - x[right - 1] <= x[right] - 15 * px - 7);
                    best = c.nf + right - (left ? 1 : 0);
                }
                const auto got = w.point_at(at);
                ASSERT_TRUE(got);
                ASSERT_EQ(got->i, best) << "pixel " << px << " height " << height;
                EXPECT_EQ(got->x, x[static_cast<std::size_t>(best - c.nf)]);
                EXPECT_EQ(got->y, w.nypix - w.nkur(got->i));
            }
    }
}

// Six reflections: running number, Fo, Fc, s(Fo), theta; the other fields c + 0.5.
// Line 3 (Fo/s(Fo) = 2) stays out, the curve in ascending theta is the lines
// 6, 2, 4, 1, 5 (running numbers 506, 502, 504, 501, 505). The first step is
// 200 twips (x = 820, 1020, 1220, 1420, 1620); fit to frame spaces them
// 9999 / 5 x 0.99 = 1979.802 twips (x = 820, 2799, 4779, 6759, 8739).
const float kLines[6][5] = {{501, 100, 98, 2, 12}, {502, 50, 53, 1, 4},  {503, 10, 9, 5, 20},
                            {504, 80, 80, 4, 8},   {505, 60, 54, 3, 16}, {506, 40, 44, 2, 2}};
float field(int c, int k) {
    if (c <= 4) return kLines[k - 1][c - 1];
    return c == 6 ? kLines[k - 1][4] : static_cast<float>(c) + 0.5f;
}

TEST(PointAt, NamesTheReflectionOfASmallFile) {
    struct Case {
        bool fit, reverse;
        int px;
        const char* running_number;
    };
    const Case cases[] = {
        {false, false, 94, "501"}, {false, false, 100, "501"}, {false, false, 666, "505"},
        {false, false, 0, "506"},  {false, true, 94, "502"},   {false, true, 54, "505"},
        {true, false, 450, "501"}, {true, false, 380, "504"},  {true, true, 450, "502"},
        {true, true, 55, "505"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.px) + (c.fit ? " fit" : " step") +
                     (c.reverse ? " reversed" : ""));
        vorsel::fakes::PlottedData d(6, field);
        if (c.fit) d.w.cmdBut_Click(but::Fit);
        if (c.reverse) d.w.cmdBut_Click(but::Reverse);
        d.w.pctPlot_MouseMove(pixel(c.px));
        EXPECT_NE(d.fp.point_view.text.find(std::string("reflection ") + c.running_number + " "),
                  std::string::npos)
            << d.fp.point_view.text;
    }
}

TEST(PointAt, ReadOutLineAndDataLine) {
    vorsel::fakes::PlottedData d(6, field);
    auto& view = d.fp.point_view;
    d.w.pctPlot_MouseMove(pixel(94));
    EXPECT_EQ(view.text, "point 4 of 5   reflection 501 (line 1)   theta 12   dF / s(Fo) 1");
    d.w.pctPlot_MouseDown(pixel(94));
    EXPECT_EQ(
        view.details,
        view.text +
            "\n"
            "running number  501\nFo              100\nFc              98\ns(Fo)           2\n"
            "XRtime          5.5\ntheta           12\nphi             7.5\nomega           8.5\n"
            "kappa           9.5\nBckgrRat        10.5\nabscor          11.5\ndrift           "
            "12.5\n"
            "weight          13.5");
    // The cross stands on the point as drawn, in green; hovering leaves it.
    EXPECT_EQ(view.mark, std::make_pair(1420, static_cast<int>(d.w.nypix - d.w.nkur(4))));
    EXPECT_EQ(view.mark_colour, 0x0000FF00u);
    d.w.pctPlot_MouseMove(pixel(300));
    EXPECT_TRUE(view.mark);

    d.w.cmdBut_Click(but::Sqrt);  // a rebuild takes the mark away
    EXPECT_FALSE(view.mark);
    d.w.cmdBut_Click(but::Smooth);
    d.w.pctPlot_MouseMove(pixel(94));
    EXPECT_EQ(view.text.rfind("point 4 of 5   reflection 501 (line 1)   theta 12   "
                              "sqrt(dF / s(Fo)) 1   smoothed ",
                              0),
              0u)
        << view.text;
    d.w.pctPlot_MouseLeave();
    EXPECT_EQ(view.text, "");
    EXPECT_EQ(view.marks_hidden, 1);
}

}  // namespace
