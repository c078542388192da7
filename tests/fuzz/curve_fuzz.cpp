// Fuzz target of FILL_KURRENT with hostile arguments: any counts, rows, curve
// codes, flags, limits and clip values, walks with entries outside the
// points, data and ratios full of special reals. Every array is exactly as
// long as the counts make it and fenced by guards. Checks: dat, sigrat and
// iperm are never written; the count is the number of significant walk
// entries (or 0); nothing above it is written, nor ysmo without smoothing;
// every clipped y is clipm or lies within the clip values; x travels into
// plot order.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <numeric>
#include <random>
#include <vector>

#include "library/vorsel_for.h"
#include "tests/fuzz/hostile.h"

namespace {

using vorsel::fuzz::Fenced;
using vorsel::fuzz::integer;
using vorsel::fuzz::real;
using vorsel::fuzz::same;

constexpr std::size_t kRoom = std::size_t{1} << 14;  // elements of dat
constexpr float kOld = -4711.0f;

void require(bool condition) {
    if (!condition) std::abort();
}

// A pool of reals from the input, repeated to fill an array.
std::vector<float> pool(FuzzedDataProvider& in) {
    std::vector<float> p(in.ConsumeIntegralInRange<std::size_t>(1, 16));
    for (auto& v : p) v = real(in);
    return p;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    const std::int32_t ncurves = integer(in, -2, 16);
    // The arrays are npoint long: at most a few hundred points (any count
    // below; the fuzz build shares walks of 64 points and more between two
    // threads) and no more rows than there is room for.
    std::int32_t npoint = integer(in, -2, 300);
    if (npoint > 300) npoint %= 301;
    const std::size_t rows = ncurves > 0 ? std::size_t(ncurves) : 1;
    if (npoint > 0 && std::size_t(npoint) * rows > kRoom)
        npoint = static_cast<std::int32_t>(kRoom / rows);
    const std::int32_t ixval = integer(in, -1, 17), iyval = integer(in, -1, 17);
    const std::int32_t ityp = integer(in, -1, 7);
    const float siglim = real(in), clipp = real(in), clipm = real(in);
    const auto flag = [&in] { return in.ConsumeIntegral<std::int16_t>(); };
    const std::int16_t reverse = flag(), sqrooted = flag(), smoothed = flag();

    const std::size_t n = npoint > 0 ? std::size_t(npoint) : 0;
    Fenced<float> dat(ncurves > 0 ? rows * n : 0, 0.0f), sigrat(n, 0.0f);
    const std::vector<float> values = pool(in), ratios = pool(in);
    for (std::size_t i = 0; i < dat.size(); ++i) dat[i] = values[i % values.size()];
    for (std::size_t i = 0; i < n; ++i) sigrat[i] = ratios[(i * 7) % ratios.size()];
    // A shuffled walk with a few hostile entries.
    Fenced<std::int32_t> iperm(n, 0);
    std::iota(iperm.data(), iperm.data() + n, 1);
    std::shuffle(iperm.data(), iperm.data() + n, std::minstd_rand(in.ConsumeIntegral<unsigned>()));
    for (int h = in.ConsumeIntegralInRange(0, 4); h > 0 && n > 0; --h)
        iperm[in.ConsumeIntegralInRange<std::size_t>(0, n - 1)] = integer(in, -1, npoint + 1);
    Fenced<float> ywork(n, kOld), xwork(n, kOld), ycur(n, kOld), xcur(n, kOld), ysmo(n, kOld);
    const auto dat_in = dat.copy(), sigrat_in = sigrat.copy();
    const auto iperm_in = iperm.copy();

    std::int32_t npcur = -1;
    FILL_KURRENT(dat.data(), sigrat.data(), iperm.data(), &ixval, &iyval, ywork.data(),
                 xwork.data(), ycur.data(), xcur.data(), ysmo.data(), &ncurves, &npoint, &npcur,
                 &siglim, &clipp, &clipm, &reverse, &sqrooted, &smoothed, &ityp);

    for (auto* a : {&dat, &sigrat, &ywork, &xwork, &ycur, &xcur, &ysmo})
        require(a->guards_intact());
    require(iperm.guards_intact());
    require(same(dat.data(), dat_in.data(), dat.size()));
    require(same(sigrat.data(), sigrat_in.data(), n));
    require(same(iperm.data(), iperm_in.data(), n));
    require(npcur >= 0 && std::size_t(npcur) <= n);
    const auto m = std::size_t(npcur);
    if (m > 0) {
        std::size_t significant = 0;
        for (std::size_t i = 0; i < n; ++i) {
            const auto k = static_cast<std::uint32_t>(iperm[i]) - 1u;
            significant += k < n && sigrat[k] >= siglim ? 1 : 0;
        }
        require(m == significant);
    }
    for (std::size_t i = 0; i < m; ++i) {
        const float y = ywork[i];
        require(same(&y, &clipm, 1) || (!std::isnan(y) && !(y > clipp) && !(y < clipm)));
        require(same(&xcur[(reverse & 1) ? i : m - 1 - i], &xwork[i], 1));
    }
    for (auto* a : {&ywork, &xwork, &ycur, &xcur, &ysmo})
        for (std::size_t i = a == &ysmo && !(smoothed & 1) ? 0 : m; i < n; ++i)
            require((*a)[i] == kOld);
    return 0;
}
