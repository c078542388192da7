// The input-file chooser against a scripted view, in both path forms: drive
// letters (c:\data\abc.vorsel) and POSIX roots (/data/abc.vorsel).
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "chooser/frmGetDefLocation.h"
#include "tests/fakes/fake_platform.h"

namespace {

using vorsel::chooser::frmGetDefLocation;
using vorsel::chooser::Location;
using vorsel::fakes::FakeChooserView;
using vorsel::fakes::FakeFileSystem;
using vorsel::fakes::FakeMessages;
using vorsel::fakes::Log;
using vorsel::platform::kAnswerCancel;
using vorsel::platform::kAnswerRetry;
using vorsel::platform::MsgButtons;
using vorsel::platform::MsgIcon;
using vorsel::platform::PathStyle;

TEST(Getcode, EverythingBeforeTheLastDot) {
    struct Case { const char* file; const char* code; };
    const Case cases[] = {
        {"abc.vorsel", "abc"}, {"a.b.vorsel", "a.b"}, {"abc", "abc"},
        {".vorsel", ""},       {"", ""},              {"abc.", "abc"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        EXPECT_EQ(vorsel::chooser::getcode(c.file), c.code);
    }
}

// One path form and the places the examples use in it.
struct Form {
    const char* name;
    PathStyle style;
    std::string start_drive;  // the drive list's drive when the dialog opens
    std::string start_dir;    // the directory list's, also what a bare prefix opens
    std::string bare;         // the directory list path of a drive alone: "c:" / ""
    std::string data_dir;     // the directory list's path of the data directory
    std::string data_file;    // abc.vorsel in it
    std::string stored_dir;   // that directory as the settings store keeps it
    std::string other_drive;  // a second drive or root
    std::string other_root;   // its root directory
    std::string root_file;    // abc.vorsel in that root
};

void PrintTo(const Form& f, std::ostream* os) { *os << f.name; }

const Form kForms[] = {
    {"drive_letters", PathStyle::drive_letter(), "c", "c:\\vorsel", "c:", "c:\\data",
     "c:\\data\\abc.vorsel", "\\data", "d", "d:\\", "d:\\abc.vorsel"},
    {"posix", PathStyle::posix(), "/", "/home/xtal", "", "/data", "/data/abc.vorsel", "/data",
     "/", "/", "/abc.vorsel"},
};

class Chooser : public ::testing::TestWithParam<Form> {
protected:
    const Form& f = GetParam();
    Log log;
    FakeChooserView view{log};
    FakeMessages messages{log};
    FakeFileSystem files;
    frmGetDefLocation dlg{view, messages, files, f.style};

    Chooser() {
        view.drive = f.start_drive;
        view.dir = f.start_dir;
        view.drive_only_dir = f.start_dir;
    }
    // Loads the dialog without running it, so the handlers can be driven one
    // at a time.
    void load(const Location& owner) {
        view.set_events(&dlg);
        dlg.Form_Load(owner);
    }
    Location remembered() const {
        return {f.data_file, f.style.drive_of(f.data_file), f.stored_dir, "abc.vorsel", "abc"};
    }
    int count(const std::string& entry) const {
        return static_cast<int>(std::count(log.begin(), log.end(), entry));
    }
};

TEST_P(Chooser, FirstRunOpensOnTheDefaultDriveWithNothingChosen) {
    load(Location{});
    EXPECT_EQ(dlg.pub.strDrive, f.style.default_drive);
    EXPECT_EQ(dlg.pub.strDirectory, "");
    EXPECT_EQ(dlg.pub.strFile, "");
    EXPECT_EQ(dlg.pub.strCode, "");
    EXPECT_EQ(dlg.pub.strLocation, "");
    EXPECT_FALSE(dlg.Default);
    EXPECT_FALSE(view.ok_enabled);
    EXPECT_EQ(view.location_text, "");
    EXPECT_EQ(view.code_text, "");
    EXPECT_EQ(count("chooser.dir [" + f.bare + "]"), 1);
    EXPECT_EQ(count("chooser.files [" + f.bare + "]"), 1);
    EXPECT_EQ(view.pattern, "*.vorsel");
}

TEST_P(Chooser, ClickingAFileInADirectoryGivesTheFiveStrings) {
    files.files[f.data_file] = "13\r\n";
    load(Location{});
    view.open_dir(f.data_dir);
    EXPECT_EQ(view.location_text, f.data_dir);
    EXPECT_FALSE(view.ok_enabled);

    view.click_file("abc.vorsel");
    EXPECT_EQ(view.location_text, f.data_file);
    EXPECT_EQ(view.code_text, "abc");
    EXPECT_TRUE(view.ok_enabled);

    view.ok();
    EXPECT_EQ(dlg.pub.strDrive, f.style.drive_of(f.data_file));
    EXPECT_EQ(dlg.pub.strDirectory, f.stored_dir);
    EXPECT_EQ(dlg.pub.strFile, "abc.vorsel");
    EXPECT_EQ(dlg.pub.strCode, "abc");
    EXPECT_EQ(dlg.pub.strLocation, f.data_file);
    EXPECT_EQ(log.back(), "chooser.close");
}

// A path named outside the dialog is split as the dialog splits a choice.
TEST_P(Chooser, LocationOfAPathIsTheChoiceOfThatFile) {
    const auto fields = [](const Location& l) {
        return std::vector<std::string>{l.strLocation, l.strDrive, l.strDirectory, l.strFile,
                                        l.strCode};
    };
    EXPECT_EQ(fields(vorsel::chooser::location_of(f.data_file, f.style)), fields(remembered()));
    EXPECT_EQ(fields(vorsel::chooser::location_of(f.root_file, f.style)),
              (std::vector<std::string>{f.root_file, f.other_drive, "", "abc.vorsel", "abc"}));
}

TEST_P(Chooser, AFileInARootHasNoDoubledSeparatorAndAnEmptyDirectory) {
    files.files[f.root_file] = "13\r\n";
    load(Location{});
    if (f.other_drive != f.start_drive)
        view.pick_drive(f.other_drive);
    else
        view.open_dir(f.other_root);
    EXPECT_EQ(dlg.pub.strDirectory, f.other_root);
    view.click_file("abc.vorsel");
    EXPECT_EQ(dlg.pub.strLocation, f.root_file);
    view.ok();
    EXPECT_EQ(dlg.pub.strDrive, f.other_drive);
    EXPECT_EQ(dlg.pub.strDirectory, "");
    EXPECT_EQ(dlg.pub.strLocation, f.root_file);
}

TEST_P(Chooser, RememberedFileInTheStartingDirectoryIsShownButNeedsAClick) {
    files.files[f.data_file] = "13\r\n";
    view.dir = f.data_dir;  // the lists already show the remembered directory
    load(remembered());
    EXPECT_TRUE(dlg.Default);
    EXPECT_EQ(view.location_text, f.data_file);
    EXPECT_EQ(view.code_text, "abc");
    EXPECT_FALSE(view.ok_enabled);
    EXPECT_EQ(count("chooser.files [" + f.data_dir + "]"), 1);

    // The directory as the settings store keeps it has no prefix: the click
    // must put the drive back in front.
    view.click_file("abc.vorsel");
    EXPECT_EQ(dlg.pub.strLocation, f.data_file);
    EXPECT_TRUE(view.ok_enabled);
}

TEST_P(Chooser, RememberedFileElsewhereOpensItsDirectoryWithTheFileCleared) {
    files.files[f.data_file] = "13\r\n";
    load(remembered());
    EXPECT_EQ(view.dir, f.data_dir);
    EXPECT_EQ(dlg.pub.strDirectory, f.data_dir);
    EXPECT_EQ(dlg.pub.strFile, "");
    EXPECT_EQ(dlg.pub.strCode, "");
    EXPECT_EQ(view.location_text, f.data_dir);
    EXPECT_EQ(view.code_text, "");
    EXPECT_FALSE(view.ok_enabled);
    // The file list follows the same directory, never a twice-prefixed path.
    EXPECT_EQ(view.file_path, f.data_dir);
    for (const auto& entry : log) EXPECT_EQ(entry.find("c:c:"), std::string::npos) << entry;
}

TEST_P(Chooser, RememberedFileThatHasGoneResetsWithoutAMessage) {
    load(remembered());
    EXPECT_FALSE(dlg.Default);
    EXPECT_EQ(dlg.pub.strDrive, f.style.default_drive);
    EXPECT_EQ(dlg.pub.strCode, "");
    EXPECT_EQ(dlg.pub.strLocation, "");
    EXPECT_EQ(view.location_text, "");
    EXPECT_TRUE(messages.shown.empty());
}

TEST_P(Chooser, TestFilesFindsAnExistingFile) {
    files.files[f.data_file] = "13\r\n";
    dlg.pub.strLocation = f.data_file;
    EXPECT_EQ(dlg.TestFiles(), 0);
    EXPECT_TRUE(messages.shown.empty());
}

TEST_P(Chooser, TestFilesAsksRetryOrCancelForAMissingFile) {
    for (int answer : {kAnswerRetry, kAnswerCancel}) {
        SCOPED_TRACE(answer);
        messages.shown.clear();
        messages.answers = {answer};
        // A directory with its closing separator loses that one character.
        dlg.pub.strLocation = f.data_dir + f.style.separator;
        EXPECT_EQ(dlg.TestFiles(), answer);
        ASSERT_EQ(messages.shown.size(), 1u);
        EXPECT_EQ(messages.shown[0].text, "File " + f.data_dir +
                                              " could not be found\r\n\r\n"
                                              "Choose another file or Cancel.");
        EXPECT_EQ(messages.shown[0].title, "File not found!");
        EXPECT_EQ(messages.shown[0].buttons, MsgButtons::RetryCancel);
        EXPECT_EQ(messages.shown[0].icon, MsgIcon::Warning);
    }
}

// The script of a user at the modal dialog, and what the owner finds after.
struct ModalRun {
    const char* name;
    std::function<void(FakeChooserView&, const Form&)> user;
    bool cancel;
    bool dialog_closed_by_code;
};

TEST_P(Chooser, ModalRunsEndInOkOrCancel) {
    const ModalRun runs[] = {
        {"ok", [](FakeChooserView& v, const Form& f) {
             v.open_dir(f.data_dir);
             v.click_file("abc.vorsel");
             v.ok();
         }, false, true},
        {"abort", [](FakeChooserView& v, const Form&) { v.abort(); }, true, true},
        {"frame closed", [](FakeChooserView&, const Form&) {}, true, false},
        {"vanished file, cancel", [](FakeChooserView& v, const Form& f) {
             v.open_dir(f.data_dir);
             v.click_file("gone.vorsel");
             v.ok();
         }, true, true},
        {"vanished file, retry, then another", [](FakeChooserView& v, const Form& f) {
             v.open_dir(f.data_dir);
             v.click_file("gone.vorsel");
             v.ok();
             EXPECT_TRUE(v.open);
             EXPECT_FALSE(v.ok_enabled);
             v.click_file("abc.vorsel");
             v.ok();
         }, false, true},
    };
    for (const auto& r : runs) {
        SCOPED_TRACE(r.name);
        Log runlog;
        FakeChooserView v(runlog);
        v.drive = f.start_drive;
        v.dir = v.drive_only_dir = f.start_dir;
        FakeMessages m(runlog);
        m.answers.push_back(std::string(r.name).find("retry") != std::string::npos
                                ? kAnswerRetry
                                : kAnswerCancel);
        frmGetDefLocation d(v, m, files, f.style);
        files.files[f.data_file] = "13\r\n";
        v.user = [&](FakeChooserView& view) { r.user(view, f); };
        bool ShouldCancel = !r.cancel;  // must be overwritten either way
        d.show_modal(Location{}, ShouldCancel);
        EXPECT_EQ(ShouldCancel, r.cancel);
        EXPECT_EQ(std::count(runlog.begin(), runlog.end(), "chooser.close"),
                  r.dialog_closed_by_code ? 1 : 0);
        EXPECT_EQ(v.events, nullptr);
        if (!r.cancel) {
            EXPECT_EQ(d.pub.strLocation, f.data_file);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(BothPathForms, Chooser, ::testing::ValuesIn(kForms),
                         [](const auto& info) { return std::string(info.param.name); });

// Drive changes exist only where there are drive letters.
class DriveLetters : public ::testing::Test {
protected:
    Log log;
    FakeChooserView view{log};
    FakeMessages messages{log};
    FakeFileSystem files;
    frmGetDefLocation dlg{view, messages, files, PathStyle::drive_letter()};
};

TEST_F(DriveLetters, PickingAnotherDriveEmptiesTheChoice) {
    files.files["c:\\data\\abc.vorsel"] = "13\r\n";
    view.dir = "c:\\data";
    view.set_events(&dlg);
    dlg.Form_Load({"c:\\data\\abc.vorsel", "c", "\\data", "abc.vorsel", "abc"});
    view.click_file("abc.vorsel");
    dlg.Default = false;
    ASSERT_TRUE(view.ok_enabled);

    view.pick_drive("d");
    EXPECT_EQ(dlg.pub.strDrive, "d");
    EXPECT_EQ(dlg.pub.strFile, "");
    EXPECT_EQ(dlg.pub.strCode, "");
    EXPECT_EQ(dlg.pub.strLocation, "d:\\");
    EXPECT_EQ(dlg.pub.strDirectory, "d:\\");
    EXPECT_EQ(view.location_text, "d:\\");
    EXPECT_EQ(view.code_text, "");
    EXPECT_EQ(view.file_path, "d:\\");
    EXPECT_FALSE(view.ok_enabled);
}

TEST_F(DriveLetters, FirstDriveChangeKeepsTheRememberedFileAndEnablesOk) {
    files.files["c:\\data\\abc.vorsel"] = "13\r\n";
    view.drive = "e";  // the list starts elsewhere: loading moves it to c
    view.dir = "c:\\data";
    view.set_events(&dlg);
    dlg.Form_Load({"c:\\data\\abc.vorsel", "c", "\\data", "abc.vorsel", "abc"});
    EXPECT_FALSE(dlg.Default);
    EXPECT_TRUE(view.ok_enabled);
    EXPECT_EQ(dlg.pub.strLocation, "c:\\data\\abc.vorsel");
    EXPECT_EQ(dlg.pub.strFile, "abc.vorsel");

    view.ok();
    EXPECT_EQ(dlg.pub.strDrive, "c");
    EXPECT_EQ(dlg.pub.strDirectory, "\\data");
    EXPECT_EQ(log.back(), "chooser.close");
}

}  // namespace
