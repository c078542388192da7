#include "platform/qt/board.h"

#include <QApplication>
#include <QFontDatabase>
#include <QPaintEvent>
#include <QPainter>
#include <algorithm>
#include <cmath>

#include "platform/qt/units.h"

namespace vorsel::platform::qt {

QFont installed_or_fixed(const std::string& family) {
    const QString name = QString::fromStdString(family);
    if (!name.isEmpty() && QFontDatabase::hasFamily(name)) return QFont(name);
    return QFontDatabase::systemFont(QFontDatabase::FixedFont);
}

QtBoard::QtBoard(double width_twips, double height_twips, QWidget* parent)
    : QWidget(parent),
      width_twips_(width_twips),
      height_twips_(height_twips),
      font_name_(QApplication::font().family().toStdString()) {
    // The last twip of each direction lies in the last pixel.
    const int w = std::max(1, board_px(static_cast<int>(std::lround(width_twips)) - 1) + 1);
    const int h = std::max(1, board_px(static_cast<int>(std::lround(height_twips)) - 1) + 1);
    image_ = QImage(w, h, QImage::Format_RGB32);
    image_.fill(to_qcolor(kSysButtonFace));
    setFixedSize(w, h);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

QPoint QtBoard::pixel_of(int x_twips, int y_twips) {
    return QPoint(board_px(x_twips), board_px(y_twips));
}

QColor QtBoard::colour_at(int x_twips, int y_twips) const {
    const QPoint p = pixel_of(x_twips, y_twips);
    if (!image_.rect().contains(p)) return QColor();
    return image_.pixelColor(p);
}

QPen QtBoard::pen(Colour c) const {
    QPen p(to_qcolor(c));
    p.setWidth(pen_width_);
    p.setCapStyle(Qt::SquareCap);
    p.setJoinStyle(Qt::MiterJoin);
    return p;
}

void QtBoard::fill_rect(int x1, int y1, int x2, int y2, Colour c) {
    const QPoint a = pixel_of(std::min(x1, x2), std::min(y1, y2));
    const QPoint b = pixel_of(std::max(x1, x2), std::max(y1, y2));
    // The edges are drawn with the pen: a wider pen makes the box larger by
    // the pen's extra width, shared between the two sides.
    const int extra = pen_width_ - 1, lo = extra / 2, hi = extra - lo;
    QPainter painter(&image_);
    painter.fillRect(QRect(QPoint(a.x() - lo, a.y() - lo), QPoint(b.x() + hi, b.y() + hi)),
                     to_qcolor(c));
    update();
}

void QtBoard::line(int x1, int y1, int x2, int y2, Colour c) {
    QPainter painter(&image_);
    painter.setPen(pen(c));
    painter.drawLine(pixel_of(x1, y1), pixel_of(x2, y2));
    cur_x_ = x2, cur_y_ = y2;
    update();
}

void QtBoard::line_to(int x2, int y2, Colour c) { line(cur_x_, cur_y_, x2, y2, c); }

void QtBoard::set_pen_width(int w) { pen_width_ = std::max(1, w); }

void QtBoard::set_text_pos(int x, int y) { text_x_ = x, text_y_ = y; }

void QtBoard::print(const std::string& text) {
    QFont f = installed_or_fixed(font_name_);
    f.setPixelSize(std::max(1, static_cast<int>(std::lround(points_to_px(font_points_)))));
    QPainter painter(&image_);
    painter.setFont(f);
    painter.setPen(to_qcolor(text_colour_));
    const QPoint at = pixel_of(text_x_, text_y_);
    const QRect room(at, QSize(image_.width() + 1, image_.height() + 1));
    painter.drawText(room, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine,
                     QString::fromStdString(text));
    update();
}

void QtBoard::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    painter.drawImage(event->rect(), image_, event->rect());
}

}  // namespace vorsel::platform::qt
