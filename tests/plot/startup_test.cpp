// Start-up of the plot window, end to end through the recording fakes: the
// remembered location, the chooser, the header, the library's reader (real
// code on real temporary files), its status messages, the read-outs, the
// caption and the blank board; and every file start-up cannot use.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <functional>
#include <ostream>
#include <map>
#include <set>
#include <string>
#include <vector>

#include <unistd.h>

#include "platform/format.h"
#include "plot/frmVorselPlot.h"
#include "tests/fakes/fake_platform.h"

namespace {

namespace fs = std::filesystem;
using vorsel::fakes::FakeChooserView;
using vorsel::fakes::FakeFileSystem;
using vorsel::fakes::FakePlatform;
using vorsel::platform::MsgButtons;
using vorsel::platform::MsgIcon;
using vorsel::platform::PathStyle;
using vorsel::plot::frmVorselPlot;

const std::string kSet = "DADO_QEM/VORSEL/";

// Data files where the reader finds them (a real temporary folder) and, under
// the path the plot window sees, in the fake file system.
class DataFiles {
public:
    explicit DataFiles(FakePlatform& fp, FakeFileSystem& files) : files_(files) {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        dir_ = fs::path(::testing::TempDir()) /
               ("vorsel_startup_" + std::to_string(::getpid()) + "_" + info->name());
        fs::create_directories(dir_);
        fp.library.real_path = [this](const std::string& p) {
            auto it = real_.find(p);
            return it == real_.end() ? p : it->second;
        };
    }
    ~DataFiles() {
        std::error_code ec;
        fs::remove_all(dir_, ec);
    }
    void put(const std::string& path, const std::string& content) {
        const fs::path real = dir_ / std::to_string(real_.size());
        std::ofstream(real, std::ios::binary) << content;
        real_[path] = real.string();
        files_.files[path] = content;
    }
    // Seen by the chooser and the header read, but not by the reader.
    void put_unreadable(const std::string& path, const std::string& content) {
        files_.files[path] = content;
        real_[path] = (dir_ / "missing").string();
    }

private:
    FakeFileSystem& files_;
    fs::path dir_;
    std::map<std::string, std::string> real_;
};

// Field c of data line k holds k * 100 + c, so every value tells where it came from.
std::string data_line(int nfields, int k, const std::string& eol = "\r\n") {
    std::string s;
    char b[16];
    for (int c = 1; c <= nfields; ++c) {
        std::snprintf(b, sizeof b, "%10.1f", k * 100.0 + c);
        s += b;
    }
    return s + eol;
}

std::string header(int count, const std::string& eol = "\r\n") {
    char b[16];
    std::snprintf(b, sizeof b, "%6d", count);
    return b + eol;
}

std::string vorsel(int count, int lines, const std::string& eol = "\r\n") {
    std::string s = header(count, eol);
    for (int k = 1; k <= lines; ++k) s += data_line(count, k, eol);
    return s;
}

// The chooser's user: opens a directory, clicks a file, says OK.
std::function<void(FakeChooserView&)> pick(std::string dir, std::string file) {
    return [dir, file](FakeChooserView& v) {
        v.open_dir(dir);
        v.click_file(file);
        v.ok();
    };
}

// The views the factory hands out, one script per opening of the chooser.
void script(FakePlatform& fp, std::vector<std::function<void(FakeChooserView&)>> users,
            const std::string& drive = "/", const std::string& start = "/home/xtal") {
    auto runs = std::make_shared<std::size_t>(0);
    fp.chooser.setup = [users, runs, drive, start](FakeChooserView& v) {
        v.drive = drive;
        v.dir = v.drive_only_dir = start;
        if (*runs < users.size()) v.user = users[(*runs)++];
    };
}

std::ptrdiff_t position(const FakePlatform& fp, const std::string& entry) {
    auto it = std::find(fp.log.begin(), fp.log.end(), entry);
    return it == fp.log.end() ? -1 : it - fp.log.begin();
}

std::vector<std::string> texts(const FakePlatform& fp) {
    std::vector<std::string> out;
    for (const auto& m : fp.messages.shown) out.push_back(m.title + " | " + m.text);
    return out;
}

// ---- A whole start-up in both path forms ----

struct Form {
    const char* name;
    PathStyle style;
    std::string drive, start, dir, file, stored_drive, stored_dir;
};

void PrintTo(const Form& f, std::ostream* os) { *os << f.name; }

const Form kForms[] = {
    {"drive_letters", PathStyle::drive_letter(), "c", "c:\\vorsel", "c:\\data",
     "c:\\data\\abc.vorsel", "c", "\\data"},
    {"posix", PathStyle::posix(), "/", "/home/xtal", "/data", "/data/abc.vorsel", "/", "/data"},
};

class StartUp : public ::testing::TestWithParam<Form> {};

TEST_P(StartUp, FirstRunReadsTheChosenFileAndShowsItBlank) {
    const Form& f = GetParam();
    FakePlatform fp;
    fp.style = f.style;
    DataFiles data(fp, fp.files);
    data.put(f.file, vorsel(13, 5));
    script(fp, {pick(f.dir, "abc.vorsel")}, f.drive, f.start);
    frmVorselPlot w(fp.plot_platform());
    w.Form_Load();

    EXPECT_EQ(fp.grep("settings."),
              (std::vector<std::string>{
                  "settings.get Recent Compound Code",
                  "settings.set Recent Compound Code [abc]",
                  "settings.set Recent Drive [" + f.stored_drive + "]",
                  "settings.set Recent Directory [" + f.stored_dir + "]",
                  "settings.set Recent File [abc.vorsel]",
                  "settings.set Recent Location [" + f.file + "]",
              }));
    EXPECT_EQ(fp.grep("txt"), (std::vector<std::string>{
                                  "txtStepSize [     -1]",
                                  "txtPosClip [  10000]",
                                  "txtNegClip [ -10000]",
                                  "txtSigLim [      3]",
                                  "txtMaxValue [      0]",
                                  "txtMinValue [      0]",
                                  "txtTotalPoints [      5]",
                                  "txtUsedPoints [      5]",
                                  "txtPlottedPoints [      0]",
                              }));
    const std::string caption = "VORSELPLOT: Systematic Error Curves for abc          "
                                "input data file: " + f.file;
    EXPECT_EQ(fp.grep("frame."),
              (std::vector<std::string>{"frame.font 10 1", "frame.caption [" + caption + "]"}));
    EXPECT_EQ(fp.grep("rect"), std::vector<std::string>{"rect 0 0 10799 5414 FF0000 w1"});
    EXPECT_TRUE(fp.messages.shown.empty());
    EXPECT_EQ(fp.program.ends, 0);

    // The steps happen in their order.
    const std::vector<std::string> milestones = {
        "txtMinValue [      0]", "settings.get Recent Compound Code", "chooser.show",
        "settings.set Recent Location [" + f.file + "]", "lib.READ_VORSEL_DATA",
        "txtPlottedPoints [      0]", "frame.caption [" + caption + "]",
        "rect 0 0 10799 5414 FF0000 w1"};
    for (const auto& m : milestones) EXPECT_GE(position(fp, m), 0) << m;
    for (std::size_t i = 1; i < milestones.size(); ++i)
        EXPECT_LT(position(fp, milestones[i - 1]), position(fp, milestones[i])) << milestones[i];

    EXPECT_EQ(w.ncurves, 13);
    EXPECT_EQ(w.npoint, 5);
    EXPECT_EQ(w.npcur, 5);
    EXPECT_EQ(w.ReturnKey, 0);
    EXPECT_EQ(w.nxpix, 10800);
    EXPECT_EQ(w.nypix, 5415);
    EXPECT_EQ(w.maxpix, 5415);
    EXPECT_EQ(w.maxpar, 5414);
    EXPECT_EQ(w.loc.strCode, "abc");
    EXPECT_EQ(w.loc.strLocation, f.file);
    EXPECT_EQ(w.dat.size(), 65u);
    EXPECT_EQ(w.sigrat.size(), 5u);
    for (auto* a : {&w.ycur, &w.ysmo, &w.ywork, &w.xcur, &w.xwork}) EXPECT_EQ(a->size(), 5u);
    EXPECT_EQ(w.nkur.size(), 5u);
    EXPECT_EQ(w.iperm.size(), 5u);
    EXPECT_FLOAT_EQ(w.datv(2, 3), 302.0f);
    EXPECT_FLOAT_EQ(w.datv(13, 5), 513.0f);
    EXPECT_FLOAT_EQ(w.sigrat(1), 102.0f / 104.0f);
}

TEST_P(StartUp, RememberedLocationIsReadInOrderAndOffered) {
    const Form& f = GetParam();
    FakePlatform fp;
    fp.style = f.style;
    DataFiles data(fp, fp.files);
    data.put(f.file, vorsel(13, 2));
    fp.settings.values = {{kSet + "Recent Compound Code", "abc"},
                          {kSet + "Recent Drive", f.stored_drive},
                          {kSet + "Recent Directory", f.stored_dir},
                          {kSet + "Recent File", "abc.vorsel"},
                          {kSet + "Recent Location", f.file}};
    std::string offered;
    script(fp, {[&](FakeChooserView& v) {
               offered = v.location_text;
               v.click_file("abc.vorsel");
               v.ok();
           }},
           f.drive, f.dir);
    frmVorselPlot w(fp.plot_platform());
    w.Form_Load();

    EXPECT_EQ(fp.grep("settings.get"),
              (std::vector<std::string>{
                  "settings.get Recent Compound Code", "settings.get Recent Drive",
                  "settings.get Recent Directory", "settings.get Recent File",
                  "settings.get Recent Location"}));
    EXPECT_EQ(offered, f.file);
    EXPECT_EQ(w.loc.strLocation, f.file);
    EXPECT_EQ(w.loc.strDirectory, f.stored_dir);
    EXPECT_EQ(w.npoint, 2);
}

INSTANTIATE_TEST_SUITE_P(BothPathForms, StartUp, ::testing::ValuesIn(kForms),
                         [](const auto& info) { return std::string(info.param.name); });

// ---- The reader's statuses ----

struct StatusCase {
    const char* name;
    std::string content;
    std::vector<std::string> messages;  // title | text
    std::int32_t npoint;
    std::int32_t ncurves;
    std::size_t dat_size;
};

TEST(StartUpStatus, EachStatusGivesItsMessageAndStartUpGoesOn) {
    const std::string err = "Error reading input data! | ";
    const std::string long_header = header(13).substr(0, 6) + std::string(200, ' ') + "\r\n";
    const StatusCase cases[] = {
        {"exact", vorsel(13, 4), {}, 4, 13, 52},
        {"LF alone counts as its CR LF twin", vorsel(13, 40, "\n"), {}, 40, 13, 520},
        {"premature end: the header line is long, so the estimate is 3 for 2 lines",
         long_header + data_line(13, 1) + data_line(13, 2),
         {err + "Error: premature EOF while reading input data\r\nNumber of data point adapted..."},
         2, 13, 39},
        {"curve count differs: columns 1 to 6 are blank",
         "        13\r\n" + data_line(13, 1) + data_line(13, 2),
         {err + "Error: Number of curves found differs\r\nProgram execution should be stopped..."},
         2, 13, 26},
        {"more data: a last line of two fields makes the estimate one short",
         vorsel(13, 3) + data_line(2, 4),
         {err + "Error: More data available than expected\r\nThere are 4 datapoints"}, 3, 13, 39},
        {"one line expected, two present",
         vorsel(13, 1) + data_line(2, 2),
         {err + "Error: More data available than expected\r\nThere are 2 datapoints"}, 1, 13, 13},
        {"more than 15 curves: the warning, then the first 15 fields",
         vorsel(20, 4),
         {"Too many curves! | Warning: number of curves on the input file > 15\r\n"
          "Only the first 15 curves will be used..."},
         4, 15, 60},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        FakePlatform fp;
        DataFiles data(fp, fp.files);
        data.put("/data/abc.vorsel", c.content);
        script(fp, {pick("/data", "abc.vorsel")});
        frmVorselPlot w(fp.plot_platform());
        // The read on its worker while the pointer and the wheel go on over
        // the board: the window's counts stay as estimated until it ends.
        std::set<std::array<std::int32_t, 3>> seen;
        fp.program.meanwhile = [&] {
            w.pctPlot_MouseMove({100, 100, 100, 100});
            w.pctPlot_MouseWheel(120);
            seen.insert({w.npoint, w.ncurves, w.ReturnKey});
        };
        w.Form_Load();
        EXPECT_EQ(seen.size(), 1u);

        EXPECT_EQ(texts(fp), c.messages);
        for (const auto& m : fp.messages.shown) {
            EXPECT_EQ(m.buttons, MsgButtons::Ok);
            EXPECT_EQ(m.icon, MsgIcon::None);
        }
        EXPECT_EQ(w.npoint, c.npoint);
        EXPECT_EQ(w.npcur, c.npoint);
        EXPECT_EQ(w.ncurves, c.ncurves);
        EXPECT_EQ(w.dat.size(), c.dat_size);
        EXPECT_EQ(fp.readouts["txtTotalPoints"], vorsel::platform::readout(std::int64_t{c.npoint}));
        EXPECT_EQ(fp.grep("chooser.show").size(), 1u);
        EXPECT_EQ(fp.grep("rect").size(), 1u);
    }
}

TEST(StartUpStatus, AHeaderAboveFifteenKeepsTheFirstFifteenFields) {
    FakePlatform fp;
    DataFiles data(fp, fp.files);
    data.put("/data/abc.vorsel", vorsel(20, 4));
    script(fp, {pick("/data", "abc.vorsel")});
    frmVorselPlot w(fp.plot_platform());
    w.Form_Load();
    ASSERT_EQ(w.ncurves, 15);
    EXPECT_FLOAT_EQ(w.datv(15, 4), 415.0f);
    EXPECT_FLOAT_EQ(w.datv(1, 2), 201.0f);
}

TEST(StartUpStatus, CountMismatchLeavesTheDataZero) {
    FakePlatform fp;
    DataFiles data(fp, fp.files);
    data.put("/data/abc.vorsel", "        13\r\n" + data_line(13, 1) + data_line(13, 2));
    script(fp, {pick("/data", "abc.vorsel")});
    frmVorselPlot w(fp.plot_platform());
    w.Form_Load();
    EXPECT_EQ(w.ReturnKey, -2);
    for (float v : w.dat.vec()) EXPECT_EQ(v, 0.0f);
    for (float v : w.sigrat.vec()) EXPECT_EQ(v, 0.0f);
}

TEST(StartUpBoard, SizeRoundsHalvesToEven) {
    struct Case { double w, h; std::int32_t nxpix, nypix; const char* rect; };
    const Case cases[] = {
        {10800.0, 5415.0, 10800, 5415, "rect 0 0 10799 5414 FF0000 w1"},
        {10800.5, 5414.5, 10800, 5414, "rect 0 0 10799 5413 FF0000 w1"},
        {10801.5, 5415.5, 10802, 5416, "rect 0 0 10801 5415 FF0000 w1"},
        {10799.6, 5414.4, 10800, 5414, "rect 0 0 10799 5413 FF0000 w1"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.w);
        FakePlatform fp;
        fp.board.w = c.w;
        fp.board.h = c.h;
        DataFiles data(fp, fp.files);
        data.put("/data/abc.vorsel", vorsel(13, 1));
        script(fp, {pick("/data", "abc.vorsel")});
        frmVorselPlot w(fp.plot_platform());
        w.Form_Load();
        EXPECT_EQ(w.nxpix, c.nxpix);
        EXPECT_EQ(w.nypix, c.nypix);
        EXPECT_EQ(w.maxpix, c.nypix);
        EXPECT_EQ(w.maxpar, c.nypix - 1);
        EXPECT_EQ(fp.grep("rect"), std::vector<std::string>{c.rect});
    }
}

// ---- Leaving the chooser ----

TEST(StartUpEnd, AbortOrClosingTheChooserEndsTheProgramAndSavesNothing) {
    const std::pair<const char*, std::function<void(FakeChooserView&)>> users[] = {
        {"abort", [](FakeChooserView& v) { v.abort(); }},
        {"frame closed", [](FakeChooserView&) {}},
        {"file gone, cancel", pick("/data", "gone.vorsel")},
    };
    for (const auto& [name, user] : users) {
        SCOPED_TRACE(name);
        FakePlatform fp;
        script(fp, {user});
        frmVorselPlot w(fp.plot_platform());
        w.Form_Load();
        EXPECT_TRUE(w.ShouldCancel);
        EXPECT_TRUE(w.ended());
        EXPECT_EQ(fp.program.ends, 1);
        EXPECT_TRUE(fp.grep("settings.set").empty());
        EXPECT_TRUE(fp.grep("lib.").empty());
        EXPECT_TRUE(fp.grep("frame.").empty());
        EXPECT_TRUE(fp.grep("rect").empty());
        EXPECT_EQ(fp.readouts["txtTotalPoints"], "");
    }
}

TEST(StartUpEnd, AMissingLibraryStopsStartUpAtOnce) {
    FakePlatform fp;
    DataFiles data(fp, fp.files);
    data.put("/data/abc.vorsel", vorsel(13, 3));
    fp.library.fail_binding = true;
    script(fp, {pick("/data", "abc.vorsel")});
    frmVorselPlot w(fp.plot_platform());
    w.Form_Load();
    EXPECT_EQ(fp.grep("lib.").size(), 1u);
    EXPECT_TRUE(fp.messages.shown.empty());
    EXPECT_TRUE(fp.grep("frame.").empty());
    EXPECT_TRUE(fp.grep("rect").empty());
    EXPECT_EQ(fp.readouts["txtTotalPoints"], "");
}

// ---- Files start-up cannot use: a message, then the chooser again ----

struct Refused {
    const char* name;
    std::string content;
    bool readable;  // false: the reader cannot open it
    std::string reason;
};

const std::string kBad = "/data/bad.vorsel";

std::string refusal(const std::string& path, const std::string& reason) {
    return "The input data file " + path + " cannot be used.\r\n" + reason +
           "\r\n\r\nChoose another file.";
}

TEST(StartUpRefused, MessageNamesFileAndReasonThenTheChooserOpensAgain) {
    std::string bad_field = vorsel(13, 3);
    bad_field.replace(8 + 132 + 40, 10, "       abc");  // data line 2, field 5
    const Refused cases[] = {
        {"reader cannot open it", vorsel(13, 2), false, "The reader cannot open the file."},
        {"empty file", "", true, "Its first line holds no number of curves."},
        {"blank first line", "      \r\n" + data_line(13, 1), true,
         "Its first line holds no number of curves."},
        {"text instead of a count", "abc\r\n" + data_line(13, 1), true,
         "Its first line holds no whole number of curves: \"abc\"."},
        {"count with decimals", "13.0\r\n" + data_line(13, 1), true,
         "Its first line holds no whole number of curves: \"13.0\"."},
        {"count 0", header(0) + data_line(13, 1), true,
         "Its first line gives 0 curves; a data file has at least one."},
        {"negative count", header(-5) + data_line(13, 1), true,
         "Its first line gives -5 curves; a data file has at least one."},
        {"count whose line length overflows", "214748365\r\n" + data_line(13, 1), true,
         "Its first line gives 214748365 curves, too many for a data line to be read."},
        {"largest count whose line length fits", "214748364\r\n" + data_line(13, 1), true,
         "It is shorter than one data line of 214748364 curves (2147483640 characters and the "
         "line end)."},
        {"shorter than one data line", header(13) + data_line(2, 1), true,
         "It is shorter than one data line of 13 curves (130 characters and the line end)."},
        {"too few curves for Fo and s(Fo)", vorsel(3, 5), true,
         "It has 3 curves per data line; at least 4 are needed (Fo is curve 2, s(Fo) curve 4)."},
        {"a field that is not a number", bad_field, true,
         "Data line 2 (line 3 of the file), field 5 (columns 41 to 50), does not hold a number."},
        {"a long header and no data line", header(13).substr(0, 6) + std::string(200, ' ') + "\r\n",
         true, "It holds no data line after its header line."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        FakePlatform fp;
        DataFiles data(fp, fp.files);
        if (c.readable)
            data.put(kBad, c.content);
        else
            data.put_unreadable(kBad, c.content);
        data.put("/data/good.vorsel", vorsel(13, 3));
        script(fp, {pick("/data", "bad.vorsel"), pick("/data", "good.vorsel")});
        frmVorselPlot w(fp.plot_platform());
        w.Form_Load();

        ASSERT_EQ(fp.messages.shown.size(), 1u);
        EXPECT_EQ(fp.messages.shown[0].title, "Error reading input data!");
        EXPECT_EQ(fp.messages.shown[0].text, refusal(kBad, c.reason));
        EXPECT_EQ(fp.messages.shown[0].buttons, MsgButtons::Ok);
        EXPECT_EQ(fp.messages.shown[0].icon, MsgIcon::Critical);
        EXPECT_EQ(fp.grep("chooser.show").size(), 2u);
        // The refused file was saved when chosen; the good one replaced it.
        EXPECT_EQ(fp.grep("settings.set").size(), 10u);
        EXPECT_EQ(fp.settings.values[kSet + "Recent Location"], "/data/good.vorsel");
        EXPECT_EQ(fp.settings.values[kSet + "Recent Compound Code"], "good");
        EXPECT_EQ(w.npoint, 3);
        EXPECT_EQ(w.ncurves, 13);
        EXPECT_EQ(w.dat.size(), 39u);
        EXPECT_EQ(w.ReturnKey, 0);
        EXPECT_EQ(fp.frame.caption,
                  "VORSELPLOT: Systematic Error Curves for good          input data file: "
                  "/data/good.vorsel");
        EXPECT_EQ(fp.program.ends, 0);
    }
}

TEST(StartUpRefused, APathTooLongForTheReaderIsRefused) {
    FakePlatform fp;
    DataFiles data(fp, fp.files);
    const std::string name = std::string(251, 'x') + ".vorsel";  // "/data/" + 258 = 264
    data.put("/data/" + name, vorsel(13, 2));
    data.put("/data/good.vorsel", vorsel(13, 3));
    script(fp, {pick("/data", name), pick("/data", "good.vorsel")});
    frmVorselPlot w(fp.plot_platform());
    w.Form_Load();
    EXPECT_EQ(texts(fp), std::vector<std::string>{
                             "Error reading input data! | " +
                             refusal("/data/" + name,
                                     "Its path is 264 bytes long as the file system spells it; "
                                     "the reader takes at most 256 bytes.")});
    EXPECT_EQ(w.loc.strFile, "good.vorsel");
    EXPECT_EQ(fp.grep("lib.").size(), 1u);
}

TEST(StartUpRefused, AfterARefusedFileAbortKeepsItRemembered) {
    FakePlatform fp;
    DataFiles data(fp, fp.files);
    data.put(kBad, "abc\r\n");
    script(fp, {pick("/data", "bad.vorsel"), [](FakeChooserView& v) { v.abort(); }});
    frmVorselPlot w(fp.plot_platform());
    w.Form_Load();
    EXPECT_EQ(fp.program.ends, 1);
    EXPECT_EQ(fp.settings.values[kSet + "Recent Location"], kBad);
    EXPECT_TRUE(fp.grep("frame.").empty());
    EXPECT_TRUE(fp.grep("lib.").empty());
}

// File lengths the fake content cannot give.
class LengthFiles : public FakeFileSystem {
public:
    std::map<std::string, std::optional<std::int64_t>> length;
    std::optional<std::int64_t> file_length(const std::string& p) override {
        auto it = length.find(p);
        return it == length.end() ? FakeFileSystem::file_length(p) : it->second;
    }
};

TEST(StartUpRefused, FilesThatCannotBeMeasuredOrAreTooLarge) {
    struct Case { const char* name; std::optional<std::int64_t> length; std::string reason; };
    const Case cases[] = {
        {"length cannot be taken", std::nullopt,
         "The file cannot be opened or its length cannot be taken."},
        {"more data lines than a Long counts", std::int64_t{12} * 2147483648LL,
         "It is too large: it would hold more than 2147483647 data lines."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        FakePlatform fp;
        LengthFiles files;
        DataFiles data(fp, files);
        data.put(kBad, header(1) + "       1.0\r\n");
        files.length[kBad] = c.length;
        data.put("/data/good.vorsel", vorsel(13, 3));
        script(fp, {pick("/data", "bad.vorsel"), pick("/data", "good.vorsel")});
        vorsel::plot::PlotPlatform p{fp.board,    fp.range,    fp.window,   fp.buttons,
                                     fp.readouts, fp.frame,    fp.messages, fp.settings,
                                     files,       fp.program,  fp.library,  fp.chooser,
                                     fp.style};
        frmVorselPlot w(p);
        w.Form_Load();
        EXPECT_EQ(texts(fp), std::vector<std::string>{"Error reading input data! | " +
                                                      refusal(kBad, c.reason)});
        EXPECT_EQ(w.npoint, 3);
        EXPECT_EQ(fp.grep("lib.").size(), 1u);
    }
}

// ---- Real refinement data ----

std::string slurp(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST(StartUpRealData, EachFileAndItsLfTwinGiveEveryReflection) {
    const fs::path dir = VORSEL_REAL_DATA;
    if (!fs::is_directory(dir)) GTEST_SKIP() << "no real data at " << dir;
    const std::pair<const char*, std::int32_t> files[] = {
        {"oPPA.vorsel", 1714}, {"P-1.vorsel", 3174}, {"S2dipyridyl.vorsel", 4508}};
    for (const auto& [name, reflections] : files) {
        if (!fs::exists(dir / name)) continue;
        const std::string crlf = slurp(dir / name);
        std::string lf;
        for (char c : crlf)
            if (c != '\r') lf += c;
        const std::string* twins[] = {&crlf, &lf};
        for (const std::string* content : twins) {
            SCOPED_TRACE(std::string(name) + (content == &lf ? " with LF alone" : ""));
            FakePlatform fp;
            DataFiles data(fp, fp.files);
            data.put(std::string("/data/") + name, *content);
            script(fp, {pick("/data", name)});
            frmVorselPlot w(fp.plot_platform());
            w.Form_Load();
            EXPECT_TRUE(fp.messages.shown.empty());
            EXPECT_EQ(w.ReturnKey, 0);
            EXPECT_EQ(w.ncurves, 13);
            EXPECT_EQ(w.npoint, reflections);
            EXPECT_EQ(fp.readouts["txtTotalPoints"],
                      vorsel::platform::readout(std::int64_t{reflections}));
            for (std::int32_t k = 1; k <= w.npoint; ++k) ASSERT_GE(w.datv(2, k), 0.0f) << k;
        }
    }
}

}  // namespace

namespace {

// Arrays the machine cannot give are refused before they are asked for; a
// file that fits is read, and its arrays replace the previous file's memory
// instead of keeping it.
TEST(StartUpMemory, ArraysAreSizedOnlyWithinWhatTheMachineCanGiveAndGivenBack) {
    FakePlatform fp;
    DataFiles data(fp, fp.files);
    data.put("/data/big.vorsel", vorsel(13, 3000));
    data.put("/data/small.vorsel", vorsel(13, 4));
    // 3000 points of 13 rows and 8 arrays: 252,000 bytes.
    fp.program.available = 100000;
    script(fp, {pick("/data", "big.vorsel"), pick("/data", "small.vorsel"),
                pick("/data", "big.vorsel"), pick("/data", "small.vorsel")});
    frmVorselPlot w(fp.plot_platform());
    w.Form_Load();
    ASSERT_EQ(fp.messages.shown.size(), 1u);
    EXPECT_NE(fp.messages.shown[0].text.find(
                  "Its 3000 data lines need about 0.2 MB of memory; only 0.1 MB can be had."),
              std::string::npos)
        << fp.messages.shown[0].text;
    EXPECT_EQ(fp.grep("lib.READ").size(), 1u) << "the big file was read";
    EXPECT_EQ(w.npoint, 4);

    fp.program.available.reset();
    w.mnuOpen_Click();
    ASSERT_EQ(w.npoint, 3000);
    w.mnuOpen_Click();
    ASSERT_EQ(w.npoint, 4);
    EXPECT_EQ(w.sigrat.vec().capacity(), 4u);
    for (const auto* a : {&w.ycur, &w.ysmo, &w.ywork, &w.xcur, &w.xwork})
        EXPECT_EQ(a->vec().capacity(), 4u);
    EXPECT_EQ(w.dat.vec().capacity(), 4u * 13u);
    EXPECT_EQ(w.iperm.vec().capacity(), 4u);
}

}  // namespace
