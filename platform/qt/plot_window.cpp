#include "platform/qt/plot_window.h"

#include <QAbstractSpinBox>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QLabel>
#include <QLayout>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QResizeEvent>
#include <QScreen>
#include <QStatusBar>
#include <QTextEdit>
#include <algorithm>
#include <cmath>

#include "platform/qt/units.h"
#include "platform/zoom.h"

namespace vorsel::platform::qt {

void PlotWindow::set_export_enabled(bool enabled) {
    save_picture_->setEnabled(enabled);
    export_curve_->setEnabled(enabled);
}

QFont readout_font(const std::string& family, double points) {
    QFont f = installed_or_fixed(family);
    f.setPointSizeF(points);
    f.setStyleHint(QFont::TypeWriter);
    f.setFixedPitch(true);
    return f;
}

namespace {

// The central widget: the client area at its size for the zoom, centred, with
// the space around it left empty. The window asks it for the client's size.
class Stage : public QWidget {
public:
    explicit Stage(QWidget* parent) : QWidget(parent) { setObjectName("stage"); }
    void set_client(QWidget* client) { client_ = client; }
    QSize sizeHint() const override { return client_ ? client_->size() : QSize(); }
    void centre() {
        if (!client_) return;
        client_->move(std::max(0, (width() - client_->width()) / 2),
                      std::max(0, (height() - client_->height()) / 2));
    }

protected:
    void resizeEvent(QResizeEvent*) override { centre(); }

private:
    QWidget* client_ = nullptr;
};

}  // namespace

void PlotWindow::add_analysis_menu() {
    QMenu* analysis = menuBar()->addMenu(QStringLiteral("Analysis"));
    analysis->setObjectName("mnuAnalysis");
    statistics_ = analysis->addAction(QStringLiteral("Statistics..."));
    statistics_->setObjectName("mnuStatistics");
    normal_plot_ = analysis->addAction(QStringLiteral("Normal Probability Plot..."));
    normal_plot_->setObjectName("mnuNormalPlot");
    connect(statistics_, &QAction::triggered, this, [this] {
        if (on_statistics) on_statistics();
    });
    connect(normal_plot_, &QAction::triggered, this, [this] {
        if (on_normal_plot) on_normal_plot();
    });
}

void PlotWindow::set_trend_note(const std::string& text) {
    if (!trend_note_) {
        if (text.empty()) return;
        trend_note_ = new QLabel(this);
        trend_note_->setObjectName("trendNote");
        statusBar()->addPermanentWidget(trend_note_);
    }
    trend_note_->setText(QString::fromStdString(text));
    trend_note_->setVisible(!text.empty());
}

PlotWindow::PlotWindow(const PlotFormLayout& layout, QWidget* parent)
    : QMainWindow(parent), layout_(layout), base_font_(QApplication::font()) {
    hold_zoom(this, zoom_);
    setObjectName("frmVorselPlot");
    // The window's default font: the platform's sans face at 8 points.
    setFont(window_font(kZoomMinPercent));
    setWindowTitle(QString::fromStdString(layout.caption));

    build_menus();
    build_frame();
    build_read_outs();
    build_buttons();
    build_pointer_and_status();
    lay_out();
    // Never smaller than the design.
    stage_->setMinimumSize(client_->size());
    screen_room = [this]() -> QSize {
        const QScreen* s = screen();
        if (!s) return {};
        const QSize frame = frameGeometry().size() - geometry().size();
        return s->availableGeometry().size() - frame;
    };
}

// The menu bar: File and View, each item wired to its handler. Every menu
// of the window is built here.
void PlotWindow::build_menus() {
    QMenu* file = menuBar()->addMenu(QString::fromStdString(layout_.menu_file));
    file->setObjectName("mnuFile");
    open_ = file->addAction(QString::fromStdString(layout_.menu_open));
    open_->setObjectName("mnuOpen");
    file->addSeparator();
    save_picture_ = file->addAction(QString::fromStdString(layout_.menu_save_picture));
    save_picture_->setObjectName("mnuSavePicture");
    save_picture_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    export_curve_ = file->addAction(QString::fromStdString(layout_.menu_export_curve));
    export_curve_->setObjectName("mnuExportCurve");
    set_export_enabled(false);
    file->addSeparator();
    exit_ = file->addAction(QString::fromStdString(layout_.menu_exit));
    exit_->setObjectName("mnuExit");
    connect(open_, &QAction::triggered, this, [this] {
        if (on_open) on_open();
    });
    connect(save_picture_, &QAction::triggered, this, [this] {
        if (on_save_picture) on_save_picture();
    });
    connect(export_curve_, &QAction::triggered, this, [this] {
        if (on_export_curve) on_export_curve();
    });
    connect(exit_, &QAction::triggered, this, [this] {
        if (on_exit) on_exit();
    });

    QMenu* view = menuBar()->addMenu(QString::fromStdString(layout_.menu_view));
    view->setObjectName("mnuView");
    zoom_in_ = view->addAction(QString::fromStdString(layout_.menu_zoom_in));
    zoom_in_->setObjectName("mnuZoomIn");
    // "+" is typed with Shift on many keyboards, where Ctrl and "=" mean the same.
    zoom_in_->setShortcuts(
        {QKeySequence(Qt::CTRL | Qt::Key_Plus), QKeySequence(Qt::CTRL | Qt::Key_Equal)});
    zoom_out_ = view->addAction(QString::fromStdString(layout_.menu_zoom_out));
    zoom_out_->setObjectName("mnuZoomOut");
    zoom_out_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Minus));
    actual_size_ = view->addAction(QString::fromStdString(layout_.menu_actual_size));
    actual_size_->setObjectName("mnuActualSize");
    actual_size_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_0));
    connect(zoom_in_, &QAction::triggered, this,
            [this] { set_zoom_percent(zoom_in_percent(zoom_percent())); });
    connect(zoom_out_, &QAction::triggered, this,
            [this] { set_zoom_percent(zoom_out_percent(zoom_percent())); });
    connect(actual_size_, &QAction::triggered, this, [this] { set_zoom_percent(kZoomMinPercent); });
    add_analysis_menu();
}

