// The window at every zoom: layout in pixels, View menu, window size, the board
// painted again as the plot paints it, pointer, picture file, stored zoom, the
// screen's device pixel ratio (run once more with QT_SCALE_FACTOR=2).
#include <QApplication>
#include <QMouseEvent>
#include <QSettings>
#include <QTest>
#include <cmath>

#include "e2e_support.h"
#include "platform/qt/controls.h"
#include "platform/qt/units.h"

namespace vorsel::e2e {
namespace {

namespace but = vorsel::plot::but;
using platform::qt::QtBoard;

class ZoomTest : public ProgramTest {
protected:
    // dF / s(Fo) against theta, on a screen with room for 300%.
    void start_with_curve() {
        before_start_ = [](app::VorselProgram& p) {
            p.window().screen_room = [] { return QSize(4000, 3000); };
        };
        start_program(write_file("gen.vorsel", generated_data(1000)));
        click(but::VsTheta);
        click(but::dF_sFo);
    }
    platform::qt::PlotWindow& window() { return program().window(); }
    const QImage& image() { return window().board().image(); }
    std::string point_line_at(int x, int y) {
        const QPoint at = QtBoard::pixel_of(x, y);
        QMouseEvent e(QEvent::MouseMove, at, at, Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(window().board_overlay(), &e);
        return window().point_line()->text().toStdString();
    }
    // Inside the frame, apart but for the design's shared edges of 15 twips
    // (and txtBox on the blank end of a label), each caption fitted into its
    // button (but ">> >" and "<< <", a little too wide at the design size as
    // ever), the design whole and centred in the window.
    void expect_layout_holds() {
        const int shared = static_cast<int>(std::ceil(15 * platform::qt::pixels_per_twip()));
        const QSize spare = window().centralWidget()->size() - window().client()->size();
        EXPECT_EQ(window().client()->pos(), QPoint(spare.width() / 2, spare.height() / 2));
        QGroupBox* box = window().frame_box();
        EXPECT_TRUE(window().client()->rect().contains(box->geometry()));
        QWidgetList all;
        for (QWidget* c : box->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
            if (!c->isHidden() && c->objectName() != "cmdWindow") all << c;
        for (QWidget* a : all) {
            const QString name = a->objectName();
            EXPECT_TRUE(box->rect().contains(a->geometry())) << name.toStdString();
            for (QWidget* b : all.mid(all.indexOf(a) + 1)) {
                const QRect both = a->geometry() & b->geometry();
                EXPECT_TRUE(std::min(both.width(), both.height()) <= shared ||
                            name + b->objectName() == "lblTotalPointstxtBox")
                    << name.toStdString() << " on " << b->objectName().toStdString();
            }
            if (const auto* b = qobject_cast<QPushButton*>(a);
                b && name != "cmdBut_253" && name != "cmdBut_273") {
                const QString text = b->text().trimmed().replace("&&", "&");
                const int room = a->width() - 2 * platform::qt::zoomed_px(2);
                EXPECT_LE(QFontMetrics(platform::qt::fitted_font(a->font(), text, room))
                              .horizontalAdvance(text),
                          room)
                    << name.toStdString();
            }
        }
    }
};

TEST_F(ZoomTest, LayoutBoardAndPointerHoldAtEveryZoom) {
    start_with_curve();
    click(but::Smooth);
    // Point 31 at x = 1420 (step 20): alone in its pixel column at every zoom.
    const std::string line = point_line_at(1420, 2700);
    EXPECT_TRUE(line.starts_with("point 31 of 900 ")) << line;
    click(but::Fit);
    QApplication::processEvents();  // shown: at the screen's pixels
    const QImage at_100 = image();
    for (int percent : {100, 150, 200, 300}) {
        SCOPED_TRACE(percent);
        window().set_zoom_percent(percent);
        QApplication::processEvents();
        EXPECT_EQ(window().zoom_percent(), percent);
        EXPECT_EQ(window().size(), window().size_for_zoom(percent));
        expect_layout_holds();
        EXPECT_EQ(image().size(), window().board().size() * window().devicePixelRatioF());
        // Painted again from the operations: what the plot itself paints.
        const QImage again = image();
        click(but::Fit);
        EXPECT_EQ(point_line_at(1420, 2700), line);
        click(but::Fit);
        EXPECT_TRUE(again == image()) << "not the board the plot paints";
    }
    window().set_zoom_percent(100);
    EXPECT_TRUE(image() == at_100);
}

TEST_F(ZoomTest, TheMenuSetsTheZoomAndTheWindowsSizeSetsItToo) {
    start_with_curve();
    const QSize design = window().size();
    EXPECT_EQ(design, window().size_for_zoom(100));
    const auto size_for = [this](int percent) { return window().size_for_zoom(percent); };
    QAction* in = window().zoom_in_action();
    QAction* out = window().zoom_out_action();
    const struct {
        QAction* menu;  // or else the window is given the size
        QSize size;
        int percent;
    } steps[] = {{in, {}, 125},  {in, {}, 150},
                 {out, {}, 125}, {nullptr, size_for(137), 137},
                 {in, {}, 150},  {nullptr, size_for(150) - QSize(0, 1), 149},
                 {out, {}, 125}, {nullptr, {3000, 2500}, 300},
                 {in, {}, 300},  {window().actual_size_action(), {}, 100}};
    for (const auto& s : steps) {
        SCOPED_TRACE(s.percent);
        s.menu ? s.menu->trigger() : window().resize(s.size);
        QApplication::processEvents();
        EXPECT_EQ(window().zoom_percent(), s.percent);
        EXPECT_EQ(window().size(), s.menu ? size_for(s.percent) : s.size);
        expect_layout_holds();
    }
    EXPECT_EQ(window().size(), design);
    // The keys, from wherever the focus is in the window.
    window().activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window()));
    QTest::keyClick(window().button(but::VsTheta), Qt::Key_Plus, Qt::ControlModifier);
    QApplication::processEvents();
    EXPECT_EQ(window().zoom_percent(), 125);
    EXPECT_EQ(window().actual_size_action()->shortcut(), QKeySequence("Ctrl+0"));
    // A screen with room for 160% only: Zoom In stops there.
    window().screen_room = [&] { return size_for(160); };
    window().set_zoom_percent(150);
    in->trigger();
    EXPECT_EQ(window().zoom_percent(), 160);
}

TEST_F(ZoomTest, TheZoomIsRememberedUnderItsOwnKey) {
    QSettings ini(QSettings::IniFormat, QSettings::UserScope, "DADO_QEM", "DADO_QEM");
    ini.beginGroup("VORSEL");
    start_with_curve();
    ini.sync();
    std::map<QString, QVariant> locations;
    for (const QString& key : ini.childKeys()) locations[key] = ini.value(key);
    ASSERT_EQ(locations.size(), 5u);
    window().zoom_in_action()->trigger();
    window().zoom_in_action()->trigger();
    stop_program();  // stored at the end at the latest
    ini.sync();
    EXPECT_EQ(ini.value("Zoom").toString(), "150");
    for (const auto& [key, value] : locations) EXPECT_EQ(ini.value(key), value);
    start_with_curve();
    EXPECT_EQ(window().zoom_percent(), 150);
    EXPECT_EQ(window().size(), window().size_for_zoom(150));
}

// A line is one pixel of the image wide, the widget shows the image pixel for
// pixel of the screen, and the PNG file is that image between its title and
// the note on x, at the zoom and the device pixel ratio.
TEST_F(ZoomTest, TheBoardHasThePixelsOfTheScreenAndThePictureFileToo) {
    start_with_curve();
    QtBoard& board = window().board();
    const double dpr = window().devicePixelRatioF();
    if (qEnvironmentVariableIsSet("VORSEL_EXPECT_DPR")) {
        ASSERT_EQ(dpr, qEnvironmentVariable("VORSEL_EXPECT_DPR").toDouble());
    }
    program().ask_file_name = [this](const app::VorselProgram::SaveQuestion&) {
        return data_dir_.filePath("zoomed.png").toStdString();
    };
    for (int percent : {100, 200}) {
        SCOPED_TRACE(percent);
        window().set_zoom_percent(percent);
        QApplication::processEvents();
        EXPECT_EQ(board.device_pixel_ratio(), dpr);
        board.line(1000, 3000, 9000, 3000, 0x00FF00);
        int rows = 0;
        for (int y = 0; y < image().height(); ++y)
            rows += image().pixelColor(board.image_pixel(5000, 0).x(), y) == QColor(0, 255, 0);
        EXPECT_EQ(rows, 1);
        QImage shown = board.grab().toImage().convertToFormat(QImage::Format_RGB32);
        shown.setDevicePixelRatio(1);
        EXPECT_TRUE(shown == image());
        window().save_picture_action()->trigger();
        const QImage png(data_dir_.filePath("zoomed.png"));
        const int strip = static_cast<int>(std::lround(360 * board.image_pixels_per_twip()));
        const int note = static_cast<int>(std::lround(300 * board.image_pixels_per_twip()));
        ASSERT_EQ(png.size(), image().size() + QSize(0, strip + note));
        EXPECT_TRUE(
            png.copy(0, strip, png.width(), image().height()).convertToFormat(image().format()) ==
            image());
    }
}

}  // namespace
}  // namespace vorsel::e2e
