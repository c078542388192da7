// Where the plot's units meet the screen: twips (1/1440 inch) to pixels of the
// logical screen, and the window's colour values to QColor. Every conversion
// of a twip into a pixel in the Qt layer goes through these functions.
//
// The window's zoom lives here too: one factor (1 = the design size, up to 3)
// by which every twip, every font and every length the design gives in pixels
// is enlarged. Twips themselves never change: the plot's logic, its state and
// its drawing operations are the same at every zoom. The board's image also
// has the screen's device pixel ratio (2 on a screen that Qt doubles), which
// the functions that take `dpr` multiply in.
#pragma once

#include <QColor>
#include <QRect>
#include <QTransform>

#include "platform/form.h"
#include "platform/platform.h"

namespace vorsel::platform::qt {

// The zoom of the window, from kMinZoom (the design size) to kMaxZoom; at
// start kMinZoom. set_zoom keeps the factor within those bounds.
inline constexpr double kMinZoom = 1.0, kMaxZoom = 3.0;
double zoom();
void set_zoom(double factor);

// Logical pixels per twip at the design size: the screen's logical DPI / 1440
// (96 DPI: 1/15).
double design_pixels_per_twip();
// Logical pixels per twip at the window's zoom.
double pixels_per_twip();
// Pixels of the board's image per twip: at the zoom and the device pixel ratio.
double board_pixels_per_twip(double dpr);
// A font size of the design in points, at the zoom.
double zoomed_points(double points);
// A length the design gives in pixels (a margin, the arm of a mark), at the
// zoom, to the nearest pixel.
int zoomed_px(int design_px);

// A length or position in twips to the nearest pixel (control geometry), at
// the window's zoom or at another one.
int to_px(double twips);
int to_px_at_zoom(double twips, double factor);
// A control's place: each edge rounded on its own, so that neighbours that
// touch in twips touch in pixels too.
QRect to_px(const Rect& r);
// The pixel of the board that a board twip falls in (rounded down), so that
// twips 0 .. width - 1 cover the pixels 0 .. pixel width - 1: a logical pixel,
// or with `dpr` a pixel of the board's image.
int board_px(int twips, double dpr = 1.0);
// A font size in points to logical pixels, or with `dpr` to image pixels.
double points_to_px(double points, double dpr = 1.0);

// The twips of the board that fall in pixel px (board_px of each is px), first
// and last: what the pointer over that pixel points at. Worked back from
// board_px itself, so that the two always agree. A pixel narrower than a twip
// gets the twip it lies in.
struct TwipSpan {
    int first, last;
};
inline TwipSpan board_twips(int px, double dpr = 1.0) {
    const double ppt = board_pixels_per_twip(dpr);
    int first = static_cast<int>(static_cast<double>(px) / ppt);
    while (board_px(first, dpr) < px) ++first;
    while (board_px(first - 1, dpr) >= px) --first;
    int last = first;
    while (board_px(last + 1, dpr) <= px) ++last;
    if (board_px(first, dpr) > px) last = first = first - 1;
    return {first, last};
}
// The board drawn at any scale (a picture file): a painter transform that
// takes board twips to the painter's units at `pixels_per_twip`, and the
// lengths the board gives in screen pixels (pen widths, the one-pixel extent
// of a filled rectangle) in twips, pixels of the design size, so that they
// keep their size relative to the board at every scale and every zoom.
QTransform twips_to_units(double pixels_per_twip);
double screen_pixels_to_twips(double pixels);
// A font size in points to twips (20 twips a point).
double points_to_twips(double points);

// 0x00BBGGRR to QColor(r, g, b); a system colour 0x80000000 + index to the
// shade this platform gives it (button face, button shadow, 3-D light, ...).
QColor to_qcolor(Colour c);

}  // namespace vorsel::platform::qt
