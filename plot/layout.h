// The design-time layout of the plot window frmVorselPlot.
#pragma once

#include "platform/form.h"

namespace vorsel::plot {

const platform::PlotFormLayout& plot_window_layout();

}  // namespace vorsel::plot
