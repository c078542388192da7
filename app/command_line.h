// The program's command line. Without arguments the window opens as always;
// a data file alone opens the window on that file; --output and --report run
// without a window and write a file. A reflection file (*.fcf) may stand
// wherever a data file does (app/reflection_file.h).
//
//   vorselplot [FILE.vorsel]
//   vorselplot --x NAME --y NAME [--limit N] [--sqrt] [--smoothed] [--reverse]
//              [--frame | --overall] [--window] --output OUT.{png,svg,pdf,csv} FILE.vorsel
//   vorselplot --report REPORT.pdf [--limit N] FILE.vorsel
//   vorselplot --stats OUT.{csv,json} [--limit N] FILE.vorsel
//   vorselplot --help | --version
#pragma once

#include <string>
#include <vector>

#include "plot/scripted_view.h"

namespace vorsel::app {

// The exit status of the program.
enum class Exit : int {
    ok = 0,
    internal = 1,  // the program could not run: its library is missing, out of memory
    usage = 2,     // the command line is wrong
    input = 3,     // the data file cannot be read or gives no curve
    output = 4,    // the output file cannot be written
};

enum class OutputKind { Png, Svg, Pdf, Csv, Json };

struct CommandLine {
    enum class Mode { Window, Output, Report, Stats, Help, Version };
    Mode mode = Mode::Window;
    std::string file;    // the data file; empty when none is named
    std::string output;  // the file --output, --report or --stats writes
    OutputKind output_kind = OutputKind::Png;
    plot::ViewRequest view;  // --output: what the window is to show
    std::string error;       // why the command line is wrong; empty when it is right
    // Qt's own options (-style Fusion, -platform xcb, ...) as given, each with
    // its value: the window hands them to Qt, a run without a window has no
    // use for them.
    std::vector<std::string> qt_options;

    bool headless() const {
        return mode == Mode::Output || mode == Mode::Report || mode == Mode::Stats;
    }
};

CommandLine parse_command_line(const std::vector<std::string>& args);

// The first of the Qt options that a run without a window leaves unused, as
// a one-line note; empty when there are none.
std::string unused_qt_options_note(const CommandLine& cl);

// -style among the Qt options: the user's style, not the program's Fusion.
bool style_given(const CommandLine& cl);

// The usage lines, and the whole of --help.
std::string usage_text();
std::string help_text();

}  // namespace vorsel::app
