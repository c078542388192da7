// Speed of vorsel_import on a synthetic reflection file of 10^6 reflections
// (about 50 MB, Fc squared layout), generated on first use into the build
// tree. Three uses (bench/import-bench.sh generates larger files with the
// second, into the same folder):
//   vorsel_import_bench                      in-process, repeated (warm):
//                                            gemmi's read alone, the conversion
//   vorsel_import_bench --generate N FILE    writes the synthetic file
//   vorsel_import_bench --gemmi-read FILE    gemmi's read alone, once (for the
//                                            fresh-process timing of
//                                            bench/import-bench.sh)
#include <benchmark/benchmark.h>
#include <gemmi/cif.hpp>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <random>
#include <string>

#include "import/convert.h"

namespace {

constexpr long kReflections = 1000000;
constexpr double kPi = 3.14159265358979323846;

// A monoclinic cell large enough that a half sphere up to theta = 30 degrees
// at Mo K-alpha holds more than 10^6 reflections; Fc^2 of Wilson statistics
// with a temperature factor, Fo^2 with counting noise (weak ones negative).
bool generate(long n, const std::string& path) {
    std::FILE* f = std::fopen(path.c_str(), "w");
    if (f == nullptr) return false;
    // Beyond 10^6 reflections the cell grows with their number, so that the
    // same half sphere holds them all.
    const double scale = std::cbrt(std::max(1.0, static_cast<double>(n) / 1e6));
    const double a = 52.1 * scale, b = 57.3 * scale, c = 61.7 * scale, beta = 97.5 * kPi / 180,
                 lambda = 0.71073;
    std::fprintf(
        f,
        "data_synthetic\n_shelx_refln_list_code 4\n_diffrn_radiation_wavelength %.5f\n"
        "_cell_length_a %.4f\n_cell_length_b %.4f\n_cell_length_c %.4f\n"
        "_cell_angle_alpha 90\n_cell_angle_beta 97.5\n_cell_angle_gamma 90\n\n"
        "loop_\n _refln_index_h\n _refln_index_k\n _refln_index_l\n _refln_F_squared_calc\n"
        " _refln_F_squared_meas\n _refln_F_squared_sigma\n _refln_observed_status\n",
        lambda, a, b, c);
    const double smax = 2 * std::sin(30 * kPi / 180) / lambda;  // 1/d at theta = 30
    const double sb = std::sin(beta), cb = std::cos(beta);
    std::mt19937_64 rng(1);
    std::exponential_distribution<double> wilson(1.0);
    std::normal_distribution<double> noise(0.0, 1.0);
    const int hmax = static_cast<int>(a * smax), kmax = static_cast<int>(b * smax),
              lmax = static_cast<int>(c * smax);
    long written = 0;
    for (int h = -hmax; h <= hmax && written < n; ++h)
        for (int k = 0; k <= kmax && written < n; ++k)
            for (int l = -lmax; l <= lmax && written < n; ++l) {
                // Monoclinic 1/d^2 (unique axis b).
                const double s2 =
                    (h * h / (a * a) + l * l / (c * c) - 2 * h * l * cb / (a * c)) / (sb * sb) +
                    k * k / (b * b);
                if (s2 == 0 || s2 > smax * smax) continue;
                const double fc2 = 4000 * std::exp(-2 * 3.0 * s2 / 4) * wilson(rng);
                const double sigma = std::sqrt(fc2 + 25 + 0.0004 * fc2 * fc2);
                const double fo2 = fc2 + sigma * noise(rng);
                // Four columns an index hold -99 at most; the larger cells reach -999.
                std::fprintf(f, scale > 1 ? "%5d%5d%5d %13.2f %13.2f %10.2f o\n"
                                          : "%4d%4d%4d %13.2f %13.2f %10.2f o\n",
                             h, k, l, fc2, fo2, sigma);
                ++written;
            }
    return std::fclose(f) == 0 && written == n;
}

std::string big_file() {
    const std::filesystem::path folder = VORSEL_BENCH_DATA;
    const std::filesystem::path file = folder / "reflections-1e6.fcf";
    if (!std::filesystem::exists(file)) {
        std::filesystem::create_directories(folder);
        const std::filesystem::path part = file.string() + ".part";
        if (!generate(kReflections, part.string())) return {};
        std::filesystem::rename(part, file);
    }
    return file.string();
}

void BM_GemmiRead(benchmark::State& state) {
    const std::string path = big_file();
    if (path.empty()) return state.SkipWithError("could not generate the reflection file");
    for (auto _ : state) {
        auto document = gemmi::cif::read_file(path);
        benchmark::DoNotOptimize(document.blocks.data());
    }
    state.SetBytesProcessed(state.iterations() *
                            static_cast<std::int64_t>(std::filesystem::file_size(path)));
}
BENCHMARK(BM_GemmiRead)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(3.0);

void BM_ConvertFcf(benchmark::State& state) {
    const std::string path = big_file();
    if (path.empty()) return state.SkipWithError("could not generate the reflection file");
    const std::string out = std::string(VORSEL_BENCH_DATA) + "/reflections-1e6-from-fcf.vorsel";
    for (auto _ : state) {
        const auto summary = vorsel::import::convert_fcf(path, out, {});
        benchmark::DoNotOptimize(summary.reflections);
    }
    state.counters["reflections"] = kReflections;
}
BENCHMARK(BM_ConvertFcf)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(3.0);

}  // namespace

int main(int argc, char** argv) {
    if (argc == 4 && std::strcmp(argv[1], "--generate") == 0)
        return generate(std::atol(argv[2]), argv[3]) ? 0 : 1;
    if (argc == 2 && std::strcmp(argv[1], "--big-file") == 0) {
        const std::string path = big_file();
        std::puts(path.c_str());
        return path.empty() ? 1 : 0;
    }
    if (argc == 3 && std::strcmp(argv[1], "--gemmi-read") == 0) {
        const auto document = gemmi::cif::read_file(argv[2]);
        std::printf("%zu blocks\n", document.blocks.size());
        return 0;
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
