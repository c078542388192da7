// What the window shows after a user's clicks, reached by those clicks: the
// command line and the report ask for a view (quantities, limit, switches)
// and get it through cmdBut_Click, so that the picture is exactly the one the
// window would draw. Nothing here draws on its own.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "analysis/statistics.h"
#include "plot/frmVorselPlot.h"

namespace vorsel::plot {

struct ViewRequest {
    int x_button = 0;  // an x quantity (plot/buttons.h)
    int y_button = 0;  // a y quantity
    // The Fo/s(Fo) limit; the limit buttons reach the whole numbers from 0.
    std::int32_t limit = 3;
    bool sqrooted = false;
    bool smoothed = false;
    bool reverse = false;      // x from high to low
    bool frame_scale = false;  // each view window its own y scale ("sc frame")
    bool whole_curve = true;   // "fit to frame"; false: the first view window
};

// Clicks, on a window with a file loaded, what brings it to the view: the x
// and the y quantity, the limit buttons, then each switch that is not yet as
// asked (in the order of the panel: "x high -> low", "sqrt(y)", "add
// smoothed", "sc frame", "fit to frame"). Returns true when a curve is drawn.
bool click_view(frmVorselPlot& w, const ViewRequest& r);

// The limit buttons that take the limit to `limit` (a whole number from 0):
// " all refl" for 0, " obs refl" for 3, then " >> slim" or " <<  slim".
std::vector<int> limit_clicks(float from, std::int32_t limit);

// One plot of the report: dF / s(Fo) or Fo / Fc against an x quantity, with
// the smoothed overlay and fit to frame.
struct ReportPlot {
    int x_button = 0, y_button = 0;
    bool drawn = false;      // a curve is on the board
    std::int32_t npcur = 0;  // its points
    std::string title;       // picture_title
};

// The y quantities of the report, in the order each page shows them.
inline constexpr int kReportY[] = {but::dF_sFo, but::Fo_Fc};

// Clicks through the x quantities given (buttons, in the order of the pages)
// with both y quantities of the report and hands each plot to `each` while it
// is on the board; false when the program ended on the way (the library
// could not be bound).
bool click_report(frmVorselPlot& w, std::int32_t limit, const std::vector<int>& x_buttons,
                  const std::function<void(const ReportPlot&)>& each);

// The x quantities of the report's pages: those that are not constant, the
// ones with a trend first, each group in the order of the panel.
std::vector<int> report_quantities(const analysis::Statistics& s);

// A table of text as the report prints it.
struct TextTable {
    std::string title;
    std::vector<std::string> columns;
    struct Row {
        std::vector<std::string> cells;
        bool bold = false;
    };
    std::vector<Row> rows;
};

// The first page of the report as text: what it is about, the agreement
// figures, the trend test of every x quantity (those with a trend first and
// bold), notes, and the worst reflections (the normal probability plot is
// drawn between the notes and them).
struct ReportSummary {
    std::vector<std::string> heading;  // title, file, counts
    std::vector<TextTable> tables;     // agreement, trend tests
    std::vector<std::string> notes;
    TextTable worst;
};
ReportSummary report_summary(const frmVorselPlot& w, const analysis::Statistics& s);

// The binned table of one x quantity.
TextTable bin_table(const analysis::Table& t);

}  // namespace vorsel::plot
