#include "platform/qt/board.h"

#include <QApplication>
#include <QFontDatabase>
#include <QPaintEvent>
#include <QPainter>
#include <algorithm>
#include <cmath>

#include "library/numeric.h"
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
      recording_(width_twips, height_twips),
      font_name_(QApplication::font().family().toStdString()) {
    make_image();
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void QtBoard::make_image() {
    // The last twip of each direction lies in the last pixel; the image
    // covers the whole widget.
    zoom_ = zoom_of(this);
    const auto pixels = [this](double twips, double dpr) {
        return std::max(1, zoom_.board_px(static_cast<int>(std::lround(twips)) - 1, dpr) + 1);
    };
    const int w = pixels(width_twips_, 1.0), h = pixels(height_twips_, 1.0);
    const int iw = std::max(pixels(width_twips_, dpr_), static_cast<int>(std::ceil(w * dpr_)));
    const int ih = std::max(pixels(height_twips_, dpr_), static_cast<int>(std::ceil(h * dpr_)));
    image_ = QImage(iw, ih, QImage::Format_RGB32);
    image_.fill(to_qcolor(kSysButtonFace));
    image_ppt_ = zoom_.board_pixels_per_twip(dpr_);
    setFixedSize(w, h);
}

QPoint QtBoard::pixel_of(int x_twips, int y_twips) {
    return QPoint(board_px(x_twips), board_px(y_twips));
}

QPoint QtBoard::pixel_at(int x_twips, int y_twips) const {
    return QPoint(zoom_.board_px(x_twips), zoom_.board_px(y_twips));
}

QPoint QtBoard::image_pixel(int x_twips, int y_twips) const {
    return QPoint(zoom_.board_px(x_twips, dpr_), zoom_.board_px(y_twips, dpr_));
}

double QtBoard::image_pixels_per_twip() const { return zoom_.board_pixels_per_twip(dpr_); }

void QtBoard::set_device_pixel_ratio(double dpr) {
    if (!(dpr > 0) || dpr == dpr_) return;
    dpr_ = dpr;
    repaint_from_recording();
}

void QtBoard::rescale() {
    if (zoom_of(this).board_pixels_per_twip(dpr_) == image_ppt_) return;
    repaint_from_recording();
}

namespace {

// The recorded operations through the board's own painting: the image it
// gives is the one the plot would have painted at this size.
class BoardReplay : public BoardRecording::Replay {
public:
    explicit BoardReplay(platform::Board& b) : b_(b) {}
    void rect(int x1, int y1, int x2, int y2, Colour c, int pen_width) override {
        b_.set_pen_width(pen_width);
        b_.fill_rect(x1, y1, x2, y2, c);
    }
    void chain(const QPoint* p, int n, Colour c, int pen_width) override {
        b_.set_pen_width(pen_width);
        b_.line(p[0].x(), p[0].y(), p[1].x(), p[1].y(), c);
        for (int i = 2; i < n; ++i) b_.line_to(p[i].x(), p[i].y(), c);
    }
    void text(int x, int y, Colour c, const std::string& font_name, double font_points,
              const std::string& text) override {
        b_.set_text_pos(x, y);
        b_.set_text_colour(c);
        b_.set_font_name(font_name);
        b_.set_font_size(font_points);
        b_.print(text);
    }

private:
    platform::Board& b_;
};

}  // namespace

void QtBoard::repaint_from_recording() {
    // Lines still waiting belong to the old size: they are in the recording.
    lines_.clear();
    column_open_ = false;
    make_image();
    const int pen = pen_width_, cur_x = cur_x_, cur_y = cur_y_, text_x = text_x_, text_y = text_y_;
    const Colour text_colour = text_colour_;
    const std::string font_name = font_name_;
    const double font_points = font_points_;
    replaying_ = true;
    BoardReplay replay(*this);
    recording_.replay(replay);
    flush_lines();
    replaying_ = false;
    pen_width_ = pen, cur_x_ = cur_x, cur_y_ = cur_y, text_x_ = text_x, text_y_ = text_y;
    text_colour_ = text_colour, font_name_ = font_name, font_points_ = font_points;
    update();
}

QPen QtBoard::pen(Colour c) const { return pen(c, pen_width_); }

QPen QtBoard::pen(Colour c, int width) const {
    QPen p(to_qcolor(c));
    p.setWidth(width);
    p.setCapStyle(Qt::SquareCap);
    p.setJoinStyle(Qt::MiterJoin);
    return p;
}

void QtBoard::fill_rect(int x1, int y1, int x2, int y2, Colour c) {
    flush_lines();
    if (!replaying_) recording_.fill_rect(x1, y1, x2, y2, c, pen_width_);
    const QPoint a = image_pixel(std::min(x1, x2), std::min(y1, y2));
    const QPoint b = image_pixel(std::max(x1, x2), std::max(y1, y2));
    // The edges are drawn with the pen: a wider pen makes the box larger by
    // the pen's extra width, shared between the two sides.
    const int extra = pen_width_ - 1, lo = extra / 2, hi = extra - lo;
    QPainter painter(&image_);
    painter.fillRect(QRect(QPoint(a.x() - lo, a.y() - lo), QPoint(b.x() + hi, b.y() + hi)),
                     to_qcolor(c));
    update();
}

void QtBoard::plain_line(int x1, int y1, int x2, int y2, Colour c) {
    QPainter painter(&image_);
    painter.setPen(pen(c));
    painter.drawLine(image_pixel(x1, y1), image_pixel(x2, y2));
    cur_x_ = x2, cur_y_ = y2;
    update();
}

void QtBoard::line(int x1, int y1, int x2, int y2, Colour c) {
    if (!replaying_) recording_.line(x1, y1, x2, y2, c, pen_width_);
    if (!batched_) {
        plain_line(x1, y1, x2, y2, c);
        return;
    }
    if ((!lines_.empty() || column_open_) && (c != lines_colour_ || pen_width_ != lines_width_))
        flush_lines();
    if (lines_.empty() && !column_open_) {
        lines_colour_ = c;
        lines_width_ = pen_width_;
        lines_ppt_ = zoom_.board_pixels_per_twip(dpr_);
        update();  // one repaint for the whole batch; it paints the batch first
    }
    // A new chain starts at (x1, y1).
    close_column();
    const auto px = [this](int twips) {
        return numeric::floor_saturated(static_cast<double>(twips) * lines_ppt_);
    };
    col_x_ = px(x1);
    col_min_ = col_max_ = col_last_ = px(y1);
    col_points_ = 1;
    column_open_ = true;
    batch_point(QPoint(px(x2), px(y2)));
    cur_x_ = x2, cur_y_ = y2;
}

void QtBoard::line_to(int x2, int y2, Colour c) {
    if (!batched_ || !column_open_ || c != lines_colour_ || pen_width_ != lines_width_) {
        line(cur_x_, cur_y_, x2, y2, c);
        return;
    }
    if (!replaying_) recording_.line(cur_x_, cur_y_, x2, y2, c, pen_width_);
    batch_point(QPoint(numeric::floor_saturated(static_cast<double>(x2) * lines_ppt_),
                       numeric::floor_saturated(static_cast<double>(y2) * lines_ppt_)));
    cur_x_ = x2, cur_y_ = y2;
}

void QtBoard::batch_point(QPoint p) {
    if (p.x() == col_x_) {
        col_min_ = std::min(col_min_, p.y());
        col_max_ = std::max(col_max_, p.y());
        col_last_ = p.y();
        ++col_points_;
        return;
    }
    close_column();
    lines_.emplace_back(col_x_, col_last_, p.x(), p.y());
    col_x_ = p.x();
    col_min_ = col_max_ = col_last_ = p.y();
    col_points_ = 1;
    column_open_ = true;
}

void QtBoard::close_column() const {
    if (column_open_ && col_points_ > 1) lines_.emplace_back(col_x_, col_min_, col_x_, col_max_);
    // The chain goes on from its last point.
    col_min_ = col_max_ = col_last_;
    col_points_ = 1;
}

void QtBoard::flush_lines() const {
    close_column();
    column_open_ = false;
    if (lines_.empty()) return;
    QPainter painter(&image_);
    painter.setPen(pen(lines_colour_, lines_width_));
    painter.drawLines(lines_.data(), static_cast<int>(lines_.size()));
    lines_.clear();
}

void QtBoard::set_pen_width(int w) { pen_width_ = std::max(1, w); }

void QtBoard::set_text_pos(int x, int y) { text_x_ = x, text_y_ = y; }

void QtBoard::print(const std::string& text) {
    flush_lines();
    if (!replaying_)
        recording_.text(text_x_, text_y_, text_colour_, font_name_, font_points_, text);
    QFont f = installed_or_fixed(font_name_);
    f.setPixelSize(
        std::max(1, static_cast<int>(std::lround(zoom_.points_to_px(font_points_, dpr_)))));
    QPainter painter(&image_);
    painter.setFont(f);
    painter.setPen(to_qcolor(text_colour_));
    const QPoint at = image_pixel(text_x_, text_y_);
    const QRect room(at, QSize(image_.width() + 1, image_.height() + 1));
    painter.drawText(room, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine,
                     QString::fromStdString(text));
    update();
}

void QtBoard::paintEvent(QPaintEvent* event) {
    // Moved to a screen of another device pixel ratio: the image follows.
    // (A board that is never shown, drawn for a file, keeps ratio 1.)
    set_device_pixel_ratio(devicePixelRatioF());
    flush_lines();
    QPainter painter(this);
    const QRect r = event->rect();
    painter.drawImage(QRectF(r), image_,
                      QRectF(r.x() * dpr_, r.y() * dpr_, r.width() * dpr_, r.height() * dpr_));
}

}  // namespace vorsel::platform::qt
