// cmdBut_Click: every button command, driven through the recording fakes with
// the plot state set as a plot on the board would leave it. The curve builder
// is replaced by a predictable one (every point whose Fo/s(Fo) reaches the
// limit, x rising), so that each test sees the command's own effect.
#include <gtest/gtest.h>

#include <cmath>

#include "tests/fakes/fake_platform.h"
#include "platform/format.h"
#include "plot/frmVorselPlot.h"
#include "plot/layout.h"

namespace {

using vorsel::fakes::FakeLibrary;
using vorsel::fakes::FakePlatform;
using vorsel::fakes::Log;
using vorsel::platform::readout;
using vorsel::plot::frmVorselPlot;
namespace but = vorsel::plot::but;
using Lines = std::vector<std::string>;

class CurveLibrary : public FakeLibrary {
public:
    explicit CurveLibrary(Log& log) : FakeLibrary(log), log_(log) {}
    bool FILL_KURRENT(const float*, const float* sigrat, const std::int32_t*, const std::int32_t*,
                      const std::int32_t*, float*, float*, float* ycur, float* xcur, float* ysmo,
                      const std::int32_t*, const std::int32_t* npoint, std::int32_t* npcur,
                      const float* siglim, const float*, const float*, const std::int16_t*,
                      const std::int16_t*, const std::int16_t*, const std::int32_t*) override {
        log_.push_back("lib.FILL_KURRENT");
        std::int32_t n = 0;
        for (std::int32_t k = 1; k <= *npoint; ++k) {
            if (sigrat[k - 1] < *siglim) continue;
            ycur[n] = ysmo[n] = std::sin(0.1f * static_cast<float>(k));
            xcur[n] = 0.5f * static_cast<float>(k);
            ++n;
        }
        *npcur = n;
        return true;
    }

private:
    Log& log_;
};

struct Commands : ::testing::Test {
    FakePlatform fp;
    CurveLibrary lib{fp.log};
    frmVorselPlot f{vorsel::plot::PlotPlatform{
        fp.board, fp.range, fp.window, fp.buttons, fp.readouts, fp.frame, fp.messages,
        fp.settings, fp.files, fp.program, lib, fp.chooser, fp.style}};

    void SetUp() override { start_up(200); }

    // The state start-up leaves with a file of n points, each with Fo/s(Fo) = 10.
    void start_up(std::int32_t n) {
        f.set_defaults();
        f.take_board_size();
        f.ncurves = 13, f.npoint = n, f.npcur = n;
        f.dat.redim(static_cast<std::size_t>(13 * n));
        f.sigrat.redim(n);
        for (auto* a : {&f.ycur, &f.ysmo, &f.ywork, &f.xcur, &f.xwork}) a->redim(n);
        f.nkur.redim(n);
        f.iperm.redim(n);
        for (std::int32_t k = 1; k <= n; ++k) {
            f.sigrat(k) = 10.0f;
            f.datv(2, k) = 10.0f;
            f.datv(3, k) = 9.0f;
            f.datv(4, k) = 1.0f;
            f.datv(6, k) = 0.5f * static_cast<float>(k);
        }
    }

    // "dF / s(Fo)" against "vs. theta" on the board, npcur points, the window
    // nf..nl of nummax points at a step of nstep twips.
    void plotted(std::int32_t npcur, std::int32_t nstep, std::int32_t nummax, std::int32_t nf,
                 std::int32_t nl) {
        f.makebutton(-but::VsTheta);
        f.makebutton(-but::dF_sFo);
        f.ibx = but::VsTheta, f.iby = but::dF_sFo;
        f.npcur = npcur, f.nstep = nstep, f.nummax = nummax, f.nf = nf, f.nl = nl;
        for (std::int32_t i = 1; i <= npcur; ++i) {
            f.xcur(i) = 0.5f * static_cast<float>(i);
            f.ycur(i) = std::sin(0.1f * static_cast<float>(i));
        }
        f.active = true;
        // The curve arrays were written here, not by the library: nothing of
        // an earlier build may be taken for them.
        f.new_data();
        fp.log.clear();
    }

    void click(int k) { f.cmdBut_Click(k); }

