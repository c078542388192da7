// KUR_TO_NKUR: curve values to heights on the board, with guard elements
// around both arrays. Each expected height is (value - origin) * scale rounded
// to the nearest integer, halves away from zero, then held within 0..maxpar.
#include <gtest/gtest.h>

#include "library/vorsel_for.h"

#include <cstdint>
#include <limits>
#include <vector>

namespace {

constexpr std::int32_t kGuard = -424242;
constexpr std::int32_t kOld = 9999;

struct Mapping {
    std::vector<float> y;  // y[1..n] with guards at 0 and n + 1
    std::vector<std::int32_t> nkur;

    explicit Mapping(const std::vector<float>& values)
        : y(values.size() + 2, -1.0e30f), nkur(values.size() + 2, kOld) {
        for (std::size_t i = 0; i < values.size(); ++i) y[i + 1] = values[i];
        nkur.front() = nkur.back() = kGuard;
    }
    void map(std::int32_t first, std::int32_t last, float valmin, std::int32_t maxpar,
             float skale) {
        const auto npcur = static_cast<std::int32_t>(y.size() - 2);
        KUR_TO_NKUR(y.data() + 1, nkur.data() + 1, &npcur, &first, &last, &valmin, &maxpar, &skale);
        EXPECT_EQ(nkur.front(), kGuard);
        EXPECT_EQ(nkur.back(), kGuard);
    }
};

const float kInf = std::numeric_limits<float>::infinity();
const float kNaN = std::numeric_limits<float>::quiet_NaN();

struct Case {
    const char* name;
    float value, valmin, skale;
    std::int32_t maxpar, expected;
};

TEST(Mapping, ValuesToHeights) {
    const Case cases[] = {
        {"origin maps to 0", 0.0f, 0.0f, 10.0f, 100, 0},
        {"2.5 rounds up", 0.25f, 0.0f, 10.0f, 100, 3},
        {"2.6 rounds up", 0.26f, 0.0f, 10.0f, 100, 3},
        {"2.49 rounds down", 0.249f, 0.0f, 10.0f, 100, 2},
        {"inside", 5.0f, 0.0f, 10.0f, 100, 50},
        {"above the top", 20.0f, 0.0f, 10.0f, 100, 100},
        {"below the origin", -1.0f, 0.0f, 10.0f, 100, 0},
        {"-2.5 rounds away from zero, then 0", -0.25f, 0.0f, 10.0f, 100, 0},
        {"shifted origin", 3.0f, 1.0f, 100.0f, 5000, 200},
        {"value at a shifted origin", -4.5f, -4.5f, 1000.0f, 5000, 0},
        {"just below one half", 0.49999997f, 0.0f, 1.0f, 100, 0},
        {"one half", 0.5f, 0.0f, 1.0f, 100, 1},
        {"negative largest offset wins", 5.0f, 0.0f, 10.0f, -7, -7},
        {"huge value draws at the top", 1.0e30f, 0.0f, 1.0e9f, 5000, 5000},
        {"huge negative value draws at the bottom", -1.0e30f, 0.0f, 1.0e9f, 5000, 0},
        {"product just past the integer range", 2.2e9f, 0.0f, 1.0f, 5000, 5000},
        {"largest integer as maxpar", 1.0e20f, 0.0f, 1.0f, std::numeric_limits<std::int32_t>::max(),
         std::numeric_limits<std::int32_t>::max()},
        {"infinity", kInf, 0.0f, 10.0f, 300, 300},
        {"minus infinity", -kInf, 0.0f, 10.0f, 300, 0},
        {"not a number", kNaN, 0.0f, 10.0f, 300, 0},
        {"infinite scale times zero", 1.0f, 1.0f, kInf, 300, 0},
        {"product in double then rounded once", 0.1f, 0.0f, 25.0f, 100, 3},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Mapping m({c.value});
        m.map(1, 1, c.valmin, c.maxpar, c.skale);
        EXPECT_EQ(m.nkur[1], c.expected);
    }
}

TEST(Mapping, OnlyTheViewWindowIsWritten) {
    std::vector<float> values(10);
    for (int i = 0; i < 10; ++i) values[static_cast<std::size_t>(i)] = static_cast<float>(i + 1);
    Mapping m(values);
    m.map(3, 5, 0.0f, 1000, 10.0f);
    const std::int32_t expected[] = {kOld, kOld, 30, 40, 50, kOld, kOld, kOld, kOld, kOld};
    for (int i = 1; i <= 10; ++i)
        EXPECT_EQ(m.nkur[static_cast<std::size_t>(i)], expected[i - 1]) << "element " << i;
}

TEST(Mapping, EmptyAndSingleWindows) {
    Mapping one({1.0f, 2.0f, 3.0f});
    one.map(2, 2, 0.0f, 100, 1.0f);
    EXPECT_EQ(one.nkur[1], kOld);
    EXPECT_EQ(one.nkur[2], 2);
    EXPECT_EQ(one.nkur[3], kOld);

    Mapping none({1.0f, 2.0f, 3.0f});
    none.map(3, 2, 0.0f, 100, 1.0f);
    for (int i = 1; i <= 3; ++i) EXPECT_EQ(none.nkur[static_cast<std::size_t>(i)], kOld);
}

TEST(Mapping, IndicesOutsideTheArraysAreNotMapped) {
    Mapping m({1.0f, 2.0f, 3.0f});
    m.map(-5, 50, 0.0f, 100, 1.0f);  // the guards are checked in map()
    EXPECT_EQ(m.nkur[1], 1);
    EXPECT_EQ(m.nkur[3], 3);
}

}  // namespace
