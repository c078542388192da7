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
    bool drawn = false;           // a curve is on the board
    std::int32_t npcur = 0;       // its points
    std::optional<float> spread;  // the trend figure (smoothed_spread)
    bool x_constant = false;      // the curve follows no quantity
    std::string title;            // picture_title
};

// The y quantities of the report, in the order each page shows them.
inline constexpr int kReportY[] = {but::dF_sFo, but::Fo_Fc};

// Clicks through every x quantity with both y quantities of the report and
// hands each plot to `each` while it is on the board; false when the program
// ended on the way (the library could not be bound).
bool click_report(frmVorselPlot& w, std::int32_t limit,
                  const std::function<void(const ReportPlot&)>& each);

// The first page of the report as text: what it is about, then a table with
// one row per x quantity and one column per y quantity of the report.
struct ReportSummary {
    std::vector<std::string> heading;  // title, file, counts, how to read the table
    std::vector<std::string> columns;  // "ordered by", "dF / s(Fo)", "Fo / Fc"
    struct Row {
        std::vector<std::string> cells;  // x caption, then one figure per y quantity
        std::vector<bool> largest;       // per y quantity: the largest spread of its column
    };
    std::vector<Row> rows;
    std::vector<std::string> notes;
};
ReportSummary report_summary(const frmVorselPlot& w, std::int32_t limit,
                             const std::vector<ReportPlot>& plots);

// A trend figure to four significant digits: 0.01234, 1.235, 1235.
std::string figure_text(float v);

}  // namespace vorsel::plot
