// What the board shows, kept as the drawing operations that made it: filled
// rectangles, chains of connected lines and texts, in twips, since the last
// wipe of the whole board. Replayed onto any QPainter at any scale, it gives
// the board as vector graphics (SVG, PDF) or as an image of another size, from
// the same operations the screen shows.
//
// The recording holds what the plot window sends; a curve's run of points in
// one twip column already arrives reduced to its extremes (plot/drawing.cpp),
// so a curve of any length records at most a few points per twip column of the
// board.
#pragma once

#include <QPoint>
#include <QRectF>
#include <cstddef>
#include <string>
#include <vector>

#include "platform/platform.h"

class QPainter;

namespace vorsel::platform::qt {

class BoardRecording {
public:
    BoardRecording(double width_twips, double height_twips)
        : width_twips_(width_twips), height_twips_(height_twips) {}

    double width_twips() const { return width_twips_; }
    double height_twips() const { return height_twips_; }

    // Everything recorded so far lies beneath a rectangle that covers the
    // whole board: it is forgotten.
    void fill_rect(int x1, int y1, int x2, int y2, Colour c, int pen_width);
    // A segment; it continues the last chain when it starts where that ended
    // in the same colour and width.
    void line(int x1, int y1, int x2, int y2, Colour c, int pen_width);
    void text(int x, int y, Colour c, const std::string& font_name, double font_points,
              const std::string& text);

    // Paints the board with its top left corner at the painter's origin, at
    // `pixels_per_twip` of the painter's units per twip, clipped to the board.
    // With a `detail` above 0 the points of a line that fall into one column
    // of that many twips are drawn as the column's first, lowest, highest and
    // last point: the same marks where the column is narrower than the pen,
    // from fewer points (a page of plots to print).
    void render(QPainter& painter, double pixels_per_twip, double detail = 0) const;

    // The operations in the order they came, handed to another painter (the
    // board's own, to paint its image again at another size).
    class Replay {
    public:
        virtual ~Replay() = default;
        virtual void rect(int x1, int y1, int x2, int y2, Colour c, int pen_width) = 0;
        // n >= 2 points, each joined to the next.
        virtual void chain(const QPoint* points, int n, Colour c, int pen_width) = 0;
        virtual void text(int x, int y, Colour c, const std::string& font_name, double font_points,
                          const std::string& text) = 0;
    };
    void replay(Replay& to) const;

    bool empty() const { return ops_.empty(); }
    std::size_t operations() const { return ops_.size(); }
    // Vertices of all chains: what a vector file has to hold of the lines.
    std::size_t line_points() const { return points_.size(); }

private:
    enum class Kind { Rect, Chain, Text };
    struct Op {
        Kind kind;
        Colour colour;
        int pen_width;
        // Rect: the corners (x1, y1, x2, y2), ordered. Chain: the range
        // [a, b) of points_. Text: the position (a, b) and texts_[c].
        int a, b, c, d;
    };
    struct Text {
        std::string font_name;
        double font_points;
        std::string text;
    };
    void clear();

    double width_twips_, height_twips_;
    std::vector<Op> ops_;
    std::vector<QPoint> points_;
    std::vector<Text> texts_;
};

}  // namespace vorsel::platform::qt
