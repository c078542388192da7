// cmdBut_Click: every command of the button panel. A quantity button chooses
// what is plotted against what; the other commands move the view window along
// the current curve, change the step between points, switch a mode or the
// Fo/s(Fo) limit, or put the view back. Each ends either in a redraw (the
// curve is unchanged: draw_yaxis, gfxdrawboard) or in a rebuild (fill_current).
//
// Where this departs from the panel as first designed, for safety:
// - A curve left empty by a rebuild (npcur = 0) has nothing to show, so every
//   command except the quantity buttons and "EXIT" waits, exactly as before
//   the first plot: no window read-out then reads an x value that is not there
//   and "fit to frame" never divides by zero.
// - Once the program has been asked to end (also when the library could not
//   be bound) no click does anything any more.
// - The view and step buttons are disabled while "fit to frame" is on; their
//   commands also refuse to run then, so a window never moves by a window
//   size that no longer applies.
// - "use step" restores the step saved by "fit to frame"; if no step had ever
//   been in force, the rebuild chooses one as for a first plot.
#include <algorithm>
#include <cmath>

#include "plot/buttons.h"
#include "plot/frmVorselPlot.h"

namespace vorsel::plot {

using platform::ReadOut;

namespace {

struct ViewWindow {
    std::int32_t nf, nl;
};

// Moves the window s points to the right; its last point goes s - 1 points
// further, and it never runs past the last point of the curve.
ViewWindow shifted_right(ViewWindow w, std::int32_t s, std::int32_t nummax, std::int32_t npcur) {
    w.nl = w.nl - 1 + s;
    if (w.nl > npcur) w.nl = npcur;
    w.nf = w.nl - nummax + 1;
    if (w.nf < 1) {
        w.nf = 1;
        w.nl = nummax > npcur ? npcur : nummax;
    }
    return w;
}

// Moves the window s points to the left, never before the first point.
ViewWindow shifted_left(ViewWindow w, std::int32_t s, std::int32_t nummax, std::int32_t npcur) {
    w.nf = w.nf + 1 - s;
    if (w.nf < 1) w.nf = 1;
    w.nl = w.nf - 1 + nummax;
    if (w.nl > npcur) {
        w.nl = npcur;
        w.nf = std::max(npcur + 1 - nummax, 1);
    }
    return w;
}

ViewWindow at_first_point(std::int32_t nummax, std::int32_t npcur) {
    return {1, nummax > npcur ? npcur : nummax};
}

ViewWindow at_last_point(std::int32_t nummax, std::int32_t npcur) {
    return {std::max(npcur - nummax + 1, 1), npcur};
}

// A step button changes the step by 40 % (at least one twip), within 1 and
// maxstep: seven clicks take 20 twips to 200.
std::int32_t changed_step(std::int32_t nstep, bool larger, std::int32_t maxstep) {
    auto inc = static_cast<std::int32_t>(
        std::floor(static_cast<double>(frmVorselPlot::Float(nstep)) * 0.4));
    if (inc == 0) inc = 1;
    if (larger) return std::min(nstep + inc, maxstep);
    return std::max(nstep - inc, 1);
}

// Points that fit in the width w at a step of nstep twips; at least one, so
// that a window always has a point to show.
std::int32_t points_per_window(std::int32_t w, std::int32_t nstep) {
    return std::max(w / nstep, 1);
}

}  // namespace

void frmVorselPlot::cmdBut_Click(int Index) {
    if (ended()) return;
    const int k = Index;
    if (reading_) {
        if (k == but::Exit) after_read_ = AfterRead::Exit;
        return;
    }

    // The selected quantity again: nothing changes, so nothing is redrawn.
    if (k >= 0 && k <= but::MaxStateIndex && !but::is_switch(k) && is_down(k)) return;

    if (but::is_quantity(k)) return choose_quantity(k);
    if (k == but::Exit) return end_program();

    // The limit commands and "reset view" only rebuild the curve from the data,
    // so they stay live while the chosen quantities give an empty curve: a limit
    // raised above every reflection can then be lowered again. Every other
    // command works on the curve on the board and waits for one.
    const bool rebuilds_only = but::is_limit(k) || k == but::ResetView;
    if (rebuilds_only ? (ibx == 0 || iby == 0) : (!active || npcur < 1)) return;

    switch (k) {
        case but::RightThird: case but::RightHalf: case but::RightWhole:
        case but::LeftThird: case but::LeftHalf: case but::LeftWhole:
        case but::ToFirst: case but::ToLast: return move_window(k);
        case but::StepDown: case but::StepUp: return change_step(k);
        case but::Scale: return toggle_scale();
        case but::Fit: return toggle_fit_to_frame();
        case but::Reverse: case but::Sqrt: case but::Smooth: return toggle_switch(k);
        case but::AllRefl: case but::ObsRefl: case but::SlimDown: case but::SlimUp:
            return change_limit(k);
        case but::ResetView: return reset_view();
        // Laid out but never enabled: no click can come from them.
        case but::MeanFDown: case but::MeanFUp: case but::NegClipUp: return;
        default: return;  // no button has this Index
    }
}

void frmVorselPlot::choose_quantity(int k) {
    // Release the previous choice of the same kind (which shows its namesake
    // of the other kind again).
    if (but::is_x_quantity(k)) {
        for (int i : but::XQuantities)
            if (is_down(i)) makebutton(i);
    } else {
        for (int i : but::YQuantities)
            if (is_down(i)) makebutton(i);
    }
    // A new quantity starts with one y scale for the whole curve.
    if (is_down(but::Scale)) {
        makebutton(but::Scale);
        overall = true;
    }
    blank_board();
    active = false;
    makebutton(-k);
    if (but::is_x_quantity(k))
        ibx = k;
    else
        iby = k;
    if (ibx != 0 && iby != 0) fill_current();
}

void frmVorselPlot::move_window(int k) {
    if (fitall || nummax < 1) return;
    ViewWindow v{nf, nl};
    switch (k) {
        case but::RightThird: v = shifted_right(v, nummax / 3, nummax, npcur); break;
        case but::RightHalf: v = shifted_right(v, nummax / 2, nummax, npcur); break;
        case but::RightWhole: v = shifted_right(v, nummax, nummax, npcur); break;
        case but::LeftThird: v = shifted_left(v, nummax / 3, nummax, npcur); break;
        case but::LeftHalf: v = shifted_left(v, nummax / 2, nummax, npcur); break;
        case but::LeftWhole: v = shifted_left(v, nummax, nummax, npcur); break;
        case but::ToFirst: v = at_first_point(nummax, npcur); break;
        default: v = at_last_point(nummax, npcur); break;
    }
    nf = v.nf;
    nl = v.nl;
    window_readouts();
    redraw();
}

void frmVorselPlot::change_step(int k) {
    if (fitall || nstep < 1) return;
    nstep = changed_step(nstep, k == but::StepUp, maxstep);
    nummax = points_per_window(nxpix - margin - 1, nstep);
    const ViewWindow v = at_first_point(nummax, npcur);
    nf = v.nf;
    nl = v.nl;
    show(ReadOut::StepSize, std::int64_t{nstep});
    window_readouts();
    redraw();
}

void frmVorselPlot::toggle_scale() {
    const bool to_frame = !is_down(but::Scale);
    makebutton(to_frame ? -but::Scale : but::Scale);
    overall = !to_frame;
    redraw();
}

void frmVorselPlot::toggle_fit_to_frame() {
    const std::int32_t w = nxpix - margin - 1;  // the board's width right of the y axis
    if (!is_down(but::Fit)) {
        // Spread the whole curve over the board, keeping the step for later.
        makebutton(-but::Fit);
        fitall = true;
        set_view_buttons(false);
        nstepsave = nstep;
        nl = npcur;
        nstep = 0;
        nf = 1;
        step = static_cast<double>(Float(w)) / static_cast<double>(Float(nl)) * dfactor;
    } else {
        makebutton(but::Fit);
        fitall = false;
        set_view_buttons(true);
        step = 0;
        if (nstepsave >= 1) {
            nstep = nstepsave;
            nummax = points_per_window(w, nstep);
            const ViewWindow v = at_first_point(nummax, npcur);
            nf = v.nf;
            nl = v.nl;
        } else {
            // No step was in force before: the rebuild chooses one.
            nstep = -1;
            nf = 1;
            nl = npcur;
        }
    }
    show(ReadOut::StepSize, std::int64_t{nstep});
    window_readouts();
    relim = true;
    fill_current();
}

void frmVorselPlot::toggle_switch(int k) {
    bool& mode = k == but::Reverse ? reverse : (k == but::Sqrt ? sqrooted : smoothed);
    mode = !is_down(k);
    makebutton(mode ? -k : k);
    fill_current();
}

void frmVorselPlot::change_limit(int k) {
    switch (k) {
        case but::AllRefl: siglim = 0.0f; break;
        case but::ObsRefl: siglim = 3.0f; break;  // the button's own limit
        case but::SlimDown: siglim = std::max(siglim - 1.0f, 0.0f); break;
        default: siglim = siglim + 1.0f; break;
    }
    show(ReadOut::SigLim, siglim);
    relim = true;
    fill_current();
}

void frmVorselPlot::reset_view() {
    // Everything back as after start-up, except the chosen quantities.
    switches_to_start();
    limits_to_start();
    fill_current();
}

void frmVorselPlot::redraw() {
    draw_yaxis();
    if (!ended()) gfxdrawboard();
}

void frmVorselPlot::set_view_buttons(bool enabled) {
    for (int i : but::ViewButtons) p_.cmdBut.set_enabled(i, enabled);
}

void frmVorselPlot::switches_to_start() {
    set_switch_defaults();
    // "fit to frame" may have disabled them.
    set_view_buttons(true);
    for (int i : but::Switches) makebutton(i);
}

void frmVorselPlot::limits_to_start() {
    set_limit_defaults();
    show(ReadOut::StepSize, std::int64_t{nstep});
    show(ReadOut::PosClip, clipp);
    show(ReadOut::NegClip, clipm);
    show(ReadOut::SigLim, siglim);
}

}  // namespace vorsel::plot
