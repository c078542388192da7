// The library at the size of a large data set: READ_VORSEL_DATA on a
// generated file of 10^6 reflections (132 MB), FILL_KURRENT and KUR_TO_NKUR on
// 10^6 points.
#include "library/vorsel_for.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <algorithm>
#include <numeric>
#include <random>
#include <string>
#include <vector>

namespace {

constexpr std::int32_t kReflections = 1000000;

// The 10^6-reflection file, generated on first use.
std::string big_file()
{
    const std::filesystem::path folder = VORSEL_BENCH_DATA;
    const std::filesystem::path file = folder / "reflections-1e6.vorsel";
    if (!std::filesystem::exists(file)) {
        std::filesystem::create_directories(folder);
        const std::string command = std::string(VORSEL_GENERATE) + " -n " + std::to_string(kReflections) +
                                    " --seed 1 -o '" + file.string() + "'";
        if (std::system(command.c_str()) != 0)
            return {};
    }
    return file.string();
}

void BM_ReadVorselData(benchmark::State &state)
{
    const std::string path = big_file();
    if (path.empty()) {
        state.SkipWithError("could not generate the data file");
        return;
    }
    std::int32_t ncurves = 13;
    const auto estimate = static_cast<std::int32_t>(std::filesystem::file_size(path) / 132);
    std::vector<float> dat(static_cast<std::size_t>(ncurves) * static_cast<std::size_t>(estimate));
    std::vector<float> sigrat(static_cast<std::size_t>(estimate));
    for (auto _ : state) {
        std::int32_t npoint = estimate, status = 1;
        READ_VORSEL_DATA(path.c_str(), dat.data(), sigrat.data(), &ncurves, &npoint, &status);
        if (status != 0)
            state.SkipWithError("read failed");
        benchmark::DoNotOptimize(dat.data());
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(std::filesystem::file_size(path)));
    state.counters["lines"] = estimate;
}
BENCHMARK(BM_ReadVorselData)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);

// 10^6 points of 13 rows with plausible Fo, Fc, s(Fo) and an x in random order.
struct Points {
    std::int32_t ncurves = 13, npoint = kReflections;
    std::vector<float> dat, sigrat;
    std::vector<std::int32_t> iperm;
    explicit Points(bool shuffled)
        : dat(static_cast<std::size_t>(ncurves) * kReflections), sigrat(kReflections), iperm(kReflections)
    {
        std::mt19937 rng(5);
        std::uniform_real_distribution<float> u(0.0f, 1.0f);
        for (std::size_t k = 0; k < static_cast<std::size_t>(kReflections); ++k) {
            float *d = &dat[k * 13];
            d[1] = 50.0f * u(rng);
            d[2] = d[1] * (0.9f + 0.2f * u(rng));
            d[3] = 0.1f + 0.5f * u(rng);
            d[5] = 30.0f * u(rng);
            sigrat[k] = d[1] / d[3];
        }
        std::iota(iperm.begin(), iperm.end(), 1);
        if (shuffled) // x in random order relative to the file, as for theta or phi
            std::shuffle(iperm.begin(), iperm.end(), rng);
    }
};

void BM_FillKurrent(benchmark::State &state)
{
    static const Points in_file_order(false), shuffled(true);
    const Points &p = state.range(1) ? shuffled : in_file_order;
    std::vector<float> ywork(kReflections), xwork(kReflections), ycur(kReflections), xcur(kReflections),
        ysmo(kReflections);
    const std::int32_t ixval = 6, iyval = 2, ityp = 3;
    const float siglim = 3.0f, clipp = 10.0f, clipm = -10.0f;
    const std::int16_t reverse = 0, sqrooted = static_cast<std::int16_t>(state.range(0) ? -1 : 0),
                       smoothed = sqrooted;
    std::int32_t npcur = 0;
    for (auto _ : state) {
        FILL_KURRENT(p.dat.data(), p.sigrat.data(), p.iperm.data(), &ixval, &iyval, ywork.data(), xwork.data(),
                     ycur.data(), xcur.data(), ysmo.data(), &p.ncurves, &p.npoint, &npcur, &siglim, &clipp,
                     &clipm, &reverse, &sqrooted, &smoothed, &ityp);
        benchmark::DoNotOptimize(ysmo.data());
    }
    state.SetItemsProcessed(state.iterations() * kReflections);
    state.counters["npcur"] = npcur;
}
BENCHMARK(BM_FillKurrent)
    ->ArgsProduct({{0, 1}, {0, 1}})
    ->ArgNames({"roots_and_smoothing", "random_walk"})
    ->Unit(benchmark::kMillisecond);

void BM_KurToNkur(benchmark::State &state)
{
    std::vector<float> y(kReflections);
    std::mt19937 rng(9);
    std::normal_distribution<float> g(0.0f, 3.0f);
    for (auto &v : y)
        v = g(rng);
    std::vector<std::int32_t> nkur(kReflections);
    const std::int32_t npcur = kReflections, first = 1, last = kReflections, maxpar = 5400;
    const float valmin = -10.0f, skale = 270.0f;
    for (auto _ : state) {
        KUR_TO_NKUR(y.data(), nkur.data(), &npcur, &first, &last, &valmin, &maxpar, &skale);
        benchmark::DoNotOptimize(nkur.data());
    }
    state.SetItemsProcessed(state.iterations() * kReflections);
}
BENCHMARK(BM_KurToNkur)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
