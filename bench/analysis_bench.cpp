// The statistics at the size of a large data set (10^6 reflections, generated
// into the build tree), warm, within one process:
//   - an x click in the real window (offscreen) with the Statistics window
//     open, against the same click with it closed: the difference is what the
//     binned table adds to the click;
//   - the binned table of one quantity alone (the reflections at the limit
//     picked out before, as the window keeps them), the figures the window works out
//     when it opens, and every figure (what --stats and --report compute).
//
//   vorsel_analysis_bench                 the benchmarks
//   vorsel_analysis_bench --data-file     the data file's name (bench/analysis-bench.sh)
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QByteArray>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>

#include "analysis/statistics.h"
#include "app/statistics_source.h"
#include "app/vorsel_program.h"
#include "plot/scripted_view.h"

namespace {

namespace fs = std::filesystem;
namespace but = vorsel::plot::but;

const fs::path kData = fs::path(VORSEL_BENCH_DATA) / "reflections-1e6.vorsel";

bool make_data() {
    if (fs::exists(kData)) return true;
    fs::create_directories(kData.parent_path());
    const std::string command =
        std::string(VORSEL_GENERATE) + " -n 1000000 --seed 1 -o '" + kData.string() + "'";
    return std::system(command.c_str()) == 0;
}

std::unique_ptr<vorsel::app::VorselProgram> g_program;

vorsel::app::VorselProgram* program() {
    if (!g_program && make_data()) {
        g_program = std::make_unique<vorsel::app::VorselProgram>();
        g_program->start(kData.string());
        vorsel::plot::ViewRequest r{but::VsTheta, but::dF_sFo};
        if (g_program->ended() || !vorsel::plot::click_view(g_program->form(), r)) {
            g_program.reset();
        } else {
            // Both orders made once, as after the user's first clicks.
            g_program->window().on_button(but::VsPhi);
            g_program->window().on_button(but::VsTheta);
        }
    }
    return g_program.get();
}

// Clicks "vs. phi" and "vs. theta" by turns, as the user does.
void BM_XClick(benchmark::State& state, bool statistics_open) {
    auto* p = program();
    if (!p) return state.SkipWithError("could not load the generated file");
    if (statistics_open)
        p->analysis().open_statistics();
    else if (auto* w = p->analysis().statistics_window())
        w->hide();
    bool phi = true;
    for (auto _ : state) {
        p->window().on_button(phi ? but::VsPhi : but::VsTheta);
        phi = !phi;
    }
}

void BM_Table(benchmark::State& state) {
    auto* p = program();
    if (!p) return state.SkipWithError("could not load the generated file");
    // As the window does it: the reflections picked out once, at the limit.
    const auto data = vorsel::app::data_set_of(p->form());
    const auto selection = vorsel::analysis::select_reflections(data, 3);
    for (auto _ : state)
        benchmark::DoNotOptimize(vorsel::analysis::compute_table(
            data, selection, *vorsel::analysis::x_quantity("theta")));
}

void BM_Summary(benchmark::State& state, bool all_tables) {
    auto* p = program();
    if (!p) return state.SkipWithError("could not load the generated file");
    const auto data = vorsel::app::data_set_of(p->form());
    for (auto _ : state) {
        if (all_tables)
            benchmark::DoNotOptimize(vorsel::analysis::compute_statistics(data, 3));
        else
            benchmark::DoNotOptimize(vorsel::analysis::compute_summary(data, 3));
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    const fs::path config = fs::path(VORSEL_BENCH_DATA) / "config-home";
    fs::create_directories(config);
    qputenv("XDG_CONFIG_HOME", QByteArray::fromStdString(config.string()));
    QApplication app(argc, argv);
    if (argc == 2 && std::strcmp(argv[1], "--data-file") == 0) {
        if (!make_data()) return 1;
        std::puts(kData.c_str());
        return 0;
    }
    const auto ms = [](benchmark::internal::Benchmark* b) {
        b->Unit(benchmark::kMillisecond)->Iterations(10);
    };
    ms(benchmark::RegisterBenchmark("XClick/statistics_closed/1000000", BM_XClick, false));
    ms(benchmark::RegisterBenchmark("XClick/statistics_open/1000000", BM_XClick, true));
    ms(benchmark::RegisterBenchmark("Table/theta/1000000", BM_Table));
    ms(benchmark::RegisterBenchmark("Summary/window/1000000", BM_Summary, false));
    ms(benchmark::RegisterBenchmark("Statistics/all/1000000", BM_Summary, true));
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    g_program.reset();
    benchmark::Shutdown();
    return 0;
}
