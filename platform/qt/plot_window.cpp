#include "platform/qt/plot_window.h"

#include <QApplication>
#include <QLabel>
#include <QLayout>
#include <QMenuBar>

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

    this->layout()->setSizeConstraint(QLayout::SetFixedSize);
}

}  // namespace vorsel::platform::qt
