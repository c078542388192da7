// The read-out of points on the board: the read-out line in the window's
// status bar, the mark over the board, and a small window with every field of
// the marked point's data line, as text to select and copy.
#pragma once

#include <QLabel>
#include <QPlainTextEdit>
#include <QWidget>
#include <functional>

#include "platform/interaction.h"
#include "platform/qt/board_overlay.h"

namespace vorsel::platform::qt {

// Where a panel of `panel` pixels (its frame included) goes, in screen
// coordinates, and its size there: right of the window `window` (its frame),
// else below it, kept within `screen`, narrowed or shortened to the room
// there if need be; where neither leaves a useful panel, against the edge of
// the screen farthest from `keep_clear` (the board and the buttons), clear
// of it where that edge leaves the room.
QRect panel_place(const QRect& window, const QRect& keep_clear, QSize panel, const QRect& screen);

// The fields of one data line, in a tool window of the plot window. It never
// takes the focus from the board, whose keys go on working; Close and Escape
// put it away.
class PointPanel : public QWidget {
public:
    explicit PointPanel(QWidget* parent);
    // Shows the text; a panel that was closed, or that now lies over the
    // board or the buttons, is placed beside the window again.
    void show_text(const QString& text);
    QString text() const { return text_->toPlainText(); }
    // Places the shown panel anew if the window has come to lie under it or
    // the panel reaches past the screen.
    void keep_clear_of_window();

    // The board and the buttons on the screen, and the screen's free area;
    // the owner window's frame and the screen under it when not given.
    std::function<QRect()> keep_clear;
    std::function<QRect()> screen_area;

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void place();
    QRect screen_rect() const;
    QPlainTextEdit* text_;
};

class QtPointView : public platform::PointView {
public:
    QtPointView(QLabel* line, BoardOverlay* overlay, QWidget* window)
        : line_(line), overlay_(overlay), window_(window) {}
    void set_point_text(const std::string& text) override;
    void show_mark(int x, int y, Colour c) override;
    void hide_mark() override;
    void show_point_details(const std::string& text) override;

    // Created with the first point shown.
    PointPanel* panel() const { return panel_; }
    // Puts a shown panel away; false when none was shown.
    bool close_panel();
    // What the panel keeps clear of, handed to it when it is made.
    void set_keep_clear(std::function<QRect()> area) { keep_clear_ = std::move(area); }

private:
    QLabel* line_;
    BoardOverlay* overlay_;
    QWidget* window_;
    PointPanel* panel_ = nullptr;
    std::function<QRect()> keep_clear_;
};

}  // namespace vorsel::platform::qt
