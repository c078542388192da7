// The first error curve on the board and a user's sequence of commands, on the
// real program: read-outs after every click, pixels of the board probed.
#include <QApplication>
#include <QDir>
#include <cstdio>

#include "e2e_support.h"
#include "platform/qt/units.h"

namespace vorsel::e2e {
namespace {

namespace but = vorsel::plot::but;

using platform::ReadOut;

// The usual text of a theta of the generated file (two decimals at most).
std::string theta_text(double t) {
    char b[32];
    std::snprintf(b, sizeof b, "%.2f", t);
    std::string s = b;
    while (s.back() == '0') s.pop_back();
    if (s.back() == '.') s.pop_back();
    return s;
}

class CommandsTest : public ProgramTest {
protected:
    // Starts on the generated file of 1000 points (900 above the start limit)
    // and plots dF / s(Fo) against theta.
    void start_with_curve() {
        path_ = write_file("gen.vorsel", generated_data(1000));
        choose(path_);
        start_program();
        ASSERT_FALSE(program().ended());
        click(but::VsTheta);  // "vs. theta"
        click(but::dF_sFo);   // "dF / s(Fo)"
    }

    // nf, nl and the first and last x in view, as the read-outs show them.
    void expect_window(int nf, int nl) {
        EXPECT_EQ(readout(ReadOut::FirstPoint), seven(std::to_string(nf)));
        EXPECT_EQ(readout(ReadOut::LastPoint), seven(std::to_string(nl)));
        EXPECT_EQ(readout(ReadOut::PlottedPoints), seven(std::to_string(nl - nf + 1)));
        EXPECT_EQ(readout(ReadOut::FirstValue), seven(theta_text(selected_theta(nf))));
        EXPECT_EQ(readout(ReadOut::LastValue), seven(theta_text(selected_theta(nl))));
    }

    // A plot is on the board: blue background, the axis bar, the curve right
    // of the axis only.
    void expect_plot() {
        EXPECT_GT(share(0, 0, 10799, 5414, kBlue), 0.5);
        EXPECT_EQ(share(800, 0, 809, 5414, icross()), 1.0) << "axis bar at x = 800..809";
        EXPECT_GT(count(810, 0, 10799, 5414, kYellow), 100) << "no curve";
        const int left = leftmost(kYellow);
        EXPECT_GE(left, 810) << "curve pixels left of the first point";
    }

