// The plot window's design: every control inside the window, no two visible
// controls on top of each other (beyond the shared edges of the design), the
// index scheme of the right-hand column, and agreement with makebutton.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <set>

#include "tests/fakes/fake_platform.h"
#include "plot/frmVorselPlot.h"
#include "plot/layout.h"

namespace {

using vorsel::platform::Rect;
using vorsel::plot::plot_window_layout;

struct Control {
    std::string name;
    Rect r;
};

// Every visible control, measured from the frame's origin.
std::vector<Control> visible_controls() {
    const auto& l = plot_window_layout();
    std::vector<Control> c{{"pctPlot", l.board}, {"cmdRange", l.range}, {"txtBox", l.text_box}};
    for (const auto& b : l.buttons)
        if (b.visible) c.push_back({"cmdBut(" + std::to_string(b.index) + ")", b.geometry});
    for (const auto& r : l.read_outs) {
        c.push_back({r.name, r.box_geometry});
        c.push_back({"label of " + r.name, r.label_geometry});
    }
    return c;
}

// How far two rectangles reach into each other along each axis (0 or less: apart).
std::pair<double, double> overlap(const Rect& a, const Rect& b) {
    const double x = std::min(a.left + a.width, b.left + b.width) - std::max(a.left, b.left);
    const double y = std::min(a.top + a.height, b.top + b.height) - std::max(a.top, b.top);
    return {x, y};
}

TEST(PlotWindowLayout, EveryControlLiesInsideTheFrameAndTheFrameInsideTheWindow) {
    const auto& l = plot_window_layout();
    EXPECT_LE(l.frame.left + l.frame.width, l.client_width);
    EXPECT_LE(l.frame.top + l.frame.height, l.client_height);
    auto all = visible_controls();
    all.push_back({"cmdWindow", l.window});
    for (const auto& b : l.buttons) all.push_back({"hidden cmdBut", b.geometry});
    for (const auto& c : all) {
        SCOPED_TRACE(c.name);
        EXPECT_GT(c.r.width, 0);
        EXPECT_GT(c.r.height, 0);
        EXPECT_GE(c.r.left, 0);
        EXPECT_GE(c.r.top, 0);
        EXPECT_LE(c.r.left + c.r.width, l.frame.width);
        EXPECT_LE(c.r.top + c.r.height, l.frame.height);
    }
}

TEST(PlotWindowLayout, NoTwoVisibleControlsOverlap) {
    // The design stacks its 495-twip buttons 480 apart, so neighbouring rows
    // share 15 twips (one pixel line at 96 dpi) of their edges; the range bar
    // shares 10 with the row below it. Deeper overlaps are design faults,
    // with one exception: the unused txtBox lies on the blank left end of the
    // right-aligned label "Total nr. of Points".
    constexpr double kSharedEdge = 15;
    const auto c = visible_controls();
    for (std::size_t i = 0; i < c.size(); ++i) {
        for (std::size_t j = i + 1; j < c.size(); ++j) {
            const auto [x, y] = overlap(c[i].r, c[j].r);
            if (x <= 0 || y <= 0) continue;
            if (std::min(x, y) <= kSharedEdge) continue;
            const std::set<std::string> pair{c[i].name, c[j].name};
            if (pair == std::set<std::string>{"txtBox", "label of txtTotalPoints"}) continue;
            ADD_FAILURE() << c[i].name << " and " << c[j].name << " overlap by " << x << " x "
                          << y << " twips";
        }
    }
}

TEST(PlotWindowLayout, TheIndicatorRunsAlongTheRangeBar) {
    const auto& l = plot_window_layout();
    EXPECT_EQ(l.window.left, l.range.left);
    EXPECT_EQ(l.window.width, l.range.width);
    EXPECT_GT(l.window.top, l.range.top);
    EXPECT_LT(l.window.top + l.window.height, l.range.top + l.range.height);
    EXPECT_EQ(l.range.width, l.board.width);
    EXPECT_FALSE(l.range_enabled);
    EXPECT_FALSE(l.window_enabled);
}

TEST(PlotWindowLayout, ButtonIndicesFollowTheColumnScheme) {
    const auto& l = plot_window_layout();
    std::map<int, const vorsel::platform::ButtonSpec*> by_index;
    for (const auto& b : l.buttons) {
        EXPECT_TRUE(by_index.emplace(b.index, &b).second) << "Index " << b.index << " twice";
        EXPECT_EQ(b.geometry.height, 495) << b.index;
    }
    for (int k = 1; k <= vorsel::plot::but::MaxStateIndex; ++k) EXPECT_TRUE(by_index.count(k)) << k;
    EXPECT_FALSE(by_index.count(0));
    // 10 n + 2 and 10 n + 3 share the row of n, each right of the one before.
    for (const auto& [index, b] : by_index) {
        if (index <= vorsel::plot::but::MaxStateIndex) continue;
        SCOPED_TRACE(index);
        const int n = index / 10, step = index % 10;
        ASSERT_TRUE(step == 2 || step == 3);
        const int before = step == 2 ? n : 10 * n + 2;
        ASSERT_TRUE(by_index.count(before));
        const auto& prev = by_index.at(before)->geometry;
        EXPECT_EQ(b->geometry.top, prev.top);
        if (index == 312) {
            // The hidden one lies under the right half of the full-width switch.
            EXPECT_EQ(b->geometry.left, prev.left + prev.width / 2);
            EXPECT_EQ(b->geometry.left + b->geometry.width, prev.left + prev.width);
        } else {
            EXPECT_EQ(b->geometry.left, prev.left + prev.width);
        }
    }
}

TEST(PlotWindowLayout, QuantityRowsLieUnderTheBoardAndTheColumnRightOfIt) {
    const auto& l = plot_window_layout();
    const double board_right = l.board.left + l.board.width;
    const double bar_bottom = l.range.top + l.range.height;
    for (const auto& b : l.buttons) {
        SCOPED_TRACE(b.index);
        if (b.index <= 24)
            EXPECT_GE(b.geometry.top + 15, bar_bottom);
        else
            EXPECT_GE(b.geometry.left, board_right);
        const bool x_quantity = b.index >= 13 && b.index <= 22;
        EXPECT_EQ(b.face, x_quantity ? vorsel::platform::kSys3DLight
                                     : vorsel::platform::kSysButtonFace);
    }
}

TEST(PlotWindowLayout, OnlyTheUnusedButtonsStartDisabled) {
    const std::set<int> disabled{11, 12, 23, 24, 36, 362, 312};
    for (const auto& b : plot_window_layout().buttons) {
        SCOPED_TRACE(b.index);
        EXPECT_EQ(b.enabled, !disabled.count(b.index));
        EXPECT_EQ(b.visible, b.index != 312);
    }
}

TEST(PlotWindowLayout, SwitchesStartWithTheCaptionsMakebuttonGivesThemUp) {
    // Putting each switch up must leave it as designed; only 32's design-time
    // tool tip differs, by a second space before "from".
    vorsel::fakes::FakePlatform fp;
    vorsel::plot::frmVorselPlot f{fp.plot_platform()};
    for (const auto& b : plot_window_layout().buttons) {
        if (b.index != 29 && (b.index < 31 || b.index > 34)) continue;
        SCOPED_TRACE(b.index);
        f.makebutton(b.index);
        const auto& s = fp.buttons.state[b.index];
        EXPECT_EQ(s.caption, b.caption);
        EXPECT_EQ(s.face, b.face);
        std::string tip = b.tooltip;
        if (b.index == 32) {
            const auto at = tip.find("  from");
            ASSERT_NE(at, std::string::npos);
            tip.erase(at, 1);
        }
        EXPECT_EQ(s.tooltip, tip);
    }
}

TEST(PlotWindowLayout, ReadOutsCoverEveryBoxOnce) {
    const auto& l = plot_window_layout();
    ASSERT_EQ(l.read_outs.size(), static_cast<std::size_t>(vorsel::platform::kReadOutCount));
    std::set<int> boxes;
    for (const auto& r : l.read_outs) {
        SCOPED_TRACE(r.name);
        EXPECT_TRUE(boxes.insert(static_cast<int>(r.box)).second);
        EXPECT_EQ(r.name, vorsel::fakes::readout_name(r.box));
        // Each label ends left of its box, on the same line.
        EXPECT_LE(r.label_geometry.left + r.label_geometry.width, r.box_geometry.left);
        EXPECT_LT(std::abs(r.label_geometry.top - r.box_geometry.top), r.box_geometry.height);
    }
}

}  // namespace
