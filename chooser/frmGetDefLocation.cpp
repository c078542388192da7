#include "chooser/frmGetDefLocation.h"

namespace vorsel::chooser {

std::string getcode(const std::string& strFile) { return strFile; }

frmGetDefLocation::frmGetDefLocation(platform::ChooserView& view, platform::Messages& messages,
                                     platform::FileSystem& files, platform::PathStyle style)
    : view_(view), messages_(messages), files_(files), style_(std::move(style)) {}

void frmGetDefLocation::show_modal(const Location&, bool& ShouldCancel) { ShouldCancel = true; }
void frmGetDefLocation::Form_Load(const Location&) {}
void frmGetDefLocation::drvDrive_Change() {}
void frmGetDefLocation::dirDirectory_Change() {}
void frmGetDefLocation::flbFile_Click() {}
void frmGetDefLocation::cmdOK_Click() {}
void frmGetDefLocation::cmdAbort_Click() {}
void frmGetDefLocation::frame_closed() {}
int frmGetDefLocation::TestFiles() { return 0; }
void frmGetDefLocation::reset() {}

}  // namespace vorsel::chooser
