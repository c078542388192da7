#include "plot/frmVorselPlot.h"

namespace vorsel::plot {

void frmVorselPlot::gfxdrawboard() {}
void frmVorselPlot::draw_curve() {}
void frmVorselPlot::place_viewwindow() {}

}  // namespace vorsel::plot
