// The report as a PDF file: a first page with the file, the counts and the
// table of trend figures, then one page per x quantity with the recorded
// boards of its plots, one above the other.
#pragma once

#include <string>
#include <vector>

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
};

// Returns the empty text, or why the file could not be written.
std::string write_report(const std::string& path, const plot::ReportSummary& summary,
                         const std::vector<ReportPage>& pages);

}  // namespace vorsel::app
