// The board pctPlot: a persistent image in twip coordinates. Every drawing
// operation paints into the image and the widget shows the image whenever it
// is uncovered, so the plot survives being covered without a redraw by the
// program.
#pragma once

#include <QImage>
#include <QWidget>

#include "platform/platform.h"

namespace vorsel::platform::qt {

class QtBoard : public QWidget, public platform::Board {
public:
    // The board's size in twips (the design size: 10800 x 5415).
    QtBoard(double width_twips, double height_twips, QWidget* parent = nullptr);

    double width() const override { return width_twips_; }
    double height() const override { return height_twips_; }
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

    // What the board shows, pixel for pixel.
    const QImage& image() const { return image_; }
    // The pixel of the image that the board point (x, y) in twips falls in.
    static QPoint pixel_of(int x_twips, int y_twips);
    QColor colour_at(int x_twips, int y_twips) const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QPen pen(Colour c) const;
    double width_twips_, height_twips_;
    QImage image_;
    int pen_width_ = 1;
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
