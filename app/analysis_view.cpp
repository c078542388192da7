#include "app/analysis_view.h"

#include "app/statistics_source.h"
#include "platform/format.h"
#include "plot/quantities.h"
#include "plot/scripted_view.h"

namespace vorsel::app {

namespace {

platform::qt::TextGrid grid_of(const plot::TextTable& t) {
    platform::qt::TextGrid g;
    g.title = t.title;
    g.columns = t.columns;
    for (const plot::TextTable::Row& r : t.rows) {
        g.rows.push_back(r.cells);
        g.bold.push_back(r.bold);
    }
    return g;
}

}  // namespace

AnalysisView::AnalysisView(platform::qt::PlotWindow& window, plot::frmVorselPlot& form)
    : window_(window), form_(form) {}

AnalysisView::~AnalysisView() = default;

AnalysisView::Source AnalysisView::source() const {
    return {form_.dat.data(), form_.npoint, form_.ncurves, form_.siglim, form_.loc.strLocation};
}

bool AnalysisView::refresh() {
    const Source now = source();
    if (source_ && *source_ == now) return false;
    source_ = now;
    const analysis::DataSet data = data_set_of(form_);
    summary_ = analysis::compute_summary(data, now.limit);
    selection_ = analysis::select_reflections(data, now.limit);
    table_.reset();
    table_x_ = -1;
    return true;
}

void AnalysisView::open_statistics() {
    if (form_.ended()) return;
    if (!stats_) {
        stats_ = std::make_unique<platform::qt::StatisticsWindow>(&window_);
        stats_->on_closed = [this] { window_.set_trend_note({}); };
        stats_->on_worst_clicked = [this](int row) {
            if (row < 0 || static_cast<std::size_t>(row) >= summary_.worst.size()) return;
            const std::int64_t line = summary_.worst[static_cast<std::size_t>(row)].data_line;
            if (!form_.mark_line(static_cast<std::int32_t>(line)))
                stats_->set_line("Line " + std::to_string(line) +
                                 " is not among the points the board shows now.");
        };
        source_.reset();
    }
    refresh();
    show_summary();
    show_table();
    stats_->show();
    stats_->raise();
}

void AnalysisView::open_normal_plot() {
    if (form_.ended()) return;
    if (!normal_) {
        normal_ = std::make_unique<platform::qt::NormalPlotWindow>(&window_);
        if (!stats_) source_.reset();
    }
    if (refresh() && stats_ && stats_->isVisible()) {
        show_summary();
        show_table();
    }
    show_normal();
    normal_->show();
    normal_->raise();
}

void AnalysisView::follow() {
    const bool stats_open = stats_ && stats_->isVisible();
    const bool normal_open = normal_ && normal_->isVisible();
    if (!stats_open && !normal_open) return;
    if (refresh()) {
        if (stats_open) show_summary();
        if (normal_open) show_normal();
    }
    if (stats_open) show_table();
}

void AnalysisView::show_summary() {
    const plot::ReportSummary r = plot::report_summary(form_, summary_);
    std::string notes = r.heading.size() > 2 ? r.heading[2] : "";
    for (const std::string& n : r.notes)
        if (n.rfind("Trend test", 0) != 0) notes += "\n" + n;
    stats_->set_agreement(grid_of(r.tables.front()), notes);
    stats_->set_worst(grid_of(r.worst));
    stats_->setWindowTitle(QString::fromStdString("Statistics: " + form_.loc.strCode));
}

void AnalysisView::show_table() {
    const int x = form_.ibx;
    std::optional<analysis::XQuantity> q;
    if (x != 0) q = analysis::x_quantity(plot::quantity_name(x));
    if (!q) {
        stats_->set_bins({"Click an x quantity for its binned table.", {}, {}, {}});
        stats_->set_line("No x quantity chosen yet: no trend test.");
        window_.set_trend_note({});
        return;
    }
    if (!table_ || table_x_ != x) {
        table_ = analysis::compute_table(data_set_of(form_), selection_, *q);
        table_x_ = x;
    }
    if (table_->constant)
        stats_->set_bins({analysis::constant_text(*table_), {}, {}, {}});
    else
        stats_->set_bins(grid_of(plot::bin_table(*table_)));
    stats_->set_line(analysis::trend_line(*table_));
    window_.set_trend_note(analysis::trend_line(*table_));
}

void AnalysisView::show_normal() {
    const analysis::NormalProbability& np = summary_.normal;
    std::vector<double> expected(static_cast<std::size_t>(np.n));
    for (std::int64_t i = 0; i < np.n; ++i)
        expected[static_cast<std::size_t>(i)] = analysis::expected_normal(i + 1, np.n);
    const std::string caption =
        np.n < 2
            ? "Fewer than two reflections with a dF/s(Fo) at or above the limit: no plot."
            : "dF/s(Fo) of the " + std::to_string(np.n) + " reflections at or above Fo/s(Fo) " +
                  platform::usual_text(summary_.limit) +
                  " against the expected normal order statistics: slope " +
                  analysis::figure(np.slope) + ", intercept " + analysis::figure(np.intercept) +
                  " (a slope of 1 and an intercept of 0 mean the errors are what s(Fo) says).";
    normal_->set_points(std::move(expected), np.observed, np.slope, np.intercept, caption);
    normal_->setWindowTitle(
        QString::fromStdString("Normal Probability Plot: " + form_.loc.strCode));
}

}  // namespace vorsel::app
