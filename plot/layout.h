// The design-time layout of the plot window frmVorselPlot: every control with
// its place in twips, its caption, tool tip, face colour and start state. The
// platform builds the real window from this description and never moves a
// control afterwards.
#pragma once

#include <array>

#include "platform/form.h"

namespace vorsel::plot {

const platform::PlotFormLayout& plot_window_layout();

// The view-window and step buttons of the right-hand column; they are always
// enabled or disabled together, in this order.
inline constexpr std::array<int, 10> kViewButtons = {25, 252, 253, 26, 262, 27, 272, 273, 28, 282};

}  // namespace vorsel::plot
