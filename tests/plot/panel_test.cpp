// makebutton: face colours, partner pairs and the captions of the two-way
// switches, checked as operations on the recording button array.
#include <gtest/gtest.h>

#include "tests/fakes/fake_platform.h"
#include "plot/frmVorselPlot.h"

namespace {

namespace but = vorsel::plot::but;

using vorsel::fakes::FakePlatform;
using vorsel::plot::frmVorselPlot;
using Ops = std::vector<std::string>;

struct Panel : ::testing::Test {
    FakePlatform fp;
    frmVorselPlot f{fp.plot_platform()};

    Ops ops_of(std::int32_t ibut) {
        fp.log.clear();
        f.makebutton(ibut);
        return fp.log;
    }
};

TEST_F(Panel, FoDownHidesVsFoAndUpShowsItAgain) {
    EXPECT_EQ(ops_of(-1), (Ops{"but1.face 80000010", "but13.enabled 0", "but13.visible 0"}));
    EXPECT_EQ(f.ibstate[but::Fo], -1);
    EXPECT_EQ(ops_of(1), (Ops{"but1.face 8000000F", "but13.enabled 1", "but13.visible 1"}));
    EXPECT_EQ(f.ibstate[but::Fo], 1);
}

TEST_F(Panel, XQuantityUpKeepsItsLighterFace) {
    EXPECT_EQ(ops_of(13), (Ops{"but13.face 80000016", "but1.enabled 1", "but1.visible 1"}));
    EXPECT_EQ(f.ibstate[but::VsFo], 1);
}

TEST_F(Panel, EveryPartnerPairHidesBothWays) {
    const std::pair<int, int> pairs[] = {{1, 13}, {2, 14}, {7, 19}, {8, 20}, {9, 21}};
    for (auto [y, x] : pairs) {
        for (auto [k, partner] : {std::pair{y, x}, std::pair{x, y}}) {
            SCOPED_TRACE("button " + std::to_string(k));
            f.makebutton(-k);
            EXPECT_FALSE(fp.buttons.state[partner].visible);
            EXPECT_FALSE(fp.buttons.state[partner].enabled);
            f.makebutton(k);
            EXPECT_TRUE(fp.buttons.state[partner].visible);
            EXPECT_TRUE(fp.buttons.state[partner].enabled);
        }
    }
}

TEST_F(Panel, QuantitiesWithoutNamesakeTouchOnlyThemselves) {
    // Every quantity button without a partner: one face operation, nothing else.
    for (int k : {3, 4, 5, 6, 10, 11, 12, 15, 16, 17, 18, 22, 23, 24}) {
        SCOPED_TRACE("button " + std::to_string(k));
        const Ops down = ops_of(-k);
        ASSERT_EQ(down.size(), 1u);
        EXPECT_EQ(down[0], "but" + std::to_string(k) + ".face 80000010");
        EXPECT_EQ(f.ibstate[static_cast<std::size_t>(k)], -1);
        const Ops up = ops_of(k);
        ASSERT_EQ(up.size(), 1u);
        const char* face = (k >= 13 && k <= 22) ? ".face 80000016" : ".face 8000000F";
        EXPECT_EQ(up[0], "but" + std::to_string(k) + face);
    }
}

TEST_F(Panel, SwitchesNameWhatTheNextClickDoes) {
    struct Case {
        int k;
        const char *up_caption, *up_tip, *down_caption, *down_tip;
    };
    const Case cases[] = {
        {29, "sc frame", "Scale each frame individually in the y-direction", "sc overall",
         "Use one overall scale factor in the y-direction"},
        {31, "fit to frame", "Fit the whole plot to a single frame", "use step",
         "Use step size to scale in the x-direction"},
        {32, "x high -> low", "Plot the x-values from high to low", "x low -> high",
         "Plot the x-values from low to high"},
        {33, "sqrt(y)", "Plot square root values for y", "linear(y)", "Plot linear values for y"},
        {34, "add smoothed", "Add a smoothed curve to the plot", "remove smoothed",
         "Remove the smoothed curve from the plot"},
    };
    for (const auto& c : cases) {
        const std::string b = "but" + std::to_string(c.k);
        SCOPED_TRACE(b);
        EXPECT_EQ(ops_of(-c.k), (Ops{b + ".face 80000010", b + ".caption [" + c.down_caption + "]",
                                    b + ".tooltip [" + c.down_tip + "]"}));
        EXPECT_EQ(f.ibstate[static_cast<std::size_t>(c.k)], -1);
        EXPECT_EQ(ops_of(c.k), (Ops{b + ".face 8000000F", b + ".caption [" + c.up_caption + "]",
                                   b + ".tooltip [" + c.up_tip + "]"}));
        EXPECT_EQ(f.ibstate[static_cast<std::size_t>(c.k)], 1);
    }
}

TEST_F(Panel, PuttingDownTwiceRepeatsTheSameSettings) {
    const Ops first = ops_of(-33);
    EXPECT_EQ(ops_of(-33), first);
}

TEST_F(Panel, LeavesThePlotStateAlone) {
    f.overall = true;
    f.fitall = false;
    f.makebutton(-but::Scale);
    f.makebutton(-but::Fit);
    EXPECT_TRUE(f.overall);
    EXPECT_FALSE(f.fitall);
}

TEST_F(Panel, IndicesOutsideTheStateTableTouchNothing) {
    for (int ibut : {0, 39, -39, 252, -282}) {
        SCOPED_TRACE(ibut);
        EXPECT_TRUE(ops_of(ibut).empty());
    }
    for (auto s : f.ibstate) EXPECT_EQ(s, 0);
}

}  // namespace
