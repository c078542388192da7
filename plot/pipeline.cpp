#include "plot/frmVorselPlot.h"

namespace vorsel::plot {

using platform::ReadOut;

void frmVorselPlot::fill_current() {}
void frmVorselPlot::sortf(std::int32_t) {}
float frmVorselPlot::Float(std::int32_t Inp) { return static_cast<float>(Inp); }

void frmVorselPlot::window_readouts() {
    show(ReadOut::FirstPoint, std::int64_t{nf});
    show(ReadOut::LastPoint, std::int64_t{nl});
    show(ReadOut::FirstValue, xcur(nf));
    show(ReadOut::LastValue, xcur(nl));
    show(ReadOut::PlottedPoints, std::int64_t{nl} - nf + 1);
}

}  // namespace vorsel::plot