    // Position of the first log line that starts with prefix, or -1.
    long at(const std::string& prefix) const {
        for (std::size_t i = 0; i < fp.log.size(); ++i)
            if (fp.log[i].rfind(prefix, 0) == 0) return static_cast<long>(i);
        return -1;
    }
    // The first n read-out writes since the log was cleared.
    Lines first_readouts(std::size_t n) const {
        Lines r = fp.grep("txt");
        if (r.size() > n) r.resize(n);
        return r;
    }
    Lines window_readouts(std::int32_t nf, std::int32_t nl) const {
        return {"txtFirstPoint [" + readout(std::int64_t{nf}) + "]",
                "txtLastPoint [" + readout(std::int64_t{nl}) + "]",
                "txtFirstValue [" + readout(0.5f * static_cast<float>(nf)) + "]",
                "txtLastValue [" + readout(0.5f * static_cast<float>(nl)) + "]",
                "txtPlottedPoints [" + readout(std::int64_t{nl} - nf + 1) + "]"};
    }
    Lines enabled_ops(bool on) const {
        Lines r;
        for (int i : but::ViewButtons) r.push_back("but" + std::to_string(i) + ".enabled " + (on ? "1" : "0"));
        return r;
    }
    Lines button_enables() const {
        Lines r;
        for (const auto& l : fp.log)
            if (l.find(".enabled ") != std::string::npos) r.push_back(l);
        return r;
    }
};

// ---- view window ----

TEST_F(Commands, ViewWindowMoves) {
    struct Case {
        const char* name;
        std::int32_t npcur, nummax, nf, nl;
        int k;
        std::int32_t want_nf, want_nl;
    };
    const Case cases[] = {
        {">", 200, 60, 1, 60, 25, 20, 79},
        {">>", 200, 60, 1, 60, 252, 30, 89},
        {">>  >", 200, 60, 1, 60, 253, 60, 119},
        {"> at the end", 200, 60, 141, 200, 25, 141, 200},
        {">>  > pulled back at the end", 200, 60, 121, 180, 253, 141, 200},
        {"<", 200, 60, 101, 160, 27, 82, 141},
        {"<<", 200, 60, 101, 160, 272, 72, 131},
        {"<<  <", 200, 60, 101, 160, 273, 42, 101},
        {"< at the start", 200, 60, 1, 60, 27, 1, 60},
        {"<<  < held at the start", 200, 60, 31, 90, 273, 1, 60},
        {"||<--", 200, 60, 101, 160, 26, 1, 60},
        {"--> ||", 200, 60, 1, 60, 262, 141, 200},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        plotted(c.npcur, 20, c.nummax, c.nf, c.nl);
        click(c.k);
        EXPECT_EQ(f.nf, c.want_nf);
        EXPECT_EQ(f.nl, c.want_nl);
        EXPECT_EQ(f.nummax, c.nummax);
        EXPECT_EQ(first_readouts(5), window_readouts(c.want_nf, c.want_nl));
        // A redraw of the new window follows the read-outs; no rebuild.
        const long redraw = at("lib.KUR_TO_NKUR " + std::to_string(c.want_nf) + " " +
                               std::to_string(c.want_nl));
        EXPECT_GT(redraw, at("txtPlottedPoints"));
        EXPECT_EQ(at("lib.FILL_KURRENT"), -1);
    }
}

TEST_F(Commands, ShortCurveStaysWholeInTheWindow) {
    for (int k : {25, 252, 253, 27, 272, 273, 26, 262}) {
        SCOPED_TRACE(k);
        plotted(30, 200, 60, 1, 30);
        click(k);
        EXPECT_EQ(f.nf, 1);
        EXPECT_EQ(f.nl, 30);
    }
}

// ---- step ----

TEST_F(Commands, StepSequences) {
    struct Case {
        const char* name;
        int k;
        std::int32_t from;
        std::vector<std::int32_t> steps;
    };
    const Case cases[] = {
        {"larger", 282, 20, {28, 39, 54, 75, 105, 147, 200, 200}},
        {"smaller", 28, 200, {120, 72, 44, 27, 17, 11, 7, 5, 3, 2, 1, 1}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        plotted(200, c.from, 9999 / c.from, 1, std::min(200, 9999 / c.from));
        for (std::int32_t want : c.steps) {
            SCOPED_TRACE(want);
            fp.log.clear();
            f.nf = 7;  // every step change puts the window back at the first point
            click(c.k);
            const std::int32_t nummax = 9999 / want;
            const std::int32_t nl = std::min(nummax, 200);
            EXPECT_EQ(f.nstep, want);
            EXPECT_EQ(f.nummax, nummax);
            EXPECT_EQ(f.nf, 1);
            EXPECT_EQ(f.nl, nl);
            Lines want_readouts{"txtStepSize [" + readout(std::int64_t{want}) + "]"};
            for (auto& l : window_readouts(1, nl)) want_readouts.push_back(l);
            EXPECT_EQ(first_readouts(6), want_readouts);
            EXPECT_GT(at("lib.KUR_TO_NKUR 1 " + std::to_string(nl)), at("txtPlottedPoints"));
        }
    }
}

// ---- switches ----

TEST_F(Commands, ScaleSwitchTwiceReturnsToTheFirstScale) {
    plotted(200, 20, 499, 1, 200);
    click(but::Scale);
    EXPECT_FALSE(f.overall);
    EXPECT_EQ(fp.buttons.state[29].caption, "sc overall");
    EXPECT_EQ(f.ibstate[but::Scale], -1);
    EXPECT_NE(at("lib.KUR_TO_NKUR 1 200"), -1);  // redrawn
    click(but::Scale);
    EXPECT_TRUE(f.overall);
    EXPECT_EQ(fp.buttons.state[29].caption, "sc frame");
    EXPECT_EQ(fp.buttons.state[29].tooltip, "Scale each frame individually in the y-direction");
    EXPECT_EQ(f.ibstate[but::Scale], 1);
    EXPECT_EQ(at("lib.FILL_KURRENT"), -1);  // the curve itself is never rebuilt
}

TEST_F(Commands, CurveSwitchesToggleAndRebuild) {
    struct Case {
        int k;
        bool frmVorselPlot::*mode;
        const char *on_caption, *off_caption;
    };
    const Case cases[] = {
        {32, &frmVorselPlot::reverse, "x low -> high", "x high -> low"},
        {33, &frmVorselPlot::sqrooted, "linear(y)", "sqrt(y)"},
        {34, &frmVorselPlot::smoothed, "remove smoothed", "add smoothed"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.k);
        plotted(200, 20, 499, 1, 200);
        click(c.k);
        EXPECT_TRUE(f.*c.mode);
        EXPECT_EQ(fp.buttons.state[c.k].caption, c.on_caption);
        EXPECT_GT(at("lib.FILL_KURRENT"), at("but" + std::to_string(c.k) + ".caption"));
        fp.log.clear();
        click(c.k);
        EXPECT_FALSE(f.*c.mode);
        EXPECT_EQ(fp.buttons.state[c.k].caption, c.off_caption);
        EXPECT_NE(at("lib.FILL_KURRENT"), -1);
    }
}

TEST_F(Commands, FitToFrameAndBackRestoresTheStep) {
    plotted(200, 54, 185, 16, 200);
    click(but::Fit);
    EXPECT_TRUE(f.fitall);
    EXPECT_EQ(fp.buttons.state[31].caption, "use step");
    EXPECT_EQ(button_enables(), enabled_ops(false));
    EXPECT_EQ(f.nstepsave, 54);
    EXPECT_EQ(f.nstep, 0);
    EXPECT_EQ(f.nf, 1);
    EXPECT_EQ(f.nl, 200);
    // 9999 twips right of the axis, 200 points, 1 % to spare.
    EXPECT_DOUBLE_EQ(f.step, 9999.0 / 200.0 * 0.99);
    Lines want{"txtStepSize [" + readout(std::int64_t{0}) + "]"};
    for (auto& l : window_readouts(1, 200)) want.push_back(l);
    EXPECT_EQ(first_readouts(6), want);
    EXPECT_GT(at("lib.FILL_KURRENT"), at("txtPlottedPoints"));

    fp.log.clear();
    click(but::Fit);
    EXPECT_FALSE(f.fitall);
    EXPECT_EQ(fp.buttons.state[31].caption, "fit to frame");
    EXPECT_EQ(button_enables(), enabled_ops(true));
    EXPECT_EQ(f.nstep, 54);
    EXPECT_EQ(f.step, 0.0);
    EXPECT_EQ(f.nummax, 185);
    EXPECT_EQ(f.nf, 1);
    EXPECT_EQ(f.nl, 185);
    want = {"txtStepSize [" + readout(std::int64_t{54}) + "]"};
    for (auto& l : window_readouts(1, 185)) want.push_back(l);
    EXPECT_EQ(first_readouts(6), want);
    // The same data, quantities, limit and switches: the curve built for
    // "fit to frame" is spread anew and drawn, not built again.
    EXPECT_EQ(at("lib.FILL_KURRENT"), -1);
    EXPECT_EQ(f.npcur, 200);
    EXPECT_GT(at("lib.KUR_TO_NKUR"), at("txtPlottedPoints"));
}

TEST_F(Commands, UseStepWithoutASavedStepLetsTheRebuildChooseOne) {
    // "fit to frame" is on but no step was ever in force to go back to.
    plotted(200, 0, 60, 1, 200);
    f.makebutton(-but::Fit);
    f.fitall = true;
    f.nstepsave = 0;
    fp.log.clear();
    click(but::Fit);
    EXPECT_EQ(first_readouts(1), Lines{"txtStepSize [" + readout(std::int64_t{-1}) + "]"});
    EXPECT_FALSE(f.fitall);
    EXPECT_GE(f.nl, f.nf);
    EXPECT_LE(f.nl, 200);
    // The rebuild chose a step: 9999 twips over 200 points, about 50.
    EXPECT_EQ(f.nstep, 50);
}

TEST_F(Commands, ViewAndStepCommandsWaitWhileFitToFrameIsOn) {
    plotted(200, 54, 185, 1, 185);
    click(but::Fit);
    const auto nf = f.nf, nl = f.nl, nummax = f.nummax;
    for (int k : {25, 252, 253, 26, 262, 27, 272, 273, 28, 282}) {
        SCOPED_TRACE(k);
        fp.log.clear();
        click(k);
        EXPECT_TRUE(fp.log.empty());
        EXPECT_EQ(f.nstep, 0);
        EXPECT_EQ(f.nf, nf);
        EXPECT_EQ(f.nl, nl);
        EXPECT_EQ(f.nummax, nummax);
    }
}

// ---- limits ----

TEST_F(Commands, SignificanceLimit) {
    struct Case {
        const char* name;
        int k;
        float from, want;
    };
    const Case cases[] = {
        {"all refl", 30, 5.0f, 0.0f},         {"obs refl from 7.5", 302, 7.5f, 3.0f},
        {"obs refl from 0", 302, 0.0f, 3.0f}, {"lower", 35, 4.0f, 3.0f},
        {"lower at 0 keeps 0", 35, 0.0f, 0.0f}, {"lower from 0.5 stops at 0", 35, 0.5f, 0.0f},
        {"raise", 352, 2.0f, 3.0f},           {"raise beyond obs", 352, 9.0f, 10.0f},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        plotted(200, 20, 499, 1, 200);
        f.siglim = c.from;
        click(c.k);
        EXPECT_EQ(f.siglim, c.want);
        EXPECT_EQ(first_readouts(1), Lines{"txtSigLim [" + readout(c.want) + "]"});
        EXPECT_GT(at("lib.FILL_KURRENT"), at("txtSigLim"));
    }
}

// ---- reset view ----

TEST_F(Commands, ResetViewKeepsTheQuantitiesAndPutsEverythingElseBack) {
    plotted(200, 54, 185, 1, 185);
    for (int k : {29, 32, 33, 34, 31}) click(k);
    f.siglim = 5.0f, f.clipp = 50.0f, f.clipm = -50.0f;
    fp.log.clear();
    click(but::ResetView);

    EXPECT_FALSE(f.reverse);
    EXPECT_FALSE(f.sqrooted);
    EXPECT_FALSE(f.smoothed);
    EXPECT_FALSE(f.fitall);
    EXPECT_TRUE(f.overall);
    EXPECT_EQ(f.step, 0.0);
    EXPECT_EQ(f.siglim, 3.0f);
    EXPECT_EQ(f.clipp, 10000.0f);
    EXPECT_EQ(f.clipm, -10000.0f);
    EXPECT_EQ(button_enables(), enabled_ops(true));
    const std::pair<int, const char*> captions[] = {
        {29, "sc frame"}, {31, "fit to frame"}, {32, "x high -> low"},
        {33, "sqrt(y)"},  {34, "add smoothed"}};
    for (auto [k, caption] : captions) {
        EXPECT_EQ(fp.buttons.state[k].caption, caption);
        EXPECT_EQ(f.ibstate[static_cast<std::size_t>(k)], 1);
    }
    EXPECT_EQ(first_readouts(4), (Lines{"txtStepSize [     -1]", "txtPosClip [  10000]",
                                        "txtNegClip [ -10000]", "txtSigLim [      3]"}));
    EXPECT_GT(at("lib.FILL_KURRENT"), at("txtSigLim"));
    // The chosen quantities stay, and the rebuild chose a fresh step.
    EXPECT_EQ(f.ibx, 15);
    EXPECT_EQ(f.iby, 4);
    EXPECT_EQ(f.ibstate[but::VsTheta], -1);
    EXPECT_EQ(f.ibstate[but::dF_sFo], -1);
    EXPECT_EQ(f.nstep, 50);
    EXPECT_EQ(f.nf, 1);
}

// ---- quantity buttons ----

TEST_F(Commands, YQuantityHidesItsNamesakeAndTheNextOneShowsItAgain) {
    fp.log.clear();
    click(but::Fo);  // "Fo"
    EXPECT_EQ(f.iby, 1);
    EXPECT_FALSE(fp.buttons.state[13].visible);
    EXPECT_FALSE(f.active);
    EXPECT_EQ(at("lib.FILL_KURRENT"), -1);  // no x quantity yet: the board stays empty
    EXPECT_LT(at("rect 0 0 10799 5414 FF0000"), at("but1.face 80000010"));

    fp.log.clear();
    click(but::Fc);  // "Fc"
    EXPECT_EQ(fp.grep("but"),
              (Lines{"but1.face 8000000F", "but13.enabled 1", "but13.visible 1",
                     "but2.face 80000010", "but14.enabled 0", "but14.visible 0"}));
    EXPECT_TRUE(fp.buttons.state[13].visible);
    EXPECT_FALSE(fp.buttons.state[14].visible);
    EXPECT_EQ(f.ibstate[but::Fo], 1);
    EXPECT_EQ(f.ibstate[but::Fc], -1);
    EXPECT_EQ(f.iby, 2);
}

TEST_F(Commands, QuantityClickReleasesScOverallAndRebuilds) {
    plotted(200, 20, 499, 1, 200);
    f.makebutton(-but::Scale);
    f.overall = false;
    fp.log.clear();
    click(but::dF_Fo);  // "dF / Fo"
    EXPECT_TRUE(f.overall);
    EXPECT_EQ(fp.buttons.state[29].caption, "sc frame");
    EXPECT_EQ(f.iby, 3);
    EXPECT_EQ(f.ibstate[but::dF_sFo], 1);
    EXPECT_EQ(f.ibstate[but::dF_Fo], -1);
    // Previous y released, the switch released, the board erased, the new y
    // pressed, then the rebuild.
    const long release = at("but4.face 8000000F");
    const long sw = at("but29.caption [sc frame]");
    const long erase = at("rect 0 0 10799 5414 FF0000");
    const long press = at("but3.face 80000010");
    const long rebuild = at("lib.FILL_KURRENT");
    EXPECT_NE(release, -1);
    EXPECT_LT(release, sw);
    EXPECT_LT(sw, erase);
    EXPECT_LT(erase, press);
    EXPECT_LT(press, rebuild);
}

TEST_F(Commands, XQuantityReleasesOnlyTheOtherXQuantity) {
    plotted(200, 20, 499, 1, 200);
    click(but::VsPhi);  // "vs. phi"
    EXPECT_EQ(f.ibx, 16);
    EXPECT_EQ(f.ibstate[but::VsTheta], 1);
    EXPECT_EQ(f.ibstate[but::VsPhi], -1);
    EXPECT_EQ(f.ibstate[but::dF_sFo], -1);  // the y quantity stays
    EXPECT_EQ(fp.buttons.state[15].face, 0x80000016u);
}

TEST_F(Commands, TheSelectedQuantityAgainChangesNothing) {
    plotted(200, 20, 499, 1, 200);
    for (int k : {4, 15}) {
        SCOPED_TRACE(k);
        click(k);
        EXPECT_TRUE(fp.log.empty());
        EXPECT_TRUE(f.active);
    }
}

// ---- when there is nothing to work on ----

TEST_F(Commands, NothingToWorkOnLeavesEveryOtherCommandInert) {
    struct State {
        const char* name;
        bool active;
        std::int32_t npcur;
        std::int32_t iby;
        std::vector<int> inert;
    };
    const std::vector<int> all = {25, 252, 253, 26, 262, 27, 272, 273, 28, 282, 29, 30, 302,
                                  31, 32, 33, 34, 35, 352, 36, 362, 37, 0, 39, 312};
    // An empty curve keeps the limit commands and "reset view" (they only
    // rebuild); everything that works on the drawn curve stays inert.
    const std::vector<int> on_the_curve = {25, 252, 253, 26, 262, 27, 272, 273, 28, 282,
                                           29, 31, 32, 33, 34, 36, 362, 0, 39, 312};
    const State states[] = {{"no y quantity chosen yet", false, 200, 0, all},
                            {"after a rebuild found no point", true, 0, 4, on_the_curve}};
    for (const auto& s : states) {
        for (int k : s.inert) {
            SCOPED_TRACE(std::string(s.name) + " " + std::to_string(k));
            plotted(200, 20, 499, 1, 200);
            f.active = s.active;
            f.npcur = s.npcur;
            f.iby = s.iby;
            const float siglim = f.siglim;
            click(k);
            EXPECT_TRUE(fp.log.empty());
            EXPECT_EQ(f.nf, 1);
            EXPECT_EQ(f.nl, 200);
            EXPECT_EQ(f.nstep, 20);
            EXPECT_EQ(f.siglim, siglim);
            EXPECT_FALSE(f.fitall);
        }
    }
}

TEST_F(Commands, ALimitAboveEveryPointCanBeLoweredAgain) {
    plotted(200, 20, 499, 1, 200);
    // Every point has Fo/s(Fo) = 10: raise the limit past it, the curve empties.
    for (int i = 0; i < 8; ++i) click(but::SlimUp);
    EXPECT_EQ(f.siglim, 11.0f);
    EXPECT_EQ(f.npcur, 0);
    EXPECT_EQ(fp.readouts["txtUsedPoints"], readout(std::int64_t{0}));
    // A quantity click on the empty curve leaves nothing on the board ...
    click(but::dF_Fo);
    EXPECT_FALSE(f.active);
    EXPECT_EQ(f.npcur, 0);
    // ... yet the limit can still come down, and the curve comes back.
    click(but::SlimDown);
    EXPECT_EQ(f.siglim, 10.0f);
    EXPECT_EQ(f.npcur, 200);
    EXPECT_TRUE(f.active);
    EXPECT_EQ(fp.readouts["txtUsedPoints"], readout(std::int64_t{200}));
    // "reset view" works from an empty curve too.
    for (int i = 0; i < 2; ++i) click(but::SlimUp);
    EXPECT_EQ(f.npcur, 0);
    click(but::ResetView);
    EXPECT_EQ(f.siglim, 3.0f);
    EXPECT_EQ(f.npcur, 200);
}

TEST_F(Commands, EmptyCurveStillTakesQuantitiesAndExit) {
    plotted(200, 20, 499, 1, 200);
    f.npcur = 0;
    click(but::Fo_Fc);
    EXPECT_EQ(f.iby, 5);
    EXPECT_NE(at("lib.FILL_KURRENT"), -1);
    click(but::Exit);
    EXPECT_EQ(fp.program.ends, 1);
}

TEST_F(Commands, ExitEndsTheProgramAndNothingRunsAfterIt) {
    click(but::Exit);  // no plot yet: EXIT does not wait for one
    EXPECT_EQ(fp.program.ends, 1);
    EXPECT_TRUE(f.ended());
    fp.log.clear();
    for (int k : {1, 15, 25, 29, 37, 38}) click(k);
    f.mnuOpen_Click();
    f.mnuExit_Click();
    EXPECT_TRUE(fp.log.empty());
    EXPECT_EQ(fp.program.ends, 1);
}

}  // namespace
