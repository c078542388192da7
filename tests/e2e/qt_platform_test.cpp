// The Qt platform objects on their own: the board's drawing operations in
// twips, the file-system queries, the settings store, the library loader and
// the chooser dialog's lists and events.
#include <QDir>
#include <QFile>
#include <QProgressDialog>
#include <QSettings>
#include <QTest>
#include <chrono>
#include <thread>

#include "e2e_support.h"
#include "plot/layout.h"
#include "platform/qt/board.h"
#include "tests/e2e/qt_seam.h"
#include "platform/qt/services.h"
#include "platform/qt/units.h"

namespace vorsel::e2e {
namespace {

using platform::qt::QtBoard;
using platform::qt::to_qcolor;

int px(int twips) { return platform::qt::board_px(twips); }

TEST(QtBoardTest, SizeAndColoursFollowTheTwipsAndTheWindowColours) {
    QtBoard b(10800, 5415);
    EXPECT_EQ(b.width_twips(), 10800);
    EXPECT_EQ(b.height_twips(), 5415);
    EXPECT_EQ(b.image().width(), px(10799) + 1);
    EXPECT_EQ(b.image().height(), px(5414) + 1);
    EXPECT_EQ(to_qcolor(0xFF0000), QColor(0, 0, 255));
    EXPECT_EQ(to_qcolor(0x00FFFF), QColor(255, 255, 0));
    EXPECT_EQ(to_qcolor(0x0000FF), QColor(255, 0, 0));
    // A button that is down must be told apart from one that is up.
    const QColor face = to_qcolor(0x8000000F), shadow = to_qcolor(0x80000010);
    EXPECT_LT(shadow.lightness() + 40, face.lightness());
}

TEST(QtBoardTest, FilledRectanglesIncludeBothCornersInAnyOrder) {
    struct Case {
        const char* name;
        int x1, y1, x2, y2;
    };
    const Case cases[] = {
        {"corners in order", 1500, 1500, 2999, 2999},
        {"corners swapped", 2999, 2999, 1500, 1500},
        {"mixed corners", 1500, 2999, 2999, 1500},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QtBoard b(10800, 5415);
        b.fill_rect(0, 0, 10799, 5414, 0xFF0000);
        b.fill_rect(c.x1, c.y1, c.x2, c.y2, 0x00FFFF);
        EXPECT_EQ(colour_at(b, 1500, 1500), kYellow);
        EXPECT_EQ(colour_at(b, 2999, 2999), kYellow);
        EXPECT_EQ(colour_at(b, 2999, 1500), kYellow);
        EXPECT_EQ(colour_at(b, 1400, 1500), kBlue);
        EXPECT_EQ(colour_at(b, 3100, 2999), kBlue);
        EXPECT_EQ(colour_at(b, 2000, 3100), kBlue);
    }
}

TEST(QtBoardTest, ZeroHeightRectangleIsAHorizontalLineAndPenWidthWidensIt) {
    for (int pen : {1, 2}) {
        SCOPED_TRACE(pen);
        QtBoard b(10800, 5415);
        b.fill_rect(0, 0, 10799, 5414, 0xFF0000);
        b.set_pen_width(pen);
        b.fill_rect(810, 3000, 10799, 3000, 0x00FFFF);
        int rows = 0;
        for (int y = 0; y < b.image().height(); ++y)
            if (b.image().pixelColor(px(5000), y) == kYellow) ++rows;
        EXPECT_EQ(rows, pen);
        EXPECT_EQ(colour_at(b, 810, 3000), kYellow);
        EXPECT_EQ(colour_at(b, 10799, 3000), kYellow);
        EXPECT_EQ(colour_at(b, 780, 3000), kBlue);
    }
}

TEST(QtBoardTest, LinesChainFromTheCurrentPoint) {
    QtBoard b(10800, 5415);
    b.fill_rect(0, 0, 10799, 5414, 0xFF0000);
    b.line(1000, 1000, 4000, 1000, 0x00FFFF);
    b.line_to(4000, 4000, 0x0000FF);
    EXPECT_EQ(colour_at(b, 2500, 1000), kYellow);
    EXPECT_EQ(colour_at(b, 4000, 2500), kRed);
    EXPECT_EQ(colour_at(b, 2500, 2500), kBlue);
}

TEST(QtBoardTest, PrintPutsTheTopLeftOfTheTextAtTheTextPosition) {
    QtBoard b(10800, 5415);
    b.fill_rect(0, 0, 10799, 5414, 0xFF0000);
    b.set_font_name("Courier New");  // falls back to a fixed-pitch face when missing
    b.set_font_size(8);
    b.set_text_colour(0x00FFFF);
    EXPECT_EQ(b.font_name(), "Courier New");
    EXPECT_EQ(b.font_size(), 8);
    b.set_text_pos(2000, 2000);
    b.print("8888");
    // Ink only right of and below the position, within a line's height.
    int ink = 0;
    const QImage& img = b.image();
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if (img.pixelColor(x, y) != kBlue) {
                ++ink;
                EXPECT_GE(x, px(2000));
                EXPECT_GE(y, px(2000));
                EXPECT_LT(y, px(2000 + 300));
            }
    EXPECT_GT(ink, 10);
}

TEST(QtBoardTest, UncoveredBoardShowsItsImage) {
    QtBoard b(10800, 5415);
    b.fill_rect(0, 0, 10799, 5414, 0xFF0000);
    b.fill_rect(0, 0, 5000, 5414, 0x00FFFF);
    const QImage shown = b.grab().toImage().convertToFormat(QImage::Format_RGB32);
    EXPECT_EQ(shown, b.image());
}

class QtFilesTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    std::string file(const char* name, const QByteArray& content) {
        QFile f(dir.filePath(name));
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(content);
        return f.fileName().toStdString();
    }
    platform::qt::QtFileSystem fs;
};

TEST_F(QtFilesTest, LengthAndNameOnlyForRegularFiles) {
    const std::string a = file("abc.vorsel", "    13\r\n1234\r\n");
    EXPECT_EQ(fs.file_length(a), 14);
    EXPECT_EQ(fs.file_name_of(a), "abc.vorsel");
    const std::string folder = dir.path().toStdString();
    EXPECT_EQ(fs.file_length(folder), std::nullopt);
    EXPECT_EQ(fs.file_name_of(folder), "");
    EXPECT_EQ(fs.file_name_of(folder + "/"), "");
    EXPECT_EQ(fs.file_name_of(folder + "/missing.vorsel"), "");
    EXPECT_EQ(fs.file_length(folder + "/missing.vorsel"), std::nullopt);
    EXPECT_EQ(fs.file_name_of(""), "");
}

TEST_F(QtFilesTest, HeadAndTailAreTheFilesOwnBytes) {
    struct Case {
        const char* content;
        std::size_t max;
        const char* head;
        const char* tail;
    };
    const Case cases[] = {
        {"    13\r\nrest\r\n", 100, "    13\r\nrest\r\n", "    13\r\nrest\r\n"},
        {"123456789\r\n", 4, "1234", "89\r\n"},
        {"", 100, "", ""},
    };
    int i = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.content);
        const std::string p = file(("f" + std::to_string(i++)).c_str(), c.content);
        EXPECT_EQ(fs.head(p, c.max), std::string(c.head));
        EXPECT_EQ(fs.tail(p, c.max), std::string(c.tail));
    }
    EXPECT_EQ(fs.head(dir.path().toStdString(), 100), std::nullopt);
    EXPECT_EQ(fs.tail(dir.path().toStdString() + "/missing", 100), std::nullopt);
}

