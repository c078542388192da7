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
        painter_.setPen(Qt::black);
        f();
        painter_.restore();
    }

    QPainter& painter_;
    double ppt_, width_;
    double points_ = kTextPoints;
};

void first_page(PageWriter& w, const plot::ReportSummary& s) {
    for (std::size_t i = 0; i < s.heading.size(); ++i) {
        w.font(i == 0 ? kHeadingPoints : kTextPoints, i == 0);
        w.paragraph(s.heading[i]);
    }
    w.y += w.line_height();

    // The table: the first column for the quantity, the others share the rest.
    const std::size_t ncol = s.columns.size();
    const double first = w.width() * 0.34;
    const double other = ncol > 1 ? (w.width() - first) / static_cast<double>(ncol - 1) : 0;
    const auto left_of = [&](std::size_t c) { return c == 0 ? 0 : first + other * (c - 1); };
    const auto width_of = [&](std::size_t c) { return c == 0 ? first : other; };
    w.font(kTextPoints, true);
    const double row = w.line_height() * 1.2;
    const double top = w.y;
    for (std::size_t c = 0; c < ncol; ++c)
        w.text_in(QRectF(left_of(c), w.y, width_of(c), row), s.columns[c],
                  c == 0 ? Qt::AlignLeft : Qt::AlignRight);
    w.y += row;
    w.rule(0, w.y, w.width(), w.y);
    for (const plot::ReportSummary::Row& r : s.rows) {
        for (std::size_t c = 0; c < r.cells.size() && c < ncol; ++c) {
            const bool bold = c > 0 && c - 1 < r.largest.size() && r.largest[c - 1];
            w.font(kTextPoints, bold);
            w.text_in(QRectF(left_of(c), w.y, width_of(c), row), r.cells[c],
                      c == 0 ? Qt::AlignLeft : Qt::AlignRight);
        }
        w.y += row;
    }
    w.rule(0, top, w.width(), top);
    w.rule(0, w.y, w.width(), w.y);
    w.y += w.line_height();
    w.font(kTextPoints, false);
    for (const std::string& n : s.notes) w.paragraph(n);
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
        w.font(kTextPoints, false);
        std::string figure = "Spread of the smoothed curve: ";
        if (!p.plot.drawn || !p.plot.spread)
            figure += "none";
        else if (p.plot.x_constant)
            figure += "x constant, the curve follows no order";
        else
            figure += plot::figure_text(*p.plot.spread);
        w.y += w.line_height() * 0.3;
        w.paragraph(figure);
        w.y += w.line_height() * 0.5;
    }
}

}  // namespace

std::string write_report(const std::string& path, const plot::ReportSummary& summary,
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
        first_page(first, summary);
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
