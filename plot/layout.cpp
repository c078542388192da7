#include "plot/layout.h"

namespace vorsel::plot {

const platform::PlotFormLayout& plot_window_layout() {
    static const platform::PlotFormLayout layout{};
    return layout;
}

}  // namespace vorsel::plot