TEST(QtSettingsTest, ValuesLiveUnderTheApplicationAndSection) {
    QTemporaryDir dir;
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, dir.path());
    platform::qt::QtSettings s;
    EXPECT_EQ(s.get("DADO_QEM", "VORSEL", "Recent File", ""), "");
    s.set("DADO_QEM", "VORSEL", "Recent File", "abc.vorsel");
    s.set("DADO_QEM", "VORSEL", "Recent Directory", "/data/x y");
    EXPECT_EQ(s.get("DADO_QEM", "VORSEL", "Recent File", ""), "abc.vorsel");
    EXPECT_EQ(s.get("DADO_QEM", "VORSEL", "Recent Directory", ""), "/data/x y");
    EXPECT_EQ(s.get("DADO_QEM", "OTHER", "Recent File", "none"), "none");
    // Written to the file once control is back in the event loop.
    QCoreApplication::processEvents();
    QFile file(dir.filePath("DADO_QEM/DADO_QEM.ini"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_TRUE(file.readAll().contains("File=abc.vorsel"));
}

// Records what the loader tells the user and whether it ended the program.
struct RecordingMessages : platform::Messages {
    std::vector<std::string> texts;
    int show(const std::string& text, const std::string& title, platform::MsgButtons,
             platform::MsgIcon) override {
        texts.push_back(title + " | " + text);
        return platform::kAnswerOk;
    }
};
struct RecordingProgram : platform::Program {
    int ends = 0;
    platform::Ending how = platform::Ending::Orderly;
    void end(platform::Ending h) override {
        ++ends;
        how = h;
    }
    bool ended() const override { return ends > 0; }
};

TEST(DynamicLibraryTest, FindsTheLibraryBesideTheProgramAndBindsEachEntryPoint) {
    RecordingMessages m;
    RecordingProgram p;
    platform::qt::DynamicLibrary lib(m, p);
    const std::int32_t nkur_first = 1, nkur_last = 3, maxpar = 100, npcur = 3;
    const float y[] = {0.0f, 1.0f, 2.0f}, valmin = 0.0f, skale = 10.0f;
    std::int32_t nkur[3] = {};
    ASSERT_TRUE(lib.KUR_TO_NKUR(y, nkur, &npcur, &nkur_first, &nkur_last, &valmin, &maxpar,
                                &skale));
    EXPECT_EQ(nkur[0], 0);
    EXPECT_EQ(nkur[1], 10);
    EXPECT_EQ(nkur[2], 20);
    EXPECT_NE(lib.loaded_path().find("libvorsel_for.so"), std::string::npos);
    EXPECT_TRUE(m.texts.empty());
    EXPECT_EQ(p.ends, 0);
}

TEST(DynamicLibraryTest, MissingLibraryIsNamedAndEndsTheProgramOnce) {
    RecordingMessages m;
    RecordingProgram p;
    platform::qt::DynamicLibrary lib(m, p, "libvorsel_for.so", {"/nonexistent/vorsel"});
    std::int32_t npoint = 1, key = 0;
    const std::int32_t nc = 13;
    float dat[13], sig[1];
    EXPECT_FALSE(lib.READ_VORSEL_DATA("x", dat, sig, &nc, &npoint, &key));
    ASSERT_EQ(m.texts.size(), 1u);
    EXPECT_NE(m.texts[0].find("libvorsel_for.so"), std::string::npos) << m.texts[0];
    EXPECT_NE(m.texts[0].find("/nonexistent/vorsel"), std::string::npos) << m.texts[0];
    EXPECT_EQ(p.ends, 1);
    EXPECT_FALSE(lib.READ_VORSEL_DATA("x", dat, sig, &nc, &npoint, &key));
    EXPECT_EQ(m.texts.size(), 1u);
    EXPECT_EQ(p.ends, 1);
}

TEST(DynamicLibraryTest, MissingEntryPointIsNamed) {
    RecordingMessages m;
    RecordingProgram p;
    platform::qt::DynamicLibrary lib(m, p, "libvorsel_for.so", {VORSEL_INCOMPLETE_LIBRARY_DIR});
    std::int32_t npoint = 1, key = 7;
    const std::int32_t nc = 13;
    float dat[13], sig[1];
    ASSERT_TRUE(lib.READ_VORSEL_DATA("x", dat, sig, &nc, &npoint, &key));
    EXPECT_EQ(key, 0);
    const std::int32_t a = 1, maxpar = 1;
    std::int32_t nk[1];
    const float v = 0, s = 1;
    EXPECT_FALSE(lib.KUR_TO_NKUR(&v, nk, &a, &a, &a, &v, &maxpar, &s));
    ASSERT_EQ(m.texts.size(), 1u);
    EXPECT_NE(m.texts[0].find("KUR_TO_NKUR"), std::string::npos) << m.texts[0];
    EXPECT_NE(m.texts[0].find(VORSEL_INCOMPLETE_LIBRARY_DIR), std::string::npos) << m.texts[0];
    EXPECT_EQ(p.ends, 1);
}

// Counts the chooser's events.
struct CountingEvents : platform::ChooserEvents {
    int drive = 0, dir = 0, file = 0, ok = 0, abort = 0, frame = 0;
    void drvDrive_Change() override { ++drive; }
    void dirDirectory_Change() override { ++dir; }
    void flbFile_Click() override { ++file; }
    void cmdOK_Click() override { ++ok; }
    void cmdAbort_Click() override { ++abort; }
    void frame_closed() override { ++frame; }
};

TEST(ChooserDialogTest, EventsFireOnlyOnRealChanges) {
    QTemporaryDir dir;
    QDir(dir.path()).mkdir("sub");
    QFile(dir.filePath("a.vorsel")).open(QIODevice::WriteOnly);
    QFile(dir.filePath("b.vorsel")).open(QIODevice::WriteOnly);
    QFile(dir.filePath("notes.txt")).open(QIODevice::WriteOnly);

    platform::qt::ChooserDialog d;
    CountingEvents e;
    d.set_events(&e);
    // Opens on the working directory of the root drive.
    EXPECT_EQ(d.dir_path(), QDir::currentPath().toStdString());
    EXPECT_EQ(d.drive_selected(), "/");
    d.drive_set("/");
    d.dir_set_path("");
    EXPECT_EQ(e.drive + e.dir, 0) << "nothing changed, nothing may fire";

    d.dir_set_path(dir.path().toStdString());
    EXPECT_EQ(e.dir, 1);
    EXPECT_EQ(d.dir_path(), dir.path().toStdString());
    d.dir_set_path(dir.path().toStdString() + "/");
    EXPECT_EQ(e.dir, 1) << "the same directory, spelled with a closing separator";

    d.file_set_pattern("*.vorsel");
    d.file_set_path(dir.path().toStdString());
    ASSERT_EQ(file_list(d)->count(), 2);
    EXPECT_EQ(d.file_selected(), "");
    EXPECT_EQ(e.file, 0);
    EXPECT_TRUE(click_file(d, "b.vorsel"));
    EXPECT_EQ(e.file, 1);
    EXPECT_EQ(d.file_selected(), "b.vorsel");
    EXPECT_FALSE(click_file(d, "notes.txt"));

    // The directory list: ".." and the subdirectories; opening one changes it.
    ASSERT_GE(directory_list(d)->count(), 2);
    EXPECT_EQ(directory_list(d)->item(0)->text(), "..");
    EXPECT_EQ(directory_list(d)->item(1)->text(), "sub");
    emit directory_list(d)->itemActivated(directory_list(d)->item(1));
    EXPECT_EQ(e.dir, 2);
    EXPECT_EQ(d.dir_path(), dir.filePath("sub").toStdString());
    d.dir_set_path("/");
    EXPECT_EQ(d.dir_path(), "/");
    EXPECT_EQ(directory_list(d)->findItems("..", Qt::MatchExactly).size(), 0);

    d.set_ok_enabled(false);
    ok_button(d)->click();
    d.set_ok_enabled(true);
    ok_button(d)->click();
    abort_button(d)->click();
    EXPECT_EQ(e.ok, 1) << "a disabled OK cannot be clicked";
    EXPECT_EQ(e.abort, 1);
    EXPECT_EQ(d.windowTitle(), "Choose the input data file");
}

}  // namespace
}  // namespace vorsel::e2e

