#include "platform/qt/point_view.h"

#include <QClipboard>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QPushButton>
#include <QHBoxLayout>
#include <QScreen>
#include <QKeyEvent>
#include <QVBoxLayout>
#include <algorithm>
#include <array>

namespace vorsel::platform::qt {

namespace {

// Pixels between the window and the panel beside it.
constexpr int kGap = 8;
// The smallest panel worth showing beside the window: a few fields and
// their values.
constexpr int kUsefulWidth = 240, kUsefulHeight = 160;

// r moved the least to lie within `room` (its top left, where it is larger).
QRect kept_within(QRect r, const QRect& room) {
    r.moveLeft(std::max(std::min(r.left(), room.right() - r.width() + 1), room.left()));
    r.moveTop(std::max(std::min(r.top(), room.bottom() - r.height() + 1), room.top()));
    return r;
}

}  // namespace

QRect panel_place(const QRect& window, const QRect& keep_clear, QSize panel, const QRect& screen) {
    // Beside the window: right of it at its top, else below it at its left;
    // whole where there is room, else narrowed or shortened to the room
    // (the text scrolls) if that leaves a useful panel.
    const QPoint right_at(window.right() + 1 + kGap, window.top());
    const QPoint below_at(window.left(), window.bottom() + 1 + kGap);
    const QSize narrowed(std::min(panel.width(), screen.right() - right_at.x() + 1),
                         std::min(panel.height(), screen.height()));
    const QSize shortened(std::min(panel.width(), screen.width()),
                          std::min(panel.height(), screen.bottom() - below_at.y() + 1));
    for (const QRect& r : {QRect(right_at, panel), QRect(below_at, panel),
                           QRect(right_at, narrowed), QRect(below_at, shortened)}) {
        if (r.width() < std::min(panel.width(), kUsefulWidth) ||
            r.height() < std::min(panel.height(), kUsefulHeight))
            continue;
        const QRect on_screen = kept_within(r, screen);
        if (screen.contains(on_screen) && !on_screen.intersects(window)) return on_screen;
    }
    // Against an edge of the screen, the one farthest from the board first,
    // in the corner farther from the board's centre.
    const QPoint c = keep_clear.center();
    const int left_x = screen.left(), right_x = screen.right() - panel.width() + 1;
    const int top_y = screen.top(), bottom_y = screen.bottom() - panel.height() + 1;
    const int far_x = c.x() - screen.left() > screen.right() - c.x() ? left_x : right_x;
    const int far_y = c.y() - screen.top() > screen.bottom() - c.y() ? top_y : bottom_y;
    struct Edge {
        int room;
        QPoint at;
    };
    std::array<Edge, 4> edges{{{screen.right() - keep_clear.right(), {right_x, far_y}},
                               {screen.bottom() - keep_clear.bottom(), {far_x, bottom_y}},
                               {keep_clear.left() - screen.left(), {left_x, far_y}},
                               {keep_clear.top() - screen.top(), {far_x, top_y}}}};
    std::stable_sort(edges.begin(), edges.end(),
                     [](const Edge& a, const Edge& b) { return a.room > b.room; });
    for (const Edge& e : edges)
        if (!QRect(e.at, panel).intersects(keep_clear)) return QRect(e.at, panel);
    return QRect(edges.front().at, panel);
}

PointPanel::PointPanel(QWidget* parent) : QWidget(parent, Qt::Tool) {
    setObjectName("frmPoint");
    setWindowTitle(QStringLiteral("Reflection"));
    // The board keeps the focus: its keys go on moving the view.
    setAttribute(Qt::WA_ShowWithoutActivating);
    text_ = new QPlainTextEdit(this);
    text_->setObjectName("txtPoint");
    text_->setReadOnly(true);
    text_->setLineWrapMode(QPlainTextEdit::NoWrap);
    text_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    auto* copy = new QPushButton(QStringLiteral("Copy"), this);
    copy->setObjectName("cmdCopy");
    connect(copy, &QPushButton::clicked, this,
            [this] { QGuiApplication::clipboard()->setText(text_->toPlainText()); });
    auto* close_button = new QPushButton(QStringLiteral("Close"), this);
    close_button->setObjectName("cmdClose");
    connect(close_button, &QPushButton::clicked, this, &QWidget::close);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(text_);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(copy);
    buttons->addWidget(close_button);
    layout->addLayout(buttons);
}

void PointPanel::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

QRect PointPanel::screen_rect() const {
    const QWidget* owner = parentWidget() ? parentWidget()->window() : nullptr;
    if (screen_area) return screen_area();
    if (const QScreen* s = owner ? owner->screen() : QGuiApplication::primaryScreen())
        return s->availableGeometry();
    return {};
}

void PointPanel::place() {
    const QWidget* owner = parentWidget() ? parentWidget()->window() : nullptr;
    const QRect window = owner ? owner->frameGeometry() : QRect();
    const QRect screen = screen_rect();
    const QRect clear = keep_clear ? keep_clear() : window;
    // Before its first show the panel's frame is not known: the owner's is
    // the best guess.
    QSize outer = frameGeometry().size();
    if (!isVisible() && owner) outer = size() + (owner->frameGeometry().size() - owner->size());
    const QRect place = panel_place(window, clear, outer, screen);
    if (place.size() != outer) {
        // Narrowed or shortened to the room beside the window.
        const QSize inner = place.size() - (outer - size());
        text_->setMinimumSize(std::min(text_->minimumWidth(), inner.width() - 8),
                              std::min(text_->minimumHeight(), inner.height() / 2));
        layout()->activate();  // the panel's own least size follows the text's
        resize(inner);
    }
    move(place.topLeft());
}

void PointPanel::keep_clear_of_window() {
    if (!isVisible()) return;
    const QWidget* owner = parentWidget() ? parentWidget()->window() : nullptr;
    const QRect clear = keep_clear ? keep_clear() : owner ? owner->frameGeometry() : QRect();
    const QRect screen = screen_rect();
    if (frameGeometry().intersects(clear) || (screen.isValid() && !screen.contains(frameGeometry())))
        place();
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
        place();
        // Where the window system makes a window that shows the active one
        // anyway, the plot window takes it back: the board keeps the keys.
        QWidget* owner = parentWidget() ? parentWidget()->window() : nullptr;
        const bool owner_active = owner && owner->isActiveWindow();
        show();
        if (owner_active) owner->activateWindow();
    } else {
        keep_clear_of_window();
    }
}

bool QtPointView::close_panel() {
    if (!panel_ || !panel_->isVisible()) return false;
    panel_->close();
    return true;
}

void QtPointView::set_point_text(const std::string& text) {
    line_->setText(QString::fromStdString(text));
}

void QtPointView::show_mark(int x, int y, Colour c) { overlay_->show_mark(x, y, c); }

void QtPointView::hide_mark() { overlay_->hide_mark(); }

void QtPointView::show_point_details(const std::string& text) {
    if (!panel_) {
        panel_ = new PointPanel(window_);
        panel_->keep_clear = keep_clear_;
    }
    panel_->show_text(QString::fromStdString(text));
}

}  // namespace vorsel::platform::qt
