#include "platform/qt/controls.h"

#include <QtGlobal>

#include "platform/qt/units.h"

namespace vorsel::platform::qt {

void set_face(QWidget* w, Colour c) {
    QPalette pal = w->palette();
    const QColor q = to_qcolor(c);
    pal.setColor(QPalette::Button, q);
    pal.setColor(QPalette::Window, q);
    w->setPalette(pal);
    w->setAutoFillBackground(true);
}

QtBar::QtBar(QPushButton* widget, const Rect& twips) : widget_(widget), place_(twips) { apply(); }

void QtBar::set_left(double twips) {
    place_.left = twips;
    apply();
}

void QtBar::set_width(double twips) {
    place_.width = twips;
    apply();
}

void QtBar::set_visible(bool visible) { widget_->setVisible(visible); }

void QtBar::apply() {
    Rect r = place_;
    if (r.width < 0) r.width = 0;
    widget_->setGeometry(to_px(r));
}

QPushButton* QtButtons::at(int index) const {
    auto it = buttons_.find(index);
    return it == buttons_.end() ? nullptr : it->second;
}

// An Index that names no element is the program's fault, not the user's: it is
// reported on the console and the operation is skipped, rather than taking the
// user's plot down with it.
QPushButton* QtButtons::must(int index) const {
    QPushButton* b = at(index);
    if (!b) qWarning("vorselplot: cmdBut has no element %d", index);
    return b;
}

namespace {
// Captions are shown as they are: an "&" is not a keyboard mnemonic.
QString literal(const std::string& s) {
    return QString::fromStdString(s).replace(QLatin1Char('&'), QLatin1String("&&"));
}
}  // namespace

void QtButtons::set_caption(int index, const std::string& caption) {
    if (QPushButton* b = must(index)) b->setText(literal(caption));
}

void QtButtons::set_tooltip(int index, const std::string& tip) {
    if (QPushButton* b = must(index)) b->setToolTip(QString::fromStdString(tip));
}

void QtButtons::set_face_colour(int index, Colour c) {
    if (QPushButton* b = must(index)) set_face(b, c);
}

void QtButtons::set_enabled(int index, bool enabled) {
    if (QPushButton* b = must(index)) b->setEnabled(enabled);
}

void QtButtons::set_visible(int index, bool visible) {
    if (QPushButton* b = must(index)) b->setVisible(visible);
}

QLineEdit* QtReadOuts::at(ReadOut box) const {
    auto it = boxes_.find(box);
    return it == boxes_.end() ? nullptr : it->second;
}

void QtReadOuts::set_text(ReadOut box, const std::string& text) {
    if (QLineEdit* e = at(box)) {
        e->setText(QString::fromStdString(text));
        e->setCursorPosition(0);
    }
}

void QtFrame::set_caption_font(float size_points, bool bold) {
    // A style sheet on the frame alone: unlike setFont it is not handed down
    // to the buttons and labels inside the frame.
    box_->setStyleSheet(QStringLiteral("QGroupBox#%1 { font-size: %2pt; font-weight: %3; }")
                            .arg(box_->objectName())
                            .arg(static_cast<double>(size_points))
                            .arg(bold ? QStringLiteral("bold") : QStringLiteral("normal")));
}

void QtFrame::set_caption(const std::string& caption) {
    box_->setTitle(literal(caption));
}

}  // namespace vorsel::platform::qt
