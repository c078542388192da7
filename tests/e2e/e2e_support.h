// What the end-to-end tests share: a generated data file with known answers,
// a user who answers message boxes and acts inside the chooser, a fresh
// settings folder per test, and probes of the board's pixels.
#pragma once

#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <QTimer>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/vorsel_program.h"
#include "platform/qt/chooser_dialog.h"
#include "tests/e2e/qt_seam.h"

namespace vorsel::e2e {

using platform::qt::ChooserDialog;

// A data file of n reflections, 13 fields of 10 characters, CR LF. Point k:
// theta = 5 + 0.05 * ((389 k) mod 1000) (all different for n <= 1000), Fo/s(Fo)
// = 1.5 for every tenth point (below the start limit of 3) and 10 otherwise,
// (Fo - Fc)/s(Fo) = 0.5 sin k.
std::string generated_data(int n);
// theta of the i-th point in ascending theta among the points k not divisible
// by ten, for the file above with n = 1000 (the curve at the start limit).
double selected_theta(int i);
// A value of the program's settings store (section "VORSEL"), as its bytes;
// "<missing>" when there is none.
std::string setting(const char* key);
// The read-out text of a value: right-aligned in seven characters.
std::string seven(const std::string& usual);

struct Message {
    std::string title, text;
};

class ProgramTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Writes a file into the test's data folder; returns its full path.
    std::string write_file(const std::string& name, const std::string& content);
    // Builds the program and runs its start-up, on a data file named as on
    // the command line or else with the chooser, whose scripts queued before
    // decide what the user does there.
    app::VorselProgram& start_program(const std::string& file = {});
    // The same with the library looked for in these folders only.
    app::VorselProgram& start_program_with_library(std::vector<std::string> library_folders);
    void stop_program() { program_.reset(); }

    // The user inside the next chooser: open the file's folder, click the
    // file, press "OK !".
    void choose(const std::string& path);
    void abort_chooser();
    void in_chooser(std::function<void(ChooserDialog&)> script);

    app::VorselProgram& program() { return *program_; }
    std::string readout(platform::ReadOut r);
    void click(int index);
    std::string caption(int index);

    // Board probes, positions in twips.
    QColor at(int x, int y);
    // Share of the pixels of the rectangle (both corners included) that show
    // the colour.
    double share(int x1, int y1, int x2, int y2, QColor c);
    int count(int x1, int y1, int x2, int y2, QColor c);
    int leftmost(QColor c);  // twip x of the leftmost pixel in the colour, -1 if none

    // Runs between the program's construction and its start-up.
    std::function<void(app::VorselProgram&)> before_start_;
    QTemporaryDir settings_dir_, data_dir_;
    std::vector<Message> messages_;
    int unexpected_choosers_ = 0;
    std::deque<std::function<void(ChooserDialog&)>> chooser_scripts_;

private:
    QTimer message_sentry_, chooser_sentry_;
    std::unique_ptr<app::VorselProgram> program_;
};

inline const QColor kBlue(0, 0, 255), kYellow(255, 255, 0), kRed(255, 0, 0);
QColor icross();

}  // namespace vorsel::e2e
