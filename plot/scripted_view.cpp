#include "plot/scripted_view.h"

#include <algorithm>
#include <cmath>
#include <iterator>

#include "platform/format.h"
#include "plot/curve_export.h"
#include "plot/quantities.h"

namespace vorsel::plot {

std::vector<int> limit_clicks(float from, std::int32_t limit) {
    if (limit <= 0) return from == 0.0f ? std::vector<int>{} : std::vector<int>{but::AllRefl};
    std::vector<int> out;
    // Steps of one from the limit in force when it is a whole number not
    // further away than " obs refl" (3) and one click.
    const bool whole = from >= 0.0f && from == std::floor(from);
    double at = from;
    if (!whole || std::fabs(at - limit) > std::abs(3 - limit) + 1) {
        out.push_back(but::ObsRefl);
        at = 3;
    }
    for (; at < limit; at += 1) out.push_back(but::SlimUp);
    for (; at > limit; at -= 1) out.push_back(but::SlimDown);
    return out;
}

bool click_view(frmVorselPlot& w, const ViewRequest& r) {
    const auto click = [&w](int k) {
        if (!w.ended()) w.cmdBut_Click(k);
    };
    if (!w.is_down(r.x_button)) click(r.x_button);
    if (!w.is_down(r.y_button)) click(r.y_button);
    for (int k : limit_clicks(w.siglim, r.limit)) click(k);
    // Each switch is looked at after the clicks before it.
    if (w.reverse != r.reverse) click(but::Reverse);
    if (w.sqrooted != r.sqrooted) click(but::Sqrt);
    if (w.smoothed != r.smoothed) click(but::Smooth);
    if (!w.overall != r.frame_scale) click(but::Scale);
    if (w.fitall != r.whole_curve) click(but::Fit);
    // "fit to frame" kept from a shorter curve spreads only part of this one.
    if (w.fitall && (w.nf != 1 || w.nl != w.npcur)) {
        click(but::Fit);
        click(but::Fit);
    }
    return !w.ended() && curve_drawn(w);
}

bool click_report(frmVorselPlot& w, std::int32_t limit,
                  const std::function<void(const ReportPlot&)>& each) {
    bool swapped = false;
    for (const QuantityName& x : quantity_names(Axis::X)) {
        // The y quantity of the last plot first: a click fewer per page.
        const int ys[2] = {kReportY[swapped ? 1 : 0], kReportY[swapped ? 0 : 1]};
        swapped = !swapped;
        for (int y : ys) {
            ViewRequest r;
            r.x_button = x.button;
            r.y_button = y;
            r.limit = limit;
            r.smoothed = true;
            r.whole_curve = true;
            const bool drawn = click_view(w, r);
            if (w.ended()) return false;
            ReportPlot p;
            p.x_button = x.button;
            p.y_button = y;
            p.drawn = drawn;
            if (drawn) {
                p.npcur = w.npcur;
                p.spread = smoothed_spread(w);
                p.x_constant = plot::x_constant(w);
            }
            p.title = picture_title(w);
            each(p);
        }
    }
    return true;
}

std::string figure_text(float v) {
    if (!std::isfinite(v) || v == 0.0f) return platform::usual_text(v);
    const int e = static_cast<int>(std::floor(std::log10(std::fabs(static_cast<double>(v)))));
    return platform::fixed_decimals(v, std::clamp(3 - e, 0, 12));
}

namespace {

// The first page's lines above the table.
std::vector<std::string> report_heading(const frmVorselPlot& w, std::int32_t limit,
                                        std::int32_t used) {
    const std::string lim = std::to_string(limit);
    return {
        "vorselplot report: " + w.loc.strCode,
        "File: " + w.loc.strLocation,
        "Reflections: " + std::to_string(w.npoint) + " in the file, " + std::to_string(used) +
            " with Fo/s(Fo) >= " + lim + ".",
        "Trend figure: the spread (largest minus smallest value) of the smoothed curve of these " +
            std::to_string(used) +
            " reflections ordered by the quantity, in the units of the y "
            "quantity.",
        "An error that depends on a quantity gives its row the larger spread; the plots follow, "
        "one page per quantity.",
    };
}

}  // namespace

ReportSummary report_summary(const frmVorselPlot& w, std::int32_t limit,
                             const std::vector<ReportPlot>& plots) {
    ReportSummary s;
    std::int32_t used = 0;
    for (const ReportPlot& p : plots)
        if (p.drawn) used = std::max(used, p.npcur);
    s.heading = report_heading(w, limit, used);
    s.columns = {"ordered by"};
    for (int y : kReportY) s.columns.push_back(quantity_caption(y));

    const std::vector<QuantityName> xs = quantity_names(Axis::X);
    const std::size_t ny = std::size(kReportY);
    // The largest figure of each column, among the quantities that order the curve.
    std::vector<float> largest(ny, -1.0f);
    const auto find = [&](int x, int y) -> const ReportPlot* {
        for (const ReportPlot& p : plots)
            if (p.x_button == x && p.y_button == y) return &p;
        return nullptr;
    };
    const auto counts = [](const ReportPlot* p) {
        return p && p->drawn && p->spread && !p->x_constant;
    };
    for (const QuantityName& x : xs)
        for (std::size_t j = 0; j < ny; ++j)
            if (const ReportPlot* p = find(x.button, kReportY[j]); counts(p))
                largest[j] = std::max(largest[j], *p->spread);

    bool constant = false, missing = false;
    for (const QuantityName& x : xs) {
        ReportSummary::Row row;
        row.cells.push_back("vs. " + quantity_caption(x.button));
        for (std::size_t j = 0; j < ny; ++j) {
            const ReportPlot* p = find(x.button, kReportY[j]);
            bool top = false;
            if (!p || !p->drawn || !p->spread) {
                row.cells.emplace_back("no curve");
                missing = true;
            } else if (p->x_constant) {
                row.cells.push_back("x constant");
                constant = true;
            } else {
                row.cells.push_back(figure_text(*p->spread));
                top = *p->spread == largest[j];
            }
            row.largest.push_back(top);
        }
        s.rows.push_back(std::move(row));
    }
    s.notes.emplace_back("Bold: the largest spread of its column.");
    if (constant)
        s.notes.emplace_back(
            "x constant: every reflection has the same value of the quantity (the file "
            "holds no such data), so the curve follows no order and its spread means nothing.");
    if (missing)
        s.notes.emplace_back(
            "no curve: the file has no field for the quantity, or no reflection passes the "
            "limit.");
    return s;
}

}  // namespace vorsel::plot
