#include "platform/qt/plot_window.h"

#include <QAbstractSpinBox>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLayout>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QStatusBar>
#include <QTextEdit>

#include "platform/qt/units.h"

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

PlotWindow::PlotWindow(const PlotFormLayout& layout, QWidget* parent) : QMainWindow(parent) {
    setObjectName("frmVorselPlot");
    // The window's default font: the platform's sans face at 8 points.
    QFont window_font = QApplication::font();
    window_font.setPointSizeF(8.0);
    setFont(window_font);
    setWindowTitle(QString::fromStdString(layout.caption));

    QMenu* file = menuBar()->addMenu(QString::fromStdString(layout.menu_file));
    file->setObjectName("mnuFile");
    open_ = file->addAction(QString::fromStdString(layout.menu_open));
    open_->setObjectName("mnuOpen");
    file->addSeparator();
    save_picture_ = file->addAction(QString::fromStdString(layout.menu_save_picture));
    save_picture_->setObjectName("mnuSavePicture");
    save_picture_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    export_curve_ = file->addAction(QString::fromStdString(layout.menu_export_curve));
    export_curve_->setObjectName("mnuExportCurve");
    set_export_enabled(false);
    file->addSeparator();
    exit_ = file->addAction(QString::fromStdString(layout.menu_exit));
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

    auto* client = new QWidget(this);
    client->setObjectName("client");
    client->setFixedSize(to_px(layout.client_width), to_px(layout.client_height));
    setCentralWidget(client);

    auto* box = new QGroupBox(QString::fromStdString(layout.frame_caption), client);
    box->setObjectName("fraVorsel");
    box->setGeometry(to_px(layout.frame));
    frame_ = std::make_unique<QtFrame>(box);

    board_ = new QtBoard(layout.board.width, layout.board.height, box);
    board_->setObjectName("pctPlot");
    board_->move(to_px(layout.board).topLeft());

    auto bar = [box](const char* name, const Rect& r, Colour face, bool enabled) {
        auto* b = new QPushButton(box);
        b->setObjectName(name);
        b->setEnabled(enabled);
        b->setFocusPolicy(Qt::NoFocus);
        set_face(b, face);
        return std::make_unique<QtBar>(b, r);
    };
    range_ = bar("cmdRange", layout.range, layout.range_face, layout.range_enabled);
    window_ = bar("cmdWindow", layout.window, kSysButtonFace, layout.window_enabled);
    window_->widget()->raise();

    const QFont mono = readout_font(layout.readout_font, layout.readout_font_points);
    for (const ReadOutSpec& r : layout.read_outs) {
        auto* label = new QLabel(QString::fromStdString(r.label), box);
        label->setObjectName(QString::fromStdString("lbl" + r.name.substr(3)));
        label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        label->setGeometry(to_px(r.label_geometry));
        // txtBox reaches into the first label of the first column: the
        // right-aligned text must end up clear of it.
        const QRect lab = to_px(r.label_geometry), txt = to_px(layout.text_box);
        const int free_width = lab.intersects(txt) ? lab.right() - txt.right() - 2 : lab.width();
        label->setFont(fitted_font(window_font, label->text(), free_width));
        auto* edit = new QLineEdit(box);
        edit->setObjectName(QString::fromStdString(r.name));
        edit->setReadOnly(true);
        edit->setFont(mono);
        edit->setTextMargins(0, 0, 0, 0);
        edit->setGeometry(to_px(r.box_geometry));
        readouts_.add(r.box, edit);
    }

    auto* txt_box = new QLineEdit(box);
    txt_box->setObjectName("txtBox");
    txt_box->setGeometry(to_px(layout.text_box));
    {
        QPalette pal = txt_box->palette();
        pal.setColor(QPalette::Base, to_qcolor(layout.text_box_background));
        txt_box->setPalette(pal);
    }

    for (const ButtonSpec& s : layout.buttons) {
        auto* b = new PanelButton(box);
        b->setObjectName(QStringLiteral("cmdBut_%1").arg(s.index));
        buttons_.add(s.index, b);
        buttons_.set_caption(s.index, s.caption);
        buttons_.set_tooltip(s.index, s.tooltip);
        set_face(b, s.face);
        b->setGeometry(to_px(s.geometry));
        b->setEnabled(s.enabled);
        b->setVisible(s.visible);
        const int index = s.index;
        connect(b, &QPushButton::clicked, this, [this, index] {
            if (on_button) on_button(index);
        });
    }
    // The indicator lies over the range bar, the buttons over nothing.
    window_->widget()->raise();

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
    // The board has the focus at first and takes it back when clicked, so
    // that the keys work there (the read-outs would otherwise take it first).
    overlay_->setFocusPolicy(Qt::ClickFocus);
    overlay_->setFocus();
    // Keys reach the focused control first, and a button moves the focus on
    // with the arrow keys: the window looks at them before any control does.
    qApp->installEventFilter(this);

    this->layout()->setSizeConstraint(QLayout::SetFixedSize);
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
    if (event->type() != QEvent::KeyPress || !on_key)
        return QMainWindow::eventFilter(watched, event);
    const auto* target = qobject_cast<QWidget*>(watched);
    if (!target || target->window() != this || QApplication::activeModalWidget() ||
        keeps_keys(QApplication::focusWidget()))
        return QMainWindow::eventFilter(watched, event);
    const KeyPress k = key_press(*static_cast<QKeyEvent*>(event));
    if (k.key == Key::Other) return QMainWindow::eventFilter(watched, event);
    return on_key(k);
}

}  // namespace vorsel::platform::qt
