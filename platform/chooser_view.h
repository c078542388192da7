// The controls of the input-file chooser frmGetDefLocation: drive, directory
// and file lists, the two display boxes and the OK button. The chooser's logic
// (chooser/) drives them and receives their events through ChooserEvents.
#pragma once

#include <memory>
#include <string>

namespace vorsel::platform {

class ChooserEvents {
public:
    virtual ~ChooserEvents() = default;
    virtual void drvDrive_Change() = 0;
    virtual void dirDirectory_Change() = 0;
    virtual void flbFile_Click() = 0;
    virtual void cmdOK_Click() = 0;
    virtual void cmdAbort_Click() = 0;
    // The dialog was closed by its window frame.
    virtual void frame_closed() = 0;
};

class ChooserView {
public:
    virtual ~ChooserView() = default;
    virtual void set_events(ChooserEvents* events) = 0;

    virtual void set_ok_enabled(bool enabled) = 0;
    virtual void set_location_text(const std::string& text) = 0;  // txtLocation
    virtual void set_code_text(const std::string& text) = 0;      // txtTemplate

    // Drive list. Setting a drive other than the current one raises
    // drvDrive_Change; the selected entry's text starts with the drive.
    virtual void drive_set(const std::string& drive) = 0;
    virtual std::string drive_selected() const = 0;

    // Directory list. Setting a path that differs from the opened directory
    // raises dirDirectory_Change; dir_path() is the opened directory in full
    // (with its drive prefix; the root with its closing separator).
    virtual void dir_set_path(const std::string& path) = 0;
    virtual std::string dir_path() const = 0;

    // File list: the files of a directory that match a pattern.
    virtual void file_set_pattern(const std::string& pattern) = 0;
    virtual void file_set_path(const std::string& path) = 0;
    virtual std::string file_selected() const = 0;

    // Shows the dialog modally; returns when unload() has been called or the
    // window frame closed it.
    virtual void run_modal() = 0;
    // Hides and unloads the dialog.
    virtual void unload() = 0;
};

class ChooserViewFactory {
public:
    virtual ~ChooserViewFactory() = default;
    virtual std::unique_ptr<ChooserView> create() = 0;
};

}  // namespace vorsel::platform
