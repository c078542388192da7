// Keys, the wheel and the pointer on the real window: which control's keys
// reach the plot, the keys in the tool tips, the read-out line, the mark over
// the board's picture (not in it) and the data line of the marked point.
#include <QApplication>
#include <QDialog>
#include <QTest>
#include <QWheelEvent>

#include "e2e_support.h"

namespace vorsel::e2e {
namespace {

namespace but = vorsel::plot::but;
using platform::ReadOut;

class InteractionTest : public ProgramTest {
protected:
    // dF / s(Fo) against theta of the generated file: 900 points, 499 in view.
    void start_with_curve() {
        choose(write_file("gen.vorsel", generated_data(1000)));
        start_program();
        ASSERT_FALSE(program().ended());
        click(but::VsTheta);
        click(but::dF_sFo);
    }
    QWidget* overlay() { return program().window().board_overlay(); }
    void key(QWidget* focus, Qt::Key k) {
        focus->setFocus();
        QTest::keyClick(focus, k);
    }
    void wheel(int delta, QPoint at) {
        QWheelEvent e(at, overlay()->mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(overlay(), &e);
    }
    QString point_line() { return program().window().point_line()->text(); }
};

TEST_F(InteractionTest, KeysReachThePlotUnlessTextOrADialogHasThem) {
    start_with_curve();
    auto& window = program().window();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    EXPECT_EQ(window.button(25)->toolTip(), "Shift the viewwindow 1/3 to the right (Right)");
    EXPECT_EQ(window.button(29)->toolTip(), "Scale each frame individually in the y-direction");

    ASSERT_EQ(window.focusWidget(), overlay()) << "the board has the focus at first";
    key(overlay(), Qt::Key_Right);
    EXPECT_EQ(readout(ReadOut::FirstPoint), "    166");
    key(window.readout(ReadOut::TotalPoints), Qt::Key_Right);  // a text box keeps its keys
    EXPECT_EQ(readout(ReadOut::FirstPoint), "    166");
    key(window.button(but::VsTheta), Qt::Key_Right);  // a button does not
    EXPECT_EQ(readout(ReadOut::FirstPoint), "    331");
    key(window.button(but::VsTheta), Qt::Key_F);
    EXPECT_EQ(readout(ReadOut::PlottedPoints), "    900");
    EXPECT_EQ(window.button(but::Fit)->toolTip(), "Use step size to scale in the x-direction (F)");

    // While a modal dialog is up (the chooser, a message box), keys do nothing.
    QDialog dialog(&window);
    dialog.setModal(true);
    dialog.show();
    key(window.button(but::VsTheta), Qt::Key_F);
    EXPECT_EQ(readout(ReadOut::PlottedPoints), "    900");
}

TEST_F(InteractionTest, PointerNamesAndMarksAPointTheWheelMovesOn) {
    start_with_curve();
    const QPoint at = platform::qt::QtBoard::pixel_of(1420, 2700);  // point 31 at a step of 20
    mouse_on_board(QEvent::MouseMove, 1420, 2700);
    // The 31st point in ascending theta: r = 34, the line k with 389 k mod 1000 = 34.
    EXPECT_TRUE(point_line().startsWith(
        "point 31 of 900   reflection 306 (line 306)   theta 6.7   dF / s(Fo) "))
        << point_line().toStdString();

    mouse_on_board(QEvent::MouseButtonPress, 1420, 2700);
    auto* view = program().window().point_view().panel();
    ASSERT_NE(view, nullptr);
    EXPECT_TRUE(view->text().contains("\ntheta           6.7\n")) << view->text().toStdString();
    const QPoint cross = program().window().board_overlay()->mark_pixel();
    EXPECT_EQ(cross.x(), at.x());
    const QImage shown = program().window().board().grab().toImage();
    EXPECT_EQ(shown.pixelColor(cross), QColor(0, 255, 0));
    EXPECT_EQ(shown.pixelColor(cross + QPoint(0, 4)), QColor(0, 255, 0));
    EXPECT_NE(colour_at(program().window().board(), 1420, program().form().drawn_y(31)),
              QColor(0, 255, 0))
        << "the mark is not part of the board's picture";

    wheel(-120, at);  // as ">": the mark goes, the line names the point now under the pointer
    EXPECT_EQ(readout(ReadOut::FirstPoint), "    166");
    EXPECT_FALSE(program().window().board_overlay()->mark_shown());
    EXPECT_TRUE(point_line().startsWith("point 196 of 900   reflection 453 "))
        << point_line().toStdString();
    wheel(120, at);
    EXPECT_EQ(readout(ReadOut::FirstPoint), "      1");
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(overlay(), &leave);
    EXPECT_EQ(point_line(), "");
}

}  // namespace
}  // namespace vorsel::e2e
