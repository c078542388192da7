// sortf sorts a copy of the key row next to the point numbers and keeps the
// orders of the last key rows sorted. Neither may change one point of iperm:
// every order is compared with the gap-insertion sort written out plainly over
// dat, on keys with many ties, after the keys were changed in place, and
// after a new file.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "plot/frmVorselPlot.h"
#include "tests/fakes/fake_platform.h"
#include "tests/plot/reference_sort.h"

namespace {

using vorsel::fakes::FakePlatform;
using vorsel::plot::frmVorselPlot;

// The gaps of a sort of n points: 4 doubled until it reaches n, three
// quarters of it less one (at most n), then halved down to 1.
std::vector<int> gaps_of(int n) {
    std::vector<int> gaps;
    long gap = 4;
    while (gap < n) gap *= 2;
    gap = (3 * gap) / 4 - 1;
    if (gap > n) gap = n;
    do {
        gap /= 2;
        gaps.push_back(static_cast<int>(gap));
    } while (gap > 1);
    return gaps;
}

using vorsel::fakes::reference_sort;

std::vector<std::int32_t> reference_sort(const std::vector<float>& key) {
    return reference_sort(key, gaps_of(static_cast<int>(key.size())));
}

struct Plot {
    FakePlatform fp;
    frmVorselPlot plot{fp.plot_platform()};

    // A file of n points and ncurves rows, every row zero.
    void load(std::int32_t n, std::int32_t ncurves) {
        plot.new_data();  // what start-up does before it reads a file
        plot.ncurves = ncurves;
        plot.npoint = n;
        plot.dat.redim(static_cast<std::size_t>(n) * static_cast<std::size_t>(ncurves));
        plot.iperm.redim(static_cast<std::size_t>(n));
    }
    void set_row(std::int32_t r, const std::vector<float>& keys) {
        for (std::size_t k = 0; k < keys.size(); ++k)
            plot.datv(r, static_cast<std::int32_t>(k + 1)) = keys[k];
    }
    std::vector<float> row(std::int32_t r) {
        std::vector<float> keys(static_cast<std::size_t>(plot.npoint));
        for (std::int32_t k = 1; k <= plot.npoint; ++k) keys[static_cast<std::size_t>(k - 1)] = plot.datv(r, k);
        return keys;
    }
    std::vector<std::int32_t> sortf(std::int32_t r) {
        plot.sortf(r);
        return plot.iperm.values();
    }
};

enum class Keys { FewValues, AllEqual, Ascending, Descending, Halves, WithNaN, SignedZeros };

std::vector<float> keys_of(Keys kind, int n, std::mt19937& rng) {
    std::vector<float> k(static_cast<std::size_t>(n));
    std::uniform_int_distribution<int> pick(0, 3);
    for (int i = 0; i < n; ++i) {
        float& v = k[static_cast<std::size_t>(i)];
        switch (kind) {
            case Keys::FewValues: v = static_cast<float>(pick(rng)) * 0.25f; break;
            case Keys::AllEqual: v = 7.5f; break;
            case Keys::Ascending: v = static_cast<float>(i / 3); break;
            case Keys::Descending: v = static_cast<float>((n - i) / 5); break;
            case Keys::Halves: v = i < n / 2 ? 1.0f : 2.0f; break;
            case Keys::WithNaN:
                v = pick(rng) == 0 ? std::numeric_limits<float>::quiet_NaN()
                                   : static_cast<float>(pick(rng));
                break;
            case Keys::SignedZeros: v = pick(rng) < 2 ? -0.0f : (pick(rng) == 0 ? 0.0f : 1.0f); break;
        }
    }
    return k;
}

struct Case {
    const char* name;
    Keys kind;
};

const Case kKinds[] = {
    {"few values", Keys::FewValues}, {"all equal", Keys::AllEqual},
    {"ascending in threes", Keys::Ascending}, {"descending in fives", Keys::Descending},
    {"two halves", Keys::Halves}, {"not-a-number among them", Keys::WithNaN},
    {"signed zeros", Keys::SignedZeros},
};

// Every gap sequence from 1 point up to a large data set, with the key row in
// the middle of 13 rows and the other rows holding different keys.
TEST(SortfOrder, IsThePlainSortsOnKeysWithManyTies) {
    const int sizes[] = {1, 2, 3, 4, 5, 8, 9, 10, 16, 17, 33, 100, 1000, 4097, 100000};
    std::mt19937 rng(20261207);
    for (const auto& c : kKinds) {
        for (int n : sizes) {
            SCOPED_TRACE(std::string(c.name) + ", " + std::to_string(n) + " points");
            Plot t;
            t.load(n, 13);
            const auto keys = keys_of(c.kind, n, rng);
            t.set_row(6, keys);
            t.set_row(5, keys_of(Keys::FewValues, n, rng));
            t.set_row(7, keys_of(Keys::FewValues, n, rng));
            const auto want = reference_sort(keys);
            ASSERT_EQ(t.sortf(6), want);
            // Again, now from the kept order, after iperm was overwritten.
            t.plot.iperm.vec().assign(static_cast<std::size_t>(n), 0);
            ASSERT_EQ(t.sortf(6), want);
        }
    }
}

// Sorting by other rows in between, and more rows than are kept: each order
// is the one of its own row's keys.
TEST(SortfOrder, EachKeyRowKeepsItsOwnOrder) {
    const int n = 5000;
    std::mt19937 rng(99);
    Plot t;
    t.load(n, 13);
    std::vector<std::vector<std::int32_t>> want(14);
    for (std::int32_t r = 1; r <= 13; ++r) {
        t.set_row(r, keys_of(r % 2 ? Keys::FewValues : Keys::Descending, n, rng));
        want[static_cast<std::size_t>(r)] = reference_sort(t.row(r));
    }
    const std::int32_t clicks[] = {6, 7, 6, 2, 3, 11, 6, 7, 13, 5, 5, 6, 12, 2, 7};
    for (std::int32_t r : clicks) {
        SCOPED_TRACE("key row " + std::to_string(r));
        ASSERT_EQ(t.sortf(r), want[static_cast<std::size_t>(r)]);
        EXPECT_LE(t.plot.cache.orders_kept(), vorsel::plot::CurveCache::kOrdersKept);
        EXPECT_EQ(t.plot.cache.latest_row(), r);  // the last row used is kept
    }
}

// Keys changed in place and the kept orders dropped, as start-up does
// before it reads a file into the same arrays: the keys are sorted anew. A
// kept order is never taken for a key row of another shape.
TEST(SortfOrder, ChangedKeysAreSortedAnew) {
    struct Change {
        const char* name;
        std::int32_t point;
        float value;
    };
    const Change changes[] = {
        {"first point", 1, 99.0f},
        {"last point", 3000, -1.0f},
        {"tie broken by a hair", 1500, 0.25f + 1e-7f},
        {"zero turned negative", 10, -0.0f},
        {"not a number", 77, std::numeric_limits<float>::quiet_NaN()},
    };
    std::mt19937 rng(7);
    for (const auto& c : changes) {
        SCOPED_TRACE(c.name);
        Plot t;
        t.load(3000, 13);
        auto keys = keys_of(Keys::FewValues, 3000, rng);
        keys[9] = 0.0f;
        t.set_row(6, keys);
        ASSERT_EQ(t.sortf(6), reference_sort(keys));
        keys[static_cast<std::size_t>(c.point - 1)] = c.value;
        t.set_row(6, keys);
        t.plot.new_data();
        EXPECT_EQ(t.plot.cache.orders_kept(), 0u);
        ASSERT_EQ(t.sortf(6), reference_sort(keys));
    }

    Plot t;
    t.load(2000, 13);
    auto keys = keys_of(Keys::FewValues, 2000, rng);
    t.set_row(6, keys);
    ASSERT_EQ(t.sortf(6), reference_sort(keys));
    // A file of fewer curves per point in the same arrays: row 6 lies
    // elsewhere in dat.
    t.plot.ncurves = 7;
    EXPECT_EQ(t.sortf(6), reference_sort(t.row(6)));
    // A file that ended early: fewer points.
    t.plot.npoint = 1999;
    auto got = t.sortf(6);
    got.resize(1999);  // iperm keeps its size; its last element is not a point any more
    EXPECT_EQ(got, reference_sort(t.row(6)));
}

}  // namespace

