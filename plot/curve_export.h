// The current curve out of the window: the one-line title of a saved picture
// and the curve's points as comma-separated text. Texts only; the files are
// written by the platform.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "plot/frmVorselPlot.h"

namespace vorsel::plot {

// A curve is on the board: the menu items that take the curve out of the
// window work only then.
bool curve_drawn(const frmVorselPlot& w);

// The switches that are not in their start state, in the words of the
// panel: "sqrt(y)", "smoothed", "x high -> low", "sc frame", "fit to frame".
std::vector<std::string> switches_on(const frmVorselPlot& w);

// "abc: dF / s(Fo) vs. theta; Fo/s(Fo) >= 3; sqrt(y), smoothed"
std::string picture_title(const frmVorselPlot& w);

// What orders the points, for under a saved picture: the x quantity, its
// values at the first and the last point shown and which points those are,
// and that the points stand equally spaced in that order (not at their x):
// "x: theta, 2.4457 at point 1 to 29.87 at point 900 of 900; points equally
// spaced in order of theta". Empty without a curve.
std::string picture_x_note(const frmVorselPlot& w);

// The shortest text that reads back as exactly this 4-byte real, with "."
// as decimal point whatever the locale: 0.1, 1e-05, 12345.678.
std::string shortest_text(float v);

// Every point of the current curve, 1..npcur, one line each: position in the
// curve, running number of the reflection (field 1 of its data line), the
// data line's number, for a file that carries them the reflection's h, k and
// l, x, y and, with the smoothed overlay, the smoothed y.
// Header lines start with "#" and name the file, the quantities, the limit
// and the switches. Empty without a curve.
std::string curve_csv(frmVorselPlot& w);

}  // namespace vorsel::plot
