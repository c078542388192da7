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

#include "plot/frmVorselPlot.h"
#include "plot/layout.h"

namespace vorsel::plot {

using platform::ReadOut;

namespace {

bool is_switch(int k) { return k == 29 || k == 31 || k == 32 || k == 33 || k == 34; }
bool is_x_quantity(int k) { return k >= 13 && k <= 22; }

// The y quantity buttons: both rows hold some (the averaged ones 23 and 24).
constexpr int kYQuantities[] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 23, 24};

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

    // The selected quantity again: nothing changes, so nothing is redrawn.
    if (k >= 0 && k <= kMaxButtonIndex && !is_switch(k) &&
        ibstate[static_cast<std::size_t>(k)] == -1)
        return;

    if (k >= 1 && k <= 24) {
        // Release the previous choice of the same kind (which shows its
        // namesake of the other kind again).
        if (is_x_quantity(k)) {
            for (int i = 13; i <= 22; ++i)
                if (ibstate[static_cast<std::size_t>(i)] == -1) makebutton(i);
        } else {
            for (int i : kYQuantities)
                if (ibstate[static_cast<std::size_t>(i)] == -1) makebutton(i);
        }
        // A new quantity starts with one y scale for the whole curve.
        if (ibstate[29] == -1) {
            makebutton(29);
            overall = true;
        }
        blank_board();
        active = false;
        makebutton(-k);
        if (is_x_quantity(k))
            ibx = k;
        else
            iby = k;
        if (ibx != 0 && iby != 0) fill_current();
        return;
    }

    if (k == kExitButton) {
        end_program();
        return;
    }

    // The limit commands and "reset view" only rebuild the curve from the data,
    // so they stay live while the chosen quantities give an empty curve: a limit
    // raised above every reflection can then be lowered again. Every other
    // command works on the curve on the board and waits for one.
    const bool rebuilds_only = k == 30 || k == 302 || k == 35 || k == 352 || k == 37;
    if (rebuilds_only ? (ibx == 0 || iby == 0) : (!active || npcur < 1)) return;

    const std::int32_t w = nxpix - margin - 1;  // the board's width right of the y axis
    auto redraw = [this] {
        draw_yaxis();
        if (!ended()) gfxdrawboard();
    };
    auto set_view_buttons = [this](bool enabled) {
        for (int i : kViewButtons) p_.cmdBut.set_enabled(i, enabled);
    };

    switch (k) {
        case 25: case 252: case 253: case 27: case 272: case 273: case 26: case 262: {
            if (fitall || nummax < 1) return;
            ViewWindow v{nf, nl};
            switch (k) {
                case 25: v = shifted_right(v, nummax / 3, nummax, npcur); break;
                case 252: v = shifted_right(v, nummax / 2, nummax, npcur); break;
                case 253: v = shifted_right(v, nummax, nummax, npcur); break;
                case 27: v = shifted_left(v, nummax / 3, nummax, npcur); break;
                case 272: v = shifted_left(v, nummax / 2, nummax, npcur); break;
                case 273: v = shifted_left(v, nummax, nummax, npcur); break;
                case 26: v = at_first_point(nummax, npcur); break;
                default: v = at_last_point(nummax, npcur); break;
            }
            nf = v.nf;
            nl = v.nl;
            window_readouts();
            redraw();
            return;
        }

        case 28: case 282: {
            if (fitall || nstep < 1) return;
            nstep = changed_step(nstep, k == 282, maxstep);
            nummax = points_per_window(w, nstep);
            const ViewWindow v = at_first_point(nummax, npcur);
            nf = v.nf;
            nl = v.nl;
            show(ReadOut::StepSize, std::int64_t{nstep});
            window_readouts();
            redraw();
            return;
        }

        case 29:
            if (ibstate[29] == -1) {
                makebutton(29);
                overall = true;
            } else {
                makebutton(-29);
                overall = false;
            }
            redraw();
            return;

        case 31:
            if (ibstate[31] != -1) {
                // Spread the whole curve over the board, keeping the step for later.
                makebutton(-31);
                fitall = true;
                set_view_buttons(false);
                nstepsave = nstep;
                nl = npcur;
                nstep = 0;
                nf = 1;
                step = static_cast<double>(Float(w)) / static_cast<double>(Float(nl)) * dfactor;
            } else {
                makebutton(31);
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
            return;

        case 32: case 33: case 34: {
            bool& mode = k == 32 ? reverse : (k == 33 ? sqrooted : smoothed);
            if (ibstate[static_cast<std::size_t>(k)] == -1) {
                makebutton(k);
                mode = false;
            } else {
                makebutton(-k);
                mode = true;
            }
            fill_current();
            return;
        }

        case 30: case 302: case 35: case 352:
            if (k == 30) {
                siglim = 0.0f;
            } else if (k == 302) {
                siglim = 3.0f;
            } else if (k == 35) {
                siglim = siglim - 1.0f;
                if (siglim < 0.0f) siglim = 0.0f;
            } else {
                siglim = siglim + 1.0f;
            }
            show(ReadOut::SigLim, siglim);
            relim = true;
            fill_current();
            return;

        case 37:
            // Everything back as after start-up, except the chosen quantities.
            switches_to_start();
            limits_to_start();
            fill_current();
            return;

        default:
            return;  // 36 and 362 have no command
    }
}

void frmVorselPlot::switches_to_start() {
    reverse = false;
    sqrooted = false;
    smoothed = false;
    overall = true;
    relim = false;
    fitall = false;
    // "fit to frame" may have disabled them.
    for (int i : kViewButtons) p_.cmdBut.set_enabled(i, true);
    for (int i : {29, 31, 32, 33, 34}) makebutton(i);
}

void frmVorselPlot::limits_to_start() {
    step = 0.0;
    clipm = -10000.0f;
    siglim = 3.0f;
    clipp = 10000.0f;
    nstep = -1;
    show(ReadOut::StepSize, std::int64_t{nstep});
    show(ReadOut::PosClip, clipp);
    show(ReadOut::NegClip, clipm);
    show(ReadOut::SigLim, siglim);
}

}  // namespace vorsel::plot
