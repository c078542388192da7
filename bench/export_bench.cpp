// The curve out of the window at the size of a large data set: "Save
// Picture" (PNG, SVG, PDF) and "Export Curve Data" (CSV) on the plot
// window of the real program (offscreen), with dF / s(Fo) against theta,
// smoothed, fit to frame: the heaviest picture, every point on the board.
// The data file, 10^6 reflections, is generated into the build tree.
//
//   vorsel_export_bench                    warm: each save repeated in one process
//   vorsel_export_bench --first FORMAT     cold: the first save after the file is
//                                          read, in a fresh process (bench/export-bench.sh)
//
// Each figure is the whole save, file written and renamed into place; the
// file's size is shown as the counter "bytes".
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QByteArray>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <memory>
#include <string>

#include "app/vorsel_program.h"
#include "platform/qt/picture.h"
#include "plot/curve_export.h"
#include "plot/scripted_view.h"

namespace {

namespace fs = std::filesystem;
namespace but = vorsel::plot::but;

constexpr std::int64_t kReflections = 1000000;

const fs::path kData = fs::path(VORSEL_BENCH_DATA) / "reflections-1e6.vorsel";
const fs::path kOut = fs::path(VORSEL_BENCH_DATA) / "export";

bool make_data() {
    if (fs::exists(kData)) return true;
    fs::create_directories(kData.parent_path());
    const std::string command = std::string(VORSEL_GENERATE) + " -n " +
                                std::to_string(kReflections) + " --seed 1 -o '" + kData.string() +
                                "'";
    return std::system(command.c_str()) == 0;
}

// The program on the file, named as on the command line, and the view.
std::unique_ptr<vorsel::app::VorselProgram> loaded() {
    if (!make_data()) return nullptr;
    auto p = std::make_unique<vorsel::app::VorselProgram>();
    p->start(kData.string());
    vorsel::plot::ViewRequest r{but::VsTheta, but::dF_sFo};
    r.smoothed = true;
    if (p->ended() || !vorsel::plot::click_view(p->form(), r)) return nullptr;
    QApplication::processEvents();
    return p;
}

// One save in the format named by the extension; the empty text or why not.
std::string save(vorsel::app::VorselProgram& p, const std::string& ext) {
    const std::string path = (kOut / ("curve." + ext)).string();
    if (ext == "csv")
        return vorsel::platform::qt::write_text_file(path, vorsel::plot::curve_csv(p.form()));
    return vorsel::platform::qt::write_picture(path, *vorsel::platform::qt::picture_format_of(path),
                                               p.window().board(),
                                               vorsel::plot::picture_title(p.form()));
}

std::unique_ptr<vorsel::app::VorselProgram> g_program;

void BM_Save(benchmark::State& state, const std::string& ext) {
    if (!g_program) g_program = loaded();
    if (!g_program) return state.SkipWithError("could not load the generated file");
    for (auto _ : state) {
        const std::string error = save(*g_program, ext);
        if (!error.empty()) return state.SkipWithError(error.c_str());
    }
    state.counters["bytes"] = static_cast<double>(fs::file_size(kOut / ("curve." + ext)));
    state.counters["npcur"] = g_program->form().npcur;
    state.counters["recorded_points"] =
        static_cast<double>(g_program->window().board().recording().line_points());
}

// A fresh process: read the file, reach the view, then time the first save.
int first_save(const std::string& ext) {
    auto p = loaded();
    if (!p) return 1;
    const auto t0 = std::chrono::steady_clock::now();
    const std::clock_t c0 = std::clock();
    const std::string error = save(*p, ext);
    const std::clock_t c1 = std::clock();
    const auto t1 = std::chrono::steady_clock::now();
    if (!error.empty()) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }
    // Wall-clock and processor time (ms), file size.
    std::printf("%.1f %.1f %lld\n", std::chrono::duration<double, std::milli>(t1 - t0).count(),
                1000.0 * static_cast<double>(c1 - c0) / CLOCKS_PER_SEC,
                static_cast<long long>(fs::file_size(kOut / ("curve." + ext))));
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    // The named file is remembered in the settings: keep it out of the user's.
    const fs::path config = fs::path(VORSEL_BENCH_DATA) / "config-home";
    fs::create_directories(config);
    fs::create_directories(kOut);
    qputenv("XDG_CONFIG_HOME", QByteArray::fromStdString(config.string()));
    QApplication app(argc, argv);
    QApplication::setStyle(QStringLiteral("Fusion"));

    for (int i = 1; i + 1 < argc; ++i)
        if (std::strcmp(argv[i], "--first") == 0) return first_save(argv[i + 1]);
    if (argc == 2 && std::strcmp(argv[1], "--data-file") == 0) {
        if (!make_data()) return 1;
        std::puts(kData.c_str());
        return 0;
    }

    for (const char* ext : {"png", "svg", "pdf", "csv"})
        benchmark::RegisterBenchmark((std::string("Save/") + ext).c_str(), BM_Save, ext)
            ->Unit(benchmark::kMillisecond)
            ->Iterations(10);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    g_program.reset();
    benchmark::Shutdown();
    return 0;
}
