#include "plot/frmVorselPlot.h"

namespace vorsel::plot {

void frmVorselPlot::mnuOpen_Click() {}
void frmVorselPlot::mnuExit_Click() {}

}  // namespace vorsel::plot
