// sortf: the points in order of descending x, by a gap-insertion sort whose
// gap sequence decides the order of points with equal x (and so the order in
// which reflections of equal x are drawn); and Float, the plot window's
// integer-to-real conversion.
#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <new>
#include <optional>
#include <system_error>
#include <thread>
#include <utility>
#include <vector>

#include "plot/frmVorselPlot.h"
#include "plot/order_maker.h"

namespace vorsel::plot {

float frmVorselPlot::Float(std::int32_t Inp) {
    // Done by hand so that the result does not depend on the floating-point
    // environment's rounding mode: nearest, halves to the even mantissa.
    const bool neg = Inp < 0;
    std::uint64_t m =
        neg ? std::uint64_t{0} - static_cast<std::uint64_t>(static_cast<std::int64_t>(Inp))
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

// How often a pass looks whether it is to stop: every this many elements.
constexpr std::int64_t kStopCheck = std::int64_t{1} << 16;

bool stopped(const std::atomic<bool>* stop) {
    return stop && stop->load(std::memory_order_relaxed);
}

// One pass of the gap-insertion sort by descending key over the elements
// j = 1 .. n - gap of the 1-based array a whose (j - 1) mod gap lies in
// [c0, c1), in rising j. An element j only ever meets elements j +- m gap, so
// the classes of j mod gap are sorted independently of each other and any
// split of the classes gives the same array as the whole pass. Returns false
// when it stopped on request (the array is then no order at all).
template <class T, class Key>
bool gap_pass(T* a, std::int64_t n, std::int64_t gap, std::int64_t c0, std::int64_t c1, Key key,
              const std::atomic<bool>* stop) {
    // A gap of 0 (a single point) compares each key with itself: nothing moves.
    if (gap < 1) return true;
    const std::int64_t last = n - gap;
    std::int64_t next_check = kStopCheck;
    for (std::int64_t base = 0; base < last; base += gap) {
        if (base >= next_check) {
            if (stopped(stop)) return false;
            next_check = base + kStopCheck;
        }
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
    return true;
}

// Every pass of a large sort but the last is shared between two threads, each
// taking one half of the classes, next to each other: for gaps of a few
// elements the two halves share the cache lines at their seams, which costs
// less than the second thread gains (10^7 points: 1.43 s with gaps from 64
// shared, 1.16 s from 2, 2.2 s on one thread).
constexpr std::int64_t kSharedGap = 2;
constexpr std::int64_t kSharedPoints = std::int64_t{1} << 16;

// The gap-insertion sort by descending key. The gap sequence fixes the order
// in which points with equal x leave the sort, and so the order in which
// reflections of equal x are drawn; it must not change. key(e) is the key of
// the element e of the 1-based array a; elements move whole. Returns false
// when it stopped on request.
template <class T, class Key>
bool shell_sort(T* a, std::int64_t n, Key key, const std::atomic<bool>* stop = nullptr) {
    std::int64_t gap = 4;
    while (gap < n) gap *= 2;
    gap = (3 * gap) / 4 - 1;
    if (gap > n) gap = n;
    do {
        gap /= 2;
        bool done = false, whole = true;
        if (gap >= kSharedGap && n >= kSharedPoints) {
            const std::int64_t half = gap / 2;
            try {
                bool other_whole = true;
                std::thread other([&] { other_whole = gap_pass(a, n, gap, half, gap, key, stop); });
                whole = gap_pass(a, n, gap, 0, half, key, stop);
                other.join();
                whole = whole && other_whole;
                done = true;
            } catch (const std::system_error&) {
                // No thread to be had: the pass runs whole below.
            }
        }
        if (!done) whole = gap_pass(a, n, gap, 0, gap, key, stop);
        if (!whole) return false;
    } while (gap > 1);
    return true;
}

// A key with its point number: the sort then compares keys that lie next to
// the point numbers it moves, not 13 rows apart in dat.
struct KeyedPoint {
    float key;
    std::int32_t point;
};

}  // namespace

std::optional<PointOrder> make_order(const float* dat, std::int32_t ncurves, std::int32_t npoint,
                                     std::int32_t row, const std::atomic<bool>* stop) {
    const auto n = static_cast<std::size_t>(npoint > 0 ? npoint : 0);
    if (n == 0 || row < 1 || row > ncurves) return std::nullopt;
    // One block for the keyed points, shrunk in place to the point numbers
    // once they are sorted: an order never needs more than 8 bytes a point.
    // Taken like the arrays (fresh pages, on huge pages where it is large).
    void* block = nullptr;
    try {
        block = zeroed_block(n, sizeof(KeyedPoint));
    } catch (const std::bad_alloc&) {
        return std::nullopt;
    }
    auto* keyed = static_cast<KeyedPoint*>(block);
    const float* key = dat + (row - 1);
    const auto stride = static_cast<std::size_t>(ncurves);
    // Gathering the keys reads all of dat: two threads read it faster.
    const auto gather = [&](std::size_t from, std::size_t to) {
        for (std::size_t k = from; k < to; ++k)
            keyed[k] = {key[k * stride], static_cast<std::int32_t>(k + 1)};
    };
    bool gathered = false;
    if (n >= static_cast<std::size_t>(kSharedPoints)) {
        try {
            std::thread other(gather, n / 2, n);
            gather(0, n / 2);
            other.join();
            gathered = true;
        } catch (const std::system_error&) {
            // No thread to be had: one gathers all below.
        }
    }
    if (!gathered) gather(0, n);
    if (!shell_sort(
            keyed - 1, static_cast<std::int64_t>(n), [](const KeyedPoint& p) { return p.key; },
            stop)) {
        std::free(block);
        return std::nullopt;
    }
    // Point i goes to bytes 4i..4i+3, which belong to keyed points already
    // read (i / 2 <= i).
    auto* bytes = static_cast<unsigned char*>(block);
    for (std::size_t i = 0; i < n; ++i) {
        const std::int32_t point = keyed[i].point;
        std::memcpy(bytes + i * sizeof(std::int32_t), &point, sizeof point);
    }
    void* shrunk = std::realloc(block, n * sizeof(std::int32_t));
    if (!shrunk) shrunk = block;  // a failed shrink leaves the block as it was
    return PointOrder(static_cast<std::int32_t*>(shrunk), n);
}

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
    const auto un = static_cast<std::size_t>(n);
    const CurveCache::RowOf row{r, ncurves};

    // The same keys give the same order: an order made before, here or
    // ahead by the order maker, is taken again.
    take_orders_made();
    if (cache.recall_order(row, npoint, iperm.data())) return;
    std::optional<PointOrder> order = maker.take(r);  // waits while it is being made
    if (!order) {
        // This order is needed first: whatever the maker does now waits.
        std::vector<std::int32_t> rest = maker.stop();
        std::erase(rest, r);
        order = make_order(dat.data(), ncurves, npoint, r, nullptr);
        if (!rest.empty())
            maker.start(dat.shared(), ncurves, npoint, std::move(rest), cache.generation());
    }
    if (order) {
        std::memcpy(iperm.data(), order->data(), un * sizeof(std::int32_t));
        cache.keep_order(row, std::move(*order), cache.generation());
        return;
    }
    // No room for a copy of the keys: sort the point numbers in place.
    maker.stop();
    cache.forget_orders();
    const float* key = dat.data() + (r - 1);
    const std::int64_t stride = ncurves;
    for (std::int64_t i = 1; i <= n; ++i) ip[i] = static_cast<std::int32_t>(i);
    shell_sort(ip, n,
               [&](std::int32_t k) { return key[(static_cast<std::int64_t>(k) - 1) * stride]; });
}

void frmVorselPlot::take_orders_made() {
    for (auto& [r, order] : maker.take_all())
        cache.keep_order({r, ncurves}, std::move(order), maker.generation(), false);
}

void frmVorselPlot::make_orders_ahead() {
    // theta first: it is the quantity a crystallographer plots against first
    // (absorption, extinction and resolution errors all show with theta);
    // then Fo and Fc, for the weighting scheme.
    std::vector<std::int32_t> rows;
    for (std::int32_t r : {6, 2, 3})
        if (r <= ncurves && rows.size() < CurveCache::kOrdersKept) rows.push_back(r);
    if (npoint >= kOrdersAheadFrom && !rows.empty())
        maker.start(dat.shared(), ncurves, npoint, std::move(rows), cache.generation());
}

void frmVorselPlot::wait_for_background() {
    maker.wait_idle();
    take_orders_made();
}

}  // namespace vorsel::plot
