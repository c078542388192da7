// A plot window holding n data lines as start-up leaves them, field(c, k)
// being field c of line k, with "dF / s(Fo)" against theta drawn by the
// library's code.
#pragma once

#include <cmath>
#include <functional>

#include "tests/fakes/fake_platform.h"

namespace vorsel::fakes {

struct PlottedData {
    FakePlatform fp;
    plot::frmVorselPlot w{fp.plot_platform()};

    PlottedData(std::int32_t n, const std::function<float(int, int)>& field) {
        w.set_defaults();
        w.take_board_size();
        w.ncurves = 13, w.npoint = n;
        w.dat.redim(static_cast<std::size_t>(13 * n));
        w.sigrat.redim(n);
        for (auto* a : {&w.ycur, &w.ysmo, &w.ywork, &w.xcur, &w.xwork}) a->redim(n);
        for (auto* a : {&w.nkur, &w.iperm}) a->redim(n);
        for (int k = 1; k <= n; ++k) {
            for (int c = 1; c <= 13; ++c) w.datv(c, k) = field(c, k);
            w.sigrat(k) = std::fabs(w.datv(2, k) / w.datv(4, k));
        }
        w.cmdBut_Click(plot::but::VsTheta);
        w.cmdBut_Click(plot::but::dF_sFo);
    }
};

}  // namespace vorsel::fakes