// The stage with the client area centred in it, the frame, the board and
// the two bars under it.
void PlotWindow::build_frame() {
    auto* stage = new Stage(this);
    stage_ = stage;
    setCentralWidget(stage_);
    client_ = new QWidget(stage_);
    client_->setObjectName("client");
    stage->set_client(client_);

    box_ = new QGroupBox(QString::fromStdString(layout_.frame_caption), client_);
    box_->setObjectName("fraVorsel");
    frame_ = std::make_unique<QtFrame>(box_);

    board_ = new QtBoard(layout_.board.width, layout_.board.height, box_);
    board_->setObjectName("pctPlot");

    auto bar = [this](const char* name, const Rect& r, Colour face, bool enabled) {
        auto* b = new QPushButton(box_);
        b->setObjectName(name);
        b->setEnabled(enabled);
        b->setFocusPolicy(Qt::NoFocus);
        set_face(b, face);
        return std::make_unique<QtBar>(b, r);
    };
    range_ = bar("cmdRange", layout_.range, layout_.range_face, layout_.range_enabled);
    window_ = bar("cmdWindow", layout_.window, kSysButtonFace, layout_.window_enabled);
    window_->widget()->raise();
}

// The read-outs with their labels, and txtBox.
void PlotWindow::build_read_outs() {
    const QFont mono = readout_font(layout_.readout_font, layout_.readout_font_points);
    for (const ReadOutSpec& r : layout_.read_outs) {
        auto* label = new QLabel(QString::fromStdString(r.label), box_);
        label->setObjectName(QString::fromStdString("lbl" + r.name.substr(3)));
        label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        labels_.push_back({label, r.label_geometry});
        auto* edit = new QLineEdit(box_);
        edit->setObjectName(QString::fromStdString(r.name));
        edit->setReadOnly(true);
        edit->setFont(mono);
        edit->setTextMargins(0, 0, 0, 0);
        placed_.push_back({edit, r.box_geometry});
        readouts_.add(r.box, edit);
    }

    txt_box_ = new QLineEdit(box_);
    txt_box_->setObjectName("txtBox");
    placed_.push_back({txt_box_, layout_.text_box});
    {
        QPalette pal = txt_box_->palette();
        pal.setColor(QPalette::Base, to_qcolor(layout_.text_box_background));
        txt_box_->setPalette(pal);
    }
}

