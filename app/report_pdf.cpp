#include "app/report_pdf.h"

#include <QApplication>
#include <QBuffer>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <algorithm>
#include <cmath>

#include "platform/output_file.h"
#include "platform/qt/picture.h"
#include "platform/qt/units.h"
#include "plot/scripted_view.h"

namespace vorsel::app {

namespace {

using platform::qt::BoardRecording;

constexpr double kTwipsPerInch = 1440;
constexpr double kTwipsPerMm = kTwipsPerInch / 25.4;
constexpr double kMarginMm = 15;
constexpr double kTextPoints = 10;
constexpr double kHeadingPoints = 14;
constexpr double kLineGap = 1.5;  // line height over font size
constexpr double kCellPad = 100;  // twips inside a table cell
// The finest detail of a curve on the page, twips: a third of the pen's
// width, 1/300 inch, finer than a printer shows beside the line itself.
constexpr double kDetail = 5;

QString q(const std::string& s) { return QString::fromStdString(s); }

// Everything on a page is placed in twips from the top left of the area
// inside the margins.
class PageWriter {
public:
    PageWriter(QPainter& painter, double pixels_per_twip, double width_twips)
        : painter_(painter), ppt_(pixels_per_twip), width_(width_twips) {}

    double width() const { return width_; }
    double y = 0;  // top of the next line
    // A column of the page: its left edge and width, twips.
    void column(double left, double width) {
        left_ = left;
        width_ = width;
    }

    void font(double points, bool bold) {
        QFont f = QApplication::font();
        f.setBold(bold);
        f.setPixelSize(static_cast<int>(std::lround(platform::qt::points_to_twips(points))));
        painter_.setFont(f);
        points_ = points;
    }
    double line_height() const { return platform::qt::points_to_twips(points_) * kLineGap; }

    // A paragraph, broken into lines that fit the width.
    void paragraph(const std::string& text) {
        in_twips([&] {
            const QRectF room(0, y, width_, 1e6);
            const QRectF used = painter_.boundingRect(room, Qt::TextWordWrap, q(text));
            painter_.drawText(room, Qt::TextWordWrap, q(text));
            y += used.height() + line_height() * 0.4;
        });
    }

    void text_in(const QRectF& cell, const std::string& text, Qt::Alignment align) {
        in_twips([&] {
            painter_.drawText(cell.adjusted(kCellPad, 0, -kCellPad, 0),
                              align | Qt::AlignVCenter | Qt::TextSingleLine, q(text));
        });
    }

    void rule(double x1, double y1, double x2, double y2) {
        in_twips([&] {
            QPen pen(Qt::black);
            pen.setWidthF(10);
            painter_.setPen(pen);
            painter_.drawLine(QPointF(x1, y1), QPointF(x2, y2));
        });
    }

    // A picture (title strip and board) scaled to the width.
    void picture(const BoardRecording& board, const std::string& title) {
        const double scale = width_ / board.width_twips();
        painter_.save();
        painter_.translate(0, y * ppt_);
        platform::qt::paint_picture(painter_, board, title, ppt_ * scale, kDetail);
        painter_.restore();
        y += (platform::qt::kTitleTwips + board.height_twips()) * scale;
    }

    // Any drawing, in twips.
    template <class F>
    void draw(F f) {
        in_twips([&] { f(painter_); });
    }

    // A box in place of a picture whose curve could not be drawn.
    void empty_picture(double height, const std::string& text) {
        in_twips([&] {
            painter_.setPen(Qt::black);
            const QRectF box(0, y, width_, height);
            painter_.drawRect(box);
            painter_.drawText(box, Qt::AlignCenter | Qt::TextWordWrap, q(text));
        });
        y += height;
    }

private:
    template <class F>
    void in_twips(F f) {
        painter_.save();
        painter_.setTransform(platform::qt::twips_to_units(ppt_), true);
        painter_.translate(left_, 0);
        painter_.setPen(Qt::black);
        f();
        painter_.restore();
    }

