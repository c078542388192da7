// The y value range of the board: limits, tick, scale, label decimals, the
// data and clip read-outs, and flat or empty curves.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "plot/frmVorselPlot.h"
#include "tests/fakes/fake_platform.h"
#include "tests/plot/curve_on_board.h"

namespace {

using vorsel::fakes::FakePlatform;
using vorsel::plot::frmVorselPlot;

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
constexpr float kInf = std::numeric_limits<float>::infinity();

using Plot = vorsel::fakes::CurveOnBoard;

struct Example {
    const char* name;
    std::vector<float> values;
    float valmin, valmax, tickval, skale;
    const char *max_text, *min_text, *max_clip, *min_clip;
    std::vector<std::string> labels;
};

TEST(ValueRange, WorkedExamples) {
    const Example examples[] = {
        // range 4.2: k = 0, p = 1, n = 4 + 1 = 5 made even 6, tickval = 1*6/10 = 0.6,
        // r = 7 unchanged; valmax = (Int(3.7/0.6) + 1.5)*0.6 = 7.5*0.6 = 4.5,
        // valmin = -(Int(0.5/0.6) + 1.5)*0.6 = -0.9; decimals 4 and 3 -> 2;
        // skale = 5415/5.4 = 1002.778; clip Fix(4.5*1002.778) = 4512, Fix(-0.9*1002.778) = -902.
        {"-0.5 to 3.7", {-0.5f, 1.2f, 3.7f}, -0.9f, 4.5f, 0.6f, 1002.7778f, "    3.7", "   -0.5",
         "   4512", "   -902",
         {"  0.00", "  0.60", "  1.20", "  1.80", "  2.40", "  3.00", "  3.60", "  4.20", " -0.60"}},
        // range 1000: Log(1000)/Log(10) = 2.9999999999999996 stored as a Single is 3,
        // so k = 3 (not 2), p = 1000, n = 2 (not made even), tickval = 200, r = 5;
        // valmax = (5 + 1.5)*200 = 1300, valmin = -0.5*200 = -100; decimals 1 and 1;
        // skale = 5415/1400 = 3.867857; clip Fix(1300*3.867857) = 5028, Fix(-100*3.867857) = -386.
        {"0 to 1000", {0.0f, 400.0f, 1000.0f}, -100.0f, 1300.0f, 200.0f, 3.8678572f, "   1000",
         "      0", "   5028", "   -386",
         {"   0.0", " 200.0", " 400.0", " 600.0", " 800.0", "1000.0", "1200.0"}},
        // range 30: k = 1, p = 10, n = 4, tickval = 4, r = 7.5; valmax: m = 5,
        // -(5 - 1.5)*4 = -14 < 0 -> 0; valmin: m = 12, -(12 + 1.5)*4 = -54; decimals
        // 4 and 2 -> 2; skale = 5415/54 = 100.2778. The zero row is row 0, so its
        // label (top at -100) is dropped; 13 lines below zero, -4 .. -52.
        {"-50 to -20", {-20.0f, -50.0f, -35.0f}, -54.0f, 0.0f, 4.0f, 100.27778f, "    -20",
         "    -50", "      0", "  -5415",
         {" -4.00", " -8.00", "-12.00", "-16.00", "-20.00", "-24.00", "-28.00", "-32.00",
          "-36.00", "-40.00", "-44.00", "-48.00", "-52.00"}},
        // range 0.38: k = -1, p = 0.1, n = 4, tickval = 0.04, r = 9.5; valmax lies within
        // +-0.1 -> 0.5*0.04 = 0.02; valmin: m = 7, -(7 + 1.5)*0.04 = -0.34;
        // skale = 5415/0.36 = 15041.67; clip Fix(0.02*15041.67) = 300, Fix(-0.34*15041.67) = -5114.
        {"-0.3 to 0.08", {0.08f, -0.3f}, -0.34f, 0.02f, 0.04f, 15041.666f, "   0.08", "   -0.3",
         "    300", "  -5114",
         {"  0.00", " -0.04", " -0.08", " -0.12", " -0.16", " -0.20", " -0.24", " -0.28",
          " -0.32"}},
        // range 60: k = 1, p = 10, n = 7 made even 8, tickval = 8, r = 7.5;
        // valmax: m = 22, (22 + 1.5)*8 = 188; valmin: m = 15, (15 - 0.5)*8 = 116 > 0,
        // so the zero line is off the board; skale = 5415/72 = 75.20833;
        // clip Fix(188*75.20833) = 14139, Fix(116*75.20833) = 8724. Only the ticks
        // 120 .. 184 lie on the board.
        {"120 to 180", {150.0f, 120.0f, 180.0f}, 116.0f, 188.0f, 8.0f, 75.208336f, "    180",
         "    120", "  14139", "   8724",
         {"120.00", "128.00", "136.00", "144.00", "152.00", "160.00", "168.00", "176.00",
          "184.00"}},
        // range 150000: k = 5, p = 1E5, n = 2, tickval = 20000, r = 7.5;
        // valmax = (7 + 1.5)*20000 = 170000 clamped to 99999; valmin = -0.5*20000 =
        // -10000 clamped to -9999; decimals 0 and 0; skale = 5415/109998 = 0.04922817;
        // clip Fix(99999*0.04922817) = 4922, Fix(-9999*0.04922817) = -492.
        {"up to 150000", {0.0f, 150000.0f}, -9999.0f, 99999.0f, 20000.0f, 0.049228169f,
         " 150000", "      0", "   4922", "   -492",
         {"     0.", " 20000.", " 40000.", " 60000.", " 80000."}},
    };
    for (const auto& e : examples) {
        SCOPED_TRACE(e.name);
        Plot p(e.values);
        p.w.draw_yaxis();
        EXPECT_FLOAT_EQ(p.w.valmin, e.valmin);
        EXPECT_FLOAT_EQ(p.w.valmax, e.valmax);
        EXPECT_FLOAT_EQ(p.w.tickval, e.tickval);
        EXPECT_FLOAT_EQ(p.w.skale, e.skale);
        EXPECT_EQ(p.readout("txtMaxValue"), e.max_text);
        EXPECT_EQ(p.readout("txtMinValue"), e.min_text);
        EXPECT_EQ(p.readout("txtMaxClipValue"), e.max_clip);
        EXPECT_EQ(p.readout("txtMinClipValue"), e.min_clip);
        EXPECT_EQ(p.labels(), e.labels);
    }
}

TEST(ValueRange, LimitOfExactlyATenthStaysInTheBandAroundZero) {
    // 0.1f is 0.100000001 in double; compared in single precision it is not
    // above 0.1, so such a limit gets half a tick.
    struct Case {
        const char* name;
        std::vector<float> values;
        float valmin, valmax;
    };
    const Case cases[] = {
        // range 0.4: k = -1, n = 5 made even 6, tickval 0.06; valmax 0.1 -> 0.5*0.06
        // (not (1 + 1.5)*0.06); valmin: m = 5, -(5 + 1.5)*0.06 = -0.39.
        {"top 0.1", {-0.3f, 0.1f}, -0.39f, 0.03f},
        // valmin 0.1 -> -0.5*0.06 (not (1 - 0.5)*0.06); valmax: m = 8, 9.5*0.06 = 0.57.
        {"bottom 0.1", {0.1f, 0.5f}, -0.03f, 0.57f},
        // range 0.6: n = 7 made even 8, tickval 0.08; valmin -0.1 -> -0.5*0.08
        // (not -(1 + 1.5)*0.08); valmax: m = 6, 7.5*0.08 = 0.6.
        {"bottom -0.1", {-0.1f, 0.5f}, -0.04f, 0.6f},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Plot p(c.values);
        p.w.draw_yaxis();
        EXPECT_FLOAT_EQ(p.w.valmin, c.valmin);
        EXPECT_FLOAT_EQ(p.w.valmax, c.valmax);
    }
}

TEST(ValueRange, OverallOrViewWindow) {
    // Points 2..4 are the view window; the outer points are far larger.
    Plot p({100.0f, 1.0f, 2.0f, 3.0f, -100.0f});
    p.w.nf = 2;
    p.w.nl = 4;

    p.w.overall = true;
    p.w.draw_yaxis();
    EXPECT_EQ(p.readout("txtMaxValue"), "    100");
    EXPECT_EQ(p.readout("txtMinValue"), "   -100");
    EXPECT_GT(p.w.valmax, 100.0f);
    EXPECT_LT(p.w.valmin, -100.0f);

    p.w.overall = false;
    p.w.draw_yaxis();
    EXPECT_EQ(p.readout("txtMaxValue"), "      3");
    EXPECT_EQ(p.readout("txtMinValue"), "      1");
    // range 2: k = 0, p = 1, n = 3 made even 4, tickval = 0.4, r = 5;
    // valmax = (7 + 1.5)*0.4 = 3.4, valmin = (2 - 0.5)*0.4 = 0.6.
    EXPECT_FLOAT_EQ(p.w.tickval, 0.4f);
    EXPECT_FLOAT_EQ(p.w.valmax, 3.4f);
    EXPECT_FLOAT_EQ(p.w.valmin, 0.6f);
}

TEST(FormatLabel, DecimalsTableBoundaries) {
    struct Case {
        float value;
        int decimals;
    };
    const Case cases[] = {
        {-9999.0f, 0}, {-1000.0f, 0}, {-999.9f, 1}, {-100.0f, 1}, {-99.99f, 2},
        {-10.0f, 2},   {-9.99f, 3},   {-0.001f, 3}, {0.0f, 4},    {9.99f, 4},
        {10.0f, 3},    {99.99f, 3},   {100.0f, 2},  {999.9f, 2},  {1000.0f, 1},
        {9999.0f, 1},  {10000.0f, 0}, {99999.0f, 0},
    };
    Plot p({});
    for (const auto& c : cases) {
        SCOPED_TRACE(c.value);
        std::string text = "untouched";
        float v = c.value;
        p.w.format_label(text, v, -1);
        EXPECT_EQ(p.w.ndecmax, c.decimals);
        v = c.value;
        p.w.format_label(text, v, -2);
        EXPECT_EQ(p.w.ndecmin, c.decimals);
        EXPECT_EQ(text, "untouched");
        EXPECT_EQ(v, c.value);
    }
}

TEST(FormatLabel, ClampsTheCallersValue) {
    struct Case {
        float in;
        int mode;
        float out;
    };
    const Case cases[] = {
        {150000.0f, -1, 99999.0f}, {-20000.0f, -2, -9999.0f}, {150000.0f, 0, 99999.0f},
        {-1.0e30f, 7, -9999.0f},   {kNaN, -1, 0.0f},          {42.0f, 7, 42.0f},
    };
    Plot p({});
    for (const auto& c : cases) {
        SCOPED_TRACE(c.in);
        std::string text;
        float v = c.in;
        p.w.format_label(text, v, c.mode);
        EXPECT_EQ(v, c.out);
    }
}

TEST(FormatLabel, GridLabelTexts) {
    struct Case {
        int ndecmax, ndecmin;
        float value;
        const char* want;
    };
    const Case cases[] = {
        {4, 3, 0.6f, "  0.60"},       // the smaller count, at most 2
        {4, 4, -0.6f, " -0.60"},
        {1, 4, 1200.0f, "1200.0"},
        {2, 1, 200.0f, " 200.0"},
        {0, 2, 1200.0f, "  1200."},   // no decimals: six positions and a point
        {0, 0, 0.0f, "     0."},
        {2, 2, -9999.0f, "-9999.00"},  // longer than the pattern: shown whole
        {0, 0, 150000.0f, " 99999."},  // clamped first
    };
    Plot p({});
    for (const auto& c : cases) {
        SCOPED_TRACE(c.want);
        p.w.ndecmax = c.ndecmax;
        p.w.ndecmin = c.ndecmin;
        std::string text;
        float v = c.value;
        p.w.format_label(text, v, 0);
        EXPECT_EQ(text, c.want);
        EXPECT_EQ(p.w.ndecmax, c.ndecmax);
        EXPECT_EQ(p.w.ndecmin, c.ndecmin);
    }
}

// A flat or empty curve still gets a board whose range contains the curve well
// inside it, a finite positive scale and labels around its value.
struct FlatCase {
    const char* name;
    std::vector<float> values;
    float valmin, valmax, tickval;
    const char *max_text, *min_text;
    float line;                         // the value the curve lies at
    std::vector<std::string> some_labels;  // must be among the printed labels
};

TEST(ValueRange, FlatAndEmptyCurves) {
    const float one_up = std::nextafter(1.0f, 2.0f);
    const FlatCase cases[] = {
        // Constant c: as if the values ran from c - h to c + h, h = max(|c|, 1)/2.
        // 0.5 .. 1.5: range 1, tickval 0.2; valmax (7 + 1.5)*0.2 = 1.7, valmin (2 - 0.5)*0.2 = 0.3.
        {"constant 1", {1.0f, 1.0f, 1.0f}, 0.3f, 1.7f, 0.2f, "      1", "      1", 1.0f,
         {"  0.40", "  1.00", "  1.60"}},
        // One unit in the last place apart: equal as far as a Single can tell.
        {"1 and the next Single", {1.0f, one_up}, 0.3f, 1.7f, 0.2f, "      1", "      1", 1.0f,
         {"  1.00"}},
        // -0.5 .. 0.5: valmax (2 + 1.5)*0.2 = 0.7, valmin -(2 + 1.5)*0.2 = -0.7.
        {"constant 0", {0.0f, 0.0f}, -0.7f, 0.7f, 0.2f, "      0", "      0", 0.0f,
         {"  0.00", "  0.60", " -0.60"}},
        // -375 .. -125: range 250, k = 2, n = 3 made even 4, tickval 40; valmax
        // -(3 - 1.5)*40 < 0 -> 0, valmin -(9 + 1.5)*40 = -420; decimals 4 and 1.
        {"constant -250", {-250.0f}, -420.0f, 0.0f, 40.0f, "   -250", "   -250", -250.0f,
         {" -40.0", "-240.0", "-280.0", "-400.0"}},
        // No point in view: extremes shown as 0, the board as for a constant 0.
        {"no points", {}, -0.7f, 0.7f, 0.2f, "      0", "      0", 0.0f, {"  0.00"}},
        {"only NaN and infinities", {kNaN, kInf, -kInf}, -0.7f, 0.7f, 0.2f, "      0", "      0",
         0.0f, {"  0.00"}},
        // 1e-35 apart: below the smallest spread a Single range can carry.
        {"tiny spread at 0", {0.0f, 1.0e-35f}, -0.7f, 0.7f, 0.2f, "  1E-35", "      0", 0.0f,
         {"  0.00"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Plot p(c.values);
        p.w.draw_yaxis();
        EXPECT_FLOAT_EQ(p.w.valmin, c.valmin);
        EXPECT_FLOAT_EQ(p.w.valmax, c.valmax);
        EXPECT_FLOAT_EQ(p.w.tickval, c.tickval);
        ASSERT_TRUE(std::isfinite(p.w.skale));
        EXPECT_GT(p.w.skale, 0.0f);
        EXPECT_EQ(p.readout("txtMaxValue"), c.max_text);
        EXPECT_EQ(p.readout("txtMinValue"), c.min_text);
        // The curve's row lies inside the board, not on an edge.
        const long r = p.row(c.line);
        EXPECT_GT(r, 0);
        EXPECT_LT(r, p.w.nypix - 1);
        const auto labels = p.labels();
        for (const auto& want : c.some_labels) {
            SCOPED_TRACE(want);
            EXPECT_NE(std::find(labels.begin(), labels.end(), want), labels.end());
        }
    }
}

TEST(ValueRange, NonFiniteValuesDoNotCount) {
    Plot clean({-0.5f, 3.7f});
    clean.w.draw_yaxis();
    Plot dirty({kNaN, -0.5f, kInf, 3.7f, -kInf});
    dirty.w.draw_yaxis();
    EXPECT_EQ(dirty.w.valmin, clean.w.valmin);
    EXPECT_EQ(dirty.w.valmax, clean.w.valmax);
    EXPECT_EQ(dirty.w.skale, clean.w.skale);
    EXPECT_EQ(dirty.readout("txtMaxValue"), "    3.7");
    EXPECT_EQ(dirty.readout("txtMinValue"), "   -0.5");
}

TEST(ValueRange, ViewWindowOutsideTheCurveReadsNothingPastIt) {
    // nl beyond npcur and beyond the array: only points 2..3 can count.
    Plot p({5.0f, 1.0f, 2.0f});
    p.w.overall = false;
    p.w.nf = 2;
    p.w.nl = 50;
    p.w.draw_yaxis();
    EXPECT_EQ(p.readout("txtMaxValue"), "      2");
    EXPECT_EQ(p.readout("txtMinValue"), "      1");
    // An empty window (nf > nl) is a curve without points.
    p.w.nf = 3;
    p.w.nl = 2;
    p.w.draw_yaxis();
    EXPECT_EQ(p.readout("txtMaxValue"), "      0");
    EXPECT_FLOAT_EQ(p.w.valmax, 0.7f);
}

TEST(ValueRange, ExtremeValuesKeepAFinitePositiveScale) {
    struct Case {
        const char* name;
        std::vector<float> values;
        float valmin, valmax;
    };
    const Case cases[] = {
        // Both limits clamped to 99999: the bottom edge becomes 0.
        {"all above 99999", {150000.0f, 160000.0f}, 0.0f, 99999.0f},
        // Both limits clamped to -9999: the top edge becomes 0.
        {"all below -9999", {-20000.0f, -15000.0f}, -9999.0f, 0.0f},
        // Beyond +-1E7 the values count as +-1E7; the limits clamp as usual.
        {"largest Singles", {-3.0e38f, 3.0e38f}, -9999.0f, 99999.0f},
        // Counted as 1E7, a constant brought to 99999 for its range: 49999.5 ..
        // 149998.5, range 99999, k = 4, n = 10, tickval 1E4; valmax (14 + 1.5)*1E4
        // clamped to 99999, valmin (4 - 0.5)*1E4 = 35000.
        {"constant far above", {1.0e20f}, 35000.0f, 99999.0f},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Plot p(c.values);
        p.w.draw_yaxis();
        EXPECT_FLOAT_EQ(p.w.valmin, c.valmin);
        EXPECT_FLOAT_EQ(p.w.valmax, c.valmax);
        ASSERT_TRUE(std::isfinite(p.w.skale));
        EXPECT_GT(p.w.skale, 0.0f);
        for (const char* box : {"txtMaxClipValue", "txtMinClipValue"}) {
            const std::string t = p.readout(box);
            EXPECT_EQ(t.find_first_not_of(" -0123456789"), std::string::npos) << box << " " << t;
        }
    }
}

TEST(ValueRange, AnyCurveGetsABoardThatHoldsIt) {
    // Curves of every scale and offset, fixed seed: the limits enclose the
    // data (except where the band around 0 or the clamp moves a limit on
    // purpose), the scale is finite and positive, and the grid stays small.
    std::mt19937 gen(4711);
    std::uniform_real_distribution<float> unit(-1.0f, 1.0f);
    std::uniform_int_distribution<int> decade(-8, 5);
    for (int trial = 0; trial < 3000; ++trial) {
        const float scale = std::pow(10.0f, static_cast<float>(decade(gen)));
        const float offset = unit(gen) * std::pow(10.0f, static_cast<float>(decade(gen)));
        std::vector<float> y(1 + trial % 7);
        for (auto& v : y) v = offset + scale * unit(gen);
        SCOPED_TRACE(::testing::Message() << "trial " << trial << " offset " << offset
                                          << " scale " << scale);
        Plot p(y);
        p.w.draw_yaxis();
        ASSERT_TRUE(std::isfinite(p.w.skale));
        ASSERT_GT(p.w.skale, 0.0f);
        ASSERT_GT(p.w.valmax, p.w.valmin);
        const float hi = *std::max_element(y.begin(), y.end());
        const float lo = *std::min_element(y.begin(), y.end());
        if (hi > 0.1f && hi < 99999.0f) {
            EXPECT_GE(p.w.valmax, hi);
        }
        if (lo < -0.1f && lo > -9999.0f) {
            EXPECT_LE(p.w.valmin, lo);
        }
        // Board, bar, zero band and at most 25 grid lines with their labels.
        EXPECT_LE(p.fp.grep("rect ").size(), 28u);
        EXPECT_LE(p.fp.grep("print ").size(), 26u);
    }
}

TEST(ValueRange, SmallSpreadFarBelowZeroGetsATickForTheBoard) {
    // -4510 .. -4508: range 2, tickval 0.4; valmax -(11270 - 1.5)*0.4 < 0 -> 0;
    // valmin -(11275 + 1.5)*0.4 = -4510.6. 11276 intervals of 0.4 between the
    // edges: the tick is worked out from 4510.6 instead: k = 3, n = 4 + 1 made
    // even 6, tickval 600, r = 7.5. Decimals 4 and 0 -> labels without decimals.
    Plot p({-4510.0f, -4508.0f});
    p.w.draw_yaxis();
    EXPECT_FLOAT_EQ(p.w.valmax, 0.0f);
    EXPECT_FLOAT_EQ(p.w.valmin, -4510.6f);
    EXPECT_FLOAT_EQ(p.w.tickval, 600.0f);
    EXPECT_FLOAT_EQ(p.w.skale, 5415.0f / 4510.6f);
    const std::vector<std::string> want = {"  -600.", " -1200.", " -1800.", " -2400.",
                                           " -3000.", " -3600.", " -4200."};
    EXPECT_EQ(p.labels(), want);
}

TEST(ValueRange, SmallSpreadFarFromZeroStaysMagnified) {
    // 1000 .. 1000.5: a spread of 5e-4 of the magnitude is a real curve, not a
    // flat one. range 0.5: k = -1, p = 0.1, n = 6, tickval = 0.06, r = 8.33;
    // valmax (16675 + 1.5)*0.06 = 1000.59, valmin (16666 - 0.5)*0.06 = 999.93.
    Plot p({1000.0f, 1000.5f});
    p.w.draw_yaxis();
    EXPECT_FLOAT_EQ(p.w.tickval, 0.06f);
    EXPECT_NEAR(p.w.valmax, 1000.59f, 1e-3f);
    EXPECT_NEAR(p.w.valmin, 999.93f, 1e-3f);
    // About sixteen thousand ticks lie below the board between 0 and the data;
    // only the lines within reach of the board are drawn: the board, the axis
    // bar and the dozen lines across 0.66 y units.
    const auto rects = p.fp.grep("rect ");
    EXPECT_LE(rects.size(), 2u + 13u);
    EXPECT_GE(rects.size(), 2u + 9u);
    for (std::size_t i = 2; i < rects.size(); ++i) {
        int x1 = 0, y1 = 0, x2 = 0, y2 = 0;
        ASSERT_EQ(std::sscanf(rects[i].c_str(), "rect %d %d %d %d", &x1, &y1, &x2, &y2), 4);
        EXPECT_GE(y1, 0) << rects[i];
        EXPECT_LE(y1, p.w.nypix + 100) << rects[i];
    }
}

}  // namespace
