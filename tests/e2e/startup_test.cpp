// Start-up of the real program: the chooser, the remembered location, the read-outs,
// the frame caption and the blank board; Abort and the window frame end it.
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>

#include "e2e_support.h"

namespace vorsel::e2e {
namespace {

namespace but = vorsel::plot::but;

using platform::ReadOut;

class StartupTest : public ProgramTest {};

TEST_F(StartupTest, ChosenFileFillsReadOutsCaptionAndBlankBoard) {
    const std::string path = write_file("abc.vorsel", generated_data(120));
    choose(path);
    app::VorselProgram& p = start_program();
    ASSERT_FALSE(p.ended());
    EXPECT_TRUE(messages_.empty()) << messages_.front().title << ": " << messages_.front().text;
    EXPECT_EQ(unexpected_choosers_, 0);
    EXPECT_TRUE(p.window().isVisible());

    struct Row {
        ReadOut box;
        const char* text;
    };
    const Row rows[] = {
        {ReadOut::TotalPoints, "    120"}, {ReadOut::UsedPoints, "    120"},
        {ReadOut::PlottedPoints, "      0"}, {ReadOut::StepSize, "     -1"},
        {ReadOut::PosClip, "  10000"},     {ReadOut::NegClip, " -10000"},
        {ReadOut::SigLim, "      3"},      {ReadOut::MaxValue, "      0"},
        {ReadOut::MinValue, "      0"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(static_cast<int>(r.box));
        EXPECT_EQ(readout(r.box), r.text);
    }

    EXPECT_EQ(p.window().frame_box()->title().toStdString(),
              "VORSELPLOT: Systematic Error Curves for abc          input data file: " + path);
    EXPECT_EQ(p.window().windowTitle().toStdString(), "VORSELPLOT");

    const QImage& board = p.window().board().image();
    int not_blue = 0;
    for (int y = 0; y < board.height(); ++y)
        for (int x = 0; x < board.width(); ++x)
            if (board.pixelColor(x, y) != kBlue) ++not_blue;
    EXPECT_EQ(not_blue, 0) << "the blank board shows something besides its background";

    // The accepted choice is remembered in native form: the root as drive,
    // the folder without closing separator.
    const std::string dir = data_dir_.path().toStdString();
    EXPECT_EQ(setting("Recent Compound Code"), "abc");
    EXPECT_EQ(setting("Recent Drive"), "/");
    EXPECT_EQ(setting("Recent Directory"), dir);
    EXPECT_EQ(setting("Recent File"), "abc.vorsel");
    EXPECT_EQ(setting("Recent Location"), path);
}

TEST_F(StartupTest, RestartOpensTheRememberedLocation) {
    const std::string path = write_file("abc.vorsel", generated_data(50));
    choose(path);
    start_program();
    ASSERT_FALSE(program().ended());
    stop_program();

    std::string opened, files, drive;
    in_chooser([&](ChooserDialog& d) {
        opened = d.dir_path();
        drive = d.drive_selected();
        files = file_list(d)->count() > 0 ? file_list(d)->item(0)->text().toStdString() : "";
        abort_button(d)->click();
    });
    start_program();
    EXPECT_EQ(opened, data_dir_.path().toStdString());
    EXPECT_EQ(drive, "/");
    EXPECT_EQ(files, "abc.vorsel");
    EXPECT_TRUE(program().ended());
    // The abandoned choice changed nothing that was remembered.
    EXPECT_EQ(setting("Recent Location"), path);
}

TEST_F(StartupTest, AbortEndsTheProgramBeforeTheEventLoop) {
    abort_chooser();
    app::VorselProgram& p = start_program();
    EXPECT_TRUE(p.ended());
    EXPECT_FALSE(p.window().isVisible());
    EXPECT_EQ(p.exec(), 0);  // returns at once: the loop never starts
    EXPECT_EQ(setting("Recent Compound Code"), "<missing>");
}

TEST_F(StartupTest, ClosingTheChooserByItsFrameEndsTheProgramLikeAbort) {
    in_chooser([](ChooserDialog& d) { d.reject(); });
    app::VorselProgram& p = start_program();
    EXPECT_TRUE(p.ended());
    EXPECT_EQ(setting("Recent Compound Code"), "<missing>");
}

TEST_F(StartupTest, FirstRunOpensTheWorkingDirectoryWithNothingChosen) {
    std::string opened, location, code;
    bool ok = true;
    in_chooser([&](ChooserDialog& d) {
        opened = d.dir_path();
        location = location_text(d).toStdString();
        code = code_text(d).toStdString();
        ok = ok_button(d)->isEnabled();
        abort_button(d)->click();
    });
    start_program();
    EXPECT_EQ(opened, QDir::currentPath().toStdString());
    EXPECT_EQ(location, "");
    EXPECT_EQ(code, "");
    EXPECT_FALSE(ok);
}

TEST_F(StartupTest, UnreadableFileIsReportedAndTheChooserOpensAgain) {
    // A header without a number: the user is told, names the file, and may
    // choose again; Abort then ends the program.
    const std::string path = write_file("bad.vorsel", "  none\r\n");
    choose(path);
    abort_chooser();
    start_program();
    ASSERT_FALSE(messages_.empty());
    EXPECT_NE(messages_.front().text.find("bad.vorsel"), std::string::npos)
        << messages_.front().text;
    EXPECT_TRUE(program().ended());
    EXPECT_EQ(unexpected_choosers_, 0);
}

TEST_F(StartupTest, FileGoneBeforeOkAsksRetryOrCancelAndCancelEnds) {
    const std::string path = write_file("gone.vorsel", generated_data(10));
    in_chooser([path](ChooserDialog& d) {
        const QFileInfo f(QString::fromStdString(path));
        d.open_directory(f.absolutePath());
        ASSERT_TRUE(click_file(d, f.fileName()));
        QFile::remove(f.absoluteFilePath());
        ok_button(d)->click();  // the message box is answered with Cancel
    });
    start_program();
    ASSERT_EQ(messages_.size(), 1u);
    EXPECT_EQ(messages_[0].title, "File not found!");
    EXPECT_EQ(messages_[0].text,
              "File " + path + " could not be found\n\nChoose another file or Cancel.");
    EXPECT_TRUE(program().ended());
    EXPECT_EQ(setting("Recent Compound Code"), "<missing>");
}

TEST_F(StartupTest, ExitMenuAndExitButtonEndTheProgram) {
    const std::string path = write_file("abc.vorsel", generated_data(30));
    for (int via_menu = 0; via_menu < 2; ++via_menu) {
        SCOPED_TRACE(via_menu ? "File, Exit" : "EXIT");
        choose(path);
        start_program();
        ASSERT_FALSE(program().ended());
        if (via_menu)
            program().window().exit_action()->trigger();
        else
            click(but::Exit);
        EXPECT_TRUE(program().ended());
        stop_program();
    }
}

}  // namespace
}  // namespace vorsel::e2e
