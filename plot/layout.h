// The design-time layout of the plot window frmVorselPlot: every control with
// its place in twips, its caption, tool tip, face colour and start state. The
// platform builds the real window from this description and never moves a
// control afterwards.
#pragma once

#include <string>

#include "platform/form.h"

namespace vorsel::plot {

const platform::PlotFormLayout& plot_window_layout();

// The caption a button has in the layout ("" for an Index that names none).
std::string caption_of(int index);

}  // namespace vorsel::plot
