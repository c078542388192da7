// The File menu: "&Open" puts the panel back and runs the start-up again,
// chooser included; "&Exit" ends the program.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "tests/fakes/fake_platform.h"
#include "plot/frmVorselPlot.h"
#include "plot/layout.h"

namespace {

namespace fs = std::filesystem;
using vorsel::fakes::FakeChooserView;
using vorsel::fakes::FakePlatform;
using vorsel::plot::frmVorselPlot;
namespace but = vorsel::plot::but;
using Lines = std::vector<std::string>;

// A data file of five reflections with 13 fields each, CR LF line ends.
std::string small_data_file() {
    std::string s = "    13\r\n";
    const char* lines[] = {
        "       1.0    34.831    35.760    0.3384      5.00    2.6507   354.088     9.902    62.253   0.00327   1.24524   0.99200 0.0001948",
        "       2.0    54.721    54.050    0.4782      5.00    5.3070   282.614     3.792   -18.272   0.00101   1.18689   0.98419 0.0000386",
        "       3.0    34.074    34.040    0.2511      5.00    7.9749   298.467    14.011   -18.951   0.00230   1.18790   0.99885 0.0002362",
        "       4.0    11.817    12.030    0.0922      5.00   10.6603   322.832     8.492   -24.224   0.01708   1.20916   0.98202 0.0078488",
        "       5.0     6.859     6.190    0.0612      5.00   13.3696   322.832     8.492   -24.224   0.01708   1.20916   0.98202 0.0078488",
    };
    for (const char* l : lines) s += std::string(l) + "\r\n";
    return s;
}

struct FileMenu : ::testing::Test {
    FakePlatform fp;
    frmVorselPlot f{fp.plot_platform()};
    fs::path dir;
    std::string path;
    int chooser_runs = 0;