// The panel of buttons, each wired to the click handler with its Index.
void PlotWindow::build_buttons() {
    for (const ButtonSpec& s : layout_.buttons) {
        auto* b = new PanelButton(box_);
        b->setObjectName(QStringLiteral("cmdBut_%1").arg(s.index));
        buttons_.add(s.index, b);
        buttons_.set_caption(s.index, s.caption);
        buttons_.set_tooltip(s.index, s.tooltip);
        set_face(b, s.face);
        placed_.push_back({b, s.geometry});
        b->setEnabled(s.enabled);
        b->setVisible(s.visible);
        const int index = s.index;
        connect(b, &QPushButton::clicked, this, [this, index] {
            if (on_button) on_button(index);
        });
    }
    // The indicator lies over the range bar, the buttons over nothing.
    window_->widget()->raise();
}

// The layer over the board that takes the pointer and the wheel, the
// read-out line in the status bar, the Reflection panel's view and the
// keys.
void PlotWindow::build_pointer_and_status() {
    overlay_ = new BoardOverlay(board_);
    overlay_->on_move = [this](const BoardPointer& p) {
        if (on_pointer_move) on_pointer_move(p);
    };
    overlay_->on_press = [this](const BoardPointer& p) {
        if (on_pointer_press) on_pointer_press(p);
    };
    overlay_->on_leave = [this] {
        if (on_pointer_leave) on_pointer_leave();
    };
    overlay_->on_wheel = [this](int delta) {
        if (on_wheel) on_wheel(delta);
    };
    point_line_ = new QLabel(this);
    point_line_->setObjectName("lblPoint");
    point_line_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    // A long line is cut at the window's edge rather than widening the window.
    point_line_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    statusBar()->setSizeGripEnabled(false);
    statusBar()->addWidget(point_line_, 1);
    point_view_ = std::make_unique<QtPointView>(point_line_, overlay_, this);
    // The Reflection panel leaves the board and the buttons in view.
    point_view_->set_keep_clear(
        [this] { return QRect(box_->mapToGlobal(QPoint(0, 0)), box_->size()); });
    // The board has the focus at first and takes it back when clicked, so
    // that the keys work there (the read-outs would otherwise take it first).
    overlay_->setFocusPolicy(Qt::ClickFocus);
    overlay_->setFocus();
    // Keys reach the focused control first, and a button moves the focus on
    // with the arrow keys: the window looks at them before any control does.
    qApp->installEventFilter(this);
}

PlotWindow::~PlotWindow() { qApp->removeEventFilter(this); }

QFont PlotWindow::window_font(int percent) const {
    QFont f = base_font_;
    f.setPointSizeF(8.0 * percent / 100.0);
    return f;
}

int PlotWindow::zoom_percent() const { return zoom_.percent(); }

