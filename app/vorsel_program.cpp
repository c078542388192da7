#include "app/vorsel_program.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMenu>
#include <QRegularExpression>
#include <algorithm>
#include <cctype>
#include <cstring>

#include "platform/output_file.h"
#include "platform/qt/picture.h"
#include "platform/zoom.h"
#include "plot/curve_export.h"
#include "plot/keys.h"
#include "plot/layout.h"
#include "plot/quantities.h"

namespace vorsel::app {

namespace {

constexpr const char* kCrLf = "\r\n";
const char* const kPictureFilters[] = {"PNG image (*.png)", "SVG drawing (*.svg)",
                                       "PDF document (*.pdf)"};
constexpr const char* kCurveFilter = "Comma-separated values (*.csv)";

// The file dialog, starting in the suggestion's folder with its name.
std::string file_dialog(QWidget* parent, const VorselProgram::SaveQuestion& question) {
    QFileDialog dialog(parent, QString::fromStdString(question.caption));
    dialog.setObjectName("dlgSaveFile");
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    QStringList filters;
    for (const std::string& f : question.filters) filters << QString::fromStdString(f);
    dialog.setNameFilters(filters);
    const QFileInfo suggestion(QString::fromStdString(question.suggestion));
    dialog.setDirectory(suggestion.absolutePath());
    dialog.selectFile(suggestion.fileName());
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    QString name = dialog.selectedFiles().front();
    // A name without an extension takes the one of the filter chosen.
    if (QFileInfo(name).suffix().isEmpty()) {
        const QRegularExpressionMatch m =
            QRegularExpression(QStringLiteral("\\*(\\.\\w+)")).match(dialog.selectedNameFilter());
        if (m.hasMatch()) name += m.captured(1);
    }
    return name.toStdString();
}

// The file dialog that picks a reflection file.
std::string reflection_file_dialog(QWidget* parent, const std::string& folder) {
    QFileDialog dialog(parent, QStringLiteral("Import Reflection File"));
    dialog.setObjectName("dlgImportReflections");
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setNameFilters({QStringLiteral("Reflection file (*.fcf *.FCF)"),
                           QStringLiteral("All files (*)")});
    dialog.setDirectory(QString::fromStdString(folder));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    return dialog.selectedFiles().front().toStdString();
}

}  // namespace

void connect_window(platform::qt::PlotWindow& window, plot::frmVorselPlot& form,
                    std::function<void()> after_command) {
    window.on_button = [&form, after_command](int index) {
        form.cmdBut_Click(index);
        if (after_command) after_command();
    };
    window.on_open = [&form, after_command] {
        form.mnuOpen_Click();
        if (after_command) after_command();
    };
    window.on_exit = [&form] { form.mnuExit_Click(); };
    window.on_key = [&form](const platform::KeyPress& k) { return form.Form_KeyDown(k); };
    window.on_pointer_move = [&form](const platform::BoardPointer& p) {
        form.pctPlot_MouseMove(p);
    };
    window.on_pointer_press = [&form](const platform::BoardPointer& p) {
        form.pctPlot_MouseDown(p);
    };
    window.on_pointer_leave = [&form] { form.pctPlot_MouseLeave(); };
    window.on_wheel = [&form](int delta) { form.pctPlot_MouseWheel(delta); };
    for (const plot::KeyBinding& b : plot::kKeyBindings)
        window.buttons().set_key_hint(b.index, b.name);
}

VorselProgram::VorselProgram(std::vector<std::string> library_folders)
    : window_(plot::plot_window_layout()),
      messages_(&window_),
      library_(messages_, program_, platform::qt::DynamicLibrary::kFileName,
               std::move(library_folders)),
      chooser_views_(&window_),
      form_(plot::PlotPlatform{window_.board(), window_.range(), window_.window_bar(),
                               window_.buttons(), window_.readouts(), window_.frame(), messages_,
                               settings_, files_, program_, library_, chooser_views_,
                               platform::PathStyle::posix(), window_.point_view()}) {
    program_.set_dialog_parent(&window_);
    settings_.on_unusable = [this](const std::string& text) {
        messages_.show(text, "Settings not used", platform::MsgButtons::Ok,
                       platform::MsgIcon::Warning);
    };
    ask_file_name = [this](const SaveQuestion& q) { return file_dialog(&window_, q); };
    ask_reflection_file = [this](const std::string& folder) {
        return reflection_file_dialog(&window_, folder);
    };
    add_import_item();
    // Once the program is ending the window itself runs no further command.
    // A command may draw a curve or take it away: the two File menu items
    // that take the curve out follow.
    connect_window(window_, form_, [this] {
        update_export();
        analysis_.follow();
    });
    window_.on_statistics = [this] {
        if (!ended()) analysis_.open_statistics();
    };
    window_.on_normal_plot = [this] {
        if (!ended()) analysis_.open_normal_plot();
    };
    window_.on_save_picture = [this] { save_picture(); };
    window_.on_export_curve = [this] { export_curve(); };
    zoom_store_.setSingleShot(true);
    zoom_store_.setInterval(500);
    QObject::connect(&zoom_store_, &QTimer::timeout, [this] { store_zoom(); });
}

VorselProgram::~VorselProgram() {
    if (zoom_store_.isActive()) store_zoom();
}

void VorselProgram::restore_zoom() {
    const std::string stored =
        settings_.get(plot::kSettingsApp, plot::kSettingsSection, platform::kZoomKey, "");
    if (const auto percent = platform::zoom_from_setting(stored))
        window_.set_zoom_percent(*percent);
    // From here on each change is the user's.
    window_.on_zoom = [this](int) { zoom_store_.start(); };
}

void VorselProgram::store_zoom() {
    zoom_store_.stop();
    settings_.set(plot::kSettingsApp, plot::kSettingsSection, platform::kZoomKey,
                  platform::zoom_setting(window_.zoom_percent()));
}

void VorselProgram::add_import_item() {
    // In the File menu after Open.
    auto* menu = window_.findChild<QMenu*>(QStringLiteral("mnuFile"));
    if (!menu) return;
    const QList<QAction*> items = menu->actions();
    const auto open = std::find_if(items.begin(), items.end(), [](const QAction* a) {
        return a->objectName() == QLatin1String("mnuOpen");
    });
    QAction* before = open != items.end() && open + 1 != items.end() ? *(open + 1) : nullptr;
    auto* item = new QAction(QStringLiteral("&Import Reflection File..."), menu);
    item->setObjectName("mnuImportReflections");
    menu->insertAction(before, item);
    QObject::connect(item, &QAction::triggered, [this] { import_reflection_file(); });
}

void VorselProgram::hand_file(const std::string& file, bool reflections) {
    const std::string path =
        QFileInfo(QString::fromStdString(file)).absoluteFilePath().toStdString();
    const chooser::Location location = chooser::location_of(path, platform::PathStyle::posix());
    if (!reflections) {
        form_.hand_location(location);
        return;
    }
    converted_.reset();
    try {
        converted_ = convert_reflection_file(path);
    } catch (const std::exception& e) {
        messages_.show(std::string("The reflection file could not be imported.") + kCrLf +
                           e.what() + kCrLf + kCrLf + plot::kChooseAnother,
                       "Error importing reflection file!", platform::MsgButtons::Ok,
                       platform::MsgIcon::Critical);
        return;
    }
    if (!converted_->notes.empty()) {
        std::string text;
        for (const std::string& note : converted_->notes) text += (text.empty() ? "" : kCrLf) + note;
        messages_.show(text, "Reflection file imported", platform::MsgButtons::Ok,
                       platform::MsgIcon::Information);
    }
    form_.hand_location(location, converted_->data.path());
}

void VorselProgram::import_reflection_file() {
    if (ended()) return;
    const QString shown = QString::fromStdString(form_.loc.strLocation);
    const std::string folder =
        (shown.isEmpty() ? QDir::currentPath() : QFileInfo(shown).absolutePath()).toStdString();
    const std::string path = ask_reflection_file(folder);
    if (path.empty()) return;
    hand_file(path, true);
    form_.mnuOpen_Click();
    // The data are in the window's arrays: the converted file has served.
    converted_.reset();
    update_export();
    analysis_.follow();
}

void VorselProgram::start(const std::string& file) {
    if (!file.empty()) hand_file(file, is_reflection_file(file));
    // The window takes the stored zoom first, so that the chooser opens at it
    // too; it shows once its load handler has a file in it: nothing
    // half-filled stands behind the chooser.
    restore_zoom();
    form_.Form_Load();
    converted_.reset();
    update_export();
    if (!ended()) window_.show();
}

int VorselProgram::exec() {
    if (ended()) return program_.exit_status();
    return QApplication::exec();
}

void VorselProgram::update_export() { window_.set_export_enabled(plot::curve_drawn(form_)); }

std::string VorselProgram::suggested_name(const char* extension) const {
    // abc-dFsFo-vs-theta.png beside the data file. The compound code keeps
    // what a code is commonly written with (imp_sucrose, P-1, a.2); a
    // quantity's caption keeps its letters and digits only.
    const auto kept = [](const std::string& s, const char* also) {
        std::string out;
        for (char c : s)
            if (std::isalnum(static_cast<unsigned char>(c)) || (c != '\0' && std::strchr(also, c)))
                out.push_back(c);
        return out;
    };
    const auto plain = [&kept](const std::string& s) { return kept(s, ""); };
    const QFileInfo data(QString::fromStdString(form_.loc.strLocation));
    const std::string name = kept(form_.loc.strCode, "_-.") + "-" +
                             plain(plot::quantity_caption(form_.iby)) + "-vs-" +
                             plain(plot::quantity_caption(form_.ibx)) + extension;
    return data.absoluteDir().filePath(QString::fromStdString(name)).toStdString();
}

void VorselProgram::report_failure(const std::string& what, const std::string& path,
                                   const std::string& reason) {
    messages_.show("The " + what + " could not be saved to " + path + "." + kCrLf + reason,
                   "Error saving " + what + "!", platform::MsgButtons::Ok,
                   platform::MsgIcon::Critical);
}

bool VorselProgram::is_data_file(const std::string& what, const std::string& path) {
    const std::string data = form_.loc.strLocation;
    if (platform::input_named_by(path, {data}).empty()) return false;
    report_failure(what, path, "It is the data file shown; nothing was written over it.");
    return true;
}

void VorselProgram::save_picture() {
    if (ended() || !plot::curve_drawn(form_)) return;
    SaveQuestion question{"Save Picture",
                          suggested_name(".png"),
                          {std::begin(kPictureFilters), std::end(kPictureFilters)}};
    const std::string path = ask_file_name(question);
    if (path.empty()) return;
    const auto format = platform::qt::picture_format_of(path);
    if (!format) {
        report_failure("picture", path, "Its name must end in .png, .svg or .pdf.");
        return;
    }
    if (is_data_file("picture", path)) return;
    const std::string error =
        platform::qt::write_picture(path, *format, window_.board(), plot::picture_title(form_),
                                    plot::picture_x_note(form_));
    if (!error.empty()) report_failure("picture", path, error);
}

void VorselProgram::export_curve() {
    if (ended() || !plot::curve_drawn(form_)) return;
    SaveQuestion question{"Export Curve Data", suggested_name(".csv"), {kCurveFilter}};
    const std::string path = ask_file_name(question);
    if (path.empty()) return;
    if (is_data_file("curve data", path)) return;
    const std::string error = platform::qt::write_text_file(path, plot::curve_csv(form_));
    if (!error.empty()) report_failure("curve data", path, error);
}

}  // namespace vorsel::app
