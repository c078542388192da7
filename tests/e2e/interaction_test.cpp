// Keys, the wheel and the pointer on the real window: keys reach the plot from
// the board and the buttons, not from a text box nor past a modal dialog, and
// stand in the tool tips; the read-out line, the mark over the board's picture
// (not in it) and the marked point's data line.
#include <QApplication>
#include <QDialog>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QWheelEvent>
#include <QWindow>

#include "e2e_support.h"

namespace vorsel::e2e {
namespace {

namespace but = vorsel::plot::but;
using platform::ReadOut;
using InteractionTest = ProgramTest;
using platform::qt::BoardOverlay;

TEST_F(InteractionTest, KeysWheelAndPointer) {
    choose(write_file("gen.vorsel", generated_data(1000)));
    start_program();
    click(but::VsTheta);
    click(but::dF_sFo);  // 900 points, 499 in view at a step of 20
    auto& window = program().window();
    QWidget* board = window.board_overlay();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    const auto key = [](QWidget* focus, Qt::Key k) {
        focus->setFocus();
        QTest::keyClick(focus, k);
    };
    const auto line = [&] { return window.point_line()->text().toStdString(); };
    const auto mouse = [&](QEvent::Type type, QPoint at) {
        const auto button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
        QMouseEvent e(type, at, board->mapToGlobal(at), button, button, Qt::NoModifier);
        QApplication::sendEvent(board, &e);
    };

    EXPECT_EQ(window.button(25)->toolTip(), "Shift the viewwindow 1/3 to the right (Right)");
    ASSERT_EQ(window.focusWidget(), board) << "the board has the focus at first";
    key(board, Qt::Key_Right);
    key(window.readout(ReadOut::TotalPoints), Qt::Key_Right);  // a text box keeps its keys
    EXPECT_EQ(readout(ReadOut::FirstPoint), "    166");
    key(window.button(but::VsTheta), Qt::Key_Left);  // a button does not
    EXPECT_EQ(readout(ReadOut::FirstPoint), "      1");

    // Point 31 (x = 1420) in ascending theta: r = 34, the line k with 389 k mod 1000 = 34.
    const QPoint at = platform::qt::QtBoard::pixel_of(1420, 2700);
    mouse(QEvent::MouseMove, at);
    EXPECT_TRUE(line().starts_with("point 31 of 900   reflection 306 (line 306)   theta 6.7   "))
        << line();
    mouse(QEvent::MouseButtonPress, at);
    ASSERT_NE(window.point_view().panel(), nullptr);
    EXPECT_TRUE(window.point_view().panel()->text().contains("\ntheta           6.7\n"));
    const QPoint cross = platform::qt::QtBoard::pixel_of(1420, program().form().drawn_y(31));
    const QImage shown = window.board().grab().toImage();
    for (QPoint arm : {QPoint(0, 0), QPoint(0, 4), QPoint(4, 0)})
        EXPECT_EQ(shown.pixelColor(cross + arm), QColor(0, 255, 0));
    EXPECT_NE(window.board().image().pixelColor(cross), QColor(0, 255, 0)) << "not in the picture";

    // A notch toward the user acts as ">": the mark goes, the line names the
    // point now under the pointer.
    QWheelEvent turn(cross, board->mapToGlobal(cross), QPoint(), QPoint(0, -120), Qt::NoButton,
                     Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(board, &turn);
    EXPECT_EQ(readout(ReadOut::FirstPoint), "    166");
    EXPECT_FALSE(window.board_overlay()->mark_shown());
    EXPECT_TRUE(line().starts_with("point 196 of 900   reflection 453 ")) << line();

    key(board, Qt::Key_F);
    EXPECT_EQ(readout(ReadOut::PlottedPoints), "    900");
    EXPECT_EQ(window.button(but::Fit)->toolTip(), "Use step size to scale in the x-direction (F)");
    QDialog dialog(&window);  // a modal dialog up (the chooser, a message box): no keys
    dialog.setModal(true);
    dialog.show();
    key(window.button(but::VsTheta), Qt::Key_F);
    EXPECT_EQ(readout(ReadOut::PlottedPoints), "    900");
}

// Every notch of the wheel acts, through the window as the platform hands
// the wheel to it, with the pointer held still: one notch at a time, a fast
// spin of ten notches that arrive before the first is handled, and a fine
// wheel's half notches. Each ends where as many Right keys end.
TEST_F(InteractionTest, EveryWheelNotchActs) {
    choose(write_file("gen.vorsel", generated_data(10000)));
    start_program();
    click(but::VsTheta);
    click(but::dF_sFo);
    auto& window = program().window();
    QWindow* handle = window.windowHandle();
    ASSERT_NE(handle, nullptr);
    const QPoint at =
        window.board_overlay()->mapTo(&window, platform::qt::QtBoard::pixel_of(3000, 2700));
    const auto turn = [&](int delta, bool queued) {
        auto* e = new QWheelEvent(at, window.mapToGlobal(at), QPoint(), QPoint(0, delta),
                                  Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        if (queued) return QCoreApplication::postEvent(handle, e);
        QCoreApplication::sendEvent(handle, e);
        delete e;
    };
    const struct {
        const char* name;
        std::vector<int> deltas;
        bool queued;
        int notches;  // toward the user
    } cases[] = {{"held still", {-120, -120, -120}, false, 3},
                 {"fast spin", std::vector<int>(10, -120), true, 10},
                 {"half notches", {-60, -60, -60, -60}, false, 2},
                 {"back again", {-120, -120, 120}, false, 1}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QTest::keyClick(window.board_overlay(), Qt::Key_Home);
        std::vector<std::string> seen;
        for (int delta : c.deltas) {
            turn(delta, c.queued);
            if (!c.queued) seen.push_back(readout(ReadOut::FirstPoint));
        }
        QApplication::processEvents();
        const std::string wheel = readout(ReadOut::FirstPoint);
        QTest::keyClick(window.board_overlay(), Qt::Key_Home);
        std::vector<std::string> keyed;
        for (int n = 0; n < c.notches; ++n) {
            QTest::keyClick(window.board_overlay(), Qt::Key_Right);
            keyed.push_back(readout(ReadOut::FirstPoint));
        }
        EXPECT_EQ(wheel, keyed.back());
        if (!c.queued && c.deltas.size() == static_cast<std::size_t>(c.notches)) {
            EXPECT_EQ(seen, keyed) << "one notch, one third of a window";
        }
    }
}

// The Reflection panel opens beside the window, never over the board or the
// buttons, at 100% and 200%: right of the window where the screen has room,
// else below it, else against the screen's far edge. The board keeps the
// keys; Escape and Close put the panel away, and the next click refills the
// same panel.
TEST_F(InteractionTest, ReflectionPanelBesideTheWindow) {
    choose(write_file("gen.vorsel", generated_data(1000)));
    // A screen with room for 200%: the panel's own screen is set below.
    before_start_ = [](app::VorselProgram& p) {
        p.window().screen_room = [] { return QSize(4000, 3000); };
    };
    start_program();
    click(but::VsTheta);
    click(but::dF_sFo);
    auto& window = program().window();
    BoardOverlay* board = window.board_overlay();
    const QPoint at = platform::qt::QtBoard::pixel_of(1420, 2700);
    const auto click_point = [&] {
        QTest::mouseClick(board, Qt::LeftButton, Qt::NoModifier, at);
        QApplication::processEvents();
        return window.point_view().panel();
    };
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    platform::qt::PointPanel* const panel = click_point();
    ASSERT_NE(panel, nullptr);
    const struct {
        int zoom;
        QSize extra;  // the screen beyond the window's frame
        const char* where;
    } cases[] = {{100, {900, 900}, "right"}, {200, {900, 900}, "right"},
                 {100, {100, 900}, "below"}, {200, {100, 900}, "below"},
                 {200, {260, 100}, "right"},  // narrowed to the room
                 {100, {100, 100}, "edge"},  {200, {100, 100}, "edge"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.zoom) + "% " + c.where);
        QTest::keyClick(board, Qt::Key_Escape);
        ASSERT_FALSE(panel->isVisible()) << "Escape on the board";
        window.set_zoom_percent(c.zoom);
        window.move(40, 30);
        QApplication::processEvents();
        ASSERT_EQ(window.zoom_percent(), c.zoom);
        const QRect frame = window.frameGeometry();
        const QRect screen(0, 0, frame.right() + 1 + c.extra.width(),
                           frame.bottom() + 1 + c.extra.height());
        panel->screen_area = [screen] { return screen; };
        ASSERT_EQ(click_point(), panel);
        ASSERT_EQ(click_point(), panel) << "one panel, refilled where it stands";
        ASSERT_TRUE(panel->isVisible());
        const QRect p = panel->frameGeometry();
        EXPECT_TRUE(screen.contains(p)) << p.x() << "," << p.y() << " " << p.width() << "x"
                                        << p.height() << " in " << screen.width() << "x"
                                        << screen.height();
        const auto global = [](const QWidget* w) {
            return QRect(w->mapToGlobal(QPoint()), w->size());
        };
        const std::string where = c.where;
        if (where == "edge") {
            EXPECT_TRUE(p.right() == screen.right() || p.bottom() == screen.bottom());
        } else {
            EXPECT_FALSE(p.intersects(frame));
            EXPECT_GT(where == "right" ? p.left() : p.top(),
                      where == "right" ? frame.right() : frame.bottom());
        }
        // At the edge the panel keeps clear where the room beside the board allows.
        if (where != "edge" || c.extra.width() >= p.width()) {
            EXPECT_FALSE(p.intersects(global(board))) << "over the board";
            for (const auto& [index, b] : window.buttons().all()) {
                if (b->isVisible()) {
                    EXPECT_FALSE(p.intersects(global(b))) << "over button " << index;
                }
            }
        }
        EXPECT_EQ(QApplication::focusWidget(), board) << "the board keeps the keys";
        EXPECT_EQ(QApplication::activeWindow(), &window);
        const std::string first = readout(ReadOut::FirstPoint);
        QTest::keyClick(board, Qt::Key_Right);
        EXPECT_NE(readout(ReadOut::FirstPoint), first);
        QTest::keyClick(board, Qt::Key_Home);
    }
    panel->findChild<QPushButton*>("cmdClose")->click();
    EXPECT_FALSE(panel->isVisible());
    click_point();
    QTest::keyClick(panel->findChild<QPlainTextEdit*>("txtPoint"), Qt::Key_Escape);
    EXPECT_FALSE(panel->isVisible()) << "Escape in the panel";
}

}  // namespace
}  // namespace vorsel::e2e
