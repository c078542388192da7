#include "platform/qt/chooser_dialog.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>
#include <algorithm>
#include <string>
#include <vector>

#include <dirent.h>
#include <sys/stat.h>

#include "platform/qt/controls.h"
#include "platform/qt/units.h"

namespace vorsel::platform::qt {

namespace {

QLabel* label(QWidget* parent, int index, const char* text, const Rect& r,
              Qt::Alignment align = Qt::AlignLeft | Qt::AlignVCenter) {
    auto* l = new QLabel(QString::fromUtf8(text), parent);
    l->setObjectName(QStringLiteral("lblLocation_%1").arg(index));
    l->setAlignment(align);
    const Zoom zoom = zoom_of(parent);
    l->setGeometry(zoom.to_px(r));
    l->setFont(fitted_font(parent->font(), l->text(), l->width(), zoom));
    return l;
}

// The directory a path names, made absolute and clean; the empty path is the
// current working directory; a path that does not exist falls back to its
// nearest existing parent.
// Whether a name ends in the text, letters compared without their case.
bool ends_with_folded(const std::string& name, const std::string& end) {
    if (name.size() < end.size()) return false;
    return std::equal(end.begin(), end.end(), name.end() - static_cast<std::ptrdiff_t>(end.size()),
                      [](char a, char b) {
                          const auto lower = [](char c) {
                              return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
                          };
                          return lower(a) == lower(b);
                      });
}

// The regular files of a folder whose names match a pattern of the form
// "*.ext" (or "*"), the extension in any case, sorted by their bytes; folder
// and names in the file system's own bytes.
std::vector<std::string> matching_files(const std::string& folder, const std::string& pattern) {
    std::vector<std::string> out;
    const std::string ext = pattern.rfind('*', 0) == 0 ? pattern.substr(1) : pattern;
    DIR* d = ::opendir(folder.c_str());
    if (!d) return out;
    while (const dirent* e = ::readdir(d)) {
        const std::string name = e->d_name;
        if (!ends_with_folded(name, ext)) continue;
        struct stat st;
        const std::string full = folder + (folder.ends_with('/') ? "" : "/") + name;
        if (::stat(full.c_str(), &st) == 0 && S_ISREG(st.st_mode)) out.push_back(name);
    }
    ::closedir(d);
    std::sort(out.begin(), out.end());
    return out;
}

QString resolve_directory(const std::string& path) {
    QString p =
        path.empty()
            ? QDir::currentPath()
            : QDir::cleanPath(QDir::current().absoluteFilePath(QString::fromStdString(path)));
    while (!QFileInfo(p).isDir()) {
        const QString up = QFileInfo(p).absolutePath();
        if (up == p) break;
        p = up;
    }
    return QDir::cleanPath(p);
}

}  // namespace

ChooserDialog::ChooserDialog(QWidget* parent) : QDialog(parent) {
    setObjectName("frmGetDefLocation");
    setWindowTitle(QStringLiteral("Choose the input data file"));
    setModal(true);
    // At the zoom of the window it opens over.
    const Zoom zoom = zoom_of(this);
    QFont dialog_font = QApplication::font();
    dialog_font.setPointSizeF(zoom.points(8.0));
    setFont(dialog_font);
    setFixedSize(zoom.to_px(6105), zoom.to_px(5520));

    label(this, 0, "Choose the drive, directory and file in which", {960, 240, 4215, 255});
    label(this, 1, "the data for your compound are stored", {960, 480, 4215, 255});
    label(this, 2, "drive:", {120, 840, 735, 255});
    label(this, 3, "directory:", {120, 1200, 735, 255});
    label(this, 4, "input:", {120, 3720, 735, 255});
    label(this, 5, "code:", {120, 4200, 735, 255});
    label(this, 6, ":file", {5280, 840, 735, 255});

    drives_ = new QComboBox(this);
    drives_->setObjectName("drvDrive");
    for (const QFileInfo& root : QDir::drives()) drives_->addItem(root.absoluteFilePath());
    if (drives_->count() == 0) drives_->addItem(QStringLiteral("/"));
    drives_->setGeometry(zoom.to_px(Rect{960, 840, 1935, 315}));

    dirs_ = new QListWidget(this);
    dirs_->setObjectName("dirDirectory");
    dirs_->setGeometry(zoom.to_px(Rect{960, 1200, 1935, 2250}));

    files_ = new QListWidget(this);
    files_->setObjectName("flbFile");
    files_->setGeometry(zoom.to_px(Rect{3000, 840, 2175, 2625}));

    location_ = new QLineEdit(this);
    location_->setObjectName("txtLocation");
    location_->setReadOnly(true);
    location_->setGeometry(zoom.to_px(Rect{960, 3720, 4215, 285}));

    code_ = new QLineEdit(this);
    code_->setObjectName("txtTemplate");
    code_->setReadOnly(true);
    code_->setGeometry(zoom.to_px(Rect{960, 4200, 4215, 285}));

    // Enter presses the focused button and no other (keyPressEvent).
    abort_ = new QPushButton(QStringLiteral("Abort"), this);
    abort_->setObjectName("cmdAbort");
    abort_->setAutoDefault(false);
    abort_->setGeometry(zoom.to_px(Rect{960, 4680, 735, 495}));

    ok_ = new QPushButton(QStringLiteral("OK !"), this);
    ok_->setObjectName("cmdOK");
    ok_->setAutoDefault(false);
    ok_->setGeometry(zoom.to_px(Rect{2400, 4680, 2775, 495}));

    // As a directory list starts: the current drive and its current directory.
    dir_ = resolve_directory("");
    file_dir_ = dir_;
    fill_directories();
    connect_controls();
}

void ChooserDialog::connect_controls() {
    connect(drives_, &QComboBox::currentIndexChanged, this, [this] {
        if (!filling_ && events_) events_->drvDrive_Change();
    });
    connect(dirs_, &QListWidget::itemActivated, this, [this](QListWidgetItem* item) {
        if (item) open_directory(QDir(dir_).absoluteFilePath(item->text()));
    });
    // A click, and a move of the selection by the keyboard, choose a file.
    // Tabbing into the list only makes a row current, without selecting it:
    // that chooses nothing.
    connect(files_, &QListWidget::itemClicked, this, [this] { file_chosen(); });
    connect(files_, &QListWidget::itemSelectionChanged, this, [this] {
        if (QApplication::mouseButtons() == Qt::NoButton) file_chosen();
    });
    connect(ok_, &QPushButton::clicked, this, [this] {
        if (events_) events_->cmdOK_Click();
    });
    connect(abort_, &QPushButton::clicked, this, [this] {
        if (events_) events_->cmdAbort_Click();
    });
}

void ChooserDialog::file_chosen() {
    if (!filling_ && events_ && !files_->selectedItems().isEmpty()) events_->flbFile_Click();
}

void ChooserDialog::set_location_text(const std::string& text) {
    location_->setText(QString::fromStdString(text));
}

void ChooserDialog::set_code_text(const std::string& text) {
    code_->setText(QString::fromStdString(text));
}

void ChooserDialog::drive_set(const std::string& drive) {
    int found = -1;
    for (int i = 0; i < drives_->count(); ++i)
        if (drives_->itemText(i).toStdString().rfind(drive, 0) == 0 && !drive.empty()) {
            found = i;
            break;
        }
    // An unknown drive is the root: the only drive this system has for sure.
    if (found < 0) found = 0;
    if (found == drives_->currentIndex()) return;
    drives_->setCurrentIndex(found);  // raises drvDrive_Change
}

std::string ChooserDialog::drive_selected() const { return drives_->currentText().toStdString(); }

void ChooserDialog::dir_set_path(const std::string& path) {
    const QString p = resolve_directory(path);
    if (p == dir_) return;
    dir_ = p;
    fill_directories();
    if (events_) events_->dirDirectory_Change();
}

void ChooserDialog::open_directory(const QString& path) { dir_set_path(path.toStdString()); }

void ChooserDialog::fill_directories() {
    filling_ = true;
    dirs_->clear();
    QDir d(dir_);
    if (!d.isRoot()) dirs_->addItem(QStringLiteral(".."));
    dirs_->addItems(d.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name));
    filling_ = false;
}

