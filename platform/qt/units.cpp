#include "platform/qt/units.h"

#include <QApplication>
#include <QGuiApplication>
#include <QScreen>
#include <algorithm>
#include <cmath>
#include <optional>

namespace vorsel::platform::qt {

namespace {

// The property under which a window holds its zoom (a factor).
constexpr const char* kZoomProperty = "vorselZoom";

std::optional<Zoom> held_zoom(const QWidget* w) {
    if (!w) return std::nullopt;
    const QVariant v = w->property(kZoomProperty);
    if (!v.isValid()) return std::nullopt;
    return Zoom(v.toDouble());
}

}  // namespace

Zoom::Zoom(double factor)
    : factor_(std::isfinite(factor) ? std::clamp(factor, kMinZoom, kMaxZoom) : kMinZoom) {}

int Zoom::percent() const { return static_cast<int>(std::lround(factor_ * 100.0)); }

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
int Zoom::px(int design_px) const {
    return static_cast<int>(std::lround(static_cast<double>(design_px) * factor_));
}

int Zoom::to_px(double twips) const { return to_px_at_zoom(twips, factor_); }

QRect Zoom::to_px(const Rect& r) const {
    const int left = to_px(r.left), top = to_px(r.top);
    return QRect(left, top, to_px(r.left + r.width) - left, to_px(r.top + r.height) - top);
}

int Zoom::board_px(int twips, double dpr) const {
    return static_cast<int>(std::floor(static_cast<double>(twips) * board_pixels_per_twip(dpr)));
}

double Zoom::points_to_px(double points, double dpr) const {
    return points_to_twips(points) * board_pixels_per_twip(dpr);
}

TwipSpan Zoom::board_twips(int px, double dpr) const {
    const double ppt = board_pixels_per_twip(dpr);
    int first = static_cast<int>(static_cast<double>(px) / ppt);
    while (board_px(first, dpr) < px) ++first;
    while (board_px(first - 1, dpr) >= px) --first;
    int last = first;
    while (board_px(last + 1, dpr) <= px) ++last;
    if (board_px(first, dpr) > px) last = first = first - 1;
    return {first, last};
}

void hold_zoom(QWidget* window, Zoom zoom) { window->setProperty(kZoomProperty, zoom.factor()); }

Zoom zoom_of(const QWidget* widget) {
    for (const QWidget* w = widget; w; w = w->parentWidget())
        if (const auto z = held_zoom(w)) return *z;
    return Zoom();
}

Zoom shown_zoom() {
    if (const auto z = held_zoom(QApplication::activeWindow())) return *z;
    for (const QWidget* w : QApplication::topLevelWidgets())
        if (const auto z = held_zoom(w)) return *z;
    return Zoom();
}

double pixels_per_twip() { return shown_zoom().pixels_per_twip(); }

int zoomed_px(int design_px) { return shown_zoom().px(design_px); }

int board_px(int twips, double dpr) { return shown_zoom().board_px(twips, dpr); }

int to_px_at_zoom(double twips, double factor) {
    return static_cast<int>(std::lround(twips * (design_pixels_per_twip() * factor)));
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
