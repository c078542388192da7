// A key or a wheel notch leaves the state, the board and the read-outs as the
// click on its button does, and does nothing where the button is out of reach.
#include <gtest/gtest.h>

#include <cmath>
#include <optional>
#include <tuple>
#include <vector>

#include "tests/plot/plotted_data.h"

namespace {

namespace but = vorsel::plot::but;
using vorsel::fakes::PlottedData;
using vorsel::platform::Key;
using vorsel::platform::KeyPress;

// 2000 reflections, theta = k, Fo 10, s(Fo) 1: a first step of 20 twips shows 499.
float field(int c, int k) {
    return c == 6 ? static_cast<float>(k) : c == 3 ? 10 + std::sin(0.1f * k) : c == 4 ? 1 : 10;
}

auto state(const vorsel::plot::frmVorselPlot& w) {
    return std::tuple(w.nf, w.nl, w.nstep, w.step, w.nummax, w.npcur, w.fitall, w.reverse,
                      w.sqrooted, w.smoothed, w.overall, w.ibstate);
}

TEST(Keys, ActAsTheirButtons) {
    struct Case {
        const char* name;
        std::vector<int> before;       // clicks on both windows first
        std::optional<KeyPress> key;   // the key, or else
        std::vector<int> wheel;        // turns of the wheel
        std::vector<int> clicks;       // what the other window gets; none: nothing happens
        int disabled = 0, hidden = 0;  // a button put out of reach first
        bool foreign = false;          // no key of the window: left to the focused control
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
        {"S", {}, KeyPress{Key::S}, {}, {but::Sqrt}},
        {"M", {}, KeyPress{Key::M}, {}, {but::Smooth}},
        {"R", {}, KeyPress{Key::R}, {}, {but::Reverse}},
        {"wheel toward the user", {}, {}, {-120}, {but::RightThird}},
        {"wheel away from the user", {but::ToLast}, {}, {120}, {but::LeftThird}},
        {"two half notches", {}, {}, {-60, -60}, {but::RightThird}},
        {"two notches at once", {}, {}, {-240}, {but::RightThird, but::RightThird}},
        {"a turn back starts afresh", {}, {}, {60, -60, -60}, {but::RightThird}},
        {"Right while fit to frame is on", {but::Fit}, KeyPress{Key::Right}, {}, {}},
        {"Right at a disabled button", {}, KeyPress{Key::Right}, {}, {}, but::RightThird},
        {"F at a hidden button", {}, KeyPress{Key::F}, {}, {}, 0, but::Fit},
        {"Ctrl+F", {}, KeyPress{Key::F, true}, {}, {}, 0, 0, true},
        {"Alt+Right", {}, KeyPress{Key::Right, false, true}, {}, {}, 0, 0, true},
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
        const auto before = state(by_key.w);
        if (c.key) {
            EXPECT_EQ(by_key.w.Form_KeyDown(*c.key), !c.foreign);
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

}  // namespace
