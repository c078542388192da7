// The board and its y axis as drawing operations: background, axis bar, zero
// band, grid lines, labels, and print_label's band and font handling.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "plot/frmVorselPlot.h"
#include "tests/fakes/fake_platform.h"
#include "tests/plot/curve_on_board.h"

namespace {

using vorsel::fakes::FakePlatform;
using vorsel::fakes::Log;
using vorsel::plot::frmVorselPlot;

using Plot = vorsel::fakes::CurveOnBoard;

// What one label costs on the fake board whose text settings start as
// colour 0, "MS Sans Serif", 8.25 points.
void label(Log& ops, int y, const std::string& text) {
    ops.push_back("textpos 80 " + std::to_string(y));
    ops.push_back("textcolour 8000000F");
    ops.push_back("font Courier New");
    ops.push_back("fontsize 8");
    ops.push_back("print [" + text + "]");
    ops.push_back("textcolour 0");
    ops.push_back("font MS Sans Serif");
    ops.push_back("fontsize 8.25");
}

std::string line(int r) {
    return "rect 810 " + std::to_string(r) + " 10799 " + std::to_string(r) + " 8000000F w2";
}

TEST(DrawYAxis, ExactOperationsOfASmallCurve) {
    Plot p({-0.5f, 1.2f, 3.7f});
    // The last curve drawing was the smoothed overlay: the axis keeps its pen.
    p.fp.board.pen = 2;
    p.w.draw_yaxis();

    // valmin = -0.9, valmax = 4.5, tickval = 0.6, skale = 5415/5.4 = 1002.778.
    // Rows r(v) = 5415 - Fix((v + 0.9)*1002.778), by hand:
    //   r(0) = 5415 - Fix(902.5) = 4513, r(0.6) = 5415 - Fix(1504.17) = 3911,
    //   r(1.2) = 3310, r(1.8) = 2708, r(2.4) = 2106, r(3.0) = 1505, r(3.6) = 903,
    //   r(4.2) = 301; 4.8 >= 4.5 ends the grid above zero;
    //   r(-0.6) = 5415 - Fix(300.83) = 5115; -1.2 <= -0.9 ends it below.
    Log want = {
        "txtMaxValue [    3.7]",
        "txtMinValue [   -0.5]",
        "rect 0 0 10799 5414 FF0000 w2",
        "rect 800 0 809 5414 8000000F w2",
        "rect 810 4513 10799 4504 8000000F w2",
    };
    label(want, 4413, "  0.00");
    const struct {
        int row;
        const char* text;
    } grid[] = {{3911, "  0.60"}, {3310, "  1.20"}, {2708, "  1.80"}, {2106, "  2.40"},
                {1505, "  3.00"}, {903, "  3.60"},  {301, "  4.20"},  {5115, " -0.60"}};
    for (const auto& g : grid) {
        want.push_back(line(g.row));
        label(want, g.row - 100, g.text);
    }
    // Fix(4.5*1002.778) = 4512, Fix(-0.9*1002.778) = -902.
    want.push_back("txtMaxClipValue [   4512]");
    want.push_back("txtMinClipValue [   -902]");
    EXPECT_EQ(p.fp.log, want);
}

TEST(DrawYAxis, ZeroRowAtTheTopKeepsItsBandButNotItsLabel) {
    // -50 .. -20: valmax = 0, so r0 = 5415 - Fix(54*100.2778) = 0; the band runs
    // from row 0 up to row -9 and its label (top at -100) is dropped.
    Plot p({-50.0f, -20.0f});
    p.w.draw_yaxis();
    const auto rects = p.fp.grep("rect ");
    ASSERT_GE(rects.size(), 4u);
    EXPECT_EQ(rects[2], "rect 810 0 10799 -9 8000000F w1");
    // First grid line -4 at 5415 - Fix(50*100.2778) = 402, its label at 302.
    EXPECT_EQ(rects[3], "rect 810 402 10799 402 8000000F w1");
    const auto pos = p.fp.grep("textpos ");
    ASSERT_FALSE(pos.empty());
    EXPECT_EQ(pos.front(), "textpos 80 302");
}

TEST(DrawYAxis, RowsFarBelowTheBoardAreSkipped) {
    // 120 .. 180: valmin = 116, skale = 75.20833. The zero row 5415 + Fix(116*75.20833)
    // = 14139 and the ticks 8 .. 112 lie below the board; 112 at row 5715 is more
    // than 100 twips below, 120 at row 5415 - Fix(4*75.20833) = 5115 is on it.
    Plot p({120.0f, 180.0f});
    p.w.draw_yaxis();
    const auto rects = p.fp.grep("rect ");
    ASSERT_EQ(rects.size(), 2u + 9u);  // board, bar, the ticks 120 .. 184
    EXPECT_EQ(rects[2], "rect 810 5115 10799 5115 8000000F w1");
    // 184: 5415 - Fix(68*75.20833) = 301, half a tick below the top edge.
    EXPECT_EQ(rects.back(), "rect 810 301 10799 301 8000000F w1");
}

TEST(PrintLabel, OnlyInsideTheBandBelowRow11) {
    struct Case {
        int x, y, flag;
        bool printed;
    };
    const Case cases[] = {
        {80, 11, 0, false}, {80, 12, 0, true},   {80, 5413, 0, true},  // nypix - 2
        {80, 5414, 0, false}, {80, -100, 0, false}, {0, 0, 1, false},  // flagged origin
        {0, 100, 1, true},  {0, 0, 0, false},  // origin outside the band anyway
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.x) + "," + std::to_string(c.y) + " flag " +
                     std::to_string(c.flag));
        Plot p({});
        p.w.print_label(c.x, c.y, "  1.00", c.flag);
        if (!c.printed) {
            EXPECT_TRUE(p.fp.log.empty());
            continue;
        }
        Log want = {"textpos " + std::to_string(c.x) + " " + std::to_string(c.y),
                    "textcolour 8000000F",
                    "font Courier New",
                    "fontsize 8",
                    "print [  1.00]",
                    "textcolour 0",
                    "font MS Sans Serif",
                    "fontsize 8.25"};
        EXPECT_EQ(p.fp.log, want);
    }
}

TEST(PrintLabel, RestoresWhateverTextSettingsTheBoardHad) {
    Plot p({});
    p.fp.board.colour = 0x00FFFF;
    p.fp.board.font = "Arial";
    p.fp.board.size = 12;
    p.w.print_label(80, 500, "x", 0);
    EXPECT_EQ(p.fp.board.colour, 0x00FFFFu);
    EXPECT_EQ(p.fp.board.font, "Arial");
    EXPECT_EQ(p.fp.board.size, 12.0);
    EXPECT_EQ(p.fp.grep("print ").size(), 1u);
}

}  // namespace
