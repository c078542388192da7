// The plot window's data arrays as the statistics read them.
#pragma once

#include "analysis/statistics.h"
#include "plot/frmVorselPlot.h"

namespace vorsel::app {

// The reflections the window holds; whether they carry Miller indices the
// data file's header line said when it was read.
inline analysis::DataSet data_set_of(const plot::frmVorselPlot& w) {
    analysis::DataSet d;
    d.ncurves = w.ncurves;
    d.npoint = w.npoint;
    // The arrays may be larger than the reflections read into them.
    if (w.dat.size() < static_cast<std::size_t>(w.ncurves) * static_cast<std::size_t>(w.npoint))
        d.npoint = w.ncurves > 0 ? static_cast<std::int64_t>(w.dat.size()) / w.ncurves : 0;
    d.dat = w.dat.data();
    d.indices = w.header_hkl;
    return d;
}

}  // namespace vorsel::app