void PlotWindow::lay_out() {
    const QFont font = window_font(zoom_percent());
    setFont(font);
    // Set on their own: the menu bar and the status bar as chrome() measured
    // them in this font.
    menuBar()->setFont(font);
    statusBar()->setFont(font);
    // The status bar as high as measured, with or without a line in it.
    statusBar()->setFixedHeight(chrome(zoom_percent()).status);
    client_->setFixedSize(zoom_.to_px(layout_.client_width), zoom_.to_px(layout_.client_height));
    box_->setGeometry(zoom_.to_px(layout_.frame));
    frame_->apply_zoom();
    board_->rescale();
    board_->move(zoom_.to_px(layout_.board).topLeft());
    range_->apply();
    window_->apply();
    for (const Placed& p : placed_) p.widget->setGeometry(zoom_.to_px(p.twips));
    // Set on each control: inside the frame, whose caption has a style sheet
    // of its own, a control keeps the font it was first shown in.
    for (QWidget* w : {static_cast<QWidget*>(range_->widget()),
                       static_cast<QWidget*>(window_->widget()), static_cast<QWidget*>(txt_box_)})
        w->setFont(font);
    for (const auto& [index, b] : buttons_.all()) b->setFont(font);
    // txtBox reaches into the first label of the first column: the
    // right-aligned text must end up clear of it.
    const QRect txt = zoom_.to_px(layout_.text_box);
    for (const Placed& p : labels_) {
        auto* label = static_cast<QLabel*>(p.widget);
        const QRect lab = zoom_.to_px(p.twips);
        label->setGeometry(lab);
        const int free_width =
            lab.intersects(txt) ? lab.right() - txt.right() - zoom_.px(2) : lab.width();
        label->setFont(fitted_font(font, label->text(), free_width, zoom_));
    }
    readouts_.set_face(
        readout_font(layout_.readout_font, zoom_.points(layout_.readout_font_points)));
    stage_->updateGeometry();
    static_cast<Stage*>(stage_)->centre();
}

void PlotWindow::apply_zoom(int percent) {
    percent = std::clamp(percent, kZoomMinPercent, kZoomMaxPercent);
    if (percent == zoom_percent()) return;
    zoom_ = Zoom::from_percent(percent);
    hold_zoom(this, zoom_);
    lay_out();
    if (on_zoom) on_zoom(percent);
}

int PlotWindow::chrome_height(int percent) {
    const Chrome c = chrome(percent);
    return c.menu + c.status;
}

PlotWindow::Chrome PlotWindow::chrome(int percent) {
    if (auto it = chrome_.find(percent); it != chrome_.end()) return it->second;
    // Measured on a menu bar with the same menus and a status bar with a line
    // of text, made for the purpose in the fonts of that zoom (the window's
    // own ones hold sizes from their last layout): as the window's layout
    // places them, the menu bar at its height for the window's width, the
    // status bar at the larger of its two size hints.
    const QFont font = window_font(percent);
    QMenuBar menu(this);
    menu.hide();
    menu.setFont(font);
    for (const QAction* a : menuBar()->actions()) menu.addMenu(a->text());
    int menu_height = menu.heightForWidth(std::max(width(), menu.minimumWidth()));
    if (menu_height < 0) menu_height = menu.sizeHint().height();
    QStatusBar status(this);
    status.hide();
    status.setSizeGripEnabled(false);
    status.setFont(font);
    status.addWidget(new QLabel(QStringLiteral("point 1 of 1"), &status), 1);
    const int status_height =
        std::max(status.sizeHint().height(), status.minimumSizeHint().height());
    return chrome_[percent] = Chrome{menu_height, status_height};
}

QSize PlotWindow::size_for_zoom(int percent) {
    const double f = percent / 100.0;
    return QSize(to_px_at_zoom(layout_.client_width, f),
                 to_px_at_zoom(layout_.client_height, f) + chrome_height(percent));
}

int PlotWindow::fitting_zoom(QSize window_size) {
    return largest_fitting_percent([&](int percent) {
        const double f = percent / 100.0;
        if (to_px_at_zoom(layout_.client_width, f) > window_size.width()) return false;
        const int client_height = to_px_at_zoom(layout_.client_height, f);
        return client_height <= window_size.height() &&
               client_height + chrome_height(percent) <= window_size.height();
    });
}

