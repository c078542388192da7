// The board paints connected lines in batches, with the points that fall into
// one pixel column reduced to that column's lowest and highest point. The
// picture must be the one the plain line-by-line painting gives, pixel for
// pixel: curves of many points at the "fit to frame" spacing and at whole
// steps, with both pen widths and the smoothed overlay on top.
#include <gtest/gtest.h>

#include <QImage>
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <ostream>
#include <random>
#include <string>
#include <vector>

#include "platform/qt/board.h"
#include "tests/e2e/qt_seam.h"
#include "plot/frmVorselPlot.h"
#include "tests/fakes/fake_platform.h"

namespace {

using vorsel::platform::Colour;
using vorsel::platform::qt::QtBoard;

constexpr double kWidth = 10800, kHeight = 5415;
constexpr int kNxorg = 820, kMaxpar = 5414, kNypix = 5415;
constexpr Colour kBlue = 0xFF0000, kYellow = 0x00FFFF, kRed = 0x0000FF;

// Heights of a curve in twips above the bottom edge, 0..maxpar, as the
// mapping gives them.
enum class Shape { Walk, Noise, Flat, Steps };

std::vector<std::int32_t> heights(Shape shape, int n, unsigned seed) {
    std::mt19937 rng(seed);
    std::normal_distribution<double> g(0.0, 1.0);
    std::vector<std::int32_t> h(static_cast<std::size_t>(n));
    double y = kMaxpar / 2.0;
    for (int i = 0; i < n; ++i) {
        switch (shape) {
            case Shape::Walk: y += 40.0 * g(rng); break;
            case Shape::Noise: y = kMaxpar / 2.0 + 1500.0 * g(rng); break;  // clipped at both edges
            case Shape::Flat: y = (i / 7) % 3 == 0 ? 2000.0 : 2000.0 + (i % 2); break;
            case Shape::Steps: y = 100.0 * std::floor(i / 500.0) + ((i % 50) < 25 ? 0 : 700); break;
        }
        h[static_cast<std::size_t>(i)] = std::clamp(static_cast<std::int32_t>(std::lround(y)), 0, kMaxpar);
    }
    return h;
}

// The smoothed version of a curve, as the overlay shows it.
std::vector<std::int32_t> smoothed(const std::vector<std::int32_t>& h) {
    std::vector<std::int32_t> s(h.size());
    double acc = h.empty() ? 0.0 : h[0];
    for (std::size_t i = 0; i < h.size(); ++i) {
        acc = 0.98 * acc + 0.02 * h[i];
        s[i] = static_cast<std::int32_t>(std::lround(acc));
    }
    return s;
}

// The calls the plot window makes to draw a curve: the first segment with
// line(), the rest with line_to(), x at nxorg + j * nstep or at the running
// real position rounded down when nstep is 0.
void draw_curve(QtBoard& b, const std::vector<std::int32_t>& h, std::int32_t nstep, double step,
                Colour c) {
    std::int64_t x = kNxorg;
    double xr = kNxorg;
    auto advance = [&] {
        if (nstep != 0) return static_cast<int>(x += nstep);
        xr += step;
        return static_cast<int>(std::floor(xr));
    };
    const int x2 = advance();
    b.line(kNxorg, kNypix - h[0], x2, kNypix - h[1], c);
    for (std::size_t i = 2; i < h.size(); ++i) b.line_to(advance(), kNypix - h[i], c);
}

void draw_board(QtBoard& b, const std::vector<std::int32_t>& h, std::int32_t nstep, double step,
                bool overlay) {
    b.set_pen_width(1);
    b.fill_rect(0, 0, static_cast<int>(kWidth) - 1, kNypix - 1, kBlue);
    b.set_pen_width(1);
    draw_curve(b, h, nstep, step, kYellow);
    if (overlay) {
        b.set_pen_width(2);
        draw_curve(b, smoothed(h), nstep, step, kRed);
    }
}

// Where the two pictures differ, for the failure message.
std::string first_difference(const QImage& a, const QImage& b) {
    if (a.size() != b.size()) return "sizes differ";
    int count = 0;
    std::string where;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            if (a.pixel(x, y) != b.pixel(x, y)) {
                if (count++ == 0) where = "(" + std::to_string(x) + ", " + std::to_string(y) + ")";
            }
    return std::to_string(count) + " pixels differ, first at " + where;
}

struct Case {
    const char* name;
    Shape shape;
    int n;
    std::int32_t nstep;  // 0: "fit to frame"
    bool overlay;
};

void PrintTo(const Case& c, std::ostream* os) { *os << c.name; }

class BatchedLines : public ::testing::TestWithParam<Case> {};

TEST_P(BatchedLines, PaintTheSamePixelsAsLineByLine) {
    const Case& c = GetParam();
    const auto h = heights(c.shape, c.n, 17u + static_cast<unsigned>(c.n));
    // The "fit to frame" spacing: the board width right of the axis over the
    // points, times 0.99.
    const double step = c.nstep == 0 ? 9999.0 / c.n * 0.99 : 0.0;

    QtBoard plain(kWidth, kHeight), batched(kWidth, kHeight);
    vorsel::platform::qt::TestSeam::paint_lines_one_by_one(plain);
    draw_board(plain, h, c.nstep, step, c.overlay);
    draw_board(batched, h, c.nstep, step, c.overlay);

    const QImage& a = plain.image();
    const QImage& b = batched.image();
    ASSERT_EQ(a.size(), b.size());
    EXPECT_TRUE(a == b) << first_difference(a, b);
    // The curve is there at all.
    QtBoard blank(kWidth, kHeight);
    blank.fill_rect(0, 0, static_cast<int>(kWidth) - 1, kNypix - 1, kBlue);
    EXPECT_FALSE(a == blank.image());
}

const Case kCases[] = {
    {"walk_1e4_fit", Shape::Walk, 10000, 0, false},
    {"walk_1e4_fit_overlay", Shape::Walk, 10000, 0, true},
    {"walk_1e5_fit_overlay", Shape::Walk, 100000, 0, true},
    {"noise_1e5_fit_overlay", Shape::Noise, 100000, 0, true},
    {"flat_3e4_fit_overlay", Shape::Flat, 30000, 0, true},
    {"steps_5e4_fit_overlay", Shape::Steps, 50000, 0, true},
    {"walk_700_fit_overlay", Shape::Walk, 700, 0, true},   // step above one pixel
    {"walk_2000_step1_overlay", Shape::Walk, 2000, 1, true},  // many points per column, past the edge
    {"noise_5000_step7_overlay", Shape::Noise, 5000, 7, true},
    {"walk_500_step20_overlay", Shape::Walk, 500, 20, true},
    {"noise_400_step15", Shape::Noise, 400, 15, false},  // exactly one pixel per point
};

INSTANTIATE_TEST_SUITE_P(Curves, BatchedLines, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<Case>& i) { return std::string(i.param.name); });

