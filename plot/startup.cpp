#include "platform/format.h"
#include "plot/frmVorselPlot.h"

namespace vorsel::plot {

frmVorselPlot::frmVorselPlot(PlotPlatform p) : p_(p) {}

void frmVorselPlot::Form_Load() {}

void frmVorselPlot::end_program() {
    ended_ = true;
    p_.program.end();
}

void frmVorselPlot::show(platform::ReadOut box, std::int64_t value) {
    p_.readouts.set_text(box, platform::readout(value));
}

void frmVorselPlot::show(platform::ReadOut box, float value) {
    p_.readouts.set_text(box, platform::readout(value));
}

}  // namespace vorsel::plot
