#include "platform/qt/point_view.h"

#include <QClipboard>
#include <QCursor>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>
#include <algorithm>

namespace vorsel::platform::qt {

PointPanel::PointPanel(QWidget* parent) : QWidget(parent, Qt::Tool) {
    setObjectName("frmPoint");
    setWindowTitle(QStringLiteral("Reflection"));
    text_ = new QPlainTextEdit(this);
    text_->setObjectName("txtPoint");
    text_->setReadOnly(true);
    text_->setLineWrapMode(QPlainTextEdit::NoWrap);
    text_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    auto* copy = new QPushButton(QStringLiteral("Copy"), this);
    copy->setObjectName("cmdCopy");
    connect(copy, &QPushButton::clicked, this,
            [this] { QGuiApplication::clipboard()->setText(text_->toPlainText()); });
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(text_);
    layout->addWidget(copy, 0, Qt::AlignRight);
}

void PointPanel::show_text(const QString& text) {
    text_->setPlainText(text);
    // Wide enough for the longest line, tall enough for every line.
    const QFontMetrics fm(text_->font());
    int width = 0;
    const QStringList lines = text.split('\n');
    for (const QString& l : lines) width = std::max(width, fm.horizontalAdvance(l));
    text_->setMinimumSize(width + 24, fm.lineSpacing() * static_cast<int>(lines.size()) + 16);
    adjustSize();
    if (!isVisible()) {
        // Beside the pointer, and on the screen as a whole.
        QRect place(QCursor::pos() + QPoint(24, 24), frameGeometry().size());
        if (const QScreen* screen = QGuiApplication::screenAt(QCursor::pos())) {
            const QRect room = screen->availableGeometry();
            place.moveRight(std::min(place.right(), room.right()));
            place.moveBottom(std::min(place.bottom(), room.bottom()));
            place.moveLeft(std::max(place.left(), room.left()));
            place.moveTop(std::max(place.top(), room.top()));
        }
        move(place.topLeft());
    }
    show();
    raise();
}

void QtPointView::set_point_text(const std::string& text) {
    line_->setText(QString::fromStdString(text));
}

void QtPointView::show_mark(int x, int y, Colour c) { overlay_->show_mark(x, y, c); }

void QtPointView::hide_mark() { overlay_->hide_mark(); }

void QtPointView::show_point_details(const std::string& text) {
    if (!panel_) panel_ = new PointPanel(window_);
    panel_->show_text(QString::fromStdString(text));
}

}  // namespace vorsel::platform::qt
