// The report as a PDF file: a first page with the file, the counts, the
// agreement figures, the trend tests, the normal probability plot and the
// worst reflections, then one page per x quantity with the recorded boards of
// its plots, one above the other, and its binned table.
#pragma once

#include <string>
#include <vector>

#include "analysis/statistics.h"
#include "platform/qt/board_recording.h"
#include "plot/scripted_view.h"

namespace vorsel::app {

struct ReportPage {
    std::string heading;  // "vs. theta"
    struct Plot {
        plot::ReportPlot plot;
        platform::qt::BoardRecording board;
    };
    std::vector<Plot> plots;
    plot::TextTable bins;
};

// Returns the empty text, or why the file could not be written.
std::string write_report(const std::string& path, const plot::ReportSummary& summary,
                         const analysis::NormalProbability& normal,
                         const std::vector<ReportPage>& pages);

}  // namespace vorsel::app
