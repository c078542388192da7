// The plot window's real work per command at the size of a large data set:
// the Qt plot window with its board image (offscreen), the plot window's
// methods, and the library vorsel_for loaded by file name as the program
// loads it. The data are generated files of 10^5 and 10^6 reflections.
//
//   vorsel_plot_bench                      every command at both sizes
//   vorsel_plot_bench --peak-memory N      peak memory with N reflections loaded
//   vorsel_plot_bench --first ACTION N     the first such action in a fresh process, in ms:
//                                          move-button, move-key, move-wheel, sqrt-button,
//                                          sqrt-key, hover, hover-fit, resize-200, zoom-200
//
// Each figure is one user action, from the click to the board being there
// (pending paint events included). The keys, the wheel and the pointer go in
// as the window's events, the buttons as clicks on the real buttons, side by
// side.
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <QApplication>
#include <QByteArray>
#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPushButton>
#include <QWheelEvent>

#include "app/vorsel_program.h"
#include "platform/chooser_view.h"
#include "platform/qt/dynamic_library.h"
#include "platform/qt/plot_window.h"
#include "platform/qt/services.h"
#include "library/vorsel_for.h"
#include "plot/frmVorselPlot.h"
#include "plot/layout.h"

namespace {

namespace fs = std::filesystem;
using vorsel::plot::frmVorselPlot;

namespace but = vorsel::plot::but;

std::string data_file(std::int64_t n) {
    const fs::path folder = VORSEL_BENCH_DATA;
    const std::string name = n == 1000000 ? "reflections-1e6.vorsel"
                             : n == 100000 ? "reflections-1e5.vorsel"
                                           : "reflections-" + std::to_string(n) + ".vorsel";
    const fs::path file = folder / name;
    if (!fs::exists(file)) {
        fs::create_directories(folder);
        const std::string command = std::string(VORSEL_GENERATE) + " -n " + std::to_string(n) +
                                    " --seed 1 -o '" + file.string() + "'";
        if (std::system(command.c_str()) != 0) return {};
    }
    return file.string();
}

// A user who, in the chooser, opens the file's folder, clicks it and says OK.
class PickAtOnce : public vorsel::platform::ChooserView {
public:
    explicit PickAtOnce(std::string path) : path_(std::move(path)) {}
    void set_events(vorsel::platform::ChooserEvents* e) override { events_ = e; }
    void set_ok_enabled(bool) override {}
    void set_location_text(const std::string&) override {}
    void set_code_text(const std::string&) override {}
    void drive_set(const std::string& d) override { drive_ = d; }
    std::string drive_selected() const override { return drive_; }
    void dir_set_path(const std::string& p) override {
        if (p == dir_) return;
        dir_ = p.empty() ? "/" : p;
        if (events_) events_->dirDirectory_Change();
    }
    std::string dir_path() const override { return dir_; }
    void file_set_pattern(const std::string&) override {}
    void file_set_path(const std::string&) override {}
    std::string file_selected() const override { return selected_; }
    void run_modal() override {
        const fs::path p(path_);
        dir_set_path(p.parent_path().string());
        selected_ = p.filename().string();
        if (events_) events_->flbFile_Click();
        if (events_) events_->cmdOK_Click();
    }
    void unload() override {}

private:
    std::string path_, drive_ = "/", dir_ = "/", selected_;
    vorsel::platform::ChooserEvents* events_ = nullptr;
};

class PickFactory : public vorsel::platform::ChooserViewFactory {
public:
    std::string path;
    std::unique_ptr<vorsel::platform::ChooserView> create() override {
        return std::make_unique<PickAtOnce>(path);
    }
};

// No message box may wait for a user here: each one is printed and answered OK.
class PrintedMessages : public vorsel::platform::Messages {
public:
    int show(const std::string& text, const std::string& title, vorsel::platform::MsgButtons,
             vorsel::platform::MsgIcon) override {
        std::cerr << "message [" << title << "]: " << text << "\n";
        ++shown;
        return 1;
    }
    int shown = 0;
};

// The program's pieces as vorselplot wires them, with the scripted chooser.
struct Program {
    vorsel::platform::qt::QtProgram program;
    vorsel::platform::qt::PlotWindow window{vorsel::plot::plot_window_layout()};
    PrintedMessages messages;
    vorsel::platform::qt::QtSettings settings;
    vorsel::platform::qt::QtFileSystem files;
    vorsel::platform::qt::DynamicLibrary library{messages, program};
    PickFactory chooser;
    frmVorselPlot form{vorsel::plot::PlotPlatform{
        window.board(), window.range(), window.window_bar(), window.buttons(), window.readouts(),
        window.frame(), messages, settings, files, program, library, chooser,
        vorsel::platform::PathStyle::posix(), window.point_view()}};
    std::int64_t n = 0;

