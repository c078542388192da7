// The Analysis menu in the real window: the statistics window follows the x
// quantity clicked and the limit, a click on a worst reflection marks it on
// the curve, and the normal probability plot opens beside it.
#include <QLabel>
#include <QTableWidget>

#include "e2e_support.h"

namespace vorsel::e2e {
namespace {

namespace but = vorsel::plot::but;

TEST_F(ProgramTest, AnalysisWindowsFollowTheClicks) {
    app::VorselProgram& p = start_program(write_file("gen.vorsel", generated_data(1000)));
    ASSERT_FALSE(p.ended());
    click(but::VsTheta);
    click(but::dF_sFo);
    click(but::Fit);
    p.window().statistics_action()->trigger();
    platform::qt::StatisticsWindow* w = p.analysis().statistics_window();
    ASSERT_TRUE(w && w->isVisible());
    EXPECT_EQ(w->bins_table()->rowCount(), 10);
    EXPECT_EQ(w->line()->text().left(16), QStringLiteral("vs. theta: χ²/ν "));
    // The line under the plot window names the same test while the window is open.
    const auto trend_note = [&] {
        const QLabel* note = p.window().trend_note();
        return note && note->isVisible() ? note->text() : QString();
    };
    EXPECT_EQ(trend_note(), w->line()->text());
    // 900 of the 1000 reflections pass the limit 3; all 1000 pass 0.
    const auto agreement_n = [&] {
        return w->findChild<QTableWidget*>("tblAgreement")->item(0, 1)->text();
    };
    EXPECT_EQ(agreement_n(), QStringLiteral("900"));

    click(but::VsXRtime);
    EXPECT_EQ(w->line()->text(),
              QStringLiteral("vs. XRtime: XRtime is 5 in every line: nothing to test"));
    EXPECT_EQ(w->bins_table()->rowCount(), 0);
    EXPECT_EQ(trend_note(), w->line()->text());
    click(but::AllRefl);
    EXPECT_EQ(agreement_n(), QStringLiteral("1000"));

    // The worst reflection is on the board while the whole curve is shown.
    click(but::VsTheta);
    ASSERT_GT(w->worst_table()->rowCount(), 0);
    EXPECT_FALSE(p.window().board_overlay()->mark_shown());
    emit w->worst_table()->cellClicked(0, 0);
    EXPECT_TRUE(p.window().board_overlay()->mark_shown());

    p.window().normal_plot_action()->trigger();
    ASSERT_TRUE(p.analysis().normal_window() && p.analysis().normal_window()->isVisible());
    EXPECT_TRUE(p.analysis().normal_window()->caption()->text().contains("slope"));
    w->close();
    EXPECT_EQ(trend_note(), QString());
}

}  // namespace
}  // namespace vorsel::e2e
