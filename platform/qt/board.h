// The board pctPlot: a persistent image in twip coordinates. Every drawing
// operation paints into the image and the widget shows the image whenever it
// is uncovered, so the plot survives being covered without a redraw by the
// program.
//
// The image has the pixels of the screen it is shown on: the window's zoom
// times the device pixel ratio (two image pixels a logical pixel on a screen
// that Qt doubles). When either changes, the image is made anew at its new
// size and painted again from the recorded operations, exactly as the plot
// would have painted it there; it is never an enlarged bitmap. Pens are
// measured in image pixels, so a line stays one pixel of the screen wide.
#pragma once

#include <QImage>
#include <QLine>
#include <QWidget>
#include <vector>

#include "platform/platform.h"
#include "platform/qt/board_recording.h"
#include "platform/qt/units.h"

namespace vorsel::platform::qt {

class QtBoard : public QWidget, public platform::Board {
public:
    // The board's size in twips (the design size: 10800 x 5415).
    QtBoard(double width_twips, double height_twips, QWidget* parent = nullptr);

    double width_twips() const override { return width_twips_; }
    double height_twips() const override { return height_twips_; }
    void fill_rect(int x1, int y1, int x2, int y2, Colour c) override;
    void line(int x1, int y1, int x2, int y2, Colour c) override;
    void line_to(int x2, int y2, Colour c) override;
    void set_pen_width(int w) override;
    void set_text_pos(int x, int y) override;
    Colour text_colour() const override { return text_colour_; }
    void set_text_colour(Colour c) override { text_colour_ = c; }
    std::string font_name() const override { return font_name_; }
    void set_font_name(const std::string& name) override { font_name_ = name; }
    double font_size() const override { return font_points_; }
    void set_font_size(double points) override { font_points_ = points; }
    void print(const std::string& text) override;

    // What the board shows, pixel for pixel of the screen (its device pixel
    // ratio is that of the screen, though the QImage itself says 1).
    const QImage& image() const {
        flush_lines();
        return image_;
    }
    // The logical pixel of the widget that the board point (x, y) in twips
    // falls in: where the pointer and the mark are; pixel_of for the board of
    // the plot window on the screen (units.h, shown_zoom).
    QPoint pixel_at(int x_twips, int y_twips) const;
    static QPoint pixel_of(int x_twips, int y_twips);
    // The zoom the image was made at: its window's (the design size for a
    // board in no window).
    Zoom zoom() const { return zoom_; }
    // The pixel of the image that the board point falls in.
    QPoint image_pixel(int x_twips, int y_twips) const;
    double device_pixel_ratio() const { return dpr_; }
    double image_pixels_per_twip() const;

    // The image made anew at its window's zoom and painted again from the
    // recording; the same for another device pixel ratio (the window's
    // screen). Nothing is done when the size stays.
    void rescale();
    void set_device_pixel_ratio(double dpr);
    // The operations that made what the board shows, to be drawn again at
    // any scale onto any painter.
    const BoardRecording& recording() const { return recording_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QPen pen(Colour c) const;
    QPen pen(Colour c, int width) const;
    void plain_line(int x1, int y1, int x2, int y2, Colour c);
    // Batched lines: a curve of a million points falls into a few hundred
    // pixel columns. Consecutive points in one column are joined by vertical
    // lines, which together cover the column from the lowest to the highest
    // of them: one vertical line does the same. The lines into and out of the
    // column stay as they are.
    void batch_point(QPoint p);
    void close_column() const;
    void flush_lines() const;
    void make_image();
    void repaint_from_recording();

    // The tests paint lines the plain way, each on its own as it comes, to
    // check the batches against, and probe the image's pixels.
    friend struct TestSeam;

    double width_twips_, height_twips_;
    double dpr_ = 1.0;
    Zoom zoom_;
    double image_ppt_ = 0.0;  // image pixels per twip that the image was made at
    mutable QImage image_;
    BoardRecording recording_;
    bool replaying_ = false;  // painting from the recording: nothing is recorded again
    int pen_width_ = 1;
    bool batched_ = true;
    mutable std::vector<QLine> lines_;  // waiting to be painted
    Colour lines_colour_ = 0;
    int lines_width_ = 1;
    double lines_ppt_ = 0.0;            // pixels per twip of the batch
    mutable bool column_open_ = false;  // a column of the current chain is being collected
    mutable int col_x_ = 0, col_min_ = 0, col_max_ = 0, col_last_ = 0, col_points_ = 0;
    int cur_x_ = 0, cur_y_ = 0;  // current point, twips
    int text_x_ = 0, text_y_ = 0;
    Colour text_colour_ = 0x80000012;  // button text
    std::string font_name_;
    double font_points_ = 8.25;
};

// The font for a family name: the family itself where it is installed,
// otherwise the system's fixed-pitch font (the board's labels and the read-outs
// ask for a fixed-pitch face and must keep their columns).
QFont installed_or_fixed(const std::string& family);

}  // namespace vorsel::platform::qt