    Program() { vorsel::app::connect_window(window, form); }

    void click(int k) {
        form.cmdBut_Click(k);
        QApplication::processEvents();
    }
    bool down(int k) const { return form.ibstate[static_cast<std::size_t>(k)] == -1; }  // k <= 38
};

// The sorted key rows kept between clicks: dropped so that the next click
// sorts its key row for the first time.
void forget_sorted_rows(vorsel::plot::frmVorselPlot& form) { form.cache.forget_orders(); }

std::unique_ptr<Program> g_program;

// The program with an n-reflection file loaded; one program at a time.
Program* loaded(std::int64_t n) {
    if (g_program && g_program->n == n) return g_program.get();
    g_program.reset();
    const std::string path = data_file(n);
    if (path.empty()) return nullptr;
    auto p = std::make_unique<Program>();
    p->n = n;
    p->chooser.path = path;
    p->window.show();
    p->form.Form_Load();
    QApplication::processEvents();
    if (p->form.ended() || p->form.npoint != n || p->messages.shown != 0) return nullptr;
    g_program = std::move(p);
    return g_program.get();
}

// The state every command starts from: "dF / s(Fo)" against theta, then
// "reset view" (no switch on, limit 3, step chosen from the points).
Program* ready(benchmark::State& state) {
    Program* p = loaded(state.range(0));
    if (!p) {
        state.SkipWithError("could not load the generated file");
        return nullptr;
    }
    // A warm figure: nothing of the start-up still runs in the background.
    p->form.wait_for_background();
    if (!p->down(but::dF_sFo)) p->click(but::dF_sFo);
    if (!p->down(but::VsTheta)) p->click(but::VsTheta);
    p->click(but::ResetView);
    if (!p->form.active) {
        state.SkipWithError("no plot after reset view");
        return nullptr;
    }
    return p;
}

void counters(benchmark::State& state, const Program& p) {
    state.counters["npcur"] = p.form.npcur;
    state.counters["plotted"] = p.form.nl - p.form.nf + 1;
}

void BM_StartUp(benchmark::State& state) {
    Program* p = loaded(state.range(0));
    if (!p) {
        state.SkipWithError("could not load the generated file");
        return;
    }
    for (auto _ : state) {
        p->form.Form_Load();
        QApplication::processEvents();
    }
    if (p->form.npoint != state.range(0) || p->messages.shown != 0)
        state.SkipWithError("start-up did not read the whole file");
}

// A click on another x quantity: sort, build, draw.
void BM_QuantityClick(benchmark::State& state, bool first_sort) {
    Program* p = ready(state);
    if (!p) return;
    p->form.wait_for_background();  // the orders made ahead are ready
    p->click(but::VsPhi);           // both key rows sorted once
    int x = but::VsTheta;
    for (auto _ : state) {
        if (first_sort) {
            state.PauseTiming();
            forget_sorted_rows(p->form);
            state.ResumeTiming();
        }
        p->click(x);
        x = x == but::VsTheta ? but::VsPhi : but::VsTheta;
    }
    counters(state, *p);
}

// "sqrt(y)" on and off: build and draw.
void BM_CurveSwitch(benchmark::State& state) {
    Program* p = ready(state);
    if (!p) return;
    for (auto _ : state) p->click(but::Sqrt);
    counters(state, *p);
}

// ">" and "<" in turn: redraw of the moved window.
void BM_WindowMove(benchmark::State& state) {
    Program* p = ready(state);
    if (!p) return;
    int k = but::RightThird;
    for (auto _ : state) {
        p->click(k);
        k = k == but::RightThird ? but::LeftThird : but::RightThird;
    }
    counters(state, *p);
}

// " << step" and " >> step" in turn: redraw at the new step.
void BM_Step(benchmark::State& state) {
    Program* p = ready(state);
    if (!p) return;
    int k = but::StepDown;
    for (auto _ : state) {
        p->click(k);
        k = k == but::StepDown ? but::StepUp : but::StepDown;
    }
    counters(state, *p);
}

// "fit to frame" switched on: every point of the curve on the board (its
// switching off, untimed, in between).
void BM_FitToFrame(benchmark::State& state, bool smoothed) {
    Program* p = ready(state);
    if (!p) return;
    if (smoothed) p->click(but::Smooth);
    for (auto _ : state) {
        p->click(but::Fit);
        state.PauseTiming();
        p->click(but::Fit);
        state.ResumeTiming();
    }
    p->click(but::Fit);
    counters(state, *p);
    p->click(but::Fit);
}

// " <<  slim" and " >> slim" in turn: rebuild with the new limit and re-fit,
// with "fit to frame" on (every point redrawn) or off.
void BM_LimitChange(benchmark::State& state, bool fit) {
    Program* p = ready(state);
    if (!p) return;
    if (fit) p->click(but::Fit);
    int k = but::SlimUp;
    for (auto _ : state) {
        p->click(k);
        k = k == but::SlimUp ? but::SlimDown : but::SlimUp;
    }
    counters(state, *p);
    if (fit) p->click(but::Fit);
}

// How a command reaches the window.
enum class Input { Button, Key, Wheel };

// One command as the user gives it: a click on the real button, its key sent
// to a button of the window (keys go to the focused control), or a notch of
// the wheel over the board.
void give(Program& p, Input how, int k) {
    if (how == Input::Button) {
        p.window.button(k)->click();
    } else if (how == Input::Key) {
        const Qt::Key key = k == but::RightThird  ? Qt::Key_Right
                            : k == but::LeftThird ? Qt::Key_Left
                                                  : Qt::Key_S;
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
        QApplication::sendEvent(p.window.button(but::VsTheta), &press);
    } else {
        QWidget* board = p.window.board_overlay();
        const QPointF at(board->width() / 2.0, board->height() / 2.0);
        QWheelEvent turn(at, board->mapToGlobal(at), QPoint(),
                         QPoint(0, k == but::RightThird ? -120 : 120), Qt::NoButton, Qt::NoModifier,
                         Qt::NoScrollPhase, false);
        QApplication::sendEvent(board, &turn);
    }
    QApplication::processEvents();
}

// ">" and "<" in turn, by button, key or wheel.
void BM_WindowMoveBy(benchmark::State& state, Input how) {
    Program* p = ready(state);
    if (!p) return;
    give(*p, how, but::RightThird);
    if (p->form.nf == 1) return state.SkipWithError("the window did not move");
    int k = but::LeftThird;
    for (auto _ : state) {
        give(*p, how, k);
        k = k == but::RightThird ? but::LeftThird : but::RightThird;
    }
    counters(state, *p);
}

// "sqrt(y)" on and off, by button or key.
void BM_CurveSwitchBy(benchmark::State& state, Input how) {
    Program* p = ready(state);
    if (!p) return;
    const bool was = p->form.sqrooted;
    give(*p, how, but::Sqrt);
    if (p->form.sqrooted == was) return state.SkipWithError("sqrt(y) did not switch");
    for (auto _ : state) give(*p, how, but::Sqrt);
    if (p->form.sqrooted) give(*p, how, but::Sqrt);
    counters(state, *p);
}

// The pointer moved over the board, in turn between two columns: the point
// found, its read-out line written and shown. With "fit to frame" on, a pixel
// column holds over a thousand points of a million.
void BM_Hover(benchmark::State& state, bool fit) {
    Program* p = ready(state);
    if (!p) return;
    if (fit) p->click(but::Fit);
    QWidget* board = p->window.board_overlay();
    int column = board->width() / 3;
    for (auto _ : state) {
        const QPointF at(column, board->height() / 2.0);
        QMouseEvent move(QEvent::MouseMove, at, board->mapToGlobal(at), Qt::NoButton, Qt::NoButton,
                         Qt::NoModifier);
        QApplication::sendEvent(board, &move);
        QApplication::processEvents();
        column = column == board->width() / 3 ? 2 * board->width() / 3 : board->width() / 3;
    }
    if (p->window.point_line()->text().isEmpty()) state.SkipWithError("no read-out line");
    if (fit) p->click(but::Fit);
    counters(state, *p);
}

// The point a pointer names, alone, at every pixel column of the board in turn.
void BM_PointAt(benchmark::State& state, bool fit) {
    Program* p = ready(state);
    if (!p) return;
    if (fit) p->click(but::Fit);
    int px = 0;
    std::int64_t found = 0;
    for (auto _ : state) {
        const auto point = p->form.point_at({15 * px, 15 * px + 14, 2700, 2714});
        found += point ? point->i : 0;
        px = (px + 1) % 720;
    }
    benchmark::DoNotOptimize(found);
    if (fit) p->click(but::Fit);
    counters(state, *p);
}

// The window enlarged to 200% (fit to frame with the smoothed overlay: the
// busiest board) by its size or by the View menu: every control placed and
// fitted again, the board painted again from its operations, the window
// painted. The way back to 100%, untimed, in between.
void zoom_to_200(Program& p, bool by_menu, QSize size_at_200) {
    if (by_menu)
        p.window.set_zoom_percent(200);
    else
        p.window.resize(size_at_200);
    QApplication::processEvents();
}

void BM_Zoom(benchmark::State& state, bool by_menu) {
    Program* p = ready(state);
    if (!p) return;
    p->click(but::Smooth);
    p->click(but::Fit);
    p->window.screen_room = [] { return QSize(); };  // no screen to keep the window within
    const QSize design = p->window.size_for_zoom(100), at_200 = p->window.size_for_zoom(200);
    for (auto _ : state) {
        zoom_to_200(*p, by_menu, at_200);
        state.PauseTiming();
        if (p->window.zoom_percent() != 200) state.SkipWithError("the window is not at 200%");
        p->window.resize(design);
        QApplication::processEvents();
        state.ResumeTiming();
    }
    counters(state, *p);
    p->click(but::Fit);
    p->click(but::Smooth);
}

void register_all() {
    for (const std::int64_t n : {10000, 100000, 1000000, 10000000}) {
        const auto ms = benchmark::kMillisecond;
        benchmark::RegisterBenchmark("StartUp", BM_StartUp)->Arg(n)->Unit(ms)->Iterations(n >= 10000000 ? 3 : n >= 1000000 ? 8 : 30);
        benchmark::RegisterBenchmark("QuantityClick/first_sort", BM_QuantityClick, true)->Arg(n)->Unit(ms)->Iterations(n >= 10000000 ? 3 : n >= 1000000 ? 10 : 40);
        benchmark::RegisterBenchmark("QuantityClick/again", BM_QuantityClick, false)->Arg(n)->Unit(ms)->Iterations(n >= 10000000 ? 3 : n >= 1000000 ? 10 : 40);
        benchmark::RegisterBenchmark("CurveSwitch/sqrt", BM_CurveSwitch)->Arg(n)->Unit(ms)->Iterations(n >= 10000000 ? 3 : n >= 1000000 ? 10 : 40);
        benchmark::RegisterBenchmark("WindowMove", BM_WindowMove)->Arg(n)->Unit(ms);
        benchmark::RegisterBenchmark("Step", BM_Step)->Arg(n)->Unit(ms);
        benchmark::RegisterBenchmark("FitToFrame/curve", BM_FitToFrame, false)->Arg(n)->Unit(ms)->Iterations(n >= 10000000 ? 3 : n >= 1000000 ? 10 : 40);
        benchmark::RegisterBenchmark("FitToFrame/with_overlay", BM_FitToFrame, true)->Arg(n)->Unit(ms)->Iterations(n >= 10000000 ? 3 : n >= 1000000 ? 10 : 40);
        benchmark::RegisterBenchmark("LimitChange/window", BM_LimitChange, false)->Arg(n)->Unit(ms)->Iterations(n >= 10000000 ? 3 : n >= 1000000 ? 10 : 40);
        benchmark::RegisterBenchmark("LimitChange/fit_to_frame", BM_LimitChange, true)->Arg(n)->Unit(ms)->Iterations(n >= 10000000 ? 3 : n >= 1000000 ? 10 : 40);
        benchmark::RegisterBenchmark("WindowMove/button", BM_WindowMoveBy, Input::Button)
            ->Arg(n)
            ->Unit(ms);
        benchmark::RegisterBenchmark("WindowMove/key", BM_WindowMoveBy, Input::Key)
            ->Arg(n)
            ->Unit(ms);
        benchmark::RegisterBenchmark("WindowMove/wheel", BM_WindowMoveBy, Input::Wheel)
            ->Arg(n)
            ->Unit(ms);
        benchmark::RegisterBenchmark("CurveSwitch/sqrt_button", BM_CurveSwitchBy, Input::Button)
            ->Arg(n)
            ->Unit(ms)
            ->Iterations(n >= 10000000 ? 3 : n >= 1000000 ? 10 : 40);
        benchmark::RegisterBenchmark("CurveSwitch/sqrt_key", BM_CurveSwitchBy, Input::Key)
            ->Arg(n)
            ->Unit(ms)
            ->Iterations(n >= 10000000 ? 3 : n >= 1000000 ? 10 : 40);
        benchmark::RegisterBenchmark("Hover/window", BM_Hover, false)
            ->Arg(n)
            ->Unit(benchmark::kMicrosecond);
        benchmark::RegisterBenchmark("Hover/fit_to_frame", BM_Hover, true)
            ->Arg(n)
            ->Unit(benchmark::kMicrosecond);
        benchmark::RegisterBenchmark("PointAt/window", BM_PointAt, false)
            ->Arg(n)
            ->Unit(benchmark::kMicrosecond);
        benchmark::RegisterBenchmark("PointAt/fit_to_frame", BM_PointAt, true)
            ->Arg(n)
            ->Unit(benchmark::kMicrosecond);
        benchmark::RegisterBenchmark("Zoom/resize_to_200", BM_Zoom, false)
            ->Arg(n)
            ->Unit(ms)
            ->Iterations(n >= 1000000 ? 20 : 40);
        benchmark::RegisterBenchmark("Zoom/menu_to_200", BM_Zoom, true)
            ->Arg(n)
            ->Unit(ms)
            ->Iterations(n >= 1000000 ? 20 : 40);
    }
}

// One action timed alone, the first of its kind after the file is loaded and
// plotted: what a user meets in a program just started.
int first_action(const std::string& action, std::int64_t n) {
    Program* p = loaded(n);
    if (!p) return 1;
    p->click(but::dF_sFo);
    p->click(but::VsTheta);
    if (action == "hover-fit") p->click(but::Fit);
    if (action.rfind("resize", 0) == 0 || action.rfind("zoom", 0) == 0 || action == "drag-200") {
        p->click(but::Smooth);
        p->click(but::Fit);
        p->window.screen_room = [] { return QSize(); };
    }
    // What the user drags the window to (the size itself is no part of the work).
    const QSize at_200 = action == "resize-200" ? p->window.size_for_zoom(200) : QSize();
    QWidget* board = p->window.board_overlay();
    const QPointF at(board->width() / 3.0, board->height() / 2.0);
    QMouseEvent move(QEvent::MouseMove, at, board->mapToGlobal(at), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    if (action == "drag-200") {
        std::vector<QSize> sizes;
        for (int percent = 101; percent <= 200; ++percent)
            sizes.push_back(p->window.size_for_zoom(percent));
        std::vector<double> took;
        for (const QSize& size : sizes) {
            const auto t0 = std::chrono::steady_clock::now();
            p->window.resize(size);
            QApplication::processEvents();
            took.push_back(
                std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0)
                    .count());
        }
        std::sort(took.begin(), took.end());
        std::printf("drag %.3f ms median, %.3f ms max\n", took[took.size() / 2], took.back());
        return 0;
    }
    const auto start = std::chrono::steady_clock::now();
    if (action == "move-button")
        give(*p, Input::Button, but::RightThird);
    else if (action == "move-key")
        give(*p, Input::Key, but::RightThird);
    else if (action == "move-wheel")
        give(*p, Input::Wheel, but::RightThird);
    else if (action == "sqrt-button")
        give(*p, Input::Button, but::Sqrt);
    else if (action == "sqrt-key")
        give(*p, Input::Key, but::Sqrt);
    else if (action == "resize-200" || action == "zoom-200")
        zoom_to_200(*p, action == "zoom-200", at_200);
    else if (action == "hover" || action == "hover-fit") {
        QApplication::sendEvent(board, &move);
        QApplication::processEvents();
    } else {
        std::fprintf(stderr, "unknown action %s\n", action.c_str());
        return 2;
    }
    const std::chrono::duration<double, std::milli> took = std::chrono::steady_clock::now() - start;
    const bool acted = action.rfind("hover", 0) == 0  ? !p->window.point_line()->text().isEmpty()
                       : action.rfind("move", 0) == 0 ? p->form.nf > 1
                       : action.rfind("sqrt", 0) == 0 ? p->form.sqrooted
                                                      : p->window.zoom_percent() == 200;
    if (!acted) return 1;
    std::printf("%s %lld %.3f ms\n", action.c_str(), static_cast<long long>(n), took.count());
    return 0;
}

std::int64_t status_kib(const char* field) {
    std::ifstream in("/proc/self/status");
    std::string line;
    const std::size_t len = std::strlen(field);
    while (std::getline(in, line))
        if (line.compare(0, len, field) == 0) return std::atoll(line.c_str() + len + 1);
    return -1;
}

// The program in this process with its window up, the chooser set to pick
// the n-reflection file; nothing is read yet.
std::unique_ptr<Program> fresh_program(std::int64_t n) {
    const std::string path = data_file(n);
    if (path.empty()) return nullptr;
    auto p = std::make_unique<Program>();
    p->n = n;
    p->chooser.path = path;
    p->window.show();
    QApplication::processEvents();
    return p;
}

// Peak memory of the program with n reflections loaded and used: start-up,
// a curve against several x quantities, fit to frame with the overlay.
int peak_memory(std::int64_t n) {
    std::unique_ptr<Program> p = fresh_program(n);
    if (!p) return 1;
    const std::int64_t before = status_kib("VmRSS:");
    p->form.Form_Load();
    QApplication::processEvents();
    if (p->form.npoint != n) return 1;
    p->click(but::dF_sFo);
    for (int x = 13; x <= 22; ++x) p->click(x);
    p->click(but::VsTheta);
    p->click(but::Smooth);
    p->click(but::Fit);
    p->click(but::Sqrt);
    p->click(but::Fit);
    const std::int64_t hwm = status_kib("VmHWM:");
    rusage ru{};
    getrusage(RUSAGE_SELF, &ru);
    const double arrays = (static_cast<double>(p->form.ncurves) * n + 8.0 * n) * 4.0 / 1024.0;
    std::printf("reflections                 %lld (ncurves %d)\n", static_cast<long long>(n),
                p->form.ncurves);
    std::printf("arrays of the plot window   %.1f MiB\n", arrays / 1024.0);
    std::printf("resident before the file    %.1f MiB (Qt, window, library)\n", before / 1024.0);
    std::printf("peak resident (VmHWM)       %.1f MiB (ru_maxrss %.1f MiB)\n", hwm / 1024.0,
                ru.ru_maxrss / 1024.0);
    std::printf("peak above the window       %.1f MiB = arrays x %.3f\n", (hwm - before) / 1024.0,
                (hwm - before) / arrays);
    return 0;
}

using Clock = std::chrono::steady_clock;

double ms_since(Clock::time_point t0) {
    return std::chrono::duration<double, std::milli>(Clock::now() - t0).count();
}

// What a user meets first, in this fresh process: the start-up read into
// fresh memory, then the first click on an x quantity ("vs. theta", whose key
// row no sort has met yet), with "dF / s(Fo)" chosen before. With `wait`, the
// click comes only after the start-up's work in the background has finished
// (a user who looks at the empty board first); without, at once. Prints one
// line: start-up ms, first x click ms, a second x quantity ("vs. phi") ms.
int cold_session(std::int64_t n, bool wait) {
    std::unique_ptr<Program> p = fresh_program(n);
    if (!p) return 1;
    Clock::time_point t0 = Clock::now();
    p->form.Form_Load();
    QApplication::processEvents();
    const double startup = ms_since(t0);
    if (p->form.ended() || p->form.npoint != n) return 1;
    p->click(but::dF_sFo);
    if (wait) p->form.wait_for_background();
    t0 = Clock::now();
    p->click(but::VsTheta);
    const double first_x = ms_since(t0);
    if (wait) p->form.wait_for_background();
    t0 = Clock::now();
    p->click(but::VsPhi);
    const double second_x = ms_since(t0);
    std::printf("%.1f %.1f %.1f\n", startup, first_x, second_x);
    return 0;
}

// The reader alone, into arrays fresh from the system and then into the same
// arrays again, in this fresh process. Prints: fresh ms, warm ms.
int cold_read(std::int64_t n) {
    const std::string path = data_file(n);
    if (path.empty()) return 1;
    std::string name = path;
    name.resize(256, ' ');
    const std::int32_t ncurves = 13;
    auto time_read = [&](float* dat, float* sigrat) {
        std::int32_t npoint = static_cast<std::int32_t>(n), key = 0;
        const Clock::time_point t0 = Clock::now();
        READ_VORSEL_DATA(name.c_str(), dat, sigrat, &ncurves, &npoint, &key);
        const double ms = ms_since(t0);
        return key == 0 ? ms : -1.0;
    };
    vorsel::plot::Array1<float> dat, sigrat;
    dat.redim(static_cast<std::size_t>(n) * ncurves);
    sigrat.redim(static_cast<std::size_t>(n));
    const double fresh = time_read(dat.data(), sigrat.data());
    const double warm = time_read(dat.data(), sigrat.data());
    std::printf("%.1f %.1f\n", fresh, warm);
    return fresh < 0 || warm < 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    // The program remembers the chosen file in its settings: keep the
    // benchmark's choice out of the user's own.
    const fs::path config = fs::path(VORSEL_BENCH_DATA) / "config-home";
    fs::create_directories(config);
    qputenv("XDG_CONFIG_HOME", QByteArray::fromStdString(config.string()));
    QApplication app(argc, argv);
    QApplication::setStyle(QStringLiteral("Fusion"));

    for (int i = 1; i + 1 < argc; ++i) {
        if (std::strcmp(argv[i], "--peak-memory") == 0) return peak_memory(std::atoll(argv[i + 1]));
        if (std::strcmp(argv[i], "--cold-session") == 0) return cold_session(std::atoll(argv[i + 1]), false);
        if (std::strcmp(argv[i], "--cold-session-after-wait") == 0)
            return cold_session(std::atoll(argv[i + 1]), true);
        if (std::strcmp(argv[i], "--cold-read") == 0) return cold_read(std::atoll(argv[i + 1]));
    }
    for (int i = 1; i + 2 < argc; ++i)
        if (std::strcmp(argv[i], "--first") == 0) {
            const int status = first_action(argv[i + 1], std::atoll(argv[i + 2]));
            g_program.reset();  // the window goes before the application
            return status;
        }

    register_all();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    g_program.reset();
    benchmark::Shutdown();
    return 0;
}
