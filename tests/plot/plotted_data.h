// A plot window holding data lines as start-up leaves them (13 fields,
// Fo/s(Fo) of each line) with "dF / s(Fo)" against theta on the board, built
// and drawn by the library's code.
#pragma once

#include <cmath>
#include <functional>

#include "plot/frmVorselPlot.h"
#include "tests/fakes/fake_platform.h"

namespace vorsel::fakes {

struct PlottedData {
    FakePlatform fp;
    plot::frmVorselPlot w{fp.plot_platform()};

    // field(c, k): field c of data line k.
    PlottedData(std::int32_t n, const std::function<float(int, int)>& field) {
        w.set_defaults();
        w.take_board_size();
        w.ncurves = 13, w.npoint = n;
        w.dat.redim(static_cast<std::size_t>(13 * n));
        for (auto* a : {&w.sigrat, &w.ycur, &w.ysmo, &w.ywork, &w.xcur, &w.xwork}) a->redim(n);
        w.nkur.redim(n);
        w.iperm.redim(n);
        for (int k = 1; k <= n; ++k) {
            for (int c = 1; c <= 13; ++c) w.datv(c, k) = field(c, k);
            w.sigrat(k) = std::fabs(w.datv(2, k) / w.datv(4, k));
        }
        w.cmdBut_Click(plot::but::VsTheta);
        w.cmdBut_Click(plot::but::dF_sFo);
    }
};

}  // namespace vorsel::fakes
