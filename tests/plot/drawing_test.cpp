// The curve on the board: the points' x positions, their heights through the
// library's mapping, the overlay, the indicator on the range bar, and the
// windows of one point and of no curve at all.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "tests/fakes/fake_platform.h"
#include "plot/frmVorselPlot.h"

namespace {

using vorsel::fakes::FakePlatform;
using vorsel::plot::frmVorselPlot;

struct Drawing {
    FakePlatform fp;
    frmVorselPlot plot{fp.plot_platform()};
    // A curve of n points with the board of the design size.
    explicit Drawing(std::int32_t n) {
        auto& p = plot;
        const auto size = static_cast<std::size_t>(n);
        for (auto* a : {&p.ycur, &p.ysmo, &p.xcur}) a->redim(size);
        p.nkur.redim(size);
        p.npcur = n, p.nf = 1, p.nl = n;
        p.set_defaults();
        p.take_board_size();
        p.nstep = 100;
        p.valmin = 0.0f, p.skale = 100.0f;
    }
    // x of every point drawn, in drawing order.
    std::vector<int> xs() const {
        std::vector<int> out;
        for (const auto& op : fp.log) {
            int x1, y1, x2, y2;
            if (std::sscanf(op.c_str(), "line %d %d %d %d", &x1, &y1, &x2, &y2) == 4) {
                out.push_back(x1);
                out.push_back(x2);
            } else if (std::sscanf(op.c_str(), "lineto %d %d", &x2, &y2) == 2) {
                out.push_back(x2);
            }
        }
        return out;
    }
};

TEST(DrawCurve, PointsAtWholeOrRunningSteps) {
    {
        SCOPED_TRACE("nstep 3");
        Drawing d(100);
        d.plot.nstep = 3;
        d.plot.draw_curve();
        const auto xs = d.xs();
        ASSERT_EQ(xs.size(), 100u);
        for (std::size_t j = 0; j < xs.size(); ++j) EXPECT_EQ(xs[j], 820 + 3 * static_cast<int>(j));
        EXPECT_EQ(xs.back(), 1117);
    }
    {
        SCOPED_TRACE("step 2.5");
        Drawing d(5);
        d.plot.nstep = 0;
        d.plot.step = 2.5;
        d.plot.draw_curve();
        EXPECT_EQ(d.xs(), (std::vector<int>{820, 822, 825, 827, 830}));
    }
}

TEST(DrawCurve, WindowInsideTheCurveStartsAtTheOrigin) {
    Drawing d(10);
    d.plot.nf = 4, d.plot.nl = 6, d.plot.nstep = 50;
    for (std::int32_t i = 1; i <= 10; ++i) d.plot.nkur(i) = 100 * i;
    d.plot.icolor = 0x00FFFF;
    d.plot.draw_curve();
    EXPECT_EQ(d.fp.grep("line"), (std::vector<std::string>{
                                     "line 820 5015 870 4915 FFFF w1",
                                     "lineto 920 4815 FFFF w1",
                                 }));
}

// The whole op list of a four-point curve with its smoothed overlay.
// valmin 0 and skale 100 put y = 1 at 100 twips above the bottom edge.
TEST(GfxDrawBoard, CurveThenOverlayThenIndicator) {
    Drawing d(4);
    auto& p = d.plot;
    p.ycur.vec() = {1.0f, 2.0f, 3.0f, 4.0f};
    p.ysmo.vec() = {1.5f, 2.0f, 3.0f, 3.5f};
    p.smoothed = true;
    p.gfxdrawboard();
    EXPECT_EQ(d.fp.log, (std::vector<std::string>{
                            "lib.KUR_TO_NKUR 1 4",
                            "pen 1",
                            "line 820 5315 920 5215 FFFF w1",
                            "lineto 1020 5115 FFFF w1",
                            "lineto 1120 5015 FFFF w1",
                            "cmdWindow.left 120",
                            "cmdWindow.width 10798",
                            "lib.KUR_TO_NKUR 1 4",
                            "pen 2",
                            "line 820 5265 920 5215 FF w2",
                            "lineto 1020 5115 FF w2",
                            "lineto 1120 5065 FF w2",
                            "cmdWindow.left 120",
                            "cmdWindow.width 10798",
                        }));
    EXPECT_EQ(p.icolor, 0x0000FFu);
    EXPECT_TRUE(p.active);
}

TEST(GfxDrawBoard, HeightsStayOnTheBoard) {
    Drawing d(4);
    auto& p = d.plot;
    p.valmin = -1.0f, p.valmax = 50.0f, p.skale = 5415.0f / 51.0f;  // maxpix / range
    p.ycur.vec() = {-3.0f, -1.0f, 50.0f, 80.0f};
    p.gfxdrawboard();
    // At or below valmin on the bottom edge, at or above valmax at nypix - maxpar.
    EXPECT_EQ(d.fp.grep("line"), (std::vector<std::string>{
                                     "line 820 5415 920 5415 FFFF w1",
                                     "lineto 1020 1 FFFF w1",
                                     "lineto 1120 1 FFFF w1",
                                 }));
}

TEST(GfxDrawBoard, UnboundLibraryDrawsNothing) {
    Drawing d(4);
    d.fp.library.fail_binding = true;
    d.plot.smoothed = true;
    d.plot.gfxdrawboard();
    EXPECT_EQ(d.fp.log, (std::vector<std::string>{"lib.KUR_TO_NKUR 1 4"}));
    EXPECT_FALSE(d.plot.active);
}

TEST(PlaceViewWindow, IndicatorShowsTheWindowsShare) {
    struct Case { const char* name; std::int32_t npcur, nf, nl; double left, width; };
    const Case cases[] = {
        // ratio 0.2: wwin 2160; offs Fix(0.201 x 10800) = 2170.
        {"points 201 to 400 of 1000", 1000, 201, 400, 120 + 2169, 2159},
        {"whole curve", 1000, 1, 1000, 120, 10798},
        // offs Fix(0.502 x 10800) = 5421; the right end 2 twips before the bar's.
        {"up to the last point", 1000, 502, 1000, 120 + 5420, 10800 - 5421 - 1},
        {"first points", 1000, 1, 499, 120, 5388},
        // Under 60 twips (4 pixels) the bar is 60 twips wide about its centre
        // (5519.5 for the exact bar at 5519, 1 twip wide), and stays on the range.
        {"one point in a million", 1000000, 500000, 500000, 5519.5 - 30, 60},
        {"first 500 of a million", 1000000, 1, 500, 120, 60},
        {"last 500 of a million", 1000000, 999501, 1000000, 120 + 10800 - 60, 60},
        {"just wide enough", 1000000, 1, 5647, 120, 60},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Drawing d(1);
        d.plot.npcur = c.npcur, d.plot.nf = c.nf, d.plot.nl = c.nl;
        d.plot.place_viewwindow();
        EXPECT_EQ(d.fp.window.left_, c.left);
        EXPECT_EQ(d.fp.window.width_, c.width);
    }
}

TEST(OnePointWindow, DrawnAsAShortMarkAtItsHeight) {
    struct Case { const char* name; std::int32_t npcur, at; };
    const Case cases[] = {{"the only point", 1, 1}, {"inside a curve", 10, 5}, {"last point", 10, 10}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Drawing d(c.npcur);
        auto& p = d.plot;
        for (std::int32_t i = 1; i <= c.npcur; ++i) p.nkur(i) = 7777;  // never mapped
        p.ycur(c.at) = 2.0f;
        p.nf = c.at, p.nl = c.at;
        p.gfxdrawboard();
        EXPECT_EQ(d.fp.grep("lib."), (std::vector<std::string>{
                                         "lib.KUR_TO_NKUR " + std::to_string(c.at) + " " +
                                         std::to_string(c.at)}));
        EXPECT_EQ(d.fp.grep("line"), (std::vector<std::string>{"line 820 5215 880 5215 FFFF w1"}));
        EXPECT_TRUE(p.active);
    }
}

TEST(NoCurve, NothingDrawnAndTheIndicatorHidden) {
    Drawing d(5);
    auto& p = d.plot;
    p.npcur = 0;
    p.gfxdrawboard();
    EXPECT_EQ(d.fp.log, (std::vector<std::string>{"cmdWindow.visible 0"}));
    EXPECT_FALSE(p.active);
    p.gfxdrawboard();  // hidden once, not again
    EXPECT_EQ(d.fp.log.size(), 1u);

    p.npcur = 5, p.nf = 1, p.nl = 5;
    p.ycur.vec() = {1, 1, 1, 1, 1};
    p.gfxdrawboard();
    EXPECT_TRUE(d.fp.window.visible);
    EXPECT_EQ(d.fp.grep("cmdWindow"), (std::vector<std::string>{
                                          "cmdWindow.visible 0",
                                          "cmdWindow.left 120",
                                          "cmdWindow.width 10798",
                                          "cmdWindow.visible 1",
                                      }));
}

TEST(NoCurve, WindowOutsideTheCurveIsNotDrawn) {
    struct Case { const char* name; std::int32_t nf, nl; };
    const Case cases[] = {{"past the end", 4, 9}, {"point zero", 0, 3}, {"reversed", 4, 3}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Drawing d(5);
        d.plot.nf = c.nf, d.plot.nl = c.nl;
        d.plot.gfxdrawboard();
        d.plot.draw_curve();
        EXPECT_TRUE(d.fp.grep("lib.").empty());
        EXPECT_TRUE(d.fp.grep("line").empty());
    }
}

}  // namespace
