// Where the plot's units meet the screen: twips (1/1440 inch) to pixels of the
// logical screen, and the window's colour values to QColor. Every conversion
// of a twip into a pixel in the Qt layer goes through these functions.
//
// The zoom is the window's own: one factor (1 = the design size, up to 3) by
// which every twip, every font and every length the design gives in pixels is
// enlarged, held by each plot window and asked for by its controls, its board
// and the dialogs it opens, so that two windows, or a window and a board drawn
// for a file, each keep theirs. Twips themselves never change: the plot's
// logic, its state and its drawing operations are the same at every zoom. The
// board's image also has the screen's device pixel ratio (2 on a screen that Qt
// doubles), which the functions that take `dpr` multiply in.
#pragma once

#include <QColor>
#include <QRect>
#include <QTransform>
#include <QWidget>

#include "platform/form.h"
#include "platform/platform.h"

namespace vorsel::platform::qt {

inline constexpr double kMinZoom = 1.0, kMaxZoom = 3.0;

// Logical pixels per twip at the design size: the screen's logical DPI / 1440
// (96 DPI: 1/15).
double design_pixels_per_twip();

// The twips of the board that fall in one pixel, first and last.
struct TwipSpan {
    int first, last;
};

// One window's zoom, from kMinZoom (the design size) to kMaxZoom, and the
// conversions made at it. A factor out of those bounds is brought within them.
class Zoom {
public:
    Zoom() = default;
    explicit Zoom(double factor);
    static Zoom from_percent(int percent) { return Zoom(percent / 100.0); }

    double factor() const { return factor_; }
    int percent() const;
    bool operator==(const Zoom&) const = default;

    // Logical pixels per twip.
    double pixels_per_twip() const { return design_pixels_per_twip() * factor_; }
    // Pixels of the board's image per twip: with the device pixel ratio.
    double board_pixels_per_twip(double dpr) const { return pixels_per_twip() * dpr; }
    // A font size of the design in points.
    double points(double design_points) const { return design_points * factor_; }
    // A length the design gives in pixels (a margin, the arm of a mark), to
    // the nearest pixel.
    int px(int design_px) const;
    // A length or position in twips to the nearest pixel (control geometry).
    int to_px(double twips) const;
    // A control's place: each edge rounded on its own, so that neighbours that
    // touch in twips touch in pixels too.
    QRect to_px(const Rect& r) const;
    // The pixel of the board that a board twip falls in (rounded down), so that
    // twips 0 .. width - 1 cover the pixels 0 .. pixel width - 1: a logical
    // pixel, or with `dpr` a pixel of the board's image.
    int board_px(int twips, double dpr = 1.0) const;
    // A font size in points to logical pixels, or with `dpr` to image pixels.
    double points_to_px(double points, double dpr = 1.0) const;
    // The twips of the board that fall in pixel px (board_px of each is px):
    // what the pointer over that pixel points at. Worked back from board_px
    // itself, so that the two always agree. A pixel narrower than a twip gets
    // the twip it lies in.
    TwipSpan board_twips(int px, double dpr = 1.0) const;

private:
    double factor_ = kMinZoom;
};

// The zoom a window holds, set by the window itself; a control, a board or a
// dialog asks with itself and gets that of the nearest window up its parents
// that holds one: the design size where none does (a board drawn for a file).
void hold_zoom(QWidget* window, Zoom zoom);
Zoom zoom_of(const QWidget* widget);

// For a caller that speaks of the plot window on the screen rather than of a
// widget of its own: the zoom of the active window where it holds one, else
// of the first top-level window that does, else the design size. The window's
// own drawing never uses these.
Zoom shown_zoom();
double pixels_per_twip();
int zoomed_px(int design_px);
int board_px(int twips, double dpr = 1.0);
// The same pixels at another zoom than a window's (the size a window would
// take at it).
int to_px_at_zoom(double twips, double factor);

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
