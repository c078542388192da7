// Keys, the wheel and the pointer on the real window: keys reach the plot from
// the board and the buttons, not from a text box nor past a modal dialog, and
// stand in the tool tips; the read-out line, the mark over the board's picture
// (not in it) and the marked point's data line.
#include <QApplication>
#include <QDialog>
#include <QMouseEvent>
#include <QTest>
#include <QWheelEvent>

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

}  // namespace
}  // namespace vorsel::e2e
