#include "plot/frmVorselPlot.h"

namespace vorsel::plot {

void frmVorselPlot::cmdBut_Click(int Index) {
    if (Index == kExitButton) end_program();
}

}  // namespace vorsel::plot
