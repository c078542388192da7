#include "app/vorsel_program.h"

#include <QApplication>

#include "plot/layout.h"

namespace vorsel::app {

VorselProgram::VorselProgram(std::vector<std::string> library_folders)
    : window_(plot::plot_window_layout()),
      messages_(&window_),
      library_(messages_, program_, platform::qt::DynamicLibrary::kFileName,
               std::move(library_folders)),
      chooser_views_(&window_),
      form_(plot::PlotPlatform{window_.board(), window_.range(), window_.window_bar(),
                               window_.buttons(), window_.readouts(), window_.frame(),
                               messages_, settings_, files_, program_, library_,
                               chooser_views_, platform::PathStyle::posix()}) {
    program_.set_dialog_parent(&window_);
    // Once the program is ending the window itself runs no further command.
    window_.on_button = [this](int index) { form_.cmdBut_Click(index); };
    window_.on_open = [this] { form_.mnuOpen_Click(); };
    window_.on_exit = [this] { form_.mnuExit_Click(); };
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
