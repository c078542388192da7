#include "platform/qt/picture.h"

#include <QApplication>
#include <QBuffer>
#include <QFileInfo>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSvgGenerator>
#include <cmath>

#include "platform/output_file.h"
#include "platform/qt/units.h"

namespace vorsel::platform::qt {

namespace {

constexpr double kTitleIndent = 120;  // twips from the left edge
constexpr double kTitlePoints = 10;
constexpr double kNotePoints = 8;
constexpr double kPointsPerInch = 72;
constexpr double kTwipsPerInch = 1440;
// SVG user units are the pixels of a screen of 96 dots per inch.
constexpr double kSvgDotsPerInch = 96;

QString q(const std::string& s) { return QString::fromStdString(s); }

// A strip of one line of text across the picture, in twips from its top.
void paint_strip(QPainter& painter, const std::string& text, double top, double height,
                 double width_twips, double points, bool bold, double pixels_per_twip) {
    painter.save();
    painter.setTransform(twips_to_units(pixels_per_twip), true);
    const QRectF strip(0, top, width_twips, height);
    painter.fillRect(strip, Qt::white);
    QFont f = QApplication::font();
    f.setBold(bold);
    f.setPixelSize(static_cast<int>(std::lround(points_to_twips(points))));
    painter.setFont(f);
    painter.setPen(Qt::black);
    painter.setClipRect(strip, Qt::IntersectClip);
    painter.drawText(strip.adjusted(kTitleIndent, 0, -kTitleIndent, 0),
                     Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, q(text));
    painter.restore();
}

void paint_title(QPainter& painter, const std::string& title, double width_twips,
                 double pixels_per_twip) {
    paint_strip(painter, title, 0, kTitleTwips, width_twips, kTitlePoints, true, pixels_per_twip);
}

double note_twips(const std::string& x_note) { return x_note.empty() ? 0.0 : kNoteTwips; }

// Drawn whole into memory through `fill`, which returns false when it could
// not draw all of it; then written in one piece (platform/output_file.h).
template <class Fill>
std::string write_safely(const std::string& path, Fill fill) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!fill(buffer)) return "the picture could not be drawn";
    buffer.close();
    return write_whole_file(path, std::string_view(bytes.constData(),
                                                   static_cast<std::size_t>(bytes.size())));
}

}  // namespace

std::optional<PictureFormat> picture_format_of(const std::string& path) {
    const QString ext = QFileInfo(q(path)).suffix().toLower();
    if (ext == "png") return PictureFormat::Png;
    if (ext == "svg") return PictureFormat::Svg;
    if (ext == "pdf") return PictureFormat::Pdf;
    return std::nullopt;
}

QImage picture_image(const QtBoard& board, const std::string& title, const std::string& x_note) {
    // The board's pixels as the screen shows them, at the window's zoom and
    // the screen's device pixel ratio; the strips at the same scale.
    const QImage& pixels = board.image();
    const double ppt = board.image_pixels_per_twip();
    const int strip = static_cast<int>(std::lround(kTitleTwips * ppt));
    const int note = static_cast<int>(std::lround(note_twips(x_note) * ppt));
    QImage out(pixels.width(), strip + pixels.height() + note, QImage::Format_RGB32);
    QPainter painter(&out);
    paint_title(painter, title, board.width_twips(), ppt);
    painter.drawImage(0, strip, pixels);
    if (note > 0) {
        // Whole pixels: the strip starts right under the board's last row.
        painter.translate(0, strip + pixels.height());
        paint_strip(painter, x_note, 0, note / ppt, board.width_twips(), kNotePoints, false, ppt);
    }
    return out;
}

void paint_picture(QPainter& painter, const BoardRecording& board, const std::string& title,
                   double pixels_per_twip, double detail, const std::string& x_note) {
    paint_title(painter, title, board.width_twips(), pixels_per_twip);
    painter.save();
    painter.translate(0, kTitleTwips * pixels_per_twip);
    board.render(painter, pixels_per_twip, detail);
    painter.restore();
    if (!x_note.empty())
        paint_strip(painter, x_note, kTitleTwips + board.height_twips(), kNoteTwips,
                    board.width_twips(), kNotePoints, false, pixels_per_twip);
}

std::string write_picture(const std::string& path, PictureFormat format, const QtBoard& board,
                          const std::string& title, const std::string& x_note) {
    const BoardRecording& rec = board.recording();
    const double width = rec.width_twips(),
                 height = kTitleTwips + rec.height_twips() + note_twips(x_note);
    switch (format) {
        case PictureFormat::Png:
            return write_safely(path, [&](QIODevice& f) {
                return picture_image(board, title, x_note).save(&f, "PNG");
            });
        case PictureFormat::Svg:
            return write_safely(path, [&](QIODevice& f) {
                const double ppt = kSvgDotsPerInch / kTwipsPerInch;
                const QSize size(static_cast<int>(std::ceil(width * ppt)),
                                 static_cast<int>(std::ceil(height * ppt)));
                QSvgGenerator svg;
                svg.setOutputDevice(&f);
                svg.setResolution(static_cast<int>(kSvgDotsPerInch));
                svg.setSize(size);
                svg.setViewBox(QRect(QPoint(0, 0), size));
                svg.setTitle(q(title));
                svg.setDescription(QStringLiteral("vorselplot"));
                QPainter painter;
                if (!painter.begin(&svg)) return false;
                paint_picture(painter, rec, title, ppt, 0, x_note);
                return painter.end();
            });
        case PictureFormat::Pdf:
            return write_safely(path, [&](QIODevice& f) {
                QPdfWriter pdf(&f);
                pdf.setCreator(QStringLiteral("vorselplot"));
                pdf.setTitle(q(title));
                const QSizeF points(width / kTwipsPerInch * kPointsPerInch,
                                    height / kTwipsPerInch * kPointsPerInch);
                pdf.setPageSize(
                    QPageSize(points, QPageSize::Point, QString(), QPageSize::ExactMatch));
                pdf.setPageMargins(QMarginsF(0, 0, 0, 0));
                QPainter painter;
                if (!painter.begin(&pdf)) return false;
                paint_picture(painter, rec, title, pdf.resolution() / kTwipsPerInch, 0, x_note);
                return painter.end();
            });
    }
    return "unknown picture format";
}

std::string write_text_file(const std::string& path, const std::string& text) {
    return write_whole_file(path, text);
}

}  // namespace vorsel::platform::qt
