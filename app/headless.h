// vorselplot without a window: --output and --report. The plot window's
// logic runs on the Qt board as in the window (offscreen, never shown), the
// library is loaded as the window loads it, messages go to standard error as
// one line each, and nothing is written to the settings store.
#pragma once

#include "app/command_line.h"

namespace vorsel::app {

// Standard error carries the program's own messages alone: Qt's notes and
// warnings (about the environment, fonts) are dropped, its errors kept. Call
// before the QApplication is made.
void keep_qt_quiet();

// Needs a QApplication (on the offscreen platform). Returns the exit status.
Exit run_headless(const CommandLine& cl);

}  // namespace vorsel::app
