// The current-curve pipeline: Float, the point order of sortf, the arguments
// handed to FILL_KURRENT, the first step, the re-fit of the view window, the
// read-outs and the empty curves.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <limits>
#include <random>
#include <vector>

#include "library/numeric.h"
#include "tests/fakes/fake_platform.h"
#include "tests/plot/reference_sort.h"
#include "plot/frmVorselPlot.h"

namespace {

namespace but = vorsel::plot::but;

using vorsel::fakes::FakePlatform;
using vorsel::plot::frmVorselPlot;

// FILL_KURRENT as the pipeline needs it: records what it was given and
// produces a curve of a chosen length (x of point i = 10 i, y = 1).
struct FillCall {
    const float *dat, *sigrat;
    const std::int32_t* iperm;
    std::int32_t ixval, iyval;
    float *ywork, *xwork, *ycur, *xcur, *ysmo;
    std::int32_t ncurves, npoint;
    std::int32_t* npcur;
    float siglim, clipp, clipm;
    std::int16_t reverse, sqrooted, smoothed;
    std::int32_t ityp;
};

class ScriptedLibrary : public vorsel::platform::VorselLibrary {
public:
    std::int32_t count = 0;
    std::vector<FillCall> fills;
    int mappings = 0;
    bool READ_VORSEL_DATA(const char*, float*, float*, const std::int32_t*, std::int32_t*,
                          std::int32_t*) override {
        return true;
    }
    bool FILL_KURRENT(const float* dat, const float* sigrat, const std::int32_t* iperm,
                      const std::int32_t* ixval, const std::int32_t* iyval, float* ywork,
                      float* xwork, float* ycur, float* xcur, float* ysmo,
                      const std::int32_t* ncurves, const std::int32_t* npoint, std::int32_t* npcur,
                      const float* siglim, const float* clipp, const float* clipm,
                      const std::int16_t* reverse, const std::int16_t* sqrooted,
                      const std::int16_t* smoothed, const std::int32_t* ityp) override {
        fills.push_back({dat, sigrat, iperm, *ixval, *iyval, ywork, xwork, ycur, xcur, ysmo,
                         *ncurves, *npoint, npcur, *siglim, *clipp, *clipm, *reverse, *sqrooted,
                         *smoothed, *ityp});
        *npcur = count;
        for (std::int32_t i = 0; i < count; ++i) {
            xcur[i] = 10.0f * static_cast<float>(i + 1);
            ycur[i] = 1.0f;
        }
        return true;
    }
    bool KUR_TO_NKUR(const float*, std::int32_t*, const std::int32_t*, const std::int32_t*,
                     const std::int32_t*, const float*, const std::int32_t*,
                     const float*) override {
        ++mappings;
        return true;
    }
};

// The state after a start-up with npoint points of ncurves rows, every point
// significant, dat(c, k) = c k, and the board of the design size (w = 9999).
void setup(frmVorselPlot& p, std::int32_t npoint, std::int32_t ncurves) {
    p.ncurves = ncurves;
    p.npoint = npoint;
    const auto n = static_cast<std::size_t>(npoint);
    p.dat.redim(n * static_cast<std::size_t>(ncurves));
    p.sigrat.redim(n);
    for (auto* a : {&p.ycur, &p.ysmo, &p.ywork, &p.xcur, &p.xwork}) a->redim(n);
    p.nkur.redim(n);
    p.iperm.redim(n);
    for (std::int32_t k = 1; k <= npoint; ++k) {
        p.sigrat(k) = 10.0f;
        for (std::int32_t c = 1; c <= ncurves; ++c) p.datv(c, k) = static_cast<float>(c * k);
    }
    p.set_defaults();
    p.take_board_size();
    p.npcur = npoint;
    p.ibx = but::VsTheta, p.iby = but::dF_sFo;
}

struct Pipeline {
    FakePlatform fp;
    ScriptedLibrary lib;
    frmVorselPlot plot{vorsel::plot::PlotPlatform{fp.board, fp.range, fp.window, fp.buttons,
                                                  fp.readouts, fp.frame, fp.messages, fp.settings,
                                                  fp.files, fp.program, lib, fp.chooser,
                                                  fp.style}};
    explicit Pipeline(std::int32_t npoint, std::int32_t ncurves = 13) {
        setup(plot, npoint, ncurves);
    }
    // The read-outs written by the pipeline itself (the redraw adds its own).
    std::vector<std::string> readouts(std::size_t count) const {
        auto all = fp.grep("txt");
        if (all.size() > count) all.resize(count);
        return all;
    }
};

TEST(Float, NearestSingleHalvesToEven) {
    struct Case { std::int32_t in; float want; };
    const Case cases[] = {
        {0, 0.0f},
        {-1, -1.0f},
        {16777216, 16777216.0f},
        {16777217, 16777216.0f},   // halfway: the even mantissa is below
        {16777219, 16777220.0f},   // halfway: the even mantissa is above
        {-16777217, -16777216.0f},
        {33554434, 33554432.0f},   // halfway between 33554432 and 33554436
        {33554435, 33554436.0f},   // nearer the upper neighbour
        {std::numeric_limits<std::int32_t>::max(), 2147483648.0f},
        {std::numeric_limits<std::int32_t>::min(), -2147483648.0f},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.in);
        EXPECT_EQ(frmVorselPlot::Float(c.in), c.want);
    }
}

