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

bool click_report(frmVorselPlot& w, std::int32_t limit, const std::vector<int>& x_buttons,
                  const std::function<void(const ReportPlot&)>& each) {
    bool swapped = false;
    for (int x : x_buttons) {
        // The y quantity of the last plot first: a click fewer per page.
        const int ys[2] = {kReportY[swapped ? 1 : 0], kReportY[swapped ? 0 : 1]};
        swapped = !swapped;
        for (int y : ys) {
            ViewRequest r;
            r.x_button = x;
            r.y_button = y;
            r.limit = limit;
            r.smoothed = true;
            r.whole_curve = true;
            const bool drawn = click_view(w, r);
            if (w.ended()) return false;
            ReportPlot p;
            p.x_button = x;
            p.y_button = y;
            p.drawn = drawn;
            if (drawn) p.npcur = w.npcur;
            p.title = picture_title(w);
            each(p);
        }
    }
    return true;
}

std::vector<int> report_quantities(const analysis::Statistics& s) {
    std::vector<int> flagged, other;
    for (const analysis::Table& t : s.tables) {
        if (t.constant) continue;
        const auto button = quantity_button(Axis::X, t.quantity.name);
        if (!button) continue;
        (t.trend.trend ? flagged : other).push_back(*button);
    }
    flagged.insert(flagged.end(), other.begin(), other.end());
    return flagged;
}

namespace {

using analysis::figure;

std::string count_text(std::int64_t n) { return std::to_string(n); }

std::vector<std::string> agreement_cells(const std::string& name, const analysis::Agreement& a) {
    std::vector<std::string> c{name, count_text(a.n), figure(a.r1)};
    if (a.weighted)
        c.insert(c.end(), {figure(a.wr2), figure(a.s), "-"});
    else
        c.insert(c.end(), {"-", "-",
                           figure(a.wrf) + (a.wrf_left_out > 0 ? " (" + count_text(a.wrf_left_out) +
                                                                     " with s(Fo) = 0 left out)"
                                                               : "")});
    c.push_back(figure(a.fo2_over_fc2));
    return c;
}

// The trend tests of every x quantity, the flagged ones first.
TextTable trend_table(const analysis::Statistics& s) {
    TextTable trends{"Trend of dF/s(Fo) over ten bins of equal count",
                     {"ordered by", "χ²", "ν", "χ²/ν", "p", ""},
                     {}};
    std::vector<TextTable::Row> flagged, other;
    for (const analysis::Table& t : s.tables) {
        TextTable::Row row;
        row.cells.push_back("vs. " + std::string(t.quantity.name));
        if (t.constant) {
            row.cells.insert(row.cells.end(), {"", "", "", "", analysis::constant_text(t)});
        } else if (!t.trend.tested) {
            row.cells.insert(row.cells.end(), {"", "", "", "", "too few reflections to test"});
        } else {
            row.cells.insert(row.cells.end(),
                             {figure(t.trend.chi2), std::to_string(t.trend.dof),
                              figure(t.trend.chi2 / t.trend.dof), analysis::p_text(t.trend.p),
                              t.trend.trend ? "trend" : "no trend"});
            row.bold = t.trend.trend;
        }
        (row.bold ? flagged : other).push_back(row);
    }
    trends.rows = flagged;
    trends.rows.insert(trends.rows.end(), other.begin(), other.end());
    return trends;
}

// The reflections with the largest |dF/s(Fo)|, with h k l where the file has them.
TextTable worst_table(const analysis::Statistics& s) {
    TextTable worst;
    worst.title = "The " + count_text(static_cast<std::int64_t>(s.worst.size())) +
                    " reflections with the largest |dF/s(Fo)|";
    worst.columns = {"no.", "line"};
    if (s.indices) worst.columns.insert(worst.columns.end(), {"h", "k", "l"});
    worst.columns.insert(worst.columns.end(), {"Fo", "Fc", "s(Fo)", "dF/s(Fo)", "theta"});
    for (const analysis::Worst& x : s.worst) {
        TextTable::Row row;
        row.cells = {platform::usual_text(x.running_number), count_text(x.data_line)};
        if (s.indices)
            for (int v : {x.hkl ? x.hkl->h : 0, x.hkl ? x.hkl->k : 0, x.hkl ? x.hkl->l : 0})
                row.cells.push_back(x.hkl ? std::to_string(v) : "?");
        row.cells.insert(row.cells.end(), {figure(x.fo), figure(x.fc), figure(x.sigma),
                                           figure(x.dF_s), figure(x.theta)});
        worst.rows.push_back(row);
    }
    return worst;
}

}  // namespace

ReportSummary report_summary(const frmVorselPlot& w, const analysis::Statistics& s) {
    ReportSummary r;
    const std::string lim = platform::usual_text(s.limit);
    r.heading = {
        "vorselplot report: " + w.loc.strCode,
        "File: " + w.loc.strLocation,
        "Reflections: " + count_text(s.counts.read) + " in the file, " +
            count_text(s.counts.significant) + " with Fo/s(Fo) >= " + lim + "; " +
            count_text(s.counts.used) + " of them with a dF/s(Fo) in the tables below.",
    };
    TextTable agreement{
        "Agreement", {"reflections", "N", "R1", "wR2", "S", "wR(F)", "ΣFo²/ΣFc²"}, {}};
    agreement.rows.push_back({agreement_cells("Fo/s(Fo) >= " + lim, s.significant)});
    agreement.rows.push_back({agreement_cells("all", s.all)});
    r.tables.push_back(agreement);

    r.tables.push_back(trend_table(s));

    const bool weighted = s.significant.weighted || s.all.weighted;
    if (weighted)
        r.notes.emplace_back(
            "wR2 and S with the weight field as the weight on F²; S divides by N, not by N minus "
            "the refinement's parameter count, so it is a little smaller than the refinement's.");
    if (!s.significant.weighted || !s.all.weighted)
        r.notes.emplace_back(
            "wR(F) with w = 1/s²(Fo): the weight field is 0 for some reflections, so the "
            "refinement's weights are not known.");
    r.notes.emplace_back(
        "Trend test: χ² of the bin means of dF/s(Fo) about their overall mean, each in units of "
        "its standard error, on (bins - 1) degrees of freedom; a trend when p < 0.001. Bold: a "
        "trend.");
    if (s.counts.non_finite > 0)
        r.notes.push_back(count_text(s.counts.non_finite) +
                          " reflection(s) with a value that is not finite are left out of every "
                          "figure.");
    if (s.counts.no_sigma > 0)
        r.notes.push_back(count_text(s.counts.no_sigma) +
                          " significant reflection(s) with s(Fo) = 0 have no dF/s(Fo) and are left "
                          "out of the bins, the normal probability and the worst reflections.");

    r.worst = worst_table(s);
    return r;
}

TextTable bin_table(const analysis::Table& t) {
    TextTable out;
    out.title = "dF/s(Fo) in ten bins of equal count by " + std::string(t.quantity.name) + ": " +
                analysis::trend_line(t).substr(4 + std::string(t.quantity.name).size() + 2);
    out.columns = {
        std::string(t.quantity.name) + " from", "to", "N", "mean", "sd", "rms", "ΣFo²/ΣFc²", "R1"};
    for (const analysis::Bin& b : t.bins)
        out.rows.push_back({{figure(b.x_min), figure(b.x_max), count_text(b.n), figure(b.mean),
                             figure(b.sd), figure(b.rms), figure(b.fo2_over_fc2), figure(b.r1)}});
    return out;
}

}  // namespace vorsel::plot
