// frmGetDefLocation: the modal input-file chooser. The user picks a drive (a
// file-system root), a directory and a "*.vorsel" file; the dialog checks that
// the file exists and hands the choice back through five public strings. It
// opens on the location the plot window remembered in the settings store.
#pragma once

#include <string>

#include "platform/chooser_view.h"
#include "platform/platform.h"

namespace vorsel::chooser {

// The five strings of a file location, as the plot window and the chooser both
// hold them and the settings store keeps them.
struct Location {
    std::string strLocation;   // full path of the file
    std::string strDrive;      // drive letter, or the POSIX root "/"
    std::string strDirectory;  // without drive and closing separator ("" = root)
    std::string strFile;       // file name with extension
    std::string strCode;       // compound code: file name without extension
};

// The compound code of a file name: everything before its last ".".
std::string getcode(const std::string& strFile);

// The location of a file named by its full path, split as the chooser splits
// an accepted choice: the drive the path lies on, the directory between the
// drive prefix and the file name, the file name and its compound code.
Location location_of(const std::string& path, const platform::PathStyle& style);

class frmGetDefLocation : public platform::ChooserEvents {
public:
    frmGetDefLocation(platform::ChooserView& view, platform::Messages& messages,
                      platform::FileSystem& files, platform::PathStyle style);

    // Loads the dialog with the owner's remembered location, shows it modally
    // and returns when it has closed. ShouldCancel is the owner's flag: True
    // (the user abandoned the choice) or False (a file was accepted; the result
    // is in the public strings).
    void show_modal(const Location& owner, bool& ShouldCancel);

    // The public strings, read by the owner after the dialog has closed.
    Location pub;

    // Handlers and methods of the dialog.
    void Form_Load(const Location& owner);
    void drvDrive_Change() override;
    void dirDirectory_Change() override;
    void flbFile_Click() override;
    void cmdOK_Click() override;
    void cmdAbort_Click() override;
    void frame_closed() override;
    int TestFiles();
    std::string getcode() const { return chooser::getcode(pub.strFile); }

    bool Default = false;

private:
    void reset();
    platform::ChooserView& view_;
    platform::Messages& messages_;
    platform::FileSystem& files_;
    platform::PathStyle style_;
    bool* should_cancel_ = nullptr;
};

}  // namespace vorsel::chooser
