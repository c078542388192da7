#include "plot/frmVorselPlot.h"

namespace vorsel::plot {

void frmVorselPlot::makebutton(std::int32_t) {}

}  // namespace vorsel::plot
