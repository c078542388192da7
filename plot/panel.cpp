// makebutton: the look of a command button carries state. A selected quantity
// and a two-way switch that is on are shown "down" (shadow face colour); a
// quantity with a namesake of the other kind hides that namesake while it is
// selected, so that Fo can never be plotted against Fo; a switch's caption
// always names what the next click will do, not the mode in force.
#include <optional>

#include "plot/frmVorselPlot.h"

namespace vorsel::plot {

namespace {

// The y quantities that have an x quantity of the same name, and back.
std::optional<int> partner_of(int k) {
    switch (k) {
        case 1: return 13;   // "Fo"     / "vs. Fo"
        case 2: return 14;   // "Fc"     / "vs. Fc"
        case 7: return 19;   // "abscor" / "vs. abscor"
        case 8: return 20;   // "drift"  / "vs. drift"
        case 9: return 21;   // "weight" / "vs. weight"
        case 13: return 1;
        case 14: return 2;
        case 19: return 7;
        case 20: return 8;
        case 21: return 9;
        default: return std::nullopt;
    }
}

struct SwitchFace {
    const char* caption;
    const char* tooltip;
};
struct SwitchFaces {
    int index;
    SwitchFace up;    // the default mode: the caption offers the other one
    SwitchFace down;  // the other mode is in force
};

constexpr SwitchFaces kSwitches[] = {
    {29,
     {"sc frame", "Scale each frame individually in the y-direction"},
     {"sc overall", "Use one overall scale factor in the y-direction"}},
    {31,
     {"fit to frame", "Fit the whole plot to a single frame"},
     {"use step", "Use step size to scale in the x-direction"}},
    {32,
     {"x high -> low", "Plot the x-values from high to low"},
     {"x low -> high", "Plot the x-values from low to high"}},
    {33,
     {"sqrt(y)", "Plot square root values for y"},
     {"linear(y)", "Plot linear values for y"}},
    {34,
     {"add smoothed", "Add a smoothed curve to the plot"},
     {"remove smoothed", "Remove the smoothed curve from the plot"}},
};

const SwitchFaces* switch_of(int k) {
    for (const auto& s : kSwitches)
        if (s.index == k) return &s;
    return nullptr;
}

}  // namespace

void frmVorselPlot::makebutton(std::int32_t Ibut) {
    // Only the elements 1..38 carry a state; anything else names no button
    // that makebutton may touch.
    if (Ibut == 0 || Ibut < -kMaxButtonIndex || Ibut > kMaxButtonIndex) return;
    const bool down = Ibut < 0;
    const int k = down ? -Ibut : Ibut;
    platform::Buttons& but = p_.cmdBut;

    if (down) {
        but.set_face_colour(k, platform::kSysButtonShadow);
    } else {
        // The x quantities keep their lighter face so that the two rows of
        // quantity buttons stay apart at a glance.
        but.set_face_colour(k, (k >= 13 && k <= 22) ? platform::kSys3DLight
                                                    : platform::kSysButtonFace);
    }
    ibstate[static_cast<std::size_t>(k)] = down ? -1 : 1;

    if (auto partner = partner_of(k)) {
        but.set_enabled(*partner, !down);
        but.set_visible(*partner, !down);
    }
    if (const SwitchFaces* s = switch_of(k)) {
        const SwitchFace& face = down ? s->down : s->up;
        but.set_caption(k, face.caption);
        but.set_tooltip(k, face.tooltip);
    }
}

}  // namespace vorsel::plot
