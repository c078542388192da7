// The input-file chooser. Its path logic is written once against PathStyle:
// a location is always prefix(drive) + directory + separator + file, whether
// the platform spells it c:\data\abc.vorsel or /data/abc.vorsel. While the
// dialog runs, strDirectory is the directory list's full path (prefix
// included); after OK it is cut back to the form the settings store keeps
// (no prefix, no closing separator, empty for the root).
#include "chooser/frmGetDefLocation.h"

#include <algorithm>
#include <utility>

namespace vorsel::chooser {

namespace {

constexpr const char* kCrLf = "\r\n";
constexpr const char* kFilePattern = "*.vorsel";

}  // namespace

std::string getcode(const std::string& strFile) {
    const std::size_t p = strFile.rfind('.');
    return p == std::string::npos ? strFile : strFile.substr(0, p);
}

Location location_of(const std::string& path, const platform::PathStyle& style) {
    Location l;
    l.strLocation = path;
    l.strDrive = style.drive_of(path);
    const std::size_t cut = path.rfind(style.separator);
    l.strFile = cut == std::string::npos ? path : path.substr(cut + 1);
    const std::size_t start = std::min(style.prefix_length(), path.size());
    const std::size_t tail = l.strFile.size() + 1;
    l.strDirectory = path.size() >= start + tail ? path.substr(start, path.size() - start - tail)
                                                 : std::string();
    l.strCode = getcode(l.strFile);
    return l;
}

frmGetDefLocation::frmGetDefLocation(platform::ChooserView& view, platform::Messages& messages,
                                     platform::FileSystem& files, platform::PathStyle style)
    : view_(view), messages_(messages), files_(files), style_(std::move(style)) {}

void frmGetDefLocation::show_modal(const Location& owner, bool& ShouldCancel) {
    should_cancel_ = &ShouldCancel;
    view_.set_events(this);
    Form_Load(owner);
    view_.run_modal();
    // The view may outlive this dialog object; it must not call back into it.
    view_.set_events(nullptr);
    should_cancel_ = nullptr;
}

void frmGetDefLocation::reset() {
    pub.strCode.clear();
    pub.strDrive = style_.default_drive;
    pub.strDirectory.clear();
    pub.strFile.clear();
    pub.strLocation.clear();
}

void frmGetDefLocation::Form_Load(const Location& owner) {
    view_.set_ok_enabled(false);
    Default = false;

    pub.strCode = owner.strCode;
    if (!pub.strCode.empty()) {
        pub.strLocation = owner.strLocation;
        if (!files_.file_name_of(pub.strLocation).empty()) {
            pub.strDrive = owner.strDrive;
            pub.strDirectory = owner.strDirectory;
            pub.strFile = owner.strFile;
            Default = true;
        } else {
            // The remembered file has gone: start afresh, without a word.
            reset();
        }
    } else {
        reset();
    }

    view_.set_location_text(pub.strLocation);
    view_.set_code_text(pub.strCode);

    // The directory to open, computed before the lists are touched: the
    // directory list's change handler replaces strDirectory with the full
    // path, and prefixing that again would give a path like c:c:\data. A
    // remembered file in the root opens the root, not the current folder that
    // a bare drive names.
    const std::string path = Default && pub.strDirectory.empty()
                                 ? style_.root(pub.strDrive)
                                 : style_.prefix(pub.strDrive) + pub.strDirectory;
    view_.drive_set(pub.strDrive);
    view_.dir_set_path(path);
    view_.file_set_pattern(kFilePattern);
    view_.file_set_path(path);
}

void frmGetDefLocation::drvDrive_Change() {
    if (Default) {
        // The first drive change after loading is the dialog's own, or one
        // that keeps the remembered file: it stays the answer.
        Default = false;
        view_.set_ok_enabled(true);
        return;
    }
    pub.strDrive = style_.drive_of(view_.drive_selected());
    pub.strDirectory.clear();
    pub.strFile.clear();
    pub.strLocation = style_.root(pub.strDrive);
    view_.dir_set_path(pub.strLocation);
    view_.file_set_path(pub.strLocation);
    view_.set_location_text(pub.strLocation);
    pub.strCode.clear();
    view_.set_code_text(pub.strCode);
    view_.set_ok_enabled(false);
}

void frmGetDefLocation::dirDirectory_Change() {
    pub.strDirectory = view_.dir_path();
    pub.strFile.clear();
    pub.strLocation = pub.strDirectory;
    view_.file_set_path(pub.strDirectory);
    view_.set_location_text(pub.strDirectory);
    pub.strCode.clear();
    view_.set_code_text(pub.strCode);
    view_.set_ok_enabled(false);
}

void frmGetDefLocation::flbFile_Click() {
    pub.strFile = view_.file_selected();
    // The file lies in the folder the lists show. That is the directory the
    // dialog was handed only when the lists opened it: on a first run, or when
    // the remembered folder has gone, they show another one (the current
    // folder) without a change event.
    pub.strDirectory = view_.dir_path();
    const char sep = style_.separator;
    if (!pub.strDirectory.empty()) {
        pub.strLocation = pub.strDirectory.back() == sep ? pub.strDirectory + pub.strFile
                                                         : pub.strDirectory + sep + pub.strFile;
    } else {
        pub.strLocation = style_.root(pub.strDrive) + pub.strFile;
    }
    // A directory as the settings store keeps it has no prefix yet.
    if (!style_.has_prefix(pub.strLocation))
        pub.strLocation = style_.prefix(pub.strDrive) + pub.strLocation;
    view_.set_location_text(pub.strLocation);
    pub.strCode = getcode();
    view_.set_code_text(pub.strCode);
    view_.set_ok_enabled(true);
}

int frmGetDefLocation::TestFiles() {
    if (!pub.strLocation.empty() && pub.strLocation.back() == style_.separator)
        pub.strLocation.pop_back();
    if (!files_.file_name_of(pub.strLocation).empty()) return 0;
    return messages_.show("File " + pub.strLocation + " could not be found" + kCrLf + kCrLf +
                              "Choose another file or Cancel.",
                          "File not found!", platform::MsgButtons::RetryCancel,
                          platform::MsgIcon::Warning);
}

void frmGetDefLocation::cmdOK_Click() {
    const int r = TestFiles();
    if (r == 0) {
        const std::string& loc = pub.strLocation;
        pub.strDrive = style_.drive_of(loc);
        // The directory lies between the drive prefix and the separator
        // before the file name; clamped so that a location that does not
        // end in strFile cannot make the cut run outside the text.
        const std::size_t start = std::min(style_.prefix_length(), loc.size());
        const std::size_t tail = pub.strFile.size() + 1;
        const std::size_t count = loc.size() >= start + tail ? loc.size() - start - tail : 0;
        pub.strDirectory = loc.substr(start, count);
        if (should_cancel_) *should_cancel_ = false;
        view_.unload();
    } else if (r == platform::kAnswerRetry) {
        view_.set_ok_enabled(false);
    } else {
        cmdAbort_Click();
    }
}

void frmGetDefLocation::cmdAbort_Click() {
    if (should_cancel_) *should_cancel_ = true;
    view_.unload();
}

void frmGetDefLocation::frame_closed() {
    // Closing the dialog by its frame gives no answer: the user has not
    // accepted a file, so it counts as Abort. The frame has already closed it.
    if (should_cancel_) *should_cancel_ = true;
}

}  // namespace vorsel::chooser
