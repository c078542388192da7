// The Qt view of the plot window frmVorselPlot, built from its design-time
// layout: caption, fixed client size, the frame fraVorsel, the board pctPlot,
// the range bar cmdRange with the indicator cmdWindow on top, the read-outs
// with their labels, txtBox, every element of cmdBut and the File menu. Nothing
// moves or resizes with the window: the window has a fixed size.
#pragma once

#include <QAction>
#include <QMainWindow>
#include <functional>
#include <memory>

#include "platform/form.h"
#include "platform/qt/board.h"
#include "platform/qt/controls.h"

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
};

// The read-outs' face: the asked-for fixed-pitch family where it is installed,
// otherwise the system's fixed font, at the asked-for size.
QFont readout_font(const std::string& family, double points);

}  // namespace vorsel::platform::qt
