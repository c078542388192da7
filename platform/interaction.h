// What the user does to the plot window besides clicking its controls: the
// keys that stand for buttons, the mouse wheel and the pointer over the board,
// in the plot logic's own terms; and what the window shows in return, the
// read-out line of the point under the pointer, the mark of a chosen point
// and all the fields of its data line.
#pragma once

#include <string>

#include "platform/platform.h"

namespace vorsel::platform {

// The keys the plot window answers; every other key is Other. Letters stand
// for their key whatever the case.
enum class Key { Other, Right, Left, PageDown, PageUp, End, Home, Plus, Minus, F, S, M, R };

// A key as pressed. Shift is not told apart: on many keyboards "+" needs it.
struct KeyPress {
    Key key = Key::Other;
    bool ctrl = false;
    bool alt = false;  // Alt or Meta: the menu's and the desktop's keys
};

// The usual mouse wheel turns in notches of this many eighths of a degree;
// finer wheels and touch pads send parts of it.
inline constexpr int kWheelNotch = 120;

// The pointer over the board: the twips that the pixel under it covers, both
// ends included, in the board's coordinates (y downwards).
struct BoardPointer {
    int x_first = 0, x_last = 0;
    int y_first = 0, y_last = 0;
};

class PointView {
public:
    virtual ~PointView() = default;
    // The read-out line under the window; empty when the pointer names no point.
    virtual void set_point_text(const std::string& text) = 0;
    // A small cross over the board at (x, y) twips, drawn over the plot
    // without becoming part of it; at most one at a time.
    virtual void show_mark(int x, int y, Colour c) = 0;
    virtual void hide_mark() = 0;
    // Every field of the marked point's data line, one to a line, for the
    // user to read and copy.
    virtual void show_point_details(const std::string& text) = 0;
};

// A view that shows nothing: for windows that have no read-out line.
PointView& no_point_view();

}  // namespace vorsel::platform
