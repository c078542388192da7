// Pictures of the real windows for a person to look at: runs only when
// VORSEL_SCREENSHOT_DIR names a folder and a real X display (for example
// Xvfb) is in use; each picture is the whole screen. The last ones show the
// window at 200%; under QT_SCALE_FACTOR=2 every name starts with "dpr2_".
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QScreen>
#include <QTest>
#include <cmath>

#include "e2e_support.h"

namespace vorsel::e2e {
namespace {

namespace but = vorsel::plot::but;

class ScreenshotTest : public ProgramTest {
protected:
    void snap(const char* name) {
        QTest::qWait(400);
        const QString prefix = qGuiApp->devicePixelRatio() == 2 ? "dpr2_" : "";
        const QString file = QDir(qEnvironmentVariable("VORSEL_SCREENSHOT_DIR"))
                                 .filePath(prefix + QString::fromUtf8(name) + ".png");
        EXPECT_TRUE(QGuiApplication::primaryScreen()->grabWindow(0).save(file)) << name;
    }
};

TEST_F(ScreenshotTest, WindowsOnARealDataFile) {
    if (qEnvironmentVariableIsEmpty("VORSEL_SCREENSHOT_DIR") ||
        qEnvironmentVariable("QT_QPA_PLATFORM") != "xcb")
        GTEST_SKIP() << "set VORSEL_SCREENSHOT_DIR and QT_QPA_PLATFORM=xcb under Xvfb";
    const std::string real = std::string(VORSEL_REAL_DATA) + "/P-1.vorsel";
    if (!QFileInfo::exists(QString::fromStdString(real))) GTEST_SKIP() << "no " << real;
    in_chooser([&](ChooserDialog& d) {
        const QFileInfo f(QString::fromStdString(real));
        d.open_directory(f.absolutePath());
        click_file(d, f.fileName());
        snap("chooser");
        ok_button(d)->click();
    });
    start_program();
    ASSERT_FALSE(program().ended());
    program().window().move(0, 0);
    snap("start");
    click(but::VsTheta);
    click(but::dF_sFo);
    snap("curve");
    click(but::Smooth);
    click(but::Scale);
    snap("smoothed");
    click(but::Fit);
    snap("fit");
    // The highest spike of the view named and marked, fit to frame and at a step.
    for (const char* name : {"fit_point", "step_point"}) {
        auto& f = program().form();
        std::int32_t spike = f.nf;
        for (std::int32_t i = f.nf; i <= f.nl; ++i)
            if (std::fabs(f.ycur(i)) > std::fabs(f.ycur(spike))) spike = i;
        const int x = f.drawn_x(spike), y = f.drawn_y(spike);
        f.pctPlot_MouseDown({x, x, y, y});
        f.pctPlot_MouseMove({x, x, y, y});
        snap(name);
        click(but::Fit);
    }
    // Twice the design size, at a step and fit to frame, a point marked.
    program().window().set_zoom_percent(200);
    for (const char* name : {"zoom200_step", "zoom200_fit"}) {
        click(but::Fit);
        auto& f = program().form();
        const int x = f.drawn_x(f.nf + 99), y = f.drawn_y(f.nf + 99);
        f.pctPlot_MouseDown({x, x, y, y});  // the Reflection panel beside the window
        snap(name);
    }
}

// A newcomer's first run: a fresh settings store, the program started in a
// folder of data files; the chooser lists them, a click and OK read one.
TEST_F(ScreenshotTest, FirstRunFromADataFolder) {
    if (qEnvironmentVariableIsEmpty("VORSEL_SCREENSHOT_DIR") ||
        qEnvironmentVariable("QT_QPA_PLATFORM") != "xcb")
        GTEST_SKIP() << "set VORSEL_SCREENSHOT_DIR and QT_QPA_PLATFORM=xcb under Xvfb";
    write_file("synthetic-2000.vorsel", generated_data(2000));
    write_file("P-2.vorsel", generated_data(300));
    const QString home = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(data_dir_.path()));
    in_chooser([&](ChooserDialog& d) {
        snap("first_run_chooser");
        click_file(d, "synthetic-2000.vorsel");
        snap("first_run_clicked");
        ok_button(d)->click();
    });
    start_program();
    QDir::setCurrent(home);
    ASSERT_FALSE(program().ended());
    program().window().move(0, 0);
    snap("first_run_read");
}

}  // namespace
}  // namespace vorsel::e2e