TEST(NearestLong, HalvesToEvenAndSaturates) {
    struct Case { double in; std::int32_t want; };
    const Case cases[] = {
        {20.5, 20}, {21.5, 22}, {-0.5, 0}, {-1.5, -2}, {2.4999, 2}, {99.99, 100},
        {std::nan(""), 0}, {1e12, std::numeric_limits<std::int32_t>::max()},
        {-1e12, std::numeric_limits<std::int32_t>::min()},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.in);
        EXPECT_EQ(vorsel::numeric::nearest_even_saturated(c.in), c.want);
    }
}

// The keys go into row 2 of three, so that the row stride is exercised.
std::vector<std::int32_t> sorted(const std::vector<float>& keys) {
    Pipeline t(static_cast<std::int32_t>(keys.size()), 3);
    for (std::size_t k = 0; k < keys.size(); ++k) {
        t.plot.datv(1, static_cast<std::int32_t>(k + 1)) = -keys[k];
        t.plot.datv(2, static_cast<std::int32_t>(k + 1)) = keys[k];
        t.plot.datv(3, static_cast<std::int32_t>(k + 1)) = 0.0f;
    }
    t.plot.sortf(2);
    return t.plot.iperm.values();
}

TEST(Sortf, KeyListsGiveTheirOrder) {
    struct Case { const char* name; std::vector<float> keys; std::vector<std::int32_t> want; };
    const Case cases[] = {
        {"one tie", {3, 1, 4, 1, 5}, {5, 3, 1, 2, 4}},
        {"three ties across passes", {2, 2, 1, 1, 3, 3, 2, 1}, {5, 6, 1, 2, 7, 4, 3, 8}},
        {"one point", {7}, {1}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(sorted(c.keys), c.want);
    }
}

TEST(Sortf, NoPointsLeavesThePermutationAlone) {
    Pipeline t(0, 3);
    t.plot.iperm.redim(3);
    t.plot.iperm.vec() = {7, 8, 9};
    t.plot.sortf(2);
    EXPECT_EQ(t.plot.iperm.values(), (std::vector<std::int32_t>{7, 8, 9}));
}

using vorsel::fakes::reference_sort;

TEST(Sortf, GapSequenceDecidesTheOrderOfTies) {
    struct Case { int n; std::vector<int> gaps; };
    const Case cases[] = {
        {2, {1}},           {4, {1}},
        {5, {2, 1}},        {8, {2, 1}},
        {9, {4, 2, 1}},     {10, {5, 2, 1}},
        {16, {5, 2, 1}},    {100, {47, 23, 11, 5, 2, 1}},
        {1000, {383, 191, 95, 47, 23, 11, 5, 2, 1}},
    };
    std::mt19937 rng(4711);
    for (const auto& c : cases) {
        for (int trial = 0; trial < 20; ++trial) {
            SCOPED_TRACE(testing::Message() << c.n << " points, trial " << trial);
            // Few distinct keys: most points share their key with many others.
            std::uniform_int_distribution<int> pick(0, 4);
            std::vector<float> keys(static_cast<std::size_t>(c.n));
            for (auto& k : keys) k = static_cast<float>(pick(rng)) * 0.5f;
            const auto got = sorted(keys);
            ASSERT_EQ(got, reference_sort(keys, c.gaps));
            for (std::size_t i = 1; i < got.size(); ++i)
                ASSERT_GE(keys[static_cast<std::size_t>(got[i - 1] - 1)],
                          keys[static_cast<std::size_t>(got[i] - 1)]);
        }
    }
}

TEST(Sortf, NotANumberKeysStillGiveAPermutation) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    auto got = sorted({1, nan, 3, nan, 2, 5, nan, 0, 4});
    std::sort(got.begin(), got.end());
    for (std::size_t i = 0; i < got.size(); ++i) EXPECT_EQ(got[i], static_cast<std::int32_t>(i + 1));
}

