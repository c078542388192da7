// The keys of the plot window. Each stands for a button of the panel and acts
// through the panel's click handler with that button's Index, so a key leaves
// the same state as the click, and does nothing while its button is disabled
// or hidden.
#pragma once

#include "platform/interaction.h"
#include "plot/buttons.h"

namespace vorsel::plot {

struct KeyBinding {
    platform::Key key;
    bool ctrl;
    int index;         // the button
    const char* name;  // as the button's tool tip names the key
};

inline constexpr KeyBinding kKeyBindings[] = {
    {platform::Key::Right, false, but::RightThird, "Right"},
    {platform::Key::Left, false, but::LeftThird, "Left"},
    {platform::Key::PageDown, false, but::RightHalf, "Page Down"},
    {platform::Key::PageUp, false, but::LeftHalf, "Page Up"},
    {platform::Key::End, false, but::ToLast, "End"},
    {platform::Key::Home, false, but::ToFirst, "Home"},
    {platform::Key::Right, true, but::RightWhole, "Ctrl+Right"},
    {platform::Key::Left, true, but::LeftWhole, "Ctrl+Left"},
    {platform::Key::Plus, false, but::StepUp, "+"},
    {platform::Key::Minus, false, but::StepDown, "-"},
    {platform::Key::F, false, but::Fit, "F"},
    {platform::Key::S, false, but::Sqrt, "S"},
    {platform::Key::M, false, but::Smooth, "M"},
    {platform::Key::R, false, but::Reverse, "R"},
};

// The button a key stands for; 0 for none (Alt or Meta held, or a key the
// window does not use).
int command_of_key(const platform::KeyPress& key);

// The name of the key that stands for button `index`, or nullptr.
const char* key_name(int index);

}  // namespace vorsel::plot