void ChooserDialog::file_set_pattern(const std::string& pattern) {
    pattern_ = QString::fromStdString(pattern);
    fill_files();
}

void ChooserDialog::file_set_path(const std::string& path) {
    file_dir_ = resolve_directory(path);
    fill_files();
}

void ChooserDialog::fill_files() {
    filling_ = true;
    files_->clear();
    // Names as the file system holds them: a name that is not valid UTF-8
    // is listed with stand-ins for its odd bytes and opened by its own bytes.
    for (const std::string& name :
         matching_files(QFile::encodeName(file_dir_).toStdString(), pattern_.toStdString())) {
        auto* item = new QListWidgetItem(
            QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size())));
        item->setData(Qt::UserRole, QByteArray(name.data(), static_cast<qsizetype>(name.size())));
        files_->addItem(item);
    }
    files_->setCurrentRow(-1);
    filling_ = false;
}

std::string ChooserDialog::file_selected() const {
    const QList<QListWidgetItem*> chosen = files_->selectedItems();
    const QListWidgetItem* item = chosen.isEmpty() ? files_->currentItem() : chosen.front();
    if (!item) return {};
    return item->data(Qt::UserRole).toByteArray().toStdString();
}

void ChooserDialog::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        // On "OK !" or "Abort" Enter presses it; anywhere else (a directory
        // it has just opened, the file list) it presses nothing.
        QWidget* focus = focusWidget();
        if ((focus == ok_ || focus == abort_) && focus->isEnabled())
            static_cast<QPushButton*>(focus)->click();
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void ChooserDialog::run_modal() {
    closing_ = false;
    exec();
}

void ChooserDialog::unload() {
    closing_ = true;
    done(QDialog::Accepted);
}

void ChooserDialog::reject() {
    if (closing_) return QDialog::reject();
    // Closed by the window frame or Escape: the chooser's logic decides; when
    // it has not closed the dialog itself, the dialog closes anyway.
    if (events_) events_->frame_closed();
    if (!closing_) {
        closing_ = true;
        QDialog::reject();
    }
}

std::unique_ptr<platform::ChooserView> ChooserDialogFactory::create() {
    return std::make_unique<ChooserDialog>(parent_);
}

}  // namespace vorsel::platform::qt