TEST(FillCurrent, HandsTheLibraryTheButtonsRowsAndCurveType) {
    struct Case { std::int32_t ibx, iby, ixval, iyval, ityp; };
    const Case cases[] = {
        {13, 1, 2, 2, 1},   {14, 2, 3, 3, 1},  {15, 3, 6, 0, 2},   {16, 4, 7, 0, 3},
        {17, 5, 8, 0, 4},   {18, 6, 9, 0, 5},  {19, 7, 11, 11, 1}, {20, 8, 12, 12, 1},
        {21, 9, 13, 13, 1}, {22, 10, 5, 10, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "ibx " << c.ibx << " iby " << c.iby);
        Pipeline t(20);
        t.lib.count = 20;
        auto& p = t.plot;
        p.ibx = c.ibx, p.iby = c.iby;
        p.siglim = 2.5f, p.clipp = 7.0f, p.clipm = -8.0f;
        p.reverse = true, p.sqrooted = false, p.smoothed = true;
        p.fill_current();
        ASSERT_EQ(t.lib.fills.size(), 1u);
        const FillCall& f = t.lib.fills[0];
        EXPECT_EQ(p.ixval, c.ixval);
        EXPECT_EQ(p.iyval, c.iyval);
        EXPECT_EQ(f.ixval, c.ixval);
        EXPECT_EQ(f.iyval, c.iyval);
        EXPECT_EQ(f.ityp, c.ityp);
        EXPECT_EQ(f.dat, p.dat.data());
        EXPECT_EQ(f.sigrat, p.sigrat.data());
        EXPECT_EQ(f.iperm, p.iperm.data());
        EXPECT_EQ(f.ywork, p.ywork.data());
        EXPECT_EQ(f.xwork, p.xwork.data());
        EXPECT_EQ(f.ycur, p.ycur.data());
        EXPECT_EQ(f.xcur, p.xcur.data());
        EXPECT_EQ(f.ysmo, p.ysmo.data());
        EXPECT_EQ(f.npcur, &p.npcur);
        EXPECT_EQ(f.ncurves, 13);
        EXPECT_EQ(f.npoint, 20);
        EXPECT_EQ(f.siglim, 2.5f);
        EXPECT_EQ(f.clipp, 7.0f);
        EXPECT_EQ(f.clipm, -8.0f);
        EXPECT_EQ(f.reverse, -1);
        EXPECT_EQ(f.sqrooted, 0);
        EXPECT_EQ(f.smoothed, -1);
        // The walk order is by descending x: dat(c, k) = c k grows with k.
        EXPECT_EQ(p.iperm(1), 20);
        EXPECT_EQ(p.iperm(20), 1);
    }
}

TEST(FillCurrent, FirstStepFromTheNumberOfPoints) {
    struct Case {
        const char* name;
        std::int32_t nxpix, npcur, maxstep, nstep, nummax, nl;
    };
    const Case cases[] = {
        {"99.99 rounds to 100", 10800, 100, 200, 100, 99, 99},
        {"9.999 raised to 20", 10800, 1000, 200, 20, 499, 499},
        {"999.9 lowered to maxstep", 10800, 10, 200, 200, 49, 10},
        {"20.5 to the even 20", 842, 2, 200, 20, 2, 2},
        {"21.5 to the even 22", 844, 2, 200, 22, 1, 1},
        {"maxstep below 20 still gives 20", 10800, 100, 10, 20, 499, 100},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Pipeline t(c.npcur);
        t.lib.count = c.npcur;
        t.plot.nxpix = c.nxpix;
        t.plot.maxstep = c.maxstep;
        t.plot.nf = 77;
        t.plot.fill_current();
        EXPECT_EQ(t.plot.nstep, c.nstep);
        EXPECT_EQ(t.plot.nummax, c.nummax);
        EXPECT_EQ(t.plot.nf, 1);
        EXPECT_EQ(t.plot.nl, c.nl);
    }
}