namespace vorsel::e2e {
namespace {

// Long work runs while the window repaints and drops what the user does, with
// the busy cursor; after about a second a modal dialog says what it waits
// for. Short work shows no dialog.
TEST(QtProgramTest, LongWorkShowsItsProgressAndTakesNoInput) {
    struct Case {
        const char* name;
        int work_ms;
        bool dialog;
    };
    const Case cases[] = {{"short", 20, false}, {"long", 1500, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        platform::qt::QtProgram program;
        QPushButton button("press me");
        int presses = 0;
        QObject::connect(&button, &QPushButton::clicked, [&] { ++presses; });
        button.show();
        QString label;
        bool busy = false;
        QTimer probe;
        probe.setInterval(50);
        QObject::connect(&probe, &QTimer::timeout, [&] {
            if (const auto* d = qobject_cast<QProgressDialog*>(QApplication::activeModalWidget()))
                label = d->labelText();
            busy = busy || (QApplication::overrideCursor() &&
                            QApplication::overrideCursor()->shape() == Qt::WaitCursor);
            QTest::mouseClick(&button, Qt::LeftButton);
        });
        probe.start();
        program.run_long("Reading /data/abc.vorsel",
                         [&] { std::this_thread::sleep_for(std::chrono::milliseconds(c.work_ms)); });
        probe.stop();
        QApplication::processEvents();
        if (c.dialog) {
            EXPECT_EQ(label.toStdString(), "Reading /data/abc.vorsel");
        } else {
            EXPECT_TRUE(label.isEmpty()) << "a dialog for work of " << c.work_ms << " ms";
        }
        EXPECT_EQ(presses, 0);
        EXPECT_EQ(QApplication::overrideCursor(), nullptr);
        EXPECT_TRUE(busy || !c.dialog) << "no busy cursor while the long work ran";
    }
}

// Each window holds its own zoom: a second window, zoomed and gone while the
// first is at 200%, leaves it there, and a board in no window (the picture
// drawn for --output) is at the design size meanwhile.
TEST(WindowZoomTest, EachWindowAndABoardForAFileKeepTheirOwn) {
    const QSize design = QtBoard(10800, 5415).image().size();
    const auto room = [] { return QSize(4000, 3000); };
    platform::qt::PlotWindow a(plot::plot_window_layout());
    a.screen_room = room;
    a.set_zoom_percent(200);
    const QSize at_200 = a.board().image().size();
    QtBoard for_file(10800, 5415);
    {
        platform::qt::PlotWindow b(plot::plot_window_layout());
        b.screen_room = room;
        b.set_zoom_percent(150);
        const QSize at_150 = b.board().image().size();
        EXPECT_EQ(b.zoom_percent(), 150);
        EXPECT_TRUE(design.width() < at_150.width() && at_150.width() < at_200.width());
    }
    a.board().rescale();
    EXPECT_EQ(a.zoom_percent(), 200);
    EXPECT_EQ(a.board().image().size(), at_200);
    EXPECT_EQ(for_file.image().size(), design);
}

}  // namespace
}  // namespace vorsel::e2e
