// A plot window on the design-size board with a current curve of given values,
// all of them in view: the starting point of the board and value-range tests.
#pragma once

#include <cmath>
#include <string>
#include <vector>

#include "plot/frmVorselPlot.h"
#include "tests/fakes/fake_platform.h"

namespace vorsel::fakes {

struct CurveOnBoard {
    FakePlatform fp;
    plot::frmVorselPlot w{fp.plot_platform()};

    explicit CurveOnBoard(const std::vector<float>& y) {
        w.set_defaults();
        w.take_board_size();
        w.ycur.redim(y.size());
        for (std::size_t i = 0; i < y.size(); ++i) w.ycur(static_cast<std::int64_t>(i) + 1) = y[i];
        w.npcur = static_cast<std::int32_t>(y.size());
        w.nf = 1;
        w.nl = w.npcur;
    }
    // The texts of the printed labels, in print order.
    std::vector<std::string> labels() const {
        std::vector<std::string> out;
        for (const auto& l : fp.grep("print ")) out.push_back(l.substr(7, l.size() - 8));
        return out;
    }
    std::string readout(const char* name) const { return fp.readouts[name]; }
    // The row of a value as the board draws it: nypix - Fix((v - valmin) * skale).
    long row(float v) const {
        return w.nypix - static_cast<long>(std::trunc((v - w.valmin) * w.skale));
    }
};

}  // namespace vorsel::fakes
