// Fuzz target of KUR_TO_NKUR with hostile arguments: any length, first and
// last index, origin, scale and largest offset, values full of special reals.
// Both arrays are fenced by guards. Checks: y is never written, nor any
// element of nkur outside first..last within 1..npcur; each mapped element is
// the nearest integer to the product rounded to a real (halves away from
// zero, saturated, not-a-number 0), held at 0 from below, then at maxpar.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <vector>

#include "library/vorsel_for.h"
#include "tests/fuzz/hostile.h"

namespace {

using vorsel::fuzz::Fenced;
using vorsel::fuzz::integer;
using vorsel::fuzz::real;
using vorsel::fuzz::same;

constexpr std::int32_t kMaxLength = 1 << 10;
constexpr std::int32_t kOld = -424242;

void require(bool condition) {
    if (!condition) std::abort();
}

std::int32_t expected_offset(float y, float valmin, float skale, std::int32_t maxpar) {
    const auto t = static_cast<float>((double{y} - valmin) * skale);
    std::int32_t p = 0;
    if (!std::isnan(t))
        p = static_cast<std::int32_t>(
            std::clamp(std::round(double{t}), -2147483648.0, 2147483647.0));
    return std::min(std::max(p, 0), maxpar);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    const std::int32_t npcur = integer(in, -2, 64);
    std::int32_t first = integer(in, -3, 70), last = integer(in, -3, 70);
    // The arrays are npcur long; a length beyond any room keeps the mapped
    // elements inside the room there is.
    const std::int32_t length = std::clamp(npcur, 0, kMaxLength);
    if (npcur > length) last = std::min(last, length);
    const float valmin = real(in), skale = real(in);
    const std::int32_t maxpar = integer(in, -3, 6000);

    const auto n = static_cast<std::size_t>(length);
    Fenced<float> y(n, 0.0f);
    Fenced<std::int32_t> nkur(n, kOld);
    std::vector<float> values(in.ConsumeIntegralInRange<std::size_t>(1, 16));
    for (auto& v : values) v = real(in);
    for (std::size_t i = 0; i < n; ++i) y[i] = values[i % values.size()];
    const auto y_in = y.copy();

    KUR_TO_NKUR(y.data(), nkur.data(), &npcur, &first, &last, &valmin, &maxpar, &skale);

    require(y.guards_intact() && nkur.guards_intact());
    require(same(y.data(), y_in.data(), n));
    for (std::int32_t i = 1; i <= length; ++i) {
        const std::int32_t got = nkur[static_cast<std::size_t>(i - 1)];
        if (i < first || i > last)
            require(got == kOld);
        else
            require(got ==
                    expected_offset(y[static_cast<std::size_t>(i - 1)], valmin, skale, maxpar));
    }
    return 0;
}
