#include "app/vorsel_program.h"

#include <QApplication>

#include "plot/keys.h"
#include "plot/layout.h"

namespace vorsel::app {

void connect_window(platform::qt::PlotWindow& window, plot::frmVorselPlot& form) {
    window.on_button = [&form](int index) { form.cmdBut_Click(index); };
    window.on_open = [&form] { form.mnuOpen_Click(); };
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
    // Once the program is ending the window itself runs no further command.
    connect_window(window_, form_);
}

void VorselProgram::start() {
    // The window shows once its load handler has a file in it: nothing
    // half-filled stands behind the chooser.
    form_.Form_Load();
    if (!ended()) window_.show();
}

int VorselProgram::exec() {
    if (ended()) return program_.exit_status();
    return QApplication::exec();
}

}  // namespace vorsel::app