TEST(FillCurrent, ReadOutsInTheirOrder) {
    Pipeline t(100);
    t.lib.count = 100;
    t.plot.fill_current();
    EXPECT_EQ(t.readouts(7), (std::vector<std::string>{
                                    "txtUsedPoints [    100]",
                                    "txtStepSize [    100]",
                                    "txtFirstPoint [      1]",
                                    "txtLastPoint [     99]",
                                    "txtFirstValue [     10]",
                                    "txtLastValue [    990]",
                                    "txtPlottedPoints [     99]",
                                }));
}

TEST(FillCurrent, RefitKeepsTheFirstPointWherePossible) {
    struct Case { std::int32_t npcur, nf, nl; };
    const Case cases[] = {{600, 50, 548}, {500, 2, 500}, {100, 1, 100}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.npcur);
        Pipeline t(c.npcur);
        t.lib.count = c.npcur;
        auto& p = t.plot;
        p.nstep = 20, p.nf = 50, p.nl = 60, p.relim = true;
        p.fill_current();
        EXPECT_EQ(p.nummax, 499);
        EXPECT_EQ(p.nf, c.nf);
        EXPECT_EQ(p.nl, c.nl);
        EXPECT_FALSE(p.relim);
    }
}

TEST(FillCurrent, RefitInFitModeSpreadsAllPoints) {
    Pipeline t(100);
    t.lib.count = 100;
    auto& p = t.plot;
    p.nstep = 0, p.nf = 1, p.nl = 100, p.relim = true;
    p.fill_current();
    EXPECT_EQ(p.nf, 1);
    EXPECT_EQ(p.nl, 100);
    EXPECT_DOUBLE_EQ(p.step, 9999.0 / 100.0 * 0.99);
    EXPECT_NEAR(p.step, 98.9901, 1e-9);
    EXPECT_EQ(t.fp.readouts["txtStepSize"], "      0");
}

TEST(FillCurrent, WithoutRefitTheWindowStays) {
    Pipeline t(100);
    t.lib.count = 100;
    auto& p = t.plot;
    p.nstep = 20, p.nf = 5, p.nl = 20, p.nummax = 77, p.step = 3.25;
    p.fill_current();
    EXPECT_EQ(p.nf, 5);
    EXPECT_EQ(p.nl, 20);
    EXPECT_EQ(p.nummax, 77);
    EXPECT_EQ(p.step, 3.25);
}

TEST(FillCurrent, WindowBeyondTheCurveIsFittedAnew) {
    // A window left over from a longer curve must not read past npcur.
    Pipeline t(100);
    t.lib.count = 30;
    auto& p = t.plot;
    p.nstep = 20, p.nf = 60, p.nl = 90, p.nummax = 499;
    p.fill_current();
    EXPECT_EQ(p.nf, 1);
    EXPECT_EQ(p.nl, 30);
    EXPECT_EQ(t.fp.readouts["txtLastValue"], "    300");
}

void expect_empty_readouts(const FakePlatform& fp) {
    EXPECT_EQ(fp.grep("txt"), (std::vector<std::string>{
                                  "txtUsedPoints [      0]",
                                  "txtFirstPoint [      0]",
                                  "txtLastPoint [      0]",
                                  "txtFirstValue [      0]",
                                  "txtLastValue [      0]",
                                  "txtPlottedPoints [      0]",
                              }));
}

TEST(FillCurrent, AveragedQuantitiesGiveAnEmptyCurve) {
    for (std::int32_t iby : {11, 12, 23, 24}) {
        SCOPED_TRACE(iby);
        Pipeline t(50);
        t.lib.count = 50;
        auto& p = t.plot;
        p.iby = iby, p.nstep = 37, p.nf = 3, p.nl = 9;
        p.fill_current();
        EXPECT_TRUE(t.lib.fills.empty());
        EXPECT_EQ(p.npcur, 0);
        expect_empty_readouts(t.fp);
        EXPECT_EQ(p.nstep, 37);
        EXPECT_EQ(p.nf, 3);
        EXPECT_EQ(p.nl, 9);
        EXPECT_TRUE(t.fp.grep("line").empty());
        EXPECT_EQ(t.lib.mappings, 0);
        EXPECT_FALSE(t.fp.window.visible);
    }
}

