// The program vorselplot put together: the Qt platform objects, the plot
// window frmVorselPlot with its Qt view, the chooser's dialogs and the library
// loader. main() and the end-to-end tests build the program through this class.
#pragma once

#include <QTimer>
#include <functional>
#include <memory>
#include <string>

#include "app/analysis_view.h"
#include "app/reflection_file.h"
#include "platform/qt/chooser_dialog.h"
#include "platform/qt/dynamic_library.h"
#include "platform/qt/plot_window.h"
#include "platform/qt/services.h"
#include "plot/frmVorselPlot.h"

namespace vorsel::app {

// The user's commands in the window to the plot window's handlers: clicks,
// the File menu, keys, the pointer over the board and the wheel; and the keys'
// names into the tool tips of their buttons. after_command, when given, runs
// after each click and each File, Open.
void connect_window(platform::qt::PlotWindow& window, plot::frmVorselPlot& form,
                    std::function<void()> after_command = {});

class VorselProgram {
public:
    // Needs a QApplication. The library is looked for in the folders given
    // (by default beside the program, as an installed program finds it).
    explicit VorselProgram(
        std::vector<std::string> library_folders = platform::qt::DynamicLibrary::default_folders());
    // A zoom not yet stored is stored now.
    ~VorselProgram();

    // Runs the plot window's load handler (the chooser opens modally inside
    // it, unless a data file is named: then that file is read as if chosen
    // there; a reflection file (*.fcf) is converted first), then shows the
    // window unless the program has ended.
    void start(const std::string& file = {});
    // Runs the event loop until the program ends; returns at once when it has
    // already ended during start(). The exit status: 0 after an orderly end,
    // 1 when the program ended because something failed.
    int exec();
    bool ended() const { return program_.ended(); }

    platform::qt::PlotWindow& window() { return window_; }
    platform::qt::QtProgram& platform_program() { return program_; }
    plot::frmVorselPlot& form() { return form_; }
    platform::qt::DynamicLibrary& library() { return library_; }
    AnalysisView& analysis() { return analysis_; }

    // What "Save Picture..." and "Export Curve Data..." ask the user: a file
    // name, starting from a suggestion, under one of the filters
    // ("PNG image (*.png)"); the empty text when the user cancels. The file
    // dialog by default; the tests answer in its place.
    struct SaveQuestion {
        std::string caption, suggestion;
        std::vector<std::string> filters;
    };
    std::function<std::string(const SaveQuestion&)> ask_file_name;

    void save_picture();
    void export_curve();

    // What "Import Reflection File..." asks the user: a reflection file to
    // open, from the folder of the data file shown; the empty text when the
    // user cancels. The file dialog by default; the tests answer in its place.
    std::function<std::string(const std::string& folder)> ask_reflection_file;
    // The File item: the file chosen is converted as a reflection file,
    // whatever its name, and shown as File, Open shows a data file; one that cannot be converted gets the
    // importer's message, then the chooser opens.
    void import_reflection_file();

private:
    // The menu items that take the curve out of the window follow the board.
    void update_export();
    void add_import_item();
    // The next load reads `file`; a reflection file is converted for it
    // first, or refused with a message (the load then opens the chooser).
    void hand_file(const std::string& file, bool reflections);
    // The zoom the user left the window at, kept in the settings store a
    // moment after it last changed (a drag of the window's edge passes through
    // many) and at the end.
    void restore_zoom();
    void store_zoom();
    std::string suggested_name(const char* extension) const;
    void report_failure(const std::string& what, const std::string& path,
                        const std::string& reason);
    // True, after a message, when `path` is the data file on the board.
    bool is_data_file(const std::string& what, const std::string& path);

    platform::qt::QtProgram program_;
    platform::qt::PlotWindow window_;
    platform::qt::QtMessages messages_;
    platform::qt::QtSettings settings_;
    platform::qt::QtFileSystem files_;
    platform::qt::DynamicLibrary library_;
    platform::qt::ChooserDialogFactory chooser_views_;
    plot::frmVorselPlot form_;
    QTimer zoom_store_;
    std::unique_ptr<ConvertedReflections> converted_;  // while it is read
    AnalysisView analysis_{window_, form_};
};

}  // namespace vorsel::app
