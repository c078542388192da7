// KUR_TO_NKUR: curve values to drawing heights on the board. Each value is
// shifted by the origin and scaled (in double, rounded once to a 4-byte real),
// rounded to the nearest integer with halves away from zero, then held at 0
// from below and at the largest height from above, in that order.
//
// Beyond the plotted range: a product past the 4-byte integer range saturates
// to the largest or smallest integer before the clamps, so a huge value draws
// at the top and never wraps to the bottom; not-a-number draws at 0. Only
// indices inside 1..npcur (the length of both arrays) are mapped.
#include "library/vorsel_for.h"

#include "library/numeric.h"

#include "library/float_env.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>

namespace vorsel {
namespace {

void map_values(const float* y, std::int32_t* nkur, std::int32_t npcur, std::int32_t first,
                std::int32_t last, float valmin, std::int32_t maxpar, float skale) {
    first = std::max(first, 1);
    last = std::min(last, npcur);
    for (std::int32_t i = first - 1; i < last; ++i) {
        const float t = static_cast<float>((double{y[i]} - valmin) * skale);
        std::int32_t p = numeric::nearest_away_saturated(t);
        if (p < 0) p = 0;
        if (p > maxpar) p = maxpar;
        nkur[i] = p;
    }
}

}  // namespace
}  // namespace vorsel

extern "C" VORSEL_FOR_API void KUR_TO_NKUR(const float* y, int32_t* nkur, const int32_t* npcur,
                                           const int32_t* first, const int32_t* last,
                                           const float* valmin, const int32_t* maxpar,
                                           const float* skale) {
    const vorsel::DefaultFloatEnvironment environment;
    try {
        vorsel::map_values(y, nkur, *npcur, *first, *last, *valmin, *maxpar, *skale);
    } catch (...) {
        // Nothing in the mapping throws; no exception may cross into the caller.
    }
}
