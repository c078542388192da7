#include "platform/qt/board_recording.h"

#include <QPainter>
#include <QPolygonF>
#include <algorithm>
#include <cmath>

#include "platform/qt/board.h"
#include "platform/qt/units.h"

namespace vorsel::platform::qt {

void BoardRecording::clear() {
    ops_.clear();
    points_.clear();
    texts_.clear();
}

void BoardRecording::fill_rect(int x1, int y1, int x2, int y2, Colour c, int pen_width) {
    const int left = std::min(x1, x2), right = std::max(x1, x2);
    const int top = std::min(y1, y2), bottom = std::max(y1, y2);
    if (left <= 0 && top <= 0 && right >= width_twips_ - 1 && bottom >= height_twips_ - 1) clear();
    ops_.push_back({Kind::Rect, c, pen_width, left, top, right, bottom});
}

void BoardRecording::line(int x1, int y1, int x2, int y2, Colour c, int pen_width) {
    const bool continues = !ops_.empty() && ops_.back().kind == Kind::Chain &&
                           ops_.back().colour == c && ops_.back().pen_width == pen_width &&
                           ops_.back().b == static_cast<int>(points_.size()) &&
                           points_.back() == QPoint(x1, y1);
    if (!continues) {
        const int first = static_cast<int>(points_.size());
        ops_.push_back({Kind::Chain, c, pen_width, first, first, 0, 0});
        points_.emplace_back(x1, y1);
    }
    points_.emplace_back(x2, y2);
    ops_.back().b = static_cast<int>(points_.size());
}

void BoardRecording::text(int x, int y, Colour c, const std::string& font_name, double font_points,
                          const std::string& text) {
    texts_.push_back({font_name, font_points, text});
    ops_.push_back({Kind::Text, c, 1, x, y, static_cast<int>(texts_.size()) - 1, 0});
}

void BoardRecording::replay(Replay& to) const {
    for (const Op& op : ops_) {
        switch (op.kind) {
            case Kind::Rect: to.rect(op.a, op.b, op.c, op.d, op.colour, op.pen_width); break;
            case Kind::Chain:
                to.chain(points_.data() + op.a, op.b - op.a, op.colour, op.pen_width);
                break;
            case Kind::Text: {
                const Text& t = texts_[static_cast<std::size_t>(op.c)];
                to.text(op.a, op.b, op.colour, t.font_name, t.font_points, t.text);
                break;
            }
        }
    }
}

namespace {

// The points p[0..n) shifted by `shift`, each run of them in one column of
// `detail` twips reduced to its first, lowest, highest and last point.
void append_chain(QPolygonF& out, const QPoint* p, int n, double detail, double shift) {
    const auto add = [&](const QPoint& q) { out.append(QPointF(q.x() + shift, q.y() + shift)); };
    const auto column = [detail](const QPoint& q) { return std::floor(q.x() / detail); };
    for (int s = 0; s < n;) {
        int e = s + 1;
        if (detail > 0)
            while (e < n && column(p[e]) == column(p[s])) ++e;
        if (e - s <= 4) {
            for (int i = s; i < e; ++i) add(p[i]);
        } else {
            int lo = s, hi = s;
            for (int i = s + 1; i < e; ++i) {
                if (p[i].y() < p[lo].y()) lo = i;
                if (p[i].y() > p[hi].y()) hi = i;
            }
            add(p[s]);
            for (int i : {std::min(lo, hi), std::max(lo, hi)})
                if (i != s && i != e - 1) add(p[i]);
            add(p[e - 1]);
        }
        s = e;
    }
}

}  // namespace

void BoardRecording::render(QPainter& painter, double pixels_per_twip, double detail) const {
    painter.save();
    painter.setTransform(twips_to_units(pixels_per_twip), true);
    painter.setClipRect(QRectF(0, 0, width_twips_, height_twips_), Qt::IntersectClip);
    // On the screen a twip falls into a pixel, whose middle lies on average
    // at the twip itself; rectangles cover whole pixels, a pen of an odd
    // width in pixels runs through a pixel's middle and one of an even width
    // along a pixel's edge; pens are measured in pixels. The same lengths in
    // twips keep the picture's proportions and places at any scale.
    const double pixel = screen_pixels_to_twips(1.0), half = pixel / 2;
    QPolygonF chain;
    for (const Op& op : ops_) {
        switch (op.kind) {
            case Kind::Rect: {
                const int extra = op.pen_width - 1, lo = extra / 2, hi = extra - lo;
                painter.fillRect(
                    QRectF(QPointF(op.a - half - lo * pixel, op.b - half - lo * pixel),
                           QPointF(op.c + half + hi * pixel, op.d + half + hi * pixel)),
                    to_qcolor(op.colour));
                break;
            }
            case Kind::Chain: {
                QPen pen(to_qcolor(op.colour));
                pen.setWidthF(op.pen_width * pixel);
                pen.setCapStyle(Qt::SquareCap);
                pen.setJoinStyle(Qt::MiterJoin);
                painter.setPen(pen);
                const double shift = op.pen_width % 2 == 0 ? -half : 0.0;
                chain.clear();
                chain.reserve(op.b - op.a);
                append_chain(chain, points_.data() + op.a, op.b - op.a, detail, shift);
                painter.drawPolyline(chain);
                break;
            }
            case Kind::Text: {
                const Text& t = texts_[static_cast<std::size_t>(op.c)];
                QFont f = installed_or_fixed(t.font_name);
                f.setPixelSize(
                    std::max(1, static_cast<int>(std::lround(points_to_twips(t.font_points)))));
                painter.setFont(f);
                painter.setPen(to_qcolor(op.colour));
                const QRectF room(op.a - half, op.b - half, width_twips_ + 1, height_twips_ + 1);
                painter.drawText(room, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine,
                                 QString::fromStdString(t.text));
                break;
            }
        }
    }
    painter.restore();
}

}  // namespace vorsel::platform::qt