namespace {

// The orders made ahead on the worker thread are the orders sortf makes,
// whether a click finds one ready, waits for it, needs another one first, or
// a new file comes while the worker runs.
TEST(SortfOrder, OrdersMadeAheadAreTheOrdersOfTheClicks) {
    enum class When { Ready, AtOnce, AnotherFirst, NewFileMeanwhile };
    struct Scenario {
        const char* name;
        When when;
        std::int32_t row;
    };
    const Scenario scenarios[] = {{"found ready", When::Ready, 6},
                                  {"waited for", When::AtOnce, 6},
                                  {"a row not made ahead first", When::AtOnce, 7},
                                  {"a row still queued first", When::AtOnce, 3},
                                  {"new file meanwhile", When::NewFileMeanwhile, 6}};
    const std::int32_t n = frmVorselPlot::kOrdersAheadFrom + 3001;
    std::mt19937 rng(11);
    for (const Scenario& s : scenarios) {
        SCOPED_TRACE(s.name);
        Plot t;
        t.load(n, 13);
        for (std::int32_t r : {2, 3, 6, 7}) t.set_row(r, keys_of(Keys::FewValues, n, rng));
        t.plot.make_orders_ahead();
        if (s.when == When::Ready) t.plot.wait_for_background();
        if (s.when == When::NewFileMeanwhile) {
            t.plot.new_data();
            t.set_row(6, keys_of(Keys::WithNaN, n, rng));
        }
        ASSERT_EQ(t.sortf(s.row), reference_sort(t.row(s.row)));
        t.plot.wait_for_background();
        for (std::int32_t r : {6, 2, 3}) ASSERT_EQ(t.sortf(r), reference_sort(t.row(r))) << r;
        EXPECT_LE(t.plot.cache.orders_kept(), vorsel::plot::CurveCache::kOrdersKept);
    }
}

}  // namespace
