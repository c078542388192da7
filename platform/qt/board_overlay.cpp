#include "platform/qt/board_overlay.h"

#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>
#include <cmath>

#include "platform/qt/units.h"

namespace vorsel::platform::qt {

namespace {

// Half the length of an arm of the mark's cross and its width, in pixels of
// the design size: small enough to leave the neighbouring points in view,
// large enough to be found at once.
constexpr int kArm = 5, kMarkPen = 2;

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

BoardPointer BoardOverlay::pointer_at(QPointF position, Zoom zoom, double dpr) {
    const auto image_px = [dpr](double logical) {
        return static_cast<int>(std::floor(logical * dpr));
    };
    const TwipSpan x = zoom.board_twips(image_px(position.x()), dpr);
    const TwipSpan y = zoom.board_twips(image_px(position.y()), dpr);
    return BoardPointer{x.first, x.last, y.first, y.last};
}

const QtBoard& BoardOverlay::board() const { return *static_cast<const QtBoard*>(parentWidget()); }

QRect BoardOverlay::mark_rect() const {
    const QPoint c = mark_pixel();
    const int arm = board().zoom().px(kArm), pen = board().zoom().px(kMarkPen);
    return QRect(c.x() - arm - pen, c.y() - arm - pen, 2 * (arm + pen) + 1, 2 * (arm + pen) + 1);
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
    pen.setWidth(board().zoom().px(kMarkPen));
    pen.setCapStyle(Qt::FlatCap);
    painter.setPen(pen);
    const QPoint c = mark_pixel();
    const int arm = board().zoom().px(kArm);
    painter.drawLine(c.x() - arm, c.y(), c.x() + arm + 1, c.y());
    painter.drawLine(c.x(), c.y() - arm, c.x(), c.y() + arm + 1);
}

void BoardOverlay::mouseMoveEvent(QMouseEvent* event) {
    if (on_move)
        on_move(pointer_at(event->position(), board().zoom(), board().device_pixel_ratio()));
}

void BoardOverlay::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return QWidget::mousePressEvent(event);
    if (on_press)
        on_press(pointer_at(event->position(), board().zoom(), board().device_pixel_ratio()));
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
