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
        case but::Fo: return but::VsFo;
        case but::Fc: return but::VsFc;
        case but::Abscor: return but::VsAbscor;
        case but::Drift: return but::VsDrift;
        case but::Weight: return but::VsWeight;
        case but::VsFo: return but::Fo;
        case but::VsFc: return but::Fc;
        case but::VsAbscor: return but::Abscor;
        case but::VsDrift: return but::Drift;
        case but::VsWeight: return but::Weight;
        default: return std::nullopt;
    }
}

}  // namespace

void frmVorselPlot::makebutton(std::int32_t Ibut) {
    // Only the elements 1..38 carry a state; anything else names no button
    // that makebutton may touch.
    if (Ibut == 0 || Ibut < -but::MaxStateIndex || Ibut > but::MaxStateIndex) return;
    const bool down = Ibut < 0;
    const int k = down ? -Ibut : Ibut;
    platform::Buttons& buttons = p_.cmdBut;

    if (down) {
        buttons.set_face_colour(k, platform::kSysButtonShadow);
    } else {
        // The x quantities keep their lighter face so that the two rows of
        // quantity buttons stay apart at a glance.
        buttons.set_face_colour(k, but::is_x_quantity(k) ? platform::kSys3DLight
                                                       : platform::kSysButtonFace);
    }
    ibstate[static_cast<std::size_t>(k)] = down ? -1 : 1;

    if (auto partner = partner_of(k)) {
        buttons.set_enabled(*partner, !down);
        buttons.set_visible(*partner, !down);
    }
    if (const but::SwitchFaces* s = but::switch_faces(k)) {
        const but::SwitchFace& face = down ? s->down : s->up;
        buttons.set_caption(k, face.caption);
        buttons.set_tooltip(k, face.tooltip);
    }
}

}  // namespace vorsel::plot
