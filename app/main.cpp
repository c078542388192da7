// vorselplot: plots systematic-error curves of single-crystal X-ray data.
#include <QApplication>
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

    // The options are the program's own: Qt sees none of them.
    int qt_argc = 1;
    if (cl.headless()) {
        // Drawn offscreen: no display is needed and no window can open.
        qputenv("QT_QPA_PLATFORM", "offscreen");
        vorsel::app::keep_qt_quiet();
        QApplication app(qt_argc, argv);
        QApplication::setStyle(QStringLiteral("Fusion"));
        return static_cast<int>(vorsel::app::run_headless(cl));
    }
    QApplication app(qt_argc, argv);
    QApplication::setStyle(QStringLiteral("Fusion"));
    vorsel::app::VorselProgram program;
    program.start(cl.file);
    return program.exec();
}
