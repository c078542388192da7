#include "plot/frmVorselPlot.h"

namespace vorsel::plot {

void frmVorselPlot::blank_board() { p_.pctPlot.fill_rect(0, 0, nxpix - 1, nypix - 1, ibackgr); }

void frmVorselPlot::print_label(std::int32_t, std::int32_t, const std::string&, int) {}

}  // namespace vorsel::plot