void PlotWindow::set_zoom_percent(int percent) {
    percent = std::clamp(percent, kZoomMinPercent, kZoomMaxPercent);
    if (isMaximized() || isFullScreen()) {
        apply_zoom(std::min(percent, fitting_zoom(size())));
        return;
    }
    const QSize room = screen_room ? screen_room() : QSize();
    if (room.isValid() && !room.isEmpty()) percent = std::min(percent, fitting_zoom(room));
    // A window on the screen that grows is given the size, and the size sets
    // the zoom as a drag of its edge would (where the desktop keeps the window
    // smaller, the zoom is the one that fits). One that shrinks takes the
    // zoom first, so that its menu bar and status bar allow the smaller size;
    // one not shown yet takes it at once, so that the chooser opens at it.
    if (!isVisible() || percent < zoom_percent()) {
        apply_zoom(percent);
        layout()->activate();
    }
    resize(size_for_zoom(percent));
}

void PlotWindow::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    apply_zoom(fitting_zoom(size()));
    if (PointPanel* panel = point_view_ ? point_view_->panel() : nullptr)
        panel->keep_clear_of_window();
}

void PlotWindow::closeEvent(QCloseEvent* event) {
    // Closed before it was ever on the screen (while the first file is still
    // read): the program is to end, as File, Exit ends it. A window that is
    // shown closes as ever, and the program ends with its last window.
    if (!isVisible() && on_exit) on_exit();
    QMainWindow::closeEvent(event);
}

void PlotWindow::moveEvent(QMoveEvent* event) {
    QMainWindow::moveEvent(event);
    if (PointPanel* panel = point_view_ ? point_view_->panel() : nullptr)
        panel->keep_clear_of_window();
}

namespace {

// A control that takes typed text, or the menu bar that the keyboard walks:
// its keys are its own.
bool keeps_keys(const QWidget* w) {
    if (!w) return false;
    if (qobject_cast<const QMenuBar*>(w)) return true;
    if (qobject_cast<const QLineEdit*>(w) || qobject_cast<const QAbstractSpinBox*>(w) ||
        qobject_cast<const QTextEdit*>(w) || qobject_cast<const QPlainTextEdit*>(w))
        return true;
    const auto* combo = qobject_cast<const QComboBox*>(w);
    return combo && combo->isEditable();
}

}  // namespace

KeyPress key_press(const QKeyEvent& event) {
    KeyPress k;
    const Qt::KeyboardModifiers m = event.modifiers();
    k.ctrl = m.testFlag(Qt::ControlModifier);
    k.alt = m.testFlag(Qt::AltModifier) || m.testFlag(Qt::MetaModifier);
    switch (event.key()) {
        case Qt::Key_Right: k.key = Key::Right; break;
        case Qt::Key_Left: k.key = Key::Left; break;
        case Qt::Key_PageDown: k.key = Key::PageDown; break;
        case Qt::Key_PageUp: k.key = Key::PageUp; break;
        case Qt::Key_End: k.key = Key::End; break;
        case Qt::Key_Home: k.key = Key::Home; break;
        case Qt::Key_Plus: k.key = Key::Plus; break;
        case Qt::Key_Minus: k.key = Key::Minus; break;
        case Qt::Key_F: k.key = Key::F; break;
        case Qt::Key_S: k.key = Key::S; break;
        case Qt::Key_M: k.key = Key::M; break;
        case Qt::Key_R: k.key = Key::R; break;
        default: k.key = Key::Other; break;
    }
    return k;
}

bool PlotWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress) return QMainWindow::eventFilter(watched, event);
    const auto* target = qobject_cast<QWidget*>(watched);
    if (!target || target->window() != this || QApplication::activeModalWidget())
        return QMainWindow::eventFilter(watched, event);
    // Escape puts the Reflection panel away from wherever the focus is.
    if (static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape && point_view_->close_panel())
        return true;
    if (!on_key || keeps_keys(QApplication::focusWidget()))
        return QMainWindow::eventFilter(watched, event);
    const KeyPress k = key_press(*static_cast<QKeyEvent*>(event));
    if (k.key == Key::Other) return QMainWindow::eventFilter(watched, event);
    return on_key(k);
}

}  // namespace vorsel::platform::qt
