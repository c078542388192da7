// A transparent layer over the board pctPlot. It hands the pointer, its
// presses and the wheel to the plot logic in the board's twips, and draws the
// mark of a chosen point on top of the board's picture: the picture itself
// stays exactly what the plot drew.
#pragma once

#include <QWidget>
#include <functional>

#include "platform/interaction.h"
#include "platform/qt/board.h"

namespace vorsel::platform::qt {

class BoardOverlay : public QWidget {
public:
    explicit BoardOverlay(QtBoard* board);

    std::function<void(const BoardPointer&)> on_move;
    std::function<void(const BoardPointer&)> on_press;  // left button
    std::function<void()> on_leave;
    std::function<void(int)> on_wheel;  // eighths of a degree, positive away from the user

    // The twips under a place on the board (logical pixels, as events give
    // it), worked out in the pixels of the board's image, which may be finer,
    // at the board's zoom.
    static BoardPointer pointer_at(QPointF position, Zoom zoom, double dpr = 1.0);

    void show_mark(int x_twips, int y_twips, Colour c);
    void hide_mark();
    bool mark_shown() const { return mark_shown_; }
    // The pixel of the board the mark stands on.
    QPoint mark_pixel() const { return board().pixel_at(mark_x_, mark_y_); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    QRect mark_rect() const;
    const QtBoard& board() const;

    bool mark_shown_ = false;
    int mark_x_ = 0, mark_y_ = 0;
    Colour mark_colour_ = 0;
};

}  // namespace vorsel::platform::qt
