// sortf: the points in order of descending x, by a gap-insertion sort whose
// gap sequence decides the order of points with equal x (and so the order in
// which reflections of equal x are drawn); and Float, the plot window's
// integer-to-real conversion.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <new>
#include <system_error>
#include <thread>
#include <utility>
#include <vector>

#include "plot/frmVorselPlot.h"

namespace vorsel::plot {

float frmVorselPlot::Float(std::int32_t Inp) {
    // Done by hand so that the result does not depend on the floating-point
    // environment's rounding mode: nearest, halves to the even mantissa.
    const bool neg = Inp < 0;
    std::uint64_t m = neg ? std::uint64_t{0} - static_cast<std::uint64_t>(static_cast<std::int64_t>(Inp))
                          : static_cast<std::uint64_t>(Inp);
    int shift = 0;
    while ((m >> shift) >= (std::uint64_t{1} << 24)) ++shift;
    std::uint64_t q = m >> shift;
    if (shift > 0) {
        const std::uint64_t rem = m & ((std::uint64_t{1} << shift) - 1);
        const std::uint64_t half = std::uint64_t{1} << (shift - 1);
        if (rem > half || (rem == half && (q & 1u))) ++q;
    }
    const float mag = std::ldexp(static_cast<float>(q), shift);
    return neg ? -mag : mag;
}

namespace {

// One pass of the gap-insertion sort by descending key over the elements
// j = 1 .. n - gap of the 1-based array a whose (j - 1) mod gap lies in
// [c0, c1), in rising j. An element j only ever meets elements j +- m gap, so
// the classes of j mod gap are sorted independently of each other and any
// split of the classes gives the same array as the whole pass.
template <class T, class Key>
void gap_pass(T* a, std::int64_t n, std::int64_t gap, std::int64_t c0, std::int64_t c1, Key key) {
    // A gap of 0 (a single point) compares each key with itself: nothing moves.
    if (gap < 1) return;
    const std::int64_t last = n - gap;
    for (std::int64_t base = 0; base < last; base += gap) {
        const std::int64_t end = std::min(base + c1, last);
        for (std::int64_t j = base + 1 + c0; j <= end; ++j) {
            std::int64_t i = j;
            std::int64_t k = j + gap;
            if (key(a[i]) < key(a[k])) {
                const T t = a[k];
                const float xt = key(t);
                do {
                    a[k] = a[i];
                    k = i;
                    i -= gap;
                } while (!(i <= 0 || key(a[i]) >= xt));
                a[k] = t;
            }
        }
    }
}

// Wide gaps of a large sort are shared between two threads, each taking one
// half of the classes (next to each other, so that they seldom share a cache
// line); the narrow gaps at the end run on the calling thread.
constexpr std::int64_t kSharedGap = 64;
constexpr std::int64_t kSharedPoints = std::int64_t{1} << 16;

// The gap-insertion sort by descending key. The gap sequence fixes the order
// in which points with equal x leave the sort, and so the order in which
// reflections of equal x are drawn; it must not change. key(e) is the key of
// the element e of the 1-based array a; elements move whole.
template <class T, class Key>
void shell_sort(T* a, std::int64_t n, Key key) {
    std::int64_t gap = 4;
    while (gap < n) gap *= 2;
    gap = (3 * gap) / 4 - 1;
    if (gap > n) gap = n;
    do {
        gap /= 2;
        bool done = false;
        if (gap >= kSharedGap && n >= kSharedPoints) {
            const std::int64_t half = gap / 2;
            try {
                std::thread other([&] { gap_pass(a, n, gap, half, gap, key); });
                gap_pass(a, n, gap, 0, half, key);
                other.join();
                done = true;
            } catch (const std::system_error&) {
                // No thread to be had: the pass runs whole below.
            }
        }
        if (!done) gap_pass(a, n, gap, 0, gap, key);
    } while (gap > 1);
}

// A key with its point number: the sort then compares keys that lie next to
// the point numbers it moves, not 13 rows apart in dat.
struct KeyedPoint {
    float key;
    std::int32_t point;
};

}  // namespace

void frmVorselPlot::sortf(std::int32_t r) {
    const std::int64_t n = npoint;
    if (n <= 0 || iperm.size() < static_cast<std::size_t>(n)) return;
    std::int32_t* ip = iperm.data() - 1;  // ip[i] is iperm(i)
    // Without a key row in the data the points keep their file order.
    if (r < 1 || r > ncurves ||
        dat.size() < static_cast<std::size_t>(n) * static_cast<std::size_t>(ncurves)) {
        for (std::int64_t i = 1; i <= n; ++i) ip[i] = static_cast<std::int32_t>(i);
        return;
    }

    // Key of point k: dat(r, k).
    const float* key = dat.data() + (r - 1);
    const std::int64_t stride = ncurves;
    const auto un = static_cast<std::size_t>(n);

    // The same keys give the same order: an order made before is taken again.
    if (cache.recall_order({r, ncurves}, npoint, iperm.data())) return;

    try {
        std::vector<std::int32_t> order(un);
        {
            std::vector<KeyedPoint> a(un);
            for (std::int64_t k = 0; k < n; ++k)
                a[static_cast<std::size_t>(k)] = {key[k * stride], static_cast<std::int32_t>(k + 1)};
            shell_sort(a.data() - 1, n, [](const KeyedPoint& p) { return p.key; });
            for (std::size_t i = 0; i < un; ++i) order[i] = a[i].point;
        }
        std::memcpy(iperm.data(), order.data(), un * sizeof(std::int32_t));
        cache.keep_order({r, ncurves}, std::move(order), cache.generation());
    } catch (const std::bad_alloc&) {
        // No room for a copy of the keys: sort the point numbers in place.
        cache.forget_orders();
        for (std::int64_t i = 1; i <= n; ++i) ip[i] = static_cast<std::int32_t>(i);
        shell_sort(ip, n, [&](std::int32_t k) { return key[(static_cast<std::int64_t>(k) - 1) * stride]; });
    }
}

}  // namespace vorsel::plot