TEST(FillCurrent, NoSignificantPointKeepsTheBoard) {
    Pipeline t(50);
    t.lib.count = 0;
    t.plot.nstep = -1;
    t.plot.fill_current();
    ASSERT_EQ(t.lib.fills.size(), 1u);
    expect_empty_readouts(t.fp);
    EXPECT_EQ(t.plot.nstep, -1);
    EXPECT_TRUE(t.fp.grep("rect").empty());
    EXPECT_TRUE(t.fp.grep("line").empty());
}

TEST(FillCurrent, RowsTheFileDoesNotHaveGiveAnEmptyCurve) {
    struct Case { const char* name; std::int32_t ncurves, ibx, iby; bool built; };
    const Case cases[] = {
        {"x row 11 of 6", 6, 19, 1, false},
        {"y row 13 of 6", 6, 15, 9, false},
        {"computed y needs row 4", 3, 13, 4, false},
        {"Fo against theta with 6 rows", 6, 15, 1, true},
        {"dF / s(Fo) with 4 rows", 4, 13, 4, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Pipeline t(40, c.ncurves);
        t.lib.count = 40;
        t.plot.ibx = c.ibx, t.plot.iby = c.iby;
        t.plot.fill_current();
        EXPECT_EQ(t.lib.fills.size(), c.built ? 1u : 0u);
        if (c.built) {
            EXPECT_EQ(t.plot.npcur, 40);
        } else {
            EXPECT_EQ(t.plot.npcur, 0);
            expect_empty_readouts(t.fp);
        }
    }
}

TEST(FillCurrent, IndicatorComesBackWithTheNextCurve) {
    Pipeline t(50);
    t.lib.count = 50;
    t.plot.iby = but::dF_meanFo;
    t.plot.fill_current();
    EXPECT_FALSE(t.fp.window.visible);
    t.plot.iby = but::dF_sFo;
    t.plot.fill_current();
    EXPECT_TRUE(t.fp.window.visible);
    const auto ops = t.fp.grep("cmdWindow");
    ASSERT_FALSE(ops.empty());
    EXPECT_EQ(ops.back(), "cmdWindow.visible 1");
}

TEST(FillCurrent, UnboundLibraryStopsTheRebuild) {
    FakePlatform fp;
    frmVorselPlot plot(fp.plot_platform());
    setup(plot, 10, 13);
    fp.library.fail_binding = true;
    plot.fill_current();
    EXPECT_EQ(fp.grep("lib."), (std::vector<std::string>{"lib.FILL_KURRENT"}));
    EXPECT_TRUE(fp.grep("txt").empty());
    EXPECT_EQ(plot.nstep, -1);
}

// The end of the program is known in one place: after a bind that failed
// while a curve was being built, the window itself runs no further command.
TEST(FillCurrent, AFailedBindEndsTheProgramAndNoCommandRunsAfterIt) {
    FakePlatform fp;
    frmVorselPlot plot(fp.plot_platform());
    setup(plot, 10, 13);
    fp.library.fail_binding = true;
    fp.library.program = &fp.program;
    plot.fill_current();
    ASSERT_TRUE(plot.ended());
    fp.log.clear();
    plot.cmdBut_Click(vorsel::plot::but::VsPhi);
    plot.cmdBut_Click(vorsel::plot::but::ResetView);
    plot.mnuOpen_Click();
    EXPECT_TRUE(fp.log.empty());
}

// A real data file through the real library: theta against dF / s(Fo).
TEST(FillCurrent, RealFileGivesAscendingThetaInsideTheWindow) {
    const std::string path = std::string(VORSEL_REAL_DATA) + "/oPPA.vorsel";
    FakePlatform fp;
    if (!std::ifstream(path)) GTEST_SKIP() << "no real data";
    std::ifstream in(path, std::ios::binary | std::ios::ate);
    const auto length = static_cast<std::int64_t>(in.tellg());
    frmVorselPlot plot(fp.plot_platform());
    const std::int32_t ncurves = 13;
    setup(plot, static_cast<std::int32_t>(length / (ncurves * 10 + 2)), ncurves);
    std::int32_t rk = 0;
    ASSERT_TRUE(fp.library.READ_VORSEL_DATA(path.c_str(), plot.dat.data(), plot.sigrat.data(),
                                            &plot.ncurves, &plot.npoint, &rk));
    ASSERT_LE(rk, 0);
    plot.ibx = but::VsTheta, plot.iby = but::dF_sFo;  // vs. theta, dF / s(Fo)
    plot.fill_current();

    ASSERT_GT(plot.npcur, 0);
    ASSERT_LE(plot.npcur, plot.npoint);
    std::int32_t significant = 0;
    for (std::int32_t k = 1; k <= plot.npoint; ++k) significant += plot.sigrat(k) >= 3.0f;
    EXPECT_EQ(plot.npcur, significant);
    for (std::int32_t i = 2; i <= plot.npcur; ++i) ASSERT_LE(plot.xcur(i - 1), plot.xcur(i)) << i;
    EXPECT_EQ(plot.nf, 1);
    EXPECT_EQ(plot.nstep, 20);  // thousands of points: the smallest step
    EXPECT_EQ(plot.nl, std::min(plot.npcur, 9999 / 20));

    // One segment and a line-to per further point, twenty twips apart.
    const auto lines = fp.grep("line");
    ASSERT_EQ(lines.size(), static_cast<std::size_t>(plot.nl - plot.nf));
    int x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    ASSERT_EQ(std::sscanf(lines.back().c_str(), "lineto %d %d", &x2, &y2), 2);
    EXPECT_EQ(x2, 820 + 20 * (plot.nl - 1));
    ASSERT_EQ(std::sscanf(lines.front().c_str(), "line %d %d %d", &x1, &y1, &x2), 3);
    EXPECT_EQ(x1, 820);
    EXPECT_EQ(x2, 840);
    EXPECT_TRUE(plot.active);
}

}  // namespace

