#include "platform/qt/units.h"

#include <QGuiApplication>
#include <QScreen>
#include <algorithm>
#include <cmath>

namespace vorsel::platform::qt {

namespace {
double g_zoom = kMinZoom;
}  // namespace

double zoom() { return g_zoom; }

void set_zoom(double factor) {
    g_zoom = std::isfinite(factor) ? std::clamp(factor, kMinZoom, kMaxZoom) : kMinZoom;
}

double design_pixels_per_twip() {
    double dpi = 96.0;
    if (const QScreen* s = QGuiApplication::primaryScreen()) {
        const double d = s->logicalDotsPerInchX();
        if (d > 0) dpi = d;
    }
    return dpi / 1440.0;
}

// At the design size (and a device pixel ratio of 1) the factors are exactly
// 1: every length is the very double it was before there was a zoom.
double pixels_per_twip() { return design_pixels_per_twip() * g_zoom; }

double board_pixels_per_twip(double dpr) { return pixels_per_twip() * dpr; }

double zoomed_points(double points) { return points * g_zoom; }

int zoomed_px(int design_px) {
    return static_cast<int>(std::lround(static_cast<double>(design_px) * g_zoom));
}

int to_px(double twips) { return to_px_at_zoom(twips, g_zoom); }

int to_px_at_zoom(double twips, double factor) {
    return static_cast<int>(std::lround(twips * (design_pixels_per_twip() * factor)));
}

QRect to_px(const Rect& r) {
    const int left = to_px(r.left), top = to_px(r.top);
    return QRect(left, top, to_px(r.left + r.width) - left, to_px(r.top + r.height) - top);
}

int board_px(int twips, double dpr) {
    return static_cast<int>(std::floor(static_cast<double>(twips) * board_pixels_per_twip(dpr)));
}

double points_to_px(double points, double dpr) {
    return points_to_twips(points) * board_pixels_per_twip(dpr);
}

QTransform twips_to_units(double pixels_per_twip) {
    return QTransform::fromScale(pixels_per_twip, pixels_per_twip);
}

double screen_pixels_to_twips(double pixels) { return pixels / design_pixels_per_twip(); }

double points_to_twips(double points) { return points * 20.0; }

namespace {

// The system colours as a classic desktop shows them. The button face, the
// button shadow and the 3-D light are the three the panel uses to tell "up"
// from "down": the shadow is clearly darker so that a pressed button stands out.
QColor system_colour(unsigned index) {
    static const unsigned table[] = {
        0xC8C8C8,  // 0x00 scroll bar
        0x000000,  // 0x01 desktop
        0x99B4D1,  // 0x02 active caption
        0xBFCDDB,  // 0x03 inactive caption
        0xF0F0F0,  // 0x04 menu
        0xFFFFFF,  // 0x05 window background
        0x646464,  // 0x06 window frame
        0x000000,  // 0x07 menu text
        0x000000,  // 0x08 window text
        0x000000,  // 0x09 caption text
        0xB4B4B4,  // 0x0A active border
        0xF4F7FC,  // 0x0B inactive border
        0xABABAB,  // 0x0C application workspace
        0x3399FF,  // 0x0D highlight
        0xFFFFFF,  // 0x0E highlighted text
        0xF0F0F0,  // 0x0F button face
        0xA0A0A0,  // 0x10 button shadow
        0x6D6D6D,  // 0x11 grey text
        0x000000,  // 0x12 button text
        0x000000,  // 0x13 inactive caption text
        0xFFFFFF,  // 0x14 button highlight
        0x696969,  // 0x15 3-D dark shadow
        0xE3E3E3,  // 0x16 3-D light
        0x000000,  // 0x17 tool tip text
        0xFFFFE1,  // 0x18 tool tip background
    };
    if (index >= sizeof table / sizeof table[0]) return QColor(0, 0, 0);
    return QColor::fromRgb(static_cast<QRgb>(table[index]));
}

}  // namespace

QColor to_qcolor(Colour c) {
    if (c & 0x80000000u) return system_colour(c & 0x7FFFFFFFu);
    return QColor(static_cast<int>(c & 0xFF), static_cast<int>((c >> 8) & 0xFF),
                  static_cast<int>((c >> 16) & 0xFF));
}

}  // namespace vorsel::platform::qt
