#include "platform/qt/controls.h"

#include <QKeyEvent>
#include <QPaintEvent>
#include <QStyleOptionButton>
#include <QStylePainter>
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

QFont fitted_font(const QFont& base, const QString& text, int width_px) {
    return fitted_font(base, text, width_px, shown_zoom());
}

QFont fitted_font(const QFont& base, const QString& text, int width_px, Zoom zoom) {
    // Enlarged text does not widen exactly in proportion: where the zoomed
    // smallest face is still too wide, the steps go on down to 6 points.
    const double smallest = zoom.points(6.0), step = zoom.points(0.5);
    const double start = base.pointSizeF() > 0 ? base.pointSizeF() : zoom.points(8.0);
    for (double points = start; points >= 6.0; points -= step) {
        for (int stretch : {100, 90, 80, 70}) {
            QFont f = base;
            f.setPointSizeF(points);
            f.setStretch(stretch);
            if (QFontMetrics(f).horizontalAdvance(text) <= width_px) return f;
        }
    }
    QFont f = base;
    f.setPointSizeF(smallest);
    f.setStretch(70);
    return f;
}

void PanelButton::paintEvent(QPaintEvent*) {
    QStylePainter p(this);
    QStyleOptionButton opt;
    initStyleOption(&opt);
    const QString caption = opt.text;
    opt.text.clear();
    p.drawControl(QStyle::CE_PushButton, opt);  // face, bevel, focus; no label
    QString shown = caption.trimmed();
    shown.replace(QLatin1String("&&"), QLatin1String("&"));
    if (shown.isEmpty()) return;
    const Zoom zoom = zoom_of(this);
    const int mx = zoom.px(2), my = zoom.px(1);
    const QRect room = rect().adjusted(mx, my, -mx, -my);
    p.setFont(fitted_font(font(), shown, room.width(), zoom));
    p.setPen(
        palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::ButtonText));
    if (isDown() || isChecked()) p.translate(my, my);
    p.drawText(room, Qt::AlignCenter | Qt::TextSingleLine, shown);
}

void PanelButton::keyPressEvent(QKeyEvent* event) {
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) &&
        (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
        if (isEnabled()) click();
        event->accept();
        return;
    }
    QPushButton::keyPressEvent(event);
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
    widget_->setGeometry(zoom_of(widget_).to_px(r));
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
    tooltips_[index] = tip;
    show_tooltip(index);
}

void QtButtons::set_key_hint(int index, const std::string& key) {
    key_hints_[index] = key;
    show_tooltip(index);
}

void QtButtons::show_tooltip(int index) {
    QPushButton* b = must(index);
    if (!b) return;
    std::string tip = tooltips_[index];
    if (auto hint = key_hints_.find(index); hint != key_hints_.end())
        tip += (tip.empty() ? "(" : " (") + hint->second + ")";
    b->setToolTip(QString::fromStdString(tip));
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

bool QtButtons::enabled(int index) const {
    const QPushButton* b = at(index);
    return b && b->isEnabled();
}

// As the program set it: a button of a window not yet shown is not hidden.
bool QtButtons::visible(int index) const {
    const QPushButton* b = at(index);
    return b && !b->isHidden();
}

QLineEdit* QtReadOuts::at(ReadOut box) const {
    auto it = boxes_.find(box);
    return it == boxes_.end() ? nullptr : it->second;
}

void QtReadOuts::add(ReadOut box, QLineEdit* e) {
    boxes_[box] = e;
    fonts_[box] = e->font();
}

void QtReadOuts::set_face(const QFont& f) {
    for (auto& [box, edit] : boxes_) {
        fonts_[box] = f;
        set_text(box, edit->text().toStdString());
    }
}

void QtReadOuts::set_text(ReadOut box, const std::string& text) {
    QLineEdit* e = at(box);
    if (!e) return;
    const QString shown = QString::fromStdString(text);
    // A text longer than the seven places the box was designed for (a value
    // like -20.23669) is shown whole in a narrower or smaller face, against
    // the right edge, instead of scrolling part of it out of sight.
    const QFont& base = fonts_[box];
    const int frame = e->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, e);
    const int room = e->width() - 2 * frame - 2 * kLineEditMargin - 1;
    const bool fits = QFontMetrics(base).horizontalAdvance(shown) <= room;
    e->setFont(fits ? base : fitted_font(base, shown, room, zoom_of(e)));
    e->setAlignment(fits ? Qt::AlignLeft | Qt::AlignVCenter : Qt::AlignRight | Qt::AlignVCenter);
    e->setText(shown);
    e->setCursorPosition(0);
}

void QtFrame::set_caption_font(float size_points, bool bold) {
    caption_font_set_ = true;
    caption_points_ = size_points;
    caption_bold_ = bold;
    apply_caption_font();
}

void QtFrame::apply_zoom() {
    if (caption_font_set_) apply_caption_font();
}

void QtFrame::apply_caption_font() {
    // A style sheet on the frame alone: unlike setFont it is not handed down
    // to the buttons and labels inside the frame.
    box_->setStyleSheet(
        QStringLiteral("QGroupBox#%1 { font-size: %2pt; font-weight: %3; }")
            .arg(box_->objectName())
            .arg(zoom_of(box_).points(static_cast<double>(caption_points_)))
            .arg(caption_bold_ ? QStringLiteral("bold") : QStringLiteral("normal")));
}

void QtFrame::set_caption(const std::string& caption) { box_->setTitle(literal(caption)); }

}  // namespace vorsel::platform::qt
