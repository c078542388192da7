// The Qt view of the plot window frmVorselPlot, built from its design-time
// layout: caption, client area, the frame fraVorsel, the board pctPlot, the
// range bar cmdRange with the indicator cmdWindow on top, the read-outs with
// their labels, txtBox, every element of cmdBut, the File menu and the View
// menu. Under it a status bar holds the read-out line of the point under the
// pointer; the keys that stand for buttons are taken here, before the focused
// control sees them.
//
// The window scales the design as a whole: at a zoom from 100% to 300% every
// place in twips, every font and the board are enlarged alike (units.h). The
// View menu sets the zoom and the window takes the size that holds the design
// at it, as far as the free area of its screen allows; dragging the window's
// edge sets the zoom from the size: the largest that fits, the design centred
// with the space left over empty around it. A window that nobody resized and
// no stored zoom gives is the design at 100%, exactly as it always was.
#pragma once

#include <QAction>
#include <QKeyEvent>
#include <QLabel>
#include <QMainWindow>
#include <functional>
#include <map>
#include <memory>
#include <vector>

#include "platform/form.h"
#include "platform/interaction.h"
#include "platform/qt/board.h"
#include "platform/qt/board_overlay.h"
#include "platform/qt/controls.h"
#include "platform/qt/point_view.h"

namespace vorsel::platform::qt {

class PlotWindow : public QMainWindow {
public:
    // The window starts at the design size (zoom 100%).
    explicit PlotWindow(const PlotFormLayout& layout, QWidget* parent = nullptr);
    ~PlotWindow() override;

    QtBoard& board() { return *board_; }
    QtBar& range() { return *range_; }
    QtBar& window_bar() { return *window_; }
    QtButtons& buttons() { return buttons_; }
    QtReadOuts& readouts() { return readouts_; }
    QtFrame& frame() { return *frame_; }
    QtPointView& point_view() { return *point_view_; }
    BoardOverlay* board_overlay() const { return overlay_; }
    QLabel* point_line() const { return point_line_; }
    // The trend test of the current x quantity at the right of the line under
    // the window, while the Statistics window is open; empty: none.
    void set_trend_note(const std::string& text);
    QLabel* trend_note() const { return trend_note_; }

    QPushButton* button(int index) const { return buttons_.at(index); }
    QLineEdit* readout(ReadOut box) const { return readouts_.at(box); }
    QGroupBox* frame_box() const { return frame_->widget(); }
    QAction* open_action() const { return open_; }
    QAction* exit_action() const { return exit_; }
    QAction* save_picture_action() const { return save_picture_; }
    QAction* export_curve_action() const { return export_curve_; }
    QAction* zoom_in_action() const { return zoom_in_; }
    QAction* zoom_out_action() const { return zoom_out_; }
    QAction* actual_size_action() const { return actual_size_; }
    QAction* statistics_action() const { return statistics_; }
    QAction* normal_plot_action() const { return normal_plot_; }
    // "Save Picture..." and "Export Curve Data..." work while a curve is drawn.
    void set_export_enabled(bool enabled);

    // The window's own zoom, which its controls, its board and the dialogs it
    // opens are drawn at; in percent of the design size.
    Zoom zoom() const { return zoom_; }
    int zoom_percent() const;
    // Sets the zoom (the View menu, the stored zoom at start): the window
    // takes the size that holds the design at it, but no more than the room
    // its screen gives, where the zoom is the largest that fits instead. A
    // maximized or full-screen window keeps its size, and the zoom is at most
    // the one that fits it.
    void set_zoom_percent(int percent);
    // The size of the window that holds the design at a zoom: the client
    // area with the menu bar above it and the status bar below.
    QSize size_for_zoom(int percent);
    // The largest zoom at which the design fits a window of this size.
    int fitting_zoom(QSize window_size);
    // The zoom changed, by the menu or by the window's size.
    std::function<void(int percent)> on_zoom;
    // The room the window may take: the free area of its screen less the
    // window's frame. An empty size sets no bound.
    std::function<QSize()> screen_room;
    // The design's client area, centred in the window.
    QWidget* client() const { return client_; }

    // Where the user's commands go: a click on cmdBut(Index), File Open, File
    // Save Picture, File Export Curve Data, File Exit.
    std::function<void(int)> on_button;
    std::function<void()> on_open;
    std::function<void()> on_save_picture;
    std::function<void()> on_export_curve;
    std::function<void()> on_exit;
    // Analysis, Statistics... and Analysis, Normal Probability Plot...
    std::function<void()> on_statistics;
    std::function<void()> on_normal_plot;
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
    void resizeEvent(QResizeEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    // The parts of the window, in the order the constructor builds them.
    void build_menus();
    void build_frame();
    void build_read_outs();
    void build_buttons();
    void build_pointer_and_status();
    // Every control at its place and in its font, at the current zoom.
    void lay_out();
    // The Analysis menu, after the View menu.
    void add_analysis_menu();
    void apply_zoom(int percent);
    QFont window_font(int percent) const;
    // The heights the menu bar and the status bar take at a zoom.
    struct Chrome {
        int menu, status;
    };
    Chrome chrome(int percent);
    int chrome_height(int percent);

    PlotFormLayout layout_;
    Zoom zoom_;  // the design size until the menu, the stored zoom or a resize sets another
    QFont base_font_;
    QWidget* stage_ = nullptr;  // the central widget: the client centred in it
    QWidget* client_ = nullptr;
    QGroupBox* box_ = nullptr;
    QLineEdit* txt_box_ = nullptr;
    struct Placed {
        QWidget* widget;
        Rect twips;
    };
    std::vector<Placed> placed_;    // controls that only keep their place
    std::vector<Placed> labels_;    // labels whose font is fitted to their width
    std::map<int, Chrome> chrome_;  // by percent
    QAction* zoom_in_ = nullptr;
    QAction* zoom_out_ = nullptr;
    QAction* actual_size_ = nullptr;
    QAction* statistics_ = nullptr;
    QAction* normal_plot_ = nullptr;
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
    QLabel* trend_note_ = nullptr;
    std::unique_ptr<QtPointView> point_view_;
};

// The plot window's keys in the plot logic's terms; Key::Other for the rest.
KeyPress key_press(const QKeyEvent& event);

// The read-outs' face: the asked-for fixed-pitch family where it is installed,
// otherwise the system's fixed font, at the asked-for size.
QFont readout_font(const std::string& family, double points);

}  // namespace vorsel::platform::qt
