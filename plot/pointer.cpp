// Which reflection a point on the board is. The pointer over the board names
// the point drawn under it in a read-out line; a press marks it with a small
// cross and shows every field of its data line.
//
// The point is found from where draw_curve puts the points, without a walk
// over the view window: point nf + j lies at nxorg + j nstep, or "fit to frame"
// at the running sum of the real step, rounded down (RunningSum gives it
// directly). Where several points share the pixel column under the pointer
// ("fit to frame" puts up to a hundred in a twip column), the one drawn
// nearest to the pointer's height is named; only those few are looked at.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <iterator>
#include <string>
#include <vector>

#include "library/miller_indices.h"
#include "library/numeric.h"
#include "platform/format.h"
#include "plot/frmVorselPlot.h"
#include "plot/quantities.h"
#include "plot/running_sum.h"

namespace vorsel::plot {

using numeric::saturate;
using platform::usual_text;

namespace {

// The x positions of the points of the view window, j = 0 for nf.
class WindowColumns {
public:
    explicit WindowColumns(const frmVorselPlot& f)
        : nstep_(f.nstep),
          origin_(f.nxorg),
          sum_(f.nxorg, f.step),
          n_(std::int64_t{f.nl} - f.nf + 1) {}

    std::int64_t size() const { return n_; }
    std::int32_t x(std::int64_t j) const {
        return nstep_ != 0 ? saturate(origin_ + j * nstep_) : sum_.x(j);
    }
    // The first point at or right of `at`; size() when there is none.
    std::int64_t first_at(std::int64_t at) const {
        if (nstep_ == 0) return sum_.first_at(at, n_);
        if (at <= origin_) return 0;
        return std::min((at - origin_ + nstep_ - 1) / nstep_, n_);
    }

private:
    std::int64_t nstep_, origin_;
    RunningSum sum_;
    std::int64_t n_;
};

// The fields of a data line by their row in dat.
constexpr const char* kFieldNames[] = {"running number", "Fo",    "Fc",     "s(Fo)",    "XRtime",
                                       "theta",          "phi",   "omega",  "kappa",    "BckgrRat",
                                       "abscor",         "drift", "weight", "field 14", "field 15"};

}  // namespace

std::int32_t frmVorselPlot::drawn_x(std::int32_t i) const {
    return WindowColumns(*this).x(std::int64_t{i} - nf);
}

// The height KUR_TO_NKUR gives a value, from the same valmin and skale: the
// board keeps only the heights of the last curve drawn, which is the
// smoothed overlay while it is shown.
std::int32_t frmVorselPlot::drawn_y(std::int32_t i) const {
    const float t = static_cast<float>((double{ycur(i)} - valmin) * skale);
    const std::int32_t height =
        std::clamp(numeric::nearest_away_saturated(t), 0, std::max(maxpar, 0));
    return saturate(std::int64_t{nypix} - height);
}

std::optional<frmVorselPlot::DrawnPoint> frmVorselPlot::point_at(
    const platform::BoardPointer& at) const {
    if (!active || !window_in_curve() || nstep < 0 || static_cast<std::size_t>(nl) > ycur.size())
        return std::nullopt;
    const WindowColumns columns(*this);
    const std::int64_t lo = columns.first_at(at.x_first);
    const std::int64_t hi = columns.first_at(std::int64_t{at.x_last} + 1);
    const std::int64_t y_mid = (std::int64_t{at.y_first} + at.y_last) / 2;

    std::int64_t best = 0;
    if (lo < hi) {
        std::int64_t best_gap = -1;
        for (std::int64_t j = lo; j < hi; ++j) {
            const std::int64_t gap = std::llabs(drawn_y(static_cast<std::int32_t>(nf + j)) - y_mid);
            if (best_gap < 0 || gap < best_gap) best = j, best_gap = gap;
        }
    } else {
        // No point in these columns: the nearer of the points left and right
        // of them (the left one on a tie).
        const std::int64_t x_mid = (std::int64_t{at.x_first} + at.x_last) / 2;
        best = std::min(lo, columns.size() - 1);
        if (lo > 0 && (lo == columns.size() || x_mid - columns.x(lo - 1) <= columns.x(lo) - x_mid))
            best = lo - 1;
    }
    const auto i = static_cast<std::int32_t>(nf + best);
    return DrawnPoint{i, columns.x(best), drawn_y(i)};
}

std::optional<std::string> frmVorselPlot::hkl_text(std::int32_t k) {
    if (!carries_hkl) return std::nullopt;
    const auto m = decode_indices(datv(kFieldH, k), datv(kFieldKL, k));
    if (!m) return std::string("?");
    return std::to_string(m->h) + " " + std::to_string(m->k) + " " + std::to_string(m->l);
}

std::string frmVorselPlot::point_text(std::int32_t i) {
    std::string text =
        "point " + usual_text(std::int64_t{i}) + " of " + usual_text(std::int64_t{npcur});
    const std::vector<std::int32_t>& lines = curve_lines();
    if (static_cast<std::size_t>(i) <= lines.size()) {
        const std::int32_t k = lines[static_cast<std::size_t>(i - 1)];
        text += "   reflection " + usual_text(datv(1, k)) + " (line " +
                usual_text(std::int64_t{k}) + ")";
        if (const auto hkl = hkl_text(k)) text += "   h k l " + *hkl;
    }
    std::string y_name = quantity_caption(iby);
    if (sqrooted) y_name = "sqrt(" + y_name + ")";
    text += "   " + quantity_caption(ibx) + " " + usual_text(xcur(i));
    text += "   " + y_name + " " + usual_text(ycur(i));
    if (smoothed && static_cast<std::size_t>(i) <= ysmo.size())
        text += "   smoothed " + usual_text(ysmo(i));
    return text;
}

std::string frmVorselPlot::point_details(std::int32_t i) {
    std::string text = point_text(i);
    const std::vector<std::int32_t>& lines = curve_lines();
    if (static_cast<std::size_t>(i) > lines.size()) return text;
    const std::int32_t k = lines[static_cast<std::size_t>(i - 1)];
    const std::int32_t fields =
        std::min(ncurves, static_cast<std::int32_t>(std::size(kFieldNames)));
    for (std::int32_t c = 1; c <= fields; ++c) {
        char name[24];
        const char* field_name = kFieldNames[c - 1];
        if (carries_hkl && c == kFieldH) field_name = "h";
        if (carries_hkl && c == kFieldKL) field_name = "10000 k + l";
        std::snprintf(name, sizeof name, "%-16s", field_name);
        text += "\n" + (name + usual_text(datv(c, k)));
    }
    return text;
}

void frmVorselPlot::pctPlot_MouseMove(const platform::BoardPointer& at) {
    if (ended()) return;
    pointer_ = at;
    const auto point = point_at(at);
    p_.point_view.set_point_text(point ? point_text(point->i) : std::string());
}

void frmVorselPlot::pctPlot_MouseLeave() {
    pointer_.reset();
    p_.point_view.set_point_text({});
}

void frmVorselPlot::pctPlot_MouseDown(const platform::BoardPointer& at) {
    if (ended()) return;
    const auto point = point_at(at);
    if (!point) return;
    marked = point->i;
    p_.point_view.show_mark(point->x, point->y, icmark);
    p_.point_view.show_point_details(point_details(point->i));
}

bool frmVorselPlot::mark_line(std::int32_t k) {
    if (ended() || !active || !window_in_curve() || nstep < 0 ||
        static_cast<std::size_t>(nl) > ycur.size())
        return false;
    const std::vector<std::int32_t>& lines = curve_lines();
    for (std::int32_t i = nf; i <= nl && static_cast<std::size_t>(i) <= lines.size(); ++i)
        if (lines[static_cast<std::size_t>(i - 1)] == k) {
            marked = i;
            p_.point_view.show_mark(drawn_x(i), drawn_y(i), icmark);
            return true;
        }
    return false;
}

void frmVorselPlot::point_again() {
    if (pointer_) pctPlot_MouseMove(*pointer_);
}

void frmVorselPlot::forget_mark() {
    if (marked == 0) return;
    marked = 0;
    p_.point_view.hide_mark();
}

}  // namespace vorsel::plot
