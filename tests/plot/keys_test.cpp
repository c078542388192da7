// A key or a wheel notch leaves the state, the board and the read-outs exactly
// as the click on its button does, and does nothing where that button cannot
// be clicked.
#include <gtest/gtest.h>

#include <cmath>
#include <optional>
#include <string>
#include <vector>

#include "plot/keys.h"
#include "tests/plot/plotted_data.h"

namespace {

namespace but = vorsel::plot::but;
using vorsel::fakes::PlottedData;
using vorsel::platform::Key;
using vorsel::platform::KeyPress;

// 2000 reflections, theta = k: a first step of 20 twips shows 499 of them.
float field(int c, int k) {
    const float values[] = {static_cast<float>(k), 10, 10 + std::sin(0.1f * k), 1, 0,
                            static_cast<float>(k)};
    return c <= 6 ? values[c - 1] : 0.0f;
}

std::string state(const vorsel::plot::frmVorselPlot& w) {
    std::string s =
        std::to_string(w.nf) + " " + std::to_string(w.nl) + " " + std::to_string(w.nstep) + " " +
        std::to_string(w.step) + " " + std::to_string(w.nummax) + " " + std::to_string(w.npcur) +
        " " + std::to_string(w.fitall) + std::to_string(w.reverse) + std::to_string(w.sqrooted) +
        std::to_string(w.smoothed) + std::to_string(w.overall);
    for (int b : w.ibstate) s += " " + std::to_string(b);
    return s;
}

TEST(Keys, ActAsTheirButtons) {
    struct Case {
        const char* name;
        std::vector<int> before;       // clicks on both windows first
        std::optional<KeyPress> key;   // the key, or else
        std::vector<int> wheel;        // turns of the wheel
        std::vector<int> clicks;       // what the other window gets; none: nothing happens
        int disabled = 0, hidden = 0;  // a button put out of reach first
    };
    const Case cases[] = {
        {"Right", {}, KeyPress{Key::Right}, {}, {but::RightThird}},
        {"Left", {but::ToLast}, KeyPress{Key::Left}, {}, {but::LeftThird}},
        {"Page Down", {}, KeyPress{Key::PageDown}, {}, {but::RightHalf}},
        {"Page Up", {but::ToLast}, KeyPress{Key::PageUp}, {}, {but::LeftHalf}},
        {"End", {}, KeyPress{Key::End}, {}, {but::ToLast}},
        {"Home", {but::RightWhole}, KeyPress{Key::Home}, {}, {but::ToFirst}},
        {"Ctrl+Right", {}, KeyPress{Key::Right, true}, {}, {but::RightWhole}},
        {"Ctrl+Left", {but::ToLast}, KeyPress{Key::Left, true}, {}, {but::LeftWhole}},
        {"+", {}, KeyPress{Key::Plus}, {}, {but::StepUp}},
        {"-", {}, KeyPress{Key::Minus}, {}, {but::StepDown}},
        {"F", {}, KeyPress{Key::F}, {}, {but::Fit}},
        {"F again", {but::Fit}, KeyPress{Key::F}, {}, {but::Fit}},
        {"S", {}, KeyPress{Key::S}, {}, {but::Sqrt}},
        {"M", {}, KeyPress{Key::M}, {}, {but::Smooth}},
        {"R", {}, KeyPress{Key::R}, {}, {but::Reverse}},
        {"wheel toward the user", {}, {}, {-120}, {but::RightThird}},
        {"wheel away from the user", {but::ToLast}, {}, {120}, {but::LeftThird}},
        {"two half notches", {}, {}, {-60, -60}, {but::RightThird}},
        {"two notches at once", {}, {}, {-240}, {but::RightThird, but::RightThird}},
        {"a turn back starts afresh", {}, {}, {60, -60, -60}, {but::RightThird}},
        {"Right while fit to frame is on", {but::Fit}, KeyPress{Key::Right}, {}, {}},
        {"wheel while fit to frame is on", {but::Fit}, {}, {-120}, {}},
        {"Right at a disabled button", {}, KeyPress{Key::Right}, {}, {}, but::RightThird},
        {"F at a hidden button", {}, KeyPress{Key::F}, {}, {}, 0, but::Fit},
        {"Ctrl+F", {}, KeyPress{Key::F, true}, {}, {}},
        {"Alt+Right", {}, KeyPress{Key::Right, false, true}, {}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        PlottedData by_key(2000, field), by_click(2000, field);
        for (PlottedData* d : {&by_key, &by_click}) {
            for (int k : c.before) d->w.cmdBut_Click(k);
            if (c.disabled) d->fp.buttons.set_enabled(c.disabled, false);
            if (c.hidden) d->fp.buttons.set_visible(c.hidden, false);
            d->fp.log.clear();
        }
        const std::string before = state(by_key.w);
        if (c.key) {
            const bool own = vorsel::plot::command_of_key(*c.key) != 0;
            EXPECT_EQ(by_key.w.Form_KeyDown(*c.key), own);
        }
        for (int delta : c.wheel) by_key.w.pctPlot_MouseWheel(delta);
        for (int k : c.clicks) by_click.w.cmdBut_Click(k);

        EXPECT_EQ(by_key.fp.log, by_click.fp.log);
        EXPECT_EQ(state(by_key.w), state(by_click.w));
        if (c.clicks.empty())
            EXPECT_EQ(state(by_key.w), before);
        else
            EXPECT_FALSE(by_click.fp.log.empty()) << "the click must change something";
    }
}

// A pointer resting on the board names the point that a key brought under it.
TEST(Keys, ReadOutFollowsTheMovedWindow) {
    PlottedData d(2000, field);
    const vorsel::platform::BoardPointer at{1410, 1424, 2700, 2700};
    d.w.pctPlot_MouseMove(at);
    EXPECT_EQ(d.fp.point_view.text.rfind("point 31 of 2000 ", 0), 0u) << d.fp.point_view.text;
    d.w.Form_KeyDown(KeyPress{Key::Right});  // the window moves by 165 points
    EXPECT_EQ(d.fp.point_view.text.rfind("point 196 of 2000 ", 0), 0u) << d.fp.point_view.text;
}

}  // namespace
