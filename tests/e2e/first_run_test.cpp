// What a newcomer meets first, through the real dialog and window: the
// chooser opened on the folder the program was started in (or on the root,
// or after the remembered file has gone), the keyboard in the chooser and on
// the panel, the window shown only once a file is in it, file names in
// another encoding than UTF-8, and the exit status after a failure.
#include <QDir>
#include <QSettings>
#include <QTest>
#include <cstdio>
#include <fstream>

#include <unistd.h>

#include "e2e_support.h"

namespace vorsel::e2e {
namespace {

namespace but = vorsel::plot::but;
using platform::ReadOut;

void remember(const std::string& dir, const std::string& file) {
    QSettings s(QSettings::IniFormat, QSettings::UserScope, "DADO_QEM", "DADO_QEM");
    s.beginGroup("VORSEL");
    s.setValue("Recent Compound Code", QString::fromStdString(file.substr(0, file.rfind('.'))));
    s.setValue("Recent Drive", "/");
    s.setValue("Recent Directory", QString::fromStdString(dir));
    s.setValue("Recent File", QString::fromStdString(file));
    s.setValue("Recent Location", QString::fromStdString(dir + "/" + file));
}

class FirstRunTest : public ProgramTest {
protected:
    void SetUp() override {
        ProgramTest::SetUp();
        home_ = QDir::currentPath();
    }
    void TearDown() override {
        QDir::setCurrent(home_);
        ProgramTest::TearDown();
    }
    // The program started in the data folder: the user clicks a file in the
    // list the chooser shows, without opening any folder, and presses OK.
    void click_in_shown_folder(const std::string& name, std::string* shown = nullptr) {
        in_chooser([name, shown](ChooserDialog& d) {
            if (shown) *shown = d.dir_path();
            ASSERT_TRUE(click_file(d, QString::fromStdString(name))) << name << " not listed";
            ok_button(d)->click();
        });
    }
    QString home_;
};

// Whatever was remembered, a file clicked in the list is the file in the
// folder the list shows: the location, the input box and the remembered
// directory all name that folder.
TEST_F(FirstRunTest, AFileClickedIsTheOneInTheFolderTheListShows) {
    struct Case {
        const char* name;
        bool remember_gone_file;
    };
    const Case cases[] = {{"fresh settings store", false}, {"remembered file deleted", true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = write_file("P-1.vorsel", generated_data(40));
        const std::string dir = data_dir_.path().toStdString();
        if (c.remember_gone_file) remember(dir + "/gone", "old.vorsel");
        ASSERT_TRUE(QDir::setCurrent(data_dir_.path()));
        std::string shown;
        click_in_shown_folder("P-1.vorsel", &shown);
        start_program();
        ASSERT_FALSE(program().ended());
        EXPECT_EQ(shown, dir);
        EXPECT_TRUE(messages_.empty()) << messages_.front().text;
        EXPECT_EQ(readout(ReadOut::TotalPoints), "     40");
        EXPECT_EQ(setting("Recent Location"), path);
        EXPECT_EQ(setting("Recent Directory"), dir);
        stop_program();
        QSettings(QSettings::IniFormat, QSettings::UserScope, "DADO_QEM", "DADO_QEM").clear();
    }
}

// A remembered file in the root folder opens the root, and is found there.
TEST_F(FirstRunTest, ARememberedFileInTheRootOpensTheRoot) {
    const std::string name = "vorsel-e2e-" + std::to_string(::getpid()) + ".vorsel";
    const std::string path = "/" + name;
    {
        std::ofstream out(path, std::ios::binary);
        if (!out) GTEST_SKIP() << "the root folder cannot be written here";
        out << generated_data(25);
    }
    remember("", name);
    ASSERT_TRUE(QDir::setCurrent(data_dir_.path()));
    std::string shown;
    click_in_shown_folder(name, &shown);
    start_program();
    std::remove(path.c_str());
    ASSERT_FALSE(program().ended());
    EXPECT_EQ(shown, "/");
    EXPECT_EQ(readout(ReadOut::TotalPoints), "     25");
    EXPECT_EQ(setting("Recent Directory"), "");
    EXPECT_EQ(setting("Recent Location"), path);
}

// Tabbing into the file list chooses nothing; the arrow keys choose; Enter on
// a directory opens it and presses nothing; Enter on the focused "OK !"
// presses it; Enter on a focused panel button presses it.
TEST_F(FirstRunTest, TheKeyboardChoosesOnlyWhatIsSelected) {
    write_file("a.vorsel", generated_data(12));
    const std::string b = write_file("b.vorsel", generated_data(14));
    ASSERT_TRUE(QDir(data_dir_.path()).mkdir("sub"));
    ASSERT_TRUE(QDir::setCurrent(data_dir_.path()));
    bool ok_after_tab = true;
    std::string location_after_tab, location_after_down, opened;
    bool open_after_enter_on_dir = false;
    in_chooser([&](ChooserDialog& d) {
        QListWidget* files = file_list(d);
        files->setFocus(Qt::TabFocusReason);
        QApplication::processEvents();
        ok_after_tab = ok_button(d)->isEnabled();
        location_after_tab = location_text(d).toStdString();

        QListWidget* dirs = directory_list(d);
        dirs->setFocus(Qt::TabFocusReason);
        dirs->setCurrentItem(dirs->findItems("sub", Qt::MatchExactly).front());
        QTest::keyClick(dirs, Qt::Key_Return);
        opened = d.dir_path();
        open_after_enter_on_dir = d.isVisible();
        d.open_directory(data_dir_.path());

        files->setFocus(Qt::TabFocusReason);
        QTest::keyClick(files, Qt::Key_Down);
        QTest::keyClick(files, Qt::Key_Down);
        location_after_down = location_text(d).toStdString();
        ok_button(d)->setFocus(Qt::TabFocusReason);
        QTest::keyClick(ok_button(d), Qt::Key_Return);
    });
    start_program();
    EXPECT_FALSE(ok_after_tab);
    EXPECT_EQ(location_after_tab, "");
    EXPECT_EQ(opened, data_dir_.path().toStdString() + "/sub");
    EXPECT_TRUE(open_after_enter_on_dir);
    EXPECT_EQ(location_after_down, b);
    ASSERT_FALSE(program().ended()) << "Enter on OK did not accept the file";
    EXPECT_EQ(readout(ReadOut::TotalPoints), "     14");

    QPushButton* theta = program().window().button(but::VsTheta);
    theta->setFocus(Qt::TabFocusReason);
    QTest::keyClick(theta, Qt::Key_Return);
    EXPECT_TRUE(program().form().is_down(but::VsTheta));
}

// The window shows once its load handler has returned, never behind the
// chooser.
TEST_F(FirstRunTest, TheWindowShowsOnlyWithAFileInIt) {
    const std::string path = write_file("abc.vorsel", generated_data(10));
    bool visible_during_choice = true;
    in_chooser([&](ChooserDialog& d) {
        visible_during_choice = d.parentWidget() && d.parentWidget()->isVisible();
        d.open_directory(QString::fromStdString(data_dir_.path().toStdString()));
        ASSERT_TRUE(click_file(d, "abc.vorsel"));
        ok_button(d)->click();
    });
    start_program();
    EXPECT_FALSE(visible_during_choice);
    EXPECT_TRUE(program().window().isVisible());
}

// A file name that is not valid UTF-8 is listed, opened, and remembered with
// its own bytes.
TEST_F(FirstRunTest, AFileNameInAnotherEncodingIsListedAndRead) {
    const std::string name = "caf\xE9.vorsel";  // Latin-1
    const std::string path = data_dir_.path().toStdString() + "/" + name;
    std::ofstream(path, std::ios::binary) << generated_data(17);
    ASSERT_TRUE(QDir::setCurrent(data_dir_.path()));
    in_chooser([](ChooserDialog& d) {
        ASSERT_EQ(file_list(d)->count(), 1);
        file_list(d)->setCurrentRow(0);  // selected as a click or the keyboard selects it
        ok_button(d)->click();
    });
    start_program();
    ASSERT_FALSE(program().ended());
    EXPECT_TRUE(messages_.empty()) << messages_.front().text;
    EXPECT_EQ(readout(ReadOut::TotalPoints), "     17");
    EXPECT_EQ(setting("Recent Location"), path);
    EXPECT_EQ(setting("Recent File"), name);
}

// The library lacks an entry point: its message, then the program ends with
// a failure status, and the window takes no further click; an orderly end
// stays 0.
TEST_F(FirstRunTest, AFailingProgramSaysSoInItsExitStatus) {
    const std::string path = write_file("abc.vorsel", generated_data(10));
    choose(path);
    start_program_with_library({VORSEL_INCOMPLETE_LIBRARY_DIR});  // it has the reader only
    ASSERT_FALSE(program().ended());
    click(but::VsTheta);
    click(but::dF_sFo);
    EXPECT_TRUE(program().ended());
    ASSERT_FALSE(messages_.empty());
    EXPECT_EQ(messages_.back().title, "Library entry point not found!");
    program().window().button(but::Sqrt)->click();
    EXPECT_EQ(caption(but::Sqrt), "sqrt(y)");
    EXPECT_EQ(program().exec(), 1);
    stop_program();

    abort_chooser();
    start_program();
    EXPECT_EQ(program().exec(), 0);
}

}  // namespace
}  // namespace vorsel::e2e

namespace vorsel::e2e {
namespace {

std::string with_line_ends(const std::string& crlf, const char* header_end, const char* data_end) {
    std::string out;
    std::size_t at = 0;
    bool header = true;
    while (at < crlf.size()) {
        const std::size_t end = crlf.find("\r\n", at);
        out += crlf.substr(at, end - at) + (header ? header_end : data_end);
        header = false;
        at = end + 2;
    }
    return out;
}

// Every line end a data file meets is counted as the file's own: the record
// estimate comes from the first data line's end, so no false message.
TEST_F(FirstRunTest, EveryLineEndGivesEveryReflection) {
    struct Case {
        const char* name;
        const char* header_end;
        const char* data_end;
    };
    const Case cases[] = {{"CR LF", "\r\n", "\r\n"},
                          {"LF", "\n", "\n"},
                          {"header LF, data CR LF", "\n", "\r\n"},
                          {"header CR LF, data LF", "\r\n", "\n"},
                          {"CR alone", "\r", "\r"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path =
            write_file("mixed.vorsel", with_line_ends(generated_data(300), c.header_end, c.data_end));
        choose(path);
        start_program();
        ASSERT_FALSE(program().ended());
        EXPECT_TRUE(messages_.empty()) << messages_.front().text;
        EXPECT_EQ(readout(ReadOut::TotalPoints), "    300");
        stop_program();
        messages_.clear();
    }
}

// Files that cannot be data files are refused with a message that says why in
// the file's own terms, before anything is sized for them.
TEST_F(FirstRunTest, FilesThatCannotBeDataAreRefusedBeforeAnythingIsSized) {
    struct Case {
        const char* name;
        std::string file;
        std::string content;
        std::int64_t hollow_bytes;  // NUL bytes appended as a sparse tail
        std::string says;
    };
    std::string long_name;
    for (int i = 0; i < 120; ++i) long_name += "\xC3\xA9";  // e-acute, two bytes each
    long_name += ".vorsel";
    const std::size_t long_bytes = data_dir_.path().toStdString().size() + 1 + long_name.size();
    const Case cases[] = {
        {"path over 256 bytes", long_name, generated_data(5), 0,
         "Its path is " + std::to_string(long_bytes) + " bytes long"},
        {"count beyond any line", "big.vorsel", "99999999999999999999\r\n", 0,
         "gives 99999999999999999999 curves"},
        {"NUL bytes after the header", "hollow.vorsel", "    13\r\n", std::int64_t{2} << 30,
         "field 1 (columns 1 to 10), does not hold a number"},
        {"data, then a sparse tail", "cut.vorsel", generated_data(20), std::int64_t{1} << 30,
         "NUL bytes where data lines should be"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = write_file(c.file, c.content);
        if (c.hollow_bytes > 0) {
            const auto size = static_cast<off_t>(c.content.size()) + c.hollow_bytes;
            ASSERT_EQ(::truncate(path.c_str(), size), 0);
        }
        choose(path);
        abort_chooser();
        start_program();
        ASSERT_EQ(messages_.size(), 1u);
        EXPECT_NE(messages_[0].text.find(c.says), std::string::npos) << messages_[0].text;
        EXPECT_EQ(program().form().dat.size(), 0u) << "arrays were sized for it";
        EXPECT_TRUE(program().ended());
        stop_program();
        messages_.clear();
        std::remove(path.c_str());
    }
}

}  // namespace
}  // namespace vorsel::e2e

namespace vorsel::e2e {
namespace {

// A read-out longer than the seven places its box was made for is shown
// whole, against the box's right edge; one that fits keeps the box's face.
TEST_F(FirstRunTest, ALongReadOutIsShownWhole) {
    choose(write_file("abc.vorsel", generated_data(10)));
    start_program();
    ASSERT_FALSE(program().ended());
    QLineEdit* box = program().window().readout(ReadOut::MinValue);
    const QFont face = box->font();
    for (const char* text : {"-20.23669", "-1.234568E-05", "  10000"}) {
        SCOPED_TRACE(text);
        program().window().readouts().set_text(ReadOut::MinValue, text);
        QApplication::processEvents();
        const int frame = box->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, box);
        const int room = box->width() - 2 * frame - 4;
        EXPECT_LE(QFontMetrics(box->font()).horizontalAdvance(box->text()), room);
        EXPECT_EQ(box->text().toStdString(), text);
        const bool long_text = std::string(text).size() > 7;
        EXPECT_EQ(box->font() == face, !long_text);
        EXPECT_TRUE(!long_text || (box->alignment() & Qt::AlignRight));
    }
}

}  // namespace
}  // namespace vorsel::e2e
