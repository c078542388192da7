// The current-curve pipeline of the plot window: the points ordered by the x
// quantity (sortf), the curve built by the library (FILL_KURRENT), the view
// window fixed on the board, the read-outs written and the board redrawn.
//
// Departures where the data would otherwise be read out of bounds:
// - a quantity whose data row the file does not have (fewer fields per line,
//   or rows 2, 3, 4 missing for the computed curves) gives an empty curve;
// - a view window that does not lie within 1..npcur is fitted anew, and the
//   window arithmetic is kept within the 4-byte range, so no read-out or
//   drawing ever looks at a point outside the current curve.
#include <algorithm>
#include <cstdint>

#include "library/numeric.h"
#include "plot/frmVorselPlot.h"

namespace vorsel::plot {

using numeric::saturate;
using platform::ReadOut;

namespace {

// Data row of each x button, Index 13 to 22.
constexpr std::int32_t ixtab[10] = {2, 3, 6, 7, 8, 9, 11, 12, 13, 5};
// Data row of each y button, Index 1 to 12, that plots one quantity directly;
// 0 for the computed quantities and for those not built here.
constexpr std::int32_t iytab[12] = {2, 3, 0, 0, 0, 0, 11, 12, 13, 10, 0, 0};

constexpr std::int32_t kMinStep = 20;
// Points from which a rebuild that sorts, or any rebuild, shows the busy cursor.
constexpr std::int32_t kLongSort = 1000000;
constexpr std::int32_t kLongWalk = 5000000;

std::int16_t flag(bool b) { return b ? std::int16_t{-1} : std::int16_t{0}; }

}  // namespace

void frmVorselPlot::window_readouts() {
    show(ReadOut::FirstPoint, std::int64_t{nf});
    show(ReadOut::LastPoint, std::int64_t{nl});
    show(ReadOut::FirstValue, xcur(nf));
    show(ReadOut::LastValue, xcur(nl));
    show(ReadOut::PlottedPoints, std::int64_t{nl} - nf + 1);
}

bool frmVorselPlot::window_in_curve() const {
    return npcur >= 1 && nf >= 1 && nl >= nf && nl <= npcur;
}

void frmVorselPlot::fill_current() {
    if (!but::is_x_quantity(ibx) || !but::is_y_quantity(iby)) return;
    // A rebuild that sorts a million points or walks several million keeps
    // the window from answering long enough to say so.
    take_orders_made();
    const bool sorts = !cache.holds_order({ixtab[ibx - but::VsFo], ncurves});
    platform::BusyCursor busy(p_.program,
                              npoint >= kLongWalk || (sorts && npoint >= kLongSort));
    if (!build_curve()) return;  // the library is missing: the program is ending

    show(ReadOut::UsedPoints, std::int64_t{npcur});
    if (npcur == 0) return show_empty_curve();

    fit_view_window();
    show(ReadOut::StepSize, std::int64_t{nstep});
    window_readouts();

    draw_yaxis();
    gfxdrawboard();
}

bool frmVorselPlot::build_curve() {
    const std::size_t points = npoint > 0 ? static_cast<std::size_t>(npoint) : 0;
    const bool arrays_hold = ncurves > 0 &&
                             dat.size() >= points * static_cast<std::size_t>(ncurves) &&
                             sigrat.size() >= points && iperm.size() >= points &&
                             ywork.size() >= points && xwork.size() >= points &&
                             ycur.size() >= points && xcur.size() >= points &&
                             ysmo.size() >= points && nkur.size() >= points;

    ixval = ixtab[ibx - but::VsFo];
    const bool x_row = arrays_hold && ixval <= ncurves;
    if (x_row) sortf(ixval);

    iyval = 0;
    if (iby < but::dF_meansFo) iyval = iytab[iby - 1];

    std::int32_t ityp = 0;
    if (iyval != 0) {
        ityp = 1;
    } else if (iby >= but::dF_Fo && iby <= but::Fo_sFo) {
        ityp = iby - 1;
    }
    // A quantity the file cannot give (its row, or Fo, Fc, s(Fo) for the
    // computed ones, is missing) is an empty curve.
    const bool rows_present =
        x_row && ((ityp == 1 && iyval <= ncurves) || (ityp >= 2 && ncurves >= 4));
    if (ityp == 0 || !rows_present) {
        npcur = 0;
        return true;
    }

    // A rebuild with the same inputs ("fit to frame" and "use step" only
    // spread the same curve anew) finds the library's curve in place.
    std::int16_t rev = flag(reverse), sqr = flag(sqrooted), smo = flag(smoothed);
    const CurveCache::CurveKey key{ixval, iyval, ityp, siglim, clipp, clipm, rev, sqr, smo};
    if (cache.holds_curve(key)) {
        npcur = cache.curve_npcur();
        return true;
    }
    cache.forget_curve();
    if (!p_.library.FILL_KURRENT(dat.data(), sigrat.data(), iperm.data(), &ixval, &iyval,
                                 ywork.data(), xwork.data(), ycur.data(), xcur.data(),
                                 ysmo.data(), &ncurves, &npoint, &npcur, &siglim, &clipp, &clipm,
                                 &rev, &sqr, &smo, &ityp))
        return false;
    if (npcur < 0 || npcur > npoint) npcur = 0;  // never trust a count beyond the arrays
    cache.curve_built(key, npcur);
    return true;
}

void frmVorselPlot::show_empty_curve() {
    show(ReadOut::FirstPoint, std::int64_t{0});
    show(ReadOut::LastPoint, std::int64_t{0});
    show(ReadOut::FirstValue, std::int64_t{0});
    show(ReadOut::LastValue, std::int64_t{0});
    show(ReadOut::PlottedPoints, std::int64_t{0});
    // Nothing on the board belongs to this (empty) curve any more.
    hide_indicator();
}

void frmVorselPlot::fit_view_window() {
    // Board width right of the y axis.
    const std::int32_t w = saturate(std::int64_t{nxpix} - margin - 1);
    const auto fit_nummax = [&] {
        std::int64_t m = nstep > 0 ? std::int64_t{w} / nstep : 0;
        if (m < 1) m = 1;  // at least one point is always in view
        nummax = saturate(m);
    };

    if (nstep == -1) {
        // The first step: the curve spread over the board, kept between 20
        // twips (points still tell apart) and maxstep (a few points do not
        // look like a coarse polygon).
        const float q = Float(w) / Float(npcur);
        nstep = numeric::nearest_even_saturated(static_cast<double>(q));
        if (nstep > maxstep) nstep = maxstep;
        if (nstep < kMinStep) nstep = kMinStep;
        nf = 1;
        fit_nummax();
        nl = nummax < npcur ? nummax : npcur;
    }

    // A window left from a curve of another length is fitted anew as well.
    if (!relim && window_in_curve()) return;
    if (nstep != 0) {
        fit_nummax();
        const std::int64_t first = nf >= 1 ? nf : 1;
        std::int64_t last = first - 1 + nummax;
        if (last > npcur) last = npcur;
        std::int64_t nfirst = last + 1 - nummax;
        if (nfirst < 1) nfirst = 1;
        nl = saturate(last);
        nf = saturate(nfirst);
    } else {
        nf = 1;
        nl = npcur;
        step = static_cast<double>(Float(w)) / static_cast<double>(Float(nl)) * dfactor;
    }
    relim = false;
}

}  // namespace vorsel::plot