    QPainter& painter_;
    double ppt_, width_;
    double left_ = 0;
    double points_ = kTextPoints;
};

constexpr double kTablePoints = 8;

// A table: title, header, rows; the first column left, the others right.
void table(PageWriter& w, const plot::TextTable& t, const std::vector<double>& widths) {
    if (!t.title.empty()) {
        w.font(kTextPoints, true);
        w.paragraph(t.title);
    }
    const std::size_t ncol = t.columns.size();
    double total = 0;
    for (std::size_t c = 0; c < ncol; ++c) total += c < widths.size() ? widths[c] : 1;
    std::vector<double> left(ncol + 1, 0);
    for (std::size_t c = 0; c < ncol; ++c)
        left[c + 1] = left[c] + (c < widths.size() ? widths[c] : 1) / total * w.width();
    w.font(kTablePoints, true);
    const double row = w.line_height() * 1.1;
    const double top = w.y;
    const auto align = [](std::size_t c) { return c == 0 ? Qt::AlignLeft : Qt::AlignRight; };
    for (std::size_t c = 0; c < ncol; ++c)
        w.text_in(QRectF(left[c], w.y, left[c + 1] - left[c], row), t.columns[c], align(c));
    w.y += row;
    w.rule(0, w.y, w.width(), w.y);
    for (const plot::TextTable::Row& r : t.rows) {
        w.font(kTablePoints, r.bold);
        for (std::size_t c = 0; c < r.cells.size() && c < ncol; ++c) {
            // A last cell of words runs over to the left when it is long.
            const double from =
                c + 1 == ncol && c > 0 && r.cells[c].size() > 12 ? left[1] : left[c];
            w.text_in(QRectF(from, w.y, left[c + 1] - from, row), r.cells[c], align(c));
        }
        w.y += row;
    }
    w.rule(0, top, w.width(), top);
    w.rule(0, w.y, w.width(), w.y);
    w.y += w.line_height() * 0.6;
}

// dF/s(Fo) in ascending order against the expected normal order statistics,
// with the least-squares line (red) and, dashed, the line of errors that are
// what s(Fo) says; in the column the writer is set to, `height` high.
void normal_plot(PageWriter& w, const analysis::NormalProbability& np, double height) {
    w.font(kTablePoints, true);
    w.paragraph("Normal probability of dF/s(Fo)");
    w.font(kTablePoints, false);
    w.paragraph("slope " + analysis::figure(np.slope) + ", intercept " +
                analysis::figure(np.intercept) + " (1 and 0: the errors are what s(Fo) says)");
    const QRectF box(300, w.y, w.width() - 300, height - 300);
    w.y += height;
    if (np.n < 2) return;
    const double xlim = std::max(std::fabs(analysis::expected_normal(1, np.n)), 1.0);
    const double ylim =
        std::max({std::fabs(np.observed.front()), std::fabs(np.observed.back()), xlim});
    w.draw([&](QPainter& p) {
        const auto at = [&](double ex, double ob) {
            return QPointF(box.left() + (ex + xlim) / (2 * xlim) * box.width(),
                           box.bottom() - (ob + ylim) / (2 * ylim) * box.height());
        };
        p.setPen(Qt::black);
        p.drawRect(box);
        p.setClipRect(box);
        QPen dashed(Qt::gray);
        dashed.setStyle(Qt::DashLine);
        dashed.setWidthF(8);
        p.setPen(dashed);
        p.drawLine(at(-xlim, -xlim), at(xlim, xlim));
        p.drawLine(at(-xlim, 0), at(xlim, 0));
        p.drawLine(at(0, -ylim), at(0, ylim));
        // One mark per place on the page: a million points draw as the few
        // thousand distinct ones they fall on.
        QPen dot(Qt::blue);
        dot.setWidthF(25);
        p.setPen(dot);
        QPointF last(-1e9, -1e9);
        for (std::int64_t i = 0; i < np.n; ++i) {
            const QPointF q = at(analysis::expected_normal(i + 1, np.n),
                                 np.observed[static_cast<std::size_t>(i)]);
            if (std::fabs(q.x() - last.x()) < kDetail && std::fabs(q.y() - last.y()) < kDetail)
                continue;
            p.drawPoint(q);
            last = q;
        }
        QPen line(Qt::red);
        line.setWidthF(12);
        p.setPen(line);
        p.drawLine(at(-xlim, np.intercept - np.slope * xlim),
                   at(xlim, np.intercept + np.slope * xlim));
        p.setClipping(false);
        p.setPen(Qt::black);
        QFont f = p.font();
        f.setPixelSize(static_cast<int>(platform::qt::points_to_twips(kTablePoints - 1)));
        p.setFont(f);
        p.drawText(QRectF(box.left(), box.bottom(), box.width(), 250), Qt::AlignCenter,
                   q("expected, ±" + analysis::figure(xlim)));
        p.save();
        p.translate(box.left(), box.center().y());
        p.rotate(-90);
        p.drawText(QRectF(-box.height() / 2, -250, box.height(), 250), Qt::AlignCenter,
                   q("dF/s(Fo), ±" + analysis::figure(ylim)));
        p.restore();
    });
}

void first_page(PageWriter& w, const plot::ReportSummary& s,
                const analysis::NormalProbability& normal) {
    for (std::size_t i = 0; i < s.heading.size(); ++i) {
        w.font(i == 0 ? kHeadingPoints : kTextPoints, i == 0);
        w.paragraph(s.heading[i]);
    }
    w.y += w.line_height() * 0.5;
    const double full = w.width();
    if (!s.tables.empty()) table(w, s.tables.front(), {2.2, 1, 1, 1, 1, 1.6, 1.2});
    // The trend tests on the left, the normal probability plot beside them.
    const double top = w.y, left = full * 0.64;
    w.column(0, left - 200);
    for (std::size_t i = 1; i < s.tables.size(); ++i)
        table(w, s.tables[i], {1.3, 1, 0.5, 0.9, 0.9, 2.4});
    const double below_table = w.y;
    w.y = top;
    w.column(left, full - left);
    normal_plot(w, normal, std::max(below_table - top, full - left));
    w.column(0, full);
    w.y = std::max(w.y, below_table);
    w.font(kTablePoints, false);
    for (const std::string& n : s.notes) w.paragraph(n);
    w.y += w.line_height() * 0.3;
    table(w, s.worst, {});
}

void plot_page(PageWriter& w, const ReportPage& page, std::size_t number, std::size_t count) {
    w.font(kHeadingPoints, true);
    w.paragraph(page.heading + "   (page " + std::to_string(number) + " of " +
                std::to_string(count) + ")");
    for (const ReportPage::Plot& p : page.plots) {
        if (p.plot.drawn) {
            w.picture(p.board, p.plot.title);
        } else {
            const double h = (platform::qt::kTitleTwips + p.board.height_twips()) *
                             (w.width() / p.board.width_twips());
            w.font(kTextPoints, false);
            w.empty_picture(h, p.plot.title + ": no curve");
        }
        w.y += w.line_height() * 0.5;
    }
    table(w, page.bins, {1.3, 1, 0.8, 1, 1, 1, 1.2, 1});
}

}  // namespace

std::string write_report(const std::string& path, const plot::ReportSummary& summary,
                         const analysis::NormalProbability& normal,
                         const std::vector<ReportPage>& pages) {
    // Drawn whole into memory, then written in one piece.
    QByteArray bytes;
    QBuffer file(&bytes);
    file.open(QIODevice::WriteOnly);
    {
        QPdfWriter pdf(&file);
        pdf.setCreator(QStringLiteral("vorselplot"));
        pdf.setTitle(q(summary.heading.empty() ? "vorselplot report" : summary.heading.front()));
        pdf.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                      QMarginsF(kMarginMm, kMarginMm, kMarginMm, kMarginMm),
                                      QPageLayout::Millimeter));
        const double ppt = pdf.resolution() / kTwipsPerInch;
        const double width = (210.0 - 2 * kMarginMm) * kTwipsPerMm;
        QPainter painter;
        if (!painter.begin(&pdf)) return "the report could not be drawn";
        PageWriter first(painter, ppt, width);
        first_page(first, summary, normal);
        for (std::size_t i = 0; i < pages.size(); ++i) {
            pdf.newPage();
            PageWriter w(painter, ppt, width);
            plot_page(w, pages[i], i + 2, pages.size() + 1);
        }
        if (!painter.end()) return "the report could not be drawn";
    }
    file.close();
    return platform::write_whole_file(
        path, std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
}

}  // namespace vorsel::app