    void SetUp() override {
        dir = fs::temp_directory_path() /
              ("vorsel_filemenu_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
               "_" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(dir);
        path = (dir / "t.vorsel").string();
        const std::string content = small_data_file();
        std::ofstream(path, std::ios::binary) << content;
        fp.files.files[path] = content;
        // The location remembered from the last run: the chooser opens on it.
        const std::string key = std::string(vorsel::plot::kSettingsApp) + "/" +
                                vorsel::plot::kSettingsSection + "/";
        fp.settings.values[key + "Recent Compound Code"] = "t";
        fp.settings.values[key + "Recent Drive"] = "/";
        fp.settings.values[key + "Recent Directory"] = dir.string();
        fp.settings.values[key + "Recent File"] = "t.vorsel";
        fp.settings.values[key + "Recent Location"] = path;

        // A plot of the previous file with "fit to frame", "sqrt(y)" and
        // "add smoothed" on, "Fo" against "vs. theta".
        f.nxpix = 10800, f.nypix = 5415, f.ibackgr = 0xFF0000;
        f.makebutton(-but::VsTheta);
        f.makebutton(-but::Fo);
        f.ibx = but::VsTheta, f.iby = but::Fo;
        f.makebutton(-but::Fit);
        for (int k : but::ViewButtons) fp.buttons.set_enabled(k, false);
        f.makebutton(-but::Sqrt);
        f.makebutton(-but::Smooth);
        f.fitall = f.sqrooted = f.smoothed = f.active = true;
        f.nstep = 0, f.siglim = 5.0f, f.clipp = 3.0f, f.clipm = -3.0f;
        fp.log.clear();
    }
    void TearDown() override {
        std::error_code ec;
        fs::remove_all(dir, ec);
    }

    // The user's answer in the chooser: OK on the remembered file the first
    // time (Abort should it open again), or Abort.
    void user_picks_the_file() {
        fp.chooser.setup = [this](FakeChooserView& v) {
            v.user = [this](FakeChooserView& view) {
                if (chooser_runs++ == 0) {
                    view.click_file("t.vorsel");
                    view.ok();
                } else {
                    view.abort();
                }
            };
        };
    }
    void user_aborts() {
        fp.chooser.setup = [this](FakeChooserView& v) {
            v.user = [this](FakeChooserView& view) {
                ++chooser_runs;
                view.abort();
            };
        };
    }

    long at(const std::string& prefix) const {
        for (std::size_t i = 0; i < fp.log.size(); ++i)
            if (fp.log[i].rfind(prefix, 0) == 0) return static_cast<long>(i);
        return -1;
    }
};

TEST_F(FileMenu, OpenPutsThePanelBackBeforeTheChooserOpens) {
    user_aborts();
    f.mnuOpen_Click();

    // The menu's own steps come first; the start-up with its chooser follows.
    ASSERT_NE(at("chooser.show"), -1) << "the start-up did not run again";
    Lines want;
    for (int k : but::ViewButtons) want.push_back("but" + std::to_string(k) + ".enabled 1");
    want.insert(want.end(),
                {"but29.face 8000000F", "but29.caption [sc frame]",
                 "but29.tooltip [Scale each frame individually in the y-direction]",
                 "but31.face 8000000F", "but31.caption [fit to frame]",
                 "but31.tooltip [Fit the whole plot to a single frame]",
                 "but32.face 8000000F", "but32.caption [x high -> low]",
                 "but32.tooltip [Plot the x-values from high to low]",
                 "but33.face 8000000F", "but33.caption [sqrt(y)]",
                 "but33.tooltip [Plot square root values for y]",
                 "but34.face 8000000F", "but34.caption [add smoothed]",
                 "but34.tooltip [Add a smoothed curve to the plot]",
                 "txtStepSize [     -1]", "txtPosClip [  10000]", "txtNegClip [ -10000]",
                 "txtSigLim [      3]", "frame.font 10 1",
                 "frame.caption [VORSELPLOT: Systematic Error Curves]",
                 "rect 0 0 10799 5414 FF0000 w1",
                 "but1.face 8000000F", "but13.enabled 1", "but13.visible 1",
                 "but15.face 80000016"});
    ASSERT_GT(fp.log.size(), want.size());
    for (std::size_t i = 0; i < want.size(); ++i) EXPECT_EQ(fp.log[i], want[i]) << i;
    EXPECT_LT(want.size(), static_cast<std::size_t>(at("chooser.show")));

    for (int k = 1; k <= 22; ++k) EXPECT_NE(f.ibstate[static_cast<std::size_t>(k)], -1) << k;
    for (int k : but::ViewButtons) EXPECT_TRUE(fp.buttons.state[k].enabled) << k;
    EXPECT_FALSE(f.fitall);
    EXPECT_FALSE(f.sqrooted);
    EXPECT_FALSE(f.smoothed);
}

TEST_F(FileMenu, OpenFollowedByAbortEndsTheProgram) {
    user_aborts();
    f.mnuOpen_Click();
    EXPECT_EQ(chooser_runs, 1);
    EXPECT_EQ(fp.program.ends, 1);
    EXPECT_TRUE(f.ended());
}

TEST_F(FileMenu, OpenTheSameFileStartsEmpty) {
    user_picks_the_file();
    f.mnuOpen_Click();
    ASSERT_EQ(fp.program.ends, 0) << "the file was not taken";
    EXPECT_EQ(chooser_runs, 1);
    EXPECT_EQ(f.npoint, 5);
    EXPECT_EQ(f.ibx, 0);
    EXPECT_EQ(f.iby, 0);
    EXPECT_FALSE(f.active);
    EXPECT_EQ(f.nstep, -1);
    EXPECT_EQ(f.siglim, 3.0f);
    EXPECT_EQ(fp.frame.caption,
              "VORSELPLOT: Systematic Error Curves for t          input data file: " + path);
    EXPECT_EQ(fp.buttons.state[33].caption, "sqrt(y)");
    // The panel works on the new file: both quantities chosen again draw it.
    f.cmdBut_Click(but::VsTheta);
    f.cmdBut_Click(but::dF_sFo);
    EXPECT_EQ(f.ibx, 15);
    EXPECT_EQ(f.iby, 4);
}

// Another file of the same size and shape, read into arrays of the same size:
// the curve is built from its data, never taken from what was kept for the
// file before.
TEST_F(FileMenu, OpenAnotherFileOfTheSameShapeBuildsItsOwnCurve) {
    // The same reflections with Fo and Fc swapped: every dF / s(Fo) changes.
    std::string other = small_data_file();
    for (std::size_t line = other.find('\n') + 1; line < other.size();
         line = other.find('\n', line) + 1) {
        const std::string fo = other.substr(line + 10, 10), fc = other.substr(line + 20, 10);
        other.replace(line + 10, 10, fc);
        other.replace(line + 20, 10, fo);
    }
    const std::string other_path = (dir / "u.vorsel").string();
    std::ofstream(other_path, std::ios::binary) << other;
    fp.files.files[other_path] = other;

    for (const std::string name : {"t.vorsel", "u.vorsel"}) {
        SCOPED_TRACE(name);
        fp.chooser.setup = [&](FakeChooserView& v) {
            v.user = [&](FakeChooserView& view) {
                view.click_file(name);
                view.ok();
            };
        };
        f.mnuOpen_Click();
        ASSERT_EQ(f.loc.strFile, name);
        f.cmdBut_Click(but::VsTheta);
        f.cmdBut_Click(but::dF_sFo);
        // Theta rises with the line number in both files.
        ASSERT_EQ(f.npcur, 5);
        for (std::int32_t k = 1; k <= 5; ++k) {
            const double fo = f.datv(2, k), fc = f.datv(3, k), sfo = f.datv(4, k);
            EXPECT_EQ(f.ycur(k), static_cast<float>((fo - fc) / sfo)) << k;
        }
    }
    EXPECT_GT(f.ycur(1), 0.0f) << "still the curve of the first file";
}

TEST_F(FileMenu, ExitEndsTheProgramAtOnce) {
    f.mnuExit_Click();
    EXPECT_EQ(fp.program.ends, 1);
    EXPECT_EQ(fp.log, (Lines{"program.end"}));
}

}  // namespace
