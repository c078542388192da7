// The Qt view of the input-file chooser frmGetDefLocation: a modal dialog with
// a drive list, a directory list, a file list of "*.vorsel" files, the two
// display boxes and the buttons "Abort" and "OK !".
//
// On a system without drive letters the lists work like this:
// - A "drive" is a file-system root. The drive list holds the root "/"; its
//   drive text is "/", its prefix in front of a directory is empty and the
//   separator is "/". The stored strings keep their relation
//   location = prefix(drive) + directory + "/" + file, for example drive "/",
//   directory "/home/ana/data", file "abc.vorsel", location
//   "/home/ana/data/abc.vorsel"; a file in the root has the empty directory.
// - The directory list shows the opened directory's subdirectories and ".."
//   (above the root there is none); a double click (or Enter) opens one.
//   dir_path() is the opened directory as an absolute, clean path ("/" for the
//   root). Setting the empty path (a drive with no directory, as on the first
//   run) opens the program's current working directory, the way a bare drive
//   letter names that drive's current directory. A path that does not exist
//   opens its nearest existing parent.
// - The file list shows the regular files of its directory that match the
//   pattern, sorted by name; a click selects one (flbFile_Click).
// The change events fire only when the drive or the opened directory really
// changes, whether the user or the dialog's own code changed it.
#pragma once

#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

#include "platform/chooser_view.h"

namespace vorsel::platform::qt {

class ChooserDialog : public QDialog, public platform::ChooserView {
public:
    explicit ChooserDialog(QWidget* parent = nullptr);

    void set_events(platform::ChooserEvents* events) override { events_ = events; }
    void set_ok_enabled(bool enabled) override { ok_->setEnabled(enabled); }
    void set_location_text(const std::string& text) override;
    void set_code_text(const std::string& text) override;

    void drive_set(const std::string& drive) override;
    std::string drive_selected() const override;

    void dir_set_path(const std::string& path) override;
    std::string dir_path() const override { return dir_.toStdString(); }

    void file_set_pattern(const std::string& pattern) override;
    void file_set_path(const std::string& path) override;
    std::string file_selected() const override;

    void run_modal() override;
    void unload() override;

    // Opens a directory as a double click on it does.
    void open_directory(const QString& path);

    // Escape or the window frame.
    void reject() override;

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    // Each control to the chooser's handler it stands for.
    void connect_controls();
    // The tests act as the user: they click a file by name.
    friend struct TestSeam;

    void fill_directories();
    void fill_files();
    void file_chosen();

    platform::ChooserEvents* events_ = nullptr;
    QComboBox* drives_;
    QListWidget* dirs_;
    QListWidget* files_;
    QLineEdit* location_;
    QLineEdit* code_;
    QPushButton* abort_;
    QPushButton* ok_;
    QString dir_;          // opened directory
    QString file_dir_;     // directory the file list shows
    QString pattern_ = QStringLiteral("*");
    bool filling_ = false;  // the lists are being refilled by code
    bool closing_ = false;  // unload() was called
};

class ChooserDialogFactory : public platform::ChooserViewFactory {
public:
    explicit ChooserDialogFactory(QWidget* parent = nullptr) : parent_(parent) {}
    void set_parent(QWidget* parent) { parent_ = parent; }
    std::unique_ptr<platform::ChooserView> create() override;

private:
    QWidget* parent_;
};

}  // namespace vorsel::platform::qt
