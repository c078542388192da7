// The board as a picture file: PNG (the board's own pixels), SVG and PDF
// (its drawing operations replayed as vector graphics), each with a one-line
// title above the board. Every file is drawn whole in memory, then written
// through platform/output_file.h: an older file is replaced only by a complete
// one, and a failure leaves nothing half-written under the target's name.
#pragma once

#include <QImage>
#include <QString>
#include <optional>
#include <string>

#include "platform/qt/board.h"

class QPainter;

namespace vorsel::platform::qt {

enum class PictureFormat { Png, Svg, Pdf };

// By the file name's extension, in any case: .png, .svg, .pdf.
std::optional<PictureFormat> picture_format_of(const std::string& path);

// Height of the title strip above the board, twips.
inline constexpr double kTitleTwips = 360;
// Height of the strip under the board that says what x is (when there is a
// note for it), twips.
inline constexpr double kNoteTwips = 300;

// The title strip, the board's image below it, pixel for pixel, and under
// it the note on x, if any.
QImage picture_image(const QtBoard& board, const std::string& title,
                     const std::string& x_note = {});

// The title strip, the recorded board below it and the note on x under it,
// on a painter whose origin is the picture's top left, at `pixels_per_twip`
// units per twip (and the finest detail of the lines, BoardRecording::render).
void paint_picture(QPainter& painter, const BoardRecording& board, const std::string& title,
                   double pixels_per_twip, double detail = 0, const std::string& x_note = {});

// Writes the picture; returns the empty text, or why the file could not be
// written.
std::string write_picture(const std::string& path, PictureFormat format, const QtBoard& board,
                          const std::string& title, const std::string& x_note = {});

// Writes the text as it is (no conversion of line ends); returns the empty
// text, or why the file could not be written.
std::string write_text_file(const std::string& path, const std::string& text);

}  // namespace vorsel::platform::qt
