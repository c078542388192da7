// The Qt view of the plot window frmVorselPlot, built from its design-time
// layout: caption, fixed client size, the frame fraVorsel, the board pctPlot,
// the range bar cmdRange with the indicator cmdWindow on top, the read-outs
// with their labels, txtBox, every element of cmdBut and the File menu. Nothing
// moves or resizes with the window: the window has a fixed size. Under it a
// status bar holds the read-out line of the point under the pointer; the keys
// that stand for buttons are taken here, before the focused control sees them.
#pragma once

#include <QAction>
#include <QKeyEvent>
#include <QLabel>
#include <QMainWindow>
#include <functional>
#include <memory>

#include "platform/form.h"
#include "platform/interaction.h"
#include "platform/qt/board.h"
#include "platform/qt/board_overlay.h"
#include "platform/qt/controls.h"
#include "platform/qt/point_view.h"

namespace vorsel::platform::qt {

class PlotWindow : public QMainWindow {
public:
    explicit PlotWindow(const PlotFormLayout& layout, QWidget* parent = nullptr);

    QtBoard& board() { return *board_; }
    QtBar& range() { return *range_; }
    QtBar& window_bar() { return *window_; }
    QtButtons& buttons() { return buttons_; }
    QtReadOuts& readouts() { return readouts_; }
    QtFrame& frame() { return *frame_; }
    QtPointView& point_view() { return *point_view_; }
    BoardOverlay* board_overlay() const { return overlay_; }
    QLabel* point_line() const { return point_line_; }

    QPushButton* button(int index) const { return buttons_.at(index); }
    QLineEdit* readout(ReadOut box) const { return readouts_.at(box); }
    QGroupBox* frame_box() const { return frame_->widget(); }
    QAction* open_action() const { return open_; }
    QAction* exit_action() const { return exit_; }
    QAction* save_picture_action() const { return save_picture_; }
    QAction* export_curve_action() const { return export_curve_; }
    // "Save Picture..." and "Export Curve Data..." work while a curve is drawn.
    void set_export_enabled(bool enabled);

    // Where the user's commands go: a click on cmdBut(Index), File Open, File
    // Save Picture, File Export Curve Data, File Exit.
    std::function<void(int)> on_button;
    std::function<void()> on_open;
    std::function<void()> on_save_picture;
    std::function<void()> on_export_curve;
    std::function<void()> on_exit;
    // A key of the plot window, unless a text box has the focus or a modal
    // dialog is up; true when it belongs to a command (it then goes no
    // further). The pointer over the board and the wheel there.
    std::function<bool(const KeyPress&)> on_key;
    std::function<void(const BoardPointer&)> on_pointer_move;
    std::function<void(const BoardPointer&)> on_pointer_press;
    std::function<void()> on_pointer_leave;
    std::function<void(int)> on_wheel;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QtBoard* board_ = nullptr;
    std::unique_ptr<QtBar> range_, window_;
    std::unique_ptr<QtFrame> frame_;
    QtButtons buttons_;
    QtReadOuts readouts_;
    QAction* open_ = nullptr;
    QAction* save_picture_ = nullptr;
    QAction* export_curve_ = nullptr;
    QAction* exit_ = nullptr;
    BoardOverlay* overlay_ = nullptr;
    QLabel* point_line_ = nullptr;
    std::unique_ptr<QtPointView> point_view_;
};

// The plot window's keys in the plot logic's terms; Key::Other for the rest.
KeyPress key_press(const QKeyEvent& event);

// The read-outs' face: the asked-for fixed-pitch family where it is installed,
// otherwise the system's fixed font, at the asked-for size.
QFont readout_font(const std::string& family, double points);

}  // namespace vorsel::platform::qt
