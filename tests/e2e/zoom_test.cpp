// The window at every zoom: the layout in pixels (everything inside the frame,
// nothing on anything else), the View menu and the window's size, the board
// painted again from its operations exactly as the plot paints it at that
// size, the pointer, the picture file, the zoom remembered under its own key,
// and the board at the screen's device pixel ratio (run once more under
// QT_SCALE_FACTOR=2 with VORSEL_EXPECT_DPR=2).
#include <QApplication>
#include <QMouseEvent>
#include <QSettings>
#include <QTest>
#include <cmath>
#include <set>

#include "e2e_support.h"
#include "platform/qt/controls.h"
#include "platform/qt/units.h"

namespace vorsel::e2e {
namespace {

namespace but = vorsel::plot::but;
using platform::qt::PlotWindow;
using platform::qt::QtBoard;

class ZoomTest : public ProgramTest {
protected:
    // dF / s(Fo) against theta of 1000 reflections, on a screen with room for 300%.
    void start_with_curve() {
        before_start_ = [](app::VorselProgram& p) {
            p.window().screen_room = [] { return QSize(4000, 3000); };
        };
        start_program(write_file("gen.vorsel", generated_data(1000)));
        ASSERT_FALSE(program().ended());
        click(but::VsTheta);
        click(but::dF_sFo);
    }
    PlotWindow& window() { return program().window(); }
    const QImage& image() { return window().board().image(); }
    void settle() { QApplication::processEvents(); }
    std::string point_line_at(int x, int y) {
        QWidget* overlay = window().board_overlay();
        const QPoint at = QtBoard::pixel_of(x, y);
        QMouseEvent e(QEvent::MouseMove, at, overlay->mapToGlobal(at), Qt::NoButton, Qt::NoButton,
                      Qt::NoModifier);
        QApplication::sendEvent(overlay, &e);
        return window().point_line()->text().toStdString();
    }
};

// The captions a little wider than their narrow buttons even in the
// smallest face, at the design size as ever since: ">> >" and "<< <".
const std::set<std::string> kWideAtDesignSize{"cmdBut_253", "cmdBut_273"};

// Inside the frame, apart but for the design's shared edges of 15 twips (and
// txtBox on the blank end of the first label), each caption fitted into its
// control; the client area whole inside the window.
void expect_layout_holds(PlotWindow& w) {
    const int shared = static_cast<int>(std::ceil(15 * platform::qt::pixels_per_twip()));
    EXPECT_TRUE(w.centralWidget()->rect().contains(w.client()->geometry()));
    QGroupBox* box = w.frame_box();
    EXPECT_TRUE(w.client()->rect().contains(box->geometry()));
    std::vector<QWidget*> controls;
    for (QWidget* c : box->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        if (!c->isHidden() && c->objectName() != "cmdWindow") controls.push_back(c);
    for (std::size_t i = 0; i < controls.size(); ++i) {
        const QWidget* a = controls[i];
        const std::string name = a->objectName().toStdString();
        EXPECT_TRUE(box->rect().contains(a->geometry())) << name;
        for (std::size_t j = i + 1; j < controls.size(); ++j) {
            const QRect both = a->geometry() & controls[j]->geometry();
            const QString pair = a->objectName() + "+" + controls[j]->objectName();
            if (both.isEmpty() || std::min(both.width(), both.height()) <= shared ||
                pair == "lblTotalPoints+txtBox")
                continue;
            ADD_FAILURE() << name << " and " << controls[j]->objectName().toStdString()
                          << " overlap by " << both.width() << " x " << both.height();
        }
        QString text;
        int room = a->width();
        if (const auto* label = qobject_cast<const QLabel*>(a)) text = label->text();
        if (const auto* edit = qobject_cast<const QLineEdit*>(a)) text = edit->text();
        if (const auto* b = qobject_cast<const QPushButton*>(a)) {
            text = b->text().trimmed().replace("&&", "&");
            room -= 2 * platform::qt::zoomed_px(2);
        }
        const QFont f = qobject_cast<const QPushButton*>(a)
                            ? platform::qt::fitted_font(a->font(), text, room)
                            : a->font();
        if (!kWideAtDesignSize.count(name)) {
            EXPECT_LE(QFontMetrics(f).horizontalAdvance(text), room) << name;
        }
    }
}

TEST_F(ZoomTest, LayoutBoardAndPointerHoldAtEveryZoom) {
    start_with_curve();
    click(but::Smooth);
    // Point 31 at x = 1420 (step 20): alone in its pixel column at every zoom.
    const std::string line = point_line_at(1420, 2700);
    EXPECT_TRUE(line.starts_with("point 31 of 900 ")) << line;
    click(but::Fit);
    const QImage at_100 = image();
    for (int percent : {100, 150, 200, 300}) {
        SCOPED_TRACE(percent);
        window().set_zoom_percent(percent);
        settle();
        EXPECT_EQ(window().zoom_percent(), percent);
        EXPECT_EQ(window().size(), window().size_for_zoom(percent));
        expect_layout_holds(window());
        EXPECT_EQ(window().board().width(), platform::qt::board_px(10799) + 1);
        EXPECT_EQ(image().size(), window().board().size() * window().devicePixelRatioF());
        // Painted again from the operations: what the plot itself paints at
        // this size (fit to frame off and on).
        const QImage again = image();
        click(but::Fit);
        EXPECT_EQ(point_line_at(1420, 2700), line);
        click(but::Fit);
        EXPECT_TRUE(again == image()) << "not the board the plot paints at " << percent << "%";
    }
    window().set_zoom_percent(100);
    EXPECT_TRUE(image() == at_100);
}

TEST_F(ZoomTest, TheMenuSetsTheZoomAndTheWindowsSizeSetsItToo) {
    start_with_curve();
    const QSize design = window().size();
    EXPECT_EQ(design, window().size_for_zoom(100));
    EXPECT_TRUE(window().zoom_in_action()->shortcuts().contains(QKeySequence("Ctrl++")));
    EXPECT_EQ(window().zoom_out_action()->shortcut(), QKeySequence("Ctrl+-"));
    EXPECT_EQ(window().actual_size_action()->shortcut(), QKeySequence("Ctrl+0"));
    const auto size_for = [this](int percent) { return window().size_for_zoom(percent); };
    struct Step {
        const char* what;
        QAction* menu;  // or else the window is given the size
        QSize size;
        int percent;
    };
    QAction* in = window().zoom_in_action();
    QAction* out = window().zoom_out_action();
    const Step steps[] = {
        {"Zoom In", in, {}, 125},
        {"Zoom In", in, {}, 150},
        {"Zoom Out", out, {}, 125},
        {"edge dragged", nullptr, size_for(137), 137},
        {"Zoom In from between steps", in, {}, 150},
        {"one pixel short of 150%", nullptr, size_for(150) - QSize(0, 1), 149},
        {"Zoom Out from between steps", out, {}, 125},
        {"larger than 300%", nullptr, QSize(3000, 2500), 300},
        {"Zoom In at the top", in, {}, 300},
        {"Actual Size", window().actual_size_action(), {}, 100},
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(s.what);
        if (s.menu)
            s.menu->trigger();
        else
            window().resize(s.size);
        settle();
        EXPECT_EQ(window().zoom_percent(), s.percent);
        EXPECT_EQ(window().size(), s.menu ? size_for(s.percent) : s.size);
        expect_layout_holds(window());
        // The design centred in the space left over.
        const QSize spare = window().centralWidget()->size() - window().client()->size();
        EXPECT_EQ(window().client()->pos(), QPoint(spare.width() / 2, spare.height() / 2));
    }
    EXPECT_EQ(window().size(), design);
    // The keys, wherever the focus is in the window.
    window().activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window()));
    for (const auto& [key, percent] : {std::pair{Qt::Key_Plus, 125}, {Qt::Key_Minus, 100}}) {
        QTest::keyClick(window().button(but::VsTheta), key, Qt::ControlModifier);
        settle();
        EXPECT_EQ(window().zoom_percent(), percent);
    }
    // A screen with room for 160% only: Zoom In stops there.
    window().screen_room = [&] { return size_for(160); };
    window().set_zoom_percent(150);
    in->trigger();
    EXPECT_EQ(window().zoom_percent(), 160);
}

TEST_F(ZoomTest, TheZoomIsRememberedUnderItsOwnKey) {
    QSettings ini(QSettings::IniFormat, QSettings::UserScope, "DADO_QEM", "DADO_QEM");
    start_with_curve();
    ini.sync();
    ini.beginGroup("VORSEL");
    std::map<QString, QVariant> locations;
    for (const QString& key : ini.childKeys()) locations[key] = ini.value(key);
    ASSERT_EQ(locations.size(), 5u);
    window().zoom_in_action()->trigger();
    window().zoom_in_action()->trigger();
    stop_program();  // stored at the end at the latest
    ini.sync();
    EXPECT_EQ(ini.value("Zoom").toString(), "150");
    for (const auto& [key, value] : locations)
        EXPECT_EQ(ini.value(key), value) << key.toStdString();

    const std::pair<const char*, int> stored[] = {{"150", 150}, {"abc", 100}, {"1000", 300}};
    for (const auto& [text, percent] : stored) {
        SCOPED_TRACE(text);
        ini.setValue("Zoom", text);
        ini.sync();
        start_with_curve();
        EXPECT_EQ(window().zoom_percent(), percent);
        EXPECT_EQ(window().size(), window().size_for_zoom(percent));
        stop_program();
    }
}

// The picture file is the board as shown, at the zoom and the device pixel
// ratio; the widget shows the image pixel for pixel of the screen.
TEST_F(ZoomTest, TheBoardHasThePixelsOfTheScreenAndThePictureFileToo) {
    start_with_curve();
    settle();
    const QtBoard& board = window().board();
    const double dpr = window().devicePixelRatioF();
    if (qEnvironmentVariableIsSet("VORSEL_EXPECT_DPR")) {
        ASSERT_EQ(dpr, qEnvironmentVariable("VORSEL_EXPECT_DPR").toDouble());
    }
    for (int percent : {100, 200}) {
        SCOPED_TRACE(percent);
        window().set_zoom_percent(percent);
        settle();
        EXPECT_EQ(board.device_pixel_ratio(), dpr);
        EXPECT_EQ(image().size(), board.size() * dpr);
        QImage shown = window().board().grab().toImage().convertToFormat(QImage::Format_RGB32);
        shown.setDevicePixelRatio(1);
        EXPECT_TRUE(shown == image());
        program().ask_file_name = [this](const app::VorselProgram::SaveQuestion&) {
            return data_dir_.filePath("zoomed.png").toStdString();
        };
        window().save_picture_action()->trigger();
        const QImage png(data_dir_.filePath("zoomed.png"));
        const int strip = static_cast<int>(std::lround(360 * board.image_pixels_per_twip()));
        ASSERT_EQ(png.size(), image().size() + QSize(0, strip));
        EXPECT_TRUE(
            png.copy(0, strip, png.width(), image().height()).convertToFormat(image().format()) ==
            image());
    }
}

// Lines one pixel of the image wide (two for a pen of two) at every zoom and
// device pixel ratio, the image as large as the widget on that screen.
TEST(ZoomedBoardTest, LinesStayOneImagePixelWide) {
    const std::pair<int, double> cases[] = {{100, 1}, {200, 1}, {300, 1}, {100, 2}, {150, 2}};
    for (const auto& [percent, dpr] : cases) {
        SCOPED_TRACE(std::to_string(percent) + "% at device pixel ratio " + std::to_string(dpr));
        platform::qt::set_zoom(percent / 100.0);
        QtBoard b(10800, 5415);
        b.set_device_pixel_ratio(dpr);
        b.fill_rect(0, 0, 10799, 5414, 0xFF0000);
        b.line(1000, 3000, 9000, 3000, 0x00FFFF);
        b.set_pen_width(2);
        b.line(1000, 4000, 9000, 4000, 0x0000FF);
        EXPECT_EQ(b.width(), platform::qt::board_px(10799) + 1);
        EXPECT_EQ(b.image().size(), b.size() * dpr);
        const int x = b.image_pixel(5000, 0).x();
        int yellow = 0, red = 0;
        for (int y = 0; y < b.image().height(); ++y) {
            yellow += b.image().pixelColor(x, y) == kYellow;
            red += b.image().pixelColor(x, y) == kRed;
        }
        EXPECT_EQ(yellow, 1);
        EXPECT_EQ(red, 2);
    }
    platform::qt::set_zoom(1.0);
}

}  // namespace
}  // namespace vorsel::e2e
