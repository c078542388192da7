#include "platform/qt/board_overlay.h"

#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>
#include <cmath>

#include "platform/qt/units.h"

namespace vorsel::platform::qt {

namespace {

// Half the length of an arm of the mark's cross, in pixels: small enough to
// leave the neighbouring points in view, large enough to be found at once.
constexpr int kArm = 5;

}  // namespace

BoardOverlay::BoardOverlay(QtBoard* board) : QWidget(board) {
    setObjectName("pctPlotOverlay");
    setAttribute(Qt::WA_NoSystemBackground);
    setAttribute(Qt::WA_TranslucentBackground);
    setMouseTracking(true);
    setGeometry(board->rect());
    board->installEventFilter(this);  // to keep covering it when it changes size
}

bool BoardOverlay::eventFilter(QObject* watched, QEvent* event) {
    if (watched == parent() && event->type() == QEvent::Resize)
        setGeometry(static_cast<QWidget*>(watched)->rect());
    return QWidget::eventFilter(watched, event);
}

BoardPointer BoardOverlay::pointer_at(QPoint pixel) {
    const TwipSpan x = board_twips(pixel.x()), y = board_twips(pixel.y());
    return BoardPointer{x.first, x.last, y.first, y.last};
}

QRect BoardOverlay::mark_rect() const {
    const QPoint c = mark_pixel();
    return QRect(c.x() - kArm - 2, c.y() - kArm - 2, 2 * kArm + 5, 2 * kArm + 5);
}

void BoardOverlay::show_mark(int x_twips, int y_twips, Colour c) {
    if (mark_shown_) update(mark_rect());
    mark_shown_ = true;
    mark_x_ = x_twips, mark_y_ = y_twips, mark_colour_ = c;
    update(mark_rect());
}

void BoardOverlay::hide_mark() {
    if (!mark_shown_) return;
    mark_shown_ = false;
    update(mark_rect());
}

void BoardOverlay::paintEvent(QPaintEvent*) {
    if (!mark_shown_) return;
    QPainter painter(this);
    QPen pen(to_qcolor(mark_colour_));
    pen.setWidth(2);
    pen.setCapStyle(Qt::FlatCap);
    painter.setPen(pen);
    const QPoint c = mark_pixel();
    painter.drawLine(c.x() - kArm, c.y(), c.x() + kArm + 1, c.y());
    painter.drawLine(c.x(), c.y() - kArm, c.x(), c.y() + kArm + 1);
}

namespace {

QPoint pixel_of_event(const QPointF& p) {
    return QPoint(static_cast<int>(std::floor(p.x())), static_cast<int>(std::floor(p.y())));
}

}  // namespace

void BoardOverlay::mouseMoveEvent(QMouseEvent* event) {
    if (on_move) on_move(pointer_at(pixel_of_event(event->position())));
}

void BoardOverlay::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return QWidget::mousePressEvent(event);
    if (on_press) on_press(pointer_at(pixel_of_event(event->position())));
}

void BoardOverlay::leaveEvent(QEvent*) {
    if (on_leave) on_leave();
}

void BoardOverlay::wheelEvent(QWheelEvent* event) {
    // A sideways wheel or tilt moves the view just the same.
    const QPoint turn = event->angleDelta();
    const int delta = turn.y() != 0 ? turn.y() : turn.x();
    if (delta != 0 && on_wheel) on_wheel(delta);
    event->accept();
}

}  // namespace vorsel::platform::qt