namespace {

// Each point of the curve names the reflection whose values it shows, in
// every order and at every limit: x of point i is theta of its line, y its
// Fo. Lines 3 and 7 fall below Fo/s(Fo) = 3, line 5 has s(Fo) = 0 and Fo = 0
// (a ratio that is not a number), lines 2 and 6 share theta.
TEST(CurveLines, NameTheReflectionOfEveryPoint) {
    struct Case {
        const char* name;
        bool reverse;
        float siglim;
        std::int32_t npcur;
    };
    const Case cases[] = {{"low to high", false, 3.0f, 5},
                          {"high to low", true, 3.0f, 5},
                          {"all reflections", false, 0.0f, 7}};
    const float theta[] = {4.0f, 9.0f, 1.0f, 7.0f, 3.0f, 9.0f, 2.0f, 5.0f};
    const float ratio[] = {10.0f, 8.0f, 1.0f, 5.0f, 0.0f, 4.0f, 2.0f, 6.0f};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FakePlatform fp;
        frmVorselPlot plot(fp.plot_platform());
        setup(plot, 8, 13);
        for (std::int32_t k = 1; k <= 8; ++k) {
            plot.datv(2, k) = k == 5 ? 0.0f : 100.0f + static_cast<float>(k);  // Fo
            plot.datv(4, k) = k == 5 ? 0.0f : plot.datv(2, k) / ratio[k - 1];  // s(Fo)
            plot.datv(6, k) = theta[k - 1];
            plot.sigrat(k) = k == 5 ? std::nanf("") : ratio[k - 1];
        }
        plot.iby = vorsel::plot::but::Fo;
        plot.reverse = c.reverse;
        plot.siglim = c.siglim;
        plot.fill_current();
        ASSERT_EQ(plot.npcur, c.npcur);
        const std::vector<std::int32_t>& lines = plot.curve_lines();
        ASSERT_EQ(lines.size(), static_cast<std::size_t>(c.npcur));
        for (std::int32_t i = 1; i <= plot.npcur; ++i) {
            const std::int32_t k = lines[static_cast<std::size_t>(i - 1)];
            EXPECT_EQ(plot.xcur(i), plot.datv(6, k)) << i;
            EXPECT_EQ(plot.ycur(i), plot.datv(2, k)) << i;
        }
    }
}

}  // namespace