    std::string path_;
};

TEST_F(CommandsTest, ThetaAndDfOverSigmaDrawTheErrorCurve) {
    start_with_curve();
    EXPECT_TRUE(messages_.empty());
    EXPECT_EQ(readout(ReadOut::UsedPoints), "    900");
    EXPECT_EQ(readout(ReadOut::StepSize), "     20");  // 9999 / 900 = 11, raised to 20
    expect_window(1, 499);                               // 9999 div 20 = 499 points in view
    expect_plot();

    // The zero band: 10 twips high, its lower edge on the zero row, which lies
    // Min Clip Value twips above the bottom edge.
    const int r0 = 5415 + std::stoi(readout(ReadOut::MinClipValue));
    ASSERT_GT(r0, 100);
    ASSERT_LT(r0, 5415);
    EXPECT_GT(share(810, r0 - 5, 10799, r0 - 5, icross()), 0.5) << "zero band at row " << r0;
    EXPECT_LT(share(810, r0 - 60, 10799, r0 - 60, icross()), 0.05) << "band too high";
    // Labels stand left of the axis bar, in the margin.
    EXPECT_GT(count(80, 0, 780, 5414, kBlue), 0);
    EXPECT_LT(share(80, 0, 780, 5414, kBlue), 1.0) << "no grid labels";

    // "vs. theta" and "dF / s(Fo)" are down, in the shadow colour.
    const QColor down = platform::qt::to_qcolor(platform::kSysButtonShadow);
    EXPECT_EQ(program().window().button(15)->palette().color(QPalette::Button), down);
    EXPECT_EQ(program().window().button(4)->palette().color(QPalette::Button), down);

    // "Fo" as y hides and disables its partner "vs. Fo".
    click(but::Fo);
    EXPECT_TRUE(program().window().button(13)->isHidden());
    EXPECT_FALSE(program().window().button(13)->isEnabled());
    EXPECT_EQ(program().window().button(4)->palette().color(QPalette::Button),
              platform::qt::to_qcolor(platform::kSysButtonFace));
    expect_plot();
}

TEST_F(CommandsTest, ScriptedSequenceOfCommands) {
    start_with_curve();
    struct Step {
        int index;
        const char* name;
        int nf, nl;
        const char* step;
    };
    // nummax = 499 at a step of 20, 357 at 28, 588 at 17; 900 points in the curve.
    const Step steps[] = {
        {25, ">", 166, 664, "     20"},         {253, ">>  >", 402, 900, "     20"},
        {272, "<<", 154, 652, "     20"},        {27, "<", 1, 499, "     20"},
        {262, "--> ||", 402, 900, "     20"},    {26, "||<--", 1, 499, "     20"},
        {282, " >> step", 1, 357, "     28"},    {252, ">>", 178, 534, "     28"},
        {28, " << step", 1, 588, "     17"},
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(s.name);
        click(s.index);
        EXPECT_EQ(readout(ReadOut::StepSize), s.step);
        expect_window(s.nf, s.nl);
        expect_plot();
    }

    // Fit to frame: every point on the board, the view buttons disabled.
    click(but::Fit);
    EXPECT_EQ(caption(31), "use step");
    EXPECT_EQ(readout(ReadOut::StepSize), "      0");
    expect_window(1, 900);
    EXPECT_FALSE(program().window().button(25)->isEnabled());
    EXPECT_FALSE(program().window().button(282)->isEnabled());
    expect_plot();
    EXPECT_GT(count(10000, 0, 10799, 5414, kYellow), 0) << "the last points reach the right";

    // And back: the step from before.
    click(but::Fit);
    EXPECT_EQ(caption(31), "fit to frame");
    EXPECT_EQ(readout(ReadOut::StepSize), "     17");
    expect_window(1, 588);
    EXPECT_TRUE(program().window().button(25)->isEnabled());

    // The limit on Fo/s(Fo): all 1000 points, then the observed 900 again.
    click(but::AllRefl);
    EXPECT_EQ(readout(ReadOut::SigLim), "      0");
    EXPECT_EQ(readout(ReadOut::UsedPoints), "   1000");
    EXPECT_EQ(readout(ReadOut::LastPoint), "    588");
    expect_plot();
    click(but::ObsRefl);
    EXPECT_EQ(readout(ReadOut::SigLim), "      3");
    EXPECT_EQ(readout(ReadOut::UsedPoints), "    900");
    click(but::SlimUp);
    EXPECT_EQ(readout(ReadOut::SigLim), "      4");
    EXPECT_EQ(readout(ReadOut::UsedPoints), "    900");
    click(but::SlimDown);
    EXPECT_EQ(readout(ReadOut::SigLim), "      3");

    // The smoothed overlay in red, over the curve.
    click(but::Smooth);
    EXPECT_EQ(caption(34), "remove smoothed");
    EXPECT_GT(count(810, 0, 10799, 5414, kRed), 100);
    click(but::Smooth);
    EXPECT_EQ(caption(34), "add smoothed");
    EXPECT_EQ(count(810, 0, 10799, 5414, kRed), 0);

    click(but::Sqrt);
    EXPECT_EQ(caption(33), "linear(y)");
    expect_plot();
    click(but::Scale);
    EXPECT_EQ(caption(29), "sc overall");
    expect_plot();

    // x from high to low: the largest theta first.
    click(but::Reverse);
    EXPECT_EQ(caption(32), "x low -> high");
    EXPECT_EQ(readout(ReadOut::FirstValue), "  54.95");
    expect_plot();

    // Reset view: switches up, limits back, the step chosen afresh.
    click(but::ResetView);
    for (int i : {29, 31, 32, 33, 34}) {
        SCOPED_TRACE(i);
        EXPECT_EQ(program().window().button(i)->palette().color(QPalette::Button),
                  platform::qt::to_qcolor(platform::kSysButtonFace));
    }
    EXPECT_EQ(caption(32), "x high -> low");
    EXPECT_EQ(caption(33), "sqrt(y)");
    EXPECT_EQ(caption(29), "sc frame");
    EXPECT_EQ(readout(ReadOut::SigLim), "      3");
    EXPECT_EQ(readout(ReadOut::PosClip), "  10000");
    EXPECT_EQ(readout(ReadOut::NegClip), " -10000");
    EXPECT_EQ(readout(ReadOut::StepSize), "     20");
    expect_window(1, 499);
    expect_plot();

    click(but::Exit);
    EXPECT_TRUE(program().ended());
    EXPECT_TRUE(messages_.empty());
}

TEST_F(CommandsTest, FileOpenWithTheSameFileStartsEmpty) {
    start_with_curve();
    click(but::Fit);  // fit to frame
    click(but::Smooth);  // add smoothed
    choose(path_);
    program().window().open_action()->trigger();
    ASSERT_FALSE(program().ended());
    EXPECT_EQ(unexpected_choosers_, 0);
    EXPECT_EQ(count(0, 0, 10799, 5414, kBlue), program().window().board().image().width() *
                                                    program().window().board().image().height());
    EXPECT_EQ(readout(ReadOut::TotalPoints), "   1000");
    EXPECT_EQ(readout(ReadOut::PlottedPoints), "      0");
    EXPECT_EQ(readout(ReadOut::StepSize), "     -1");
    EXPECT_EQ(caption(31), "fit to frame");
    EXPECT_EQ(caption(34), "add smoothed");
    EXPECT_TRUE(program().window().button(25)->isEnabled());
    for (int i : {4, 15}) {
        SCOPED_TRACE(i);
        EXPECT_NE(program().window().button(i)->palette().color(QPalette::Button),
                  platform::qt::to_qcolor(platform::kSysButtonShadow));
    }
    EXPECT_EQ(program().window().frame_box()->title().toStdString(),
              "VORSELPLOT: Systematic Error Curves for gen          input data file: " + path_);
    // A new curve needs both quantities again.
    click(but::dF_sFo);
    EXPECT_EQ(count(0, 0, 10799, 5414, kYellow), 0);
    click(but::VsTheta);
    expect_plot();
}

// Another file opened, and the program ended, while the worker sorts a large
// file ahead of the clicks: the new file plots as if it were the first.
TEST_F(CommandsTest, AnotherFileOrTheEndWhileTheOrdersAreMade) {
    const std::string big =
        write_file("big.vorsel", generated_data(plot::frmVorselPlot::kOrdersAheadFrom + 1000));
    start_program(big);
    choose(write_file("gen.vorsel", generated_data(1000)));
    program().window().open_action()->trigger();
    click(but::VsTheta);
    click(but::dF_sFo);
    EXPECT_EQ(readout(ReadOut::UsedPoints), "    900");
    EXPECT_EQ(readout(ReadOut::LastValue), seven(theta_text(selected_theta(499))));
    start_program(big);
    program().window().close();
    stop_program();
    EXPECT_EQ(unexpected_choosers_, 0);
}

// The window closed, and another file opened, while the worker is still
// reading a large file at start-up (held there until the test has acted):
// the program ends, or goes on with the new file as if it were the first.
TEST_F(CommandsTest, TheEndOrAnotherFileWhileTheStartUpReadRuns) {
    const std::string big =
        write_file("big.vorsel", generated_data(plot::frmVorselPlot::kOrdersAheadFrom + 1000));
    const std::string small = write_file("gen.vorsel", generated_data(1000));
    for (const bool open : {false, true}) {
        SCOPED_TRACE(open ? "File, Open" : "window closed");
        before_start_ = [&](app::VorselProgram& p) {
            while_work_held(p.platform_program(), [&] {
                if (!open) return void(p.window().close());
                choose(small);
                p.window().open_action()->trigger();
            });
        };
        start_program(big);
        QApplication::processEvents();
        if (!open) {
            EXPECT_TRUE(program().ended());
            continue;
        }
        ASSERT_FALSE(program().ended());
        EXPECT_EQ(program().form().loc.strLocation, small);
        click(but::VsTheta);
        click(but::dF_sFo);
        EXPECT_EQ(readout(ReadOut::UsedPoints), "    900");
        EXPECT_EQ(readout(ReadOut::LastValue), seven(theta_text(selected_theta(499))));
        stop_program();
    }
    EXPECT_EQ(unexpected_choosers_, 0);
}

TEST_F(CommandsTest, AbortAfterFileOpenEndsTheProgram) {
    start_with_curve();
    abort_chooser();
    program().window().open_action()->trigger();
    EXPECT_TRUE(program().ended());
}

TEST_F(CommandsTest, RealDataFileWalksThroughTheCurve) {
    const std::string real = std::string(VORSEL_REAL_DATA) + "/P-1.vorsel";
    if (!QFileInfo::exists(QString::fromStdString(real))) GTEST_SKIP() << "no " << real;
    choose(real);
    start_program();
    ASSERT_FALSE(program().ended());
    EXPECT_TRUE(messages_.empty());
    EXPECT_EQ(readout(ReadOut::TotalPoints), "   3174");
    click(but::VsTheta);
    click(but::dF_sFo);
    const int npcur = std::stoi(readout(ReadOut::UsedPoints));
    ASSERT_GT(npcur, 499);
    expect_plot();
    // Walk to the end by full shifts; the window never runs past the last point.
    for (int i = 0; i < 20 && std::stoi(readout(ReadOut::LastPoint)) < npcur; ++i) {
        click(but::RightWhole);
        expect_plot();
    }
    EXPECT_EQ(readout(ReadOut::LastPoint), seven(std::to_string(npcur)));
    EXPECT_EQ(readout(ReadOut::FirstPoint), seven(std::to_string(npcur - 499 + 1)));
    click(but::Fit);
    EXPECT_EQ(readout(ReadOut::PlottedPoints), seven(std::to_string(npcur)));
    expect_plot();
}

}  // namespace
}  // namespace vorsel::e2e
