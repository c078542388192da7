#include "plot/frmVorselPlot.h"

namespace vorsel::plot {

void frmVorselPlot::draw_yaxis() {}
void frmVorselPlot::format_label(std::string&, float&, int) {}

}  // namespace vorsel::plot
