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

// Every notch of the wheel acts with the pointer held still, one at a time,
// spun fast (all queued at once) or in half notches, as a Right key does.
TEST_F(InteractionTest, EveryWheelNotchActs) {
    choose(write_file("gen.vorsel", generated_data(10000)));
    start_program();
    click(but::VsTheta);
    click(but::dF_sFo);
    auto& window = program().window();
    QWidget* board = window.board_overlay();
    const QPoint at = board->mapTo(&window, platform::qt::QtBoard::pixel_of(3000, 2700));
    const auto first_after = [&](int notches, int delta, bool spun) {
        QTest::keyClick(board, Qt::Key_Home);
        for (int n = 0; n < notches; ++n) {
            auto* e = new QWheelEvent(at, window.mapToGlobal(at), {}, {0, delta}, Qt::NoButton,
                                      Qt::NoModifier, Qt::NoScrollPhase, false);
            QCoreApplication::postEvent(window.windowHandle(), e);
            if (!spun) QApplication::processEvents();
        }
        QApplication::processEvents();
        return readout(ReadOut::FirstPoint);
    };
    for (int n : {1, 3, 10}) {
        SCOPED_TRACE(n);
        QTest::keyClick(board, Qt::Key_Home);
        for (int k = 0; k < n; ++k) QTest::keyClick(board, Qt::Key_Right);
        const std::string keyed = readout(ReadOut::FirstPoint);
        EXPECT_EQ(first_after(n, -120, false), keyed) << "held still";
        EXPECT_EQ(first_after(n, -120, true), keyed) << "spun";
        EXPECT_EQ(first_after(2 * n, -60, false), keyed) << "half notches";
    }
}

// The Reflection panel opens beside the window, right of it where the screen
// has room (narrowed if need be), else below it, else against the screen's
// far edge, never over the board or the buttons; one panel, refilled. The
// board keeps the keys; Escape and Close put the panel away.
TEST_F(InteractionTest, ReflectionPanelBesideTheWindow) {
    choose(write_file("gen.vorsel", generated_data(1000)));
    before_start_ = [](app::VorselProgram& p) { p.window().screen_room = [] { return QSize(4000, 3000); }; };
    start_program();
    click(but::VsTheta);
    click(but::dF_sFo);
    auto& window = program().window();
    QWidget* board = window.board_overlay();
    const auto click_point = [&] {
        QTest::mouseClick(board, Qt::LeftButton, {}, platform::qt::QtBoard::pixel_of(1420, 2700));
        QApplication::processEvents();
        return window.point_view().panel();
    };
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    platform::qt::PointPanel* const panel = click_point();
    ASSERT_NE(panel, nullptr);
    const struct {
        int zoom, extra_x, extra_y;  // the screen beyond the window's frame
        char where;                  // right, below, edge
    } cases[] = {{100, 900, 900, 'r'}, {200, 900, 900, 'r'}, {100, 100, 900, 'b'},
                 {200, 100, 900, 'b'}, {200, 260, 100, 'r'}, {100, 100, 100, 'e'},
                 {200, 100, 100, 'e'}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.zoom) + "% " + c.where + std::to_string(c.extra_x));
        QTest::keyClick(board, Qt::Key_Escape);
        ASSERT_FALSE(panel->isVisible()) << "Escape on the board";
        window.set_zoom_percent(c.zoom);
        window.move(40, 30);
        QApplication::processEvents();
        ASSERT_EQ(window.zoom_percent(), c.zoom);
        const QRect frame = window.frameGeometry();
        const QRect screen(0, 0, frame.right() + 1 + c.extra_x, frame.bottom() + 1 + c.extra_y);
        panel->screen_area = [screen] { return screen; };
        click_point();
        ASSERT_EQ(click_point(), panel) << "refilled where it stands";
        const QRect p = panel->frameGeometry();
        EXPECT_TRUE(panel->isVisible() && screen.contains(p));
        EXPECT_TRUE(c.where != 'r' || p.left() > frame.right());
        EXPECT_TRUE(c.where != 'b' || p.top() > frame.bottom());
        EXPECT_TRUE(c.where != 'e' || p.right() == screen.right() || p.bottom() == screen.bottom());
        const bool room = c.where != 'e' || c.extra_x >= p.width();
        std::vector<QWidget*> kept_clear{board};
        for (const auto& [index, b] : window.buttons().all())
            if (b->isVisible()) kept_clear.push_back(b);
        for (const QWidget* w : kept_clear)
            EXPECT_FALSE(room && p.intersects(QRect(w->mapToGlobal(QPoint()), w->size())))
                << w->objectName().toStdString();
        EXPECT_EQ(QApplication::focusWidget(), board) << "the board keeps the keys";
        QTest::keyClick(board, Qt::Key_Right);
        EXPECT_EQ(readout(ReadOut::FirstPoint), "    166");
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