// Whatever else the board paints lands on top of the lines in the order of
// the calls: a rectangle or text after a batch covers it, and lines after
// them cover those.
TEST(BatchedLines, KeepTheirPlaceAmongOtherPainting) {
    QtBoard plain(kWidth, kHeight), batched(kWidth, kHeight);
    vorsel::platform::qt::TestSeam::paint_lines_one_by_one(plain);
    for (QtBoard* b : {&plain, &batched}) {
        b->fill_rect(0, 0, 10799, 5414, kBlue);
        b->line(900, 100, 5000, 5000, kYellow);
        for (int i = 0; i < 3000; ++i) b->line_to(5000 + i, 2000 + (i * 37) % 900, kYellow);
        b->fill_rect(3000, 1000, 6000, 3000, 0x00FF00);
        b->set_text_pos(3200, 1200);
        b->set_text_colour(0x000000);
        b->print("1.234");
        b->line(3000, 3000, 3000, 500, kRed);  // vertical, drawn upwards
        b->line_to(3000, 4000, kRed);
        b->line_to(3001, 4000, kYellow);       // another colour continues from the point
        b->set_pen_width(2);
        b->line_to(8000, 100, kYellow);
    }
    const QImage& a = plain.image();
    const QImage& b = batched.image();
    EXPECT_TRUE(a == b) << first_difference(a, b);
}


// The plot window's own drawing reduces a run of points in one twip column
// before the board sees them: its picture must be the plain line-by-line one.
class PlotWindowDrawing : public ::testing::TestWithParam<Case> {};

TEST_P(PlotWindowDrawing, PaintsWhatThePlainLoopPaints) {
    const Case& c = GetParam();
    const auto h = heights(c.shape, c.n, 29u + static_cast<unsigned>(c.n));
    const auto hs = smoothed(h);
    const double step = c.nstep == 0 ? 9999.0 / c.n * 0.99 : 0.0;

    QtBoard plain(kWidth, kHeight);
    vorsel::platform::qt::TestSeam::paint_lines_one_by_one(plain);
    draw_board(plain, h, c.nstep, step, c.overlay);

    vorsel::fakes::FakePlatform fp;
    QtBoard board(kWidth, kHeight);
    vorsel::plot::PlotPlatform pp = fp.plot_platform();
    vorsel::plot::frmVorselPlot w{vorsel::plot::PlotPlatform{
        board, pp.cmdRange, pp.cmdWindow, pp.cmdBut, pp.readouts, pp.fraVorsel, pp.messages,
        pp.settings, pp.files, pp.program, pp.library, pp.chooser_views, pp.path_style}};
    w.nypix = kNypix;
    w.nxorg = kNxorg;
    w.nstep = c.nstep;
    w.step = step;
    w.npcur = c.n;
    w.nf = 1;
    w.nl = c.n;
    w.nkur.redim(static_cast<std::size_t>(c.n));
    board.set_pen_width(1);
    board.fill_rect(0, 0, static_cast<int>(kWidth) - 1, kNypix - 1, kBlue);
    for (const auto* curve : {&h, &hs}) {
        if (curve == &hs && !c.overlay) break;
        std::copy(curve->begin(), curve->end(), w.nkur.vec().begin());
        board.set_pen_width(curve == &h ? 1 : 2);
        w.icolor = curve == &h ? kYellow : kRed;
        w.draw_curve();
    }

    EXPECT_TRUE(plain.image() == board.image()) << first_difference(plain.image(), board.image());
}

INSTANTIATE_TEST_SUITE_P(Curves, PlotWindowDrawing, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<Case>& i) { return std::string(i.param.name); });

// Every point of a long curve in one twip column, and all at one height: the
// reduced drawing still marks it.
TEST(PlotWindowDrawing, ACurveOnOneSpotStillShows) {
    vorsel::fakes::FakePlatform fp;
    vorsel::plot::frmVorselPlot w{fp.plot_platform()};
    w.nypix = kNypix, w.nxorg = kNxorg, w.nstep = 0, w.step = 0.001;
    w.npcur = 500, w.nf = 1, w.nl = 500;
    w.nkur.redim(500);
    for (auto& k : w.nkur.vec()) k = 1000;
    w.icolor = kYellow;
    fp.log.clear();
    w.draw_curve();
    const auto lines = fp.grep("line");
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0], "line 820 4415 820 4415 FFFF w1");
}

}  // namespace
