// The keys and the wheel: every one a click on a button of the panel.
#include "plot/keys.h"

#include <algorithm>
#include <cstdlib>

#include "plot/frmVorselPlot.h"

namespace vorsel::plot {

int command_of_key(const platform::KeyPress& key) {
    if (key.alt) return 0;
    for (const KeyBinding& b : kKeyBindings)
        if (b.key == key.key && b.ctrl == key.ctrl) return b.index;
    return 0;
}

const char* key_name(int index) {
    for (const KeyBinding& b : kKeyBindings)
        if (b.index == index) return b.name;
    return nullptr;
}

void frmVorselPlot::press(int k) {
    if (!p_.cmdBut.enabled(k) || !p_.cmdBut.visible(k)) return;
    cmdBut_Click(k);
}

bool frmVorselPlot::Form_KeyDown(const platform::KeyPress& key) {
    const int k = command_of_key(key);
    if (k == 0) return false;
    press(k);
    point_again();
    return true;
}

void frmVorselPlot::pctPlot_MouseWheel(int delta) {
    // A turn the other way starts counting afresh.
    if ((delta > 0 && wheel_rest_ < 0) || (delta < 0 && wheel_rest_ > 0)) wheel_rest_ = 0;
    wheel_rest_ += std::clamp(delta, -1000 * platform::kWheelNotch, 1000 * platform::kWheelNotch);
    const int notches = wheel_rest_ / platform::kWheelNotch;
    wheel_rest_ -= notches * platform::kWheelNotch;
    for (int n = std::abs(notches); n > 0 && !ended(); --n)
        press(notches > 0 ? but::LeftThird : but::RightThird);
    if (notches != 0) point_again();
}

}  // namespace vorsel::plot
