// vorselplot: plots systematic-error curves of single-crystal X-ray data.
#include <QApplication>
#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "app/command_line.h"
#include "app/headless.h"
#include "app/vorsel_program.h"

int main(int argc, char* argv[]) {
    using vorsel::app::CommandLine;
    using vorsel::app::Exit;
    const CommandLine cl =
        vorsel::app::parse_command_line(std::vector<std::string>(argv + 1, argv + argc));
    if (!cl.error.empty()) {
        std::fprintf(stderr, "vorselplot: %s (vorselplot --help tells more)\n", cl.error.c_str());
        return static_cast<int>(Exit::usage);
    }
    if (cl.mode == CommandLine::Mode::Help) {
        std::fputs(vorsel::app::help_text().c_str(), stdout);
        return 0;
    }
    if (cl.mode == CommandLine::Mode::Version) {
        std::puts("vorselplot " VORSEL_VERSION);
        return 0;
    }

    if (cl.headless()) {
        // Drawn offscreen: no display is needed and no window can open; Qt
        // sees none of the options.
        if (const std::string note = vorsel::app::unused_qt_options_note(cl); !note.empty())
            std::fprintf(stderr, "vorselplot: %s\n", note.c_str());
        int qt_argc = 1;
        qputenv("QT_QPA_PLATFORM", "offscreen");
        vorsel::app::keep_qt_quiet();
        QApplication app(qt_argc, argv);
        QApplication::setStyle(QStringLiteral("Fusion"));
        return static_cast<int>(vorsel::app::run_headless(cl));
    }
    // Without a display Qt would end the program with an abort of its own; a
    // user who ran it by mistake in a terminal gets a line that says why.
    const bool platform_named = !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") ||
                                std::any_of(cl.qt_options.begin(), cl.qt_options.end(),
                                            [](const std::string& o) { return o.rfind("-platform", 0) == 0; });
    if (!platform_named && qEnvironmentVariableIsEmpty("DISPLAY") &&
        qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")) {
        std::fputs("vorselplot: no display to open the window on (neither DISPLAY nor "
                   "WAYLAND_DISPLAY is set); --output, --report and --stats need none\n",
                   stderr);
        return static_cast<int>(Exit::internal);
    }
    // The window hands Qt its own options, and only those: the program's own
    // are read already. Qt keeps the argument vector for the program's life.
    std::vector<char*> qt_argv{argv[0]};
    std::vector<std::string> qt_args = cl.qt_options;
    for (std::string& a : qt_args) qt_argv.push_back(a.data());
    qt_argv.push_back(nullptr);
    int qt_argc = static_cast<int>(qt_argv.size()) - 1;
    QApplication app(qt_argc, qt_argv.data());
    if (!vorsel::app::style_given(cl)) QApplication::setStyle(QStringLiteral("Fusion"));
    vorsel::app::VorselProgram program;
    program.start(cl.file);
    return program.exec();
}
