// Where the plot's units meet the screen: twips (1/1440 inch) to pixels of the
// logical screen, and the window's colour values to QColor. Every conversion
// of a twip into a pixel in the Qt layer goes through these functions.
#pragma once

#include <QColor>
#include <QRect>
#include <QTransform>

#include "platform/form.h"
#include "platform/platform.h"

namespace vorsel::platform::qt {

// Logical pixels per twip: the screen's logical DPI / 1440 (96 DPI: 1/15).
double pixels_per_twip();

// A length or position in twips to the nearest pixel (control geometry).
int to_px(double twips);
// A control's place: each edge rounded on its own, so that neighbours that
// touch in twips touch in pixels too.
QRect to_px(const Rect& r);
// The pixel of the board that a board twip falls in (rounded down), so that
// twips 0 .. width - 1 cover the pixels 0 .. pixel width - 1.
int board_px(int twips);
// A font size in points to pixels of the same screen.
double points_to_px(double points);

// The twips of the board that fall in pixel px (board_px of each is px), first
// and last: what the pointer over that pixel points at. Worked back from
// board_px itself, so that the two always agree. A pixel narrower than a twip
// gets the twip it lies in.
struct TwipSpan {
    int first, last;
};
inline TwipSpan board_twips(int px) {
    const double ppt = pixels_per_twip();
    int first = static_cast<int>(static_cast<double>(px) / ppt);
    while (board_px(first) < px) ++first;
    while (board_px(first - 1) >= px) --first;
    int last = first;
    while (board_px(last + 1) <= px) ++last;
    if (board_px(first) > px) last = first = first - 1;
    return {first, last};
}
// The board drawn at any scale (a picture file, a zoomed window): a painter
// transform that takes board twips to the painter's units at `pixels_per_twip`,
// and the lengths the board gives in screen pixels (pen widths, the one-pixel
// extent of a filled rectangle) in twips, so that they keep their size
// relative to the board at every scale.
QTransform twips_to_units(double pixels_per_twip);
double screen_pixels_to_twips(double pixels);
// A font size in points to twips (20 twips a point).
double points_to_twips(double points);

// 0x00BBGGRR to QColor(r, g, b); a system colour 0x80000000 + index to the
// shade this platform gives it (button face, button shadow, 3-D light, ...).
QColor to_qcolor(Colour c);

}  // namespace vorsel::platform::qt
