// The Analysis menu's windows kept in step with the plot window: the figures
// are worked out again when the data set or the Fo/s(Fo) limit changes, and
// the binned table follows the x quantity clicked. A click on one of the worst
// reflections marks it on the curve where the board shows it.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "analysis/statistics.h"
#include "platform/qt/analysis_windows.h"
#include "platform/qt/plot_window.h"
#include "plot/frmVorselPlot.h"

namespace vorsel::app {

class AnalysisView {
public:
    AnalysisView(platform::qt::PlotWindow& window, plot::frmVorselPlot& form);
    ~AnalysisView();

    void open_statistics();
    void open_normal_plot();
    // After each command of the plot window.
    void follow();

    platform::qt::StatisticsWindow* statistics_window() const { return stats_.get(); }
    platform::qt::NormalPlotWindow* normal_window() const { return normal_.get(); }

private:
    struct Source {
        const float* dat;
        std::int64_t npoint;
        std::int32_t ncurves;
        float limit;
        std::string file;
        bool operator==(const Source&) const = default;
    };
    Source source() const;
    // The figures for the data set and limit in force; true when they changed.
    bool refresh();
    void show_summary();
    void show_table();
    void show_normal();

    platform::qt::PlotWindow& window_;
    plot::frmVorselPlot& form_;
    std::unique_ptr<platform::qt::StatisticsWindow> stats_;
    std::unique_ptr<platform::qt::NormalPlotWindow> normal_;
    std::optional<Source> source_;
    analysis::Statistics summary_;
    analysis::Selection selection_;         // the reflections the tables use
    std::optional<analysis::Table> table_;  // of the x quantity last shown
    int table_x_ = -1;                      // its button
};

}  // namespace vorsel::app
