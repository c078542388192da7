// The read-out of points on the board: the read-out line in the window's
// status bar, the mark over the board, and a small window with every field of
// the marked point's data line, as text to select and copy.
#pragma once

#include <QLabel>
#include <QPlainTextEdit>
#include <QWidget>

#include "platform/interaction.h"
#include "platform/qt/board_overlay.h"

namespace vorsel::platform::qt {

// The fields of one data line, in a tool window of the plot window.
class PointPanel : public QWidget {
public:
    explicit PointPanel(QWidget* parent);
    // Shows the text; a panel that was closed opens beside the pointer.
    void show_text(const QString& text);
    QString text() const { return text_->toPlainText(); }

private:
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

private:
    QLabel* line_;
    BoardOverlay* overlay_;
    QWidget* window_;
    PointPanel* panel_ = nullptr;
};

}  // namespace vorsel::platform::qt
