// FILL_KURRENT: selection, curve types, clipping, plot order, signed roots and
// smoothing, with guard elements around every output array.
#include <gtest/gtest.h>

#include "library/vorsel_for.h"

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <numeric>
#include <random>
#include <vector>

namespace {

constexpr float kGuard = -31337.0f;
constexpr float kOld = 888.0f;
const float kNaN = std::numeric_limits<float>::quiet_NaN();
const float kInf = std::numeric_limits<float>::infinity();

struct Point {
    float fo, fc, sfo, x;
    float sig;  // sigrat; NaN stays NaN
};

// A data set of 5 rows per point (row 5 is x, row 1 a running number), and
// every output array with guards at both ends.
struct Curve {
    std::int32_t ncurves = 5, npoint = 0, npcur = -1;
    std::vector<float> dat, sigrat, ywork, xwork, ycur, xcur, ysmo;
    std::vector<std::int32_t> iperm;
    std::int32_t ixval = 5, iyval = 2, ityp = 3;
    float siglim = 3.0f, clipp = 1.0e6f, clipm = -1.0e6f;
    std::int16_t reverse = -1, sqrooted = 0, smoothed = 0;

    explicit Curve(const std::vector<Point>& points)
        : npoint(static_cast<std::int32_t>(points.size())) {
        const std::size_t n = points.size();
        dat.assign(n * 5 + 2, kGuard);
        sigrat.assign(n + 2, kGuard);
        for (std::size_t k = 0; k < n; ++k) {
            float* d = &dat[1 + k * 5];
            d[0] = static_cast<float>(k + 1);
            d[1] = points[k].fo;
            d[2] = points[k].fc;
            d[3] = points[k].sfo;
            d[4] = points[k].x;
            sigrat[k + 1] = points[k].sig;
        }
        for (auto* v : {&ywork, &xwork, &ycur, &xcur, &ysmo}) {
            v->assign(n + 2, kOld);
            v->front() = v->back() = kGuard;
        }
        iperm.assign(n + 2, 0);
        for (std::size_t k = 0; k < n; ++k) iperm[k + 1] = static_cast<std::int32_t>(k + 1);
    }
    void fill() {
        const auto before_dat = dat;
        const auto before_sig = sigrat;
        const auto before_perm = iperm;
        FILL_KURRENT(dat.data() + 1, sigrat.data() + 1, iperm.data() + 1, &ixval, &iyval,
                     ywork.data() + 1, xwork.data() + 1, ycur.data() + 1, xcur.data() + 1,
                     ysmo.data() + 1, &ncurves, &npoint, &npcur, &siglim, &clipp, &clipm, &reverse,
                     &sqrooted, &smoothed, &ityp);
        for (auto* v : {&ywork, &xwork, &ycur, &xcur, &ysmo}) {
            EXPECT_EQ(v->front(), kGuard);
            EXPECT_EQ(v->back(), kGuard);
        }
        EXPECT_EQ(std::memcmp(dat.data(), before_dat.data(), dat.size() * sizeof(float)), 0)
            << "dat is never written";
        EXPECT_EQ(iperm, before_perm);
        for (std::size_t i = 0; i < sigrat.size(); ++i)
            EXPECT_TRUE(sigrat[i] == before_sig[i] ||
                        (std::isnan(sigrat[i]) && std::isnan(before_sig[i])));
    }
    // Elements above npcur keep what they held.
    void expect_untouched_above(std::int32_t n, bool smoothing_too) const {
        for (auto* v : {&ywork, &xwork, &ycur, &xcur})
            for (std::size_t i = static_cast<std::size_t>(n) + 1; i + 1 < v->size(); ++i)
                EXPECT_EQ((*v)[i], kOld) << "element " << i;
        const std::size_t from = smoothing_too ? static_cast<std::size_t>(n) + 1 : 1;
        for (std::size_t i = from; i + 1 < ysmo.size(); ++i)
            EXPECT_EQ(ysmo[i], kOld) << "ysmo element " << i;
    }
};

TEST(Curve, CurveTypes) {
    struct Case {
        const char* name;
        std::int32_t ityp;
        float fo, fc, sfo, expected;
    } cases[] = {
        {"dF / s(Fo)", 3, 100.0f, 90.0f, 5.0f, 2.0f},
        {"dF / s(Fo) negative", 3, 90.0f, 100.0f, 5.0f, -2.0f},
        {"dF / Fo", 2, 100.0f, 90.0f, 5.0f, 0.1f},
        {"Fo / Fc", 4, 100.0f, 80.0f, 5.0f, 1.25f},
        {"Fo / s(Fo)", 5, 100.0f, 80.0f, 8.0f, 12.5f},
        {"Fo direct", 1, 100.0f, 80.0f, 8.0f, 100.0f},
        {"quotient in double, rounded once", 4, 1.0f, 3.0f, 1.0f, static_cast<float>(1.0 / 3.0)},
        {"dF / Fo of 0 / 0 clips to clipm", 2, 0.0f, 0.0f, 1.0f, -1.0e6f},
        {"Fo / Fc over zero clips to clipp", 4, 1.0f, 0.0f, 1.0f, 1.0e6f},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Curve curve({{c.fo, c.fc, c.sfo, 7.0f, 10.0f}});
        curve.ityp = c.ityp;
        curve.fill();
        ASSERT_EQ(curve.npcur, 1);
        EXPECT_EQ(curve.ycur[1], c.expected);
        EXPECT_EQ(curve.ywork[1], c.expected);
        EXPECT_EQ(curve.xcur[1], 7.0f);
        EXPECT_EQ(curve.ysmo[1], kOld) << "no smoothing asked for";
    }
}

TEST(Curve, NoCurveLeavesEverythingAlone) {
    struct Case {
        const char* name;
        std::int32_t ityp;
        float siglim;
    } cases[] = {
        {"no point significant", 3, 100.0f},
        {"code 6", 6, 0.0f},
        {"code 0", 0, 0.0f},
        {"code 12", 12, 0.0f},
        {"code -1", -1, 0.0f},
        {"not-a-number limit", 3, kNaN},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Curve curve({{100, 90, 5, 1, 20}, {10, 9, 5, 2, 2}, {50, 40, 5, 3, 10}});
        curve.ityp = c.ityp;
        curve.siglim = c.siglim;
        curve.smoothed = -1;
        curve.sqrooted = -1;
        curve.fill();
        EXPECT_EQ(curve.npcur, 0);
        curve.expect_untouched_above(0, true);
    }
}

TEST(Curve, SelectionAtTheLimitAndNotANumber) {
    Curve curve({{1, 1, 1, 1, 3.0f},
                 {2, 1, 1, 2, 2.9999998f},
                 {3, 1, 1, 3, kNaN},
                 {4, 1, 1, 4, kInf},
                 {5, 1, 1, 5, 3.5f}});
    curve.ityp = 1;
    curve.fill();
    ASSERT_EQ(curve.npcur, 3);
    // reverse true: plot order is walk order
    EXPECT_EQ(curve.xcur[1], 1.0f);
    EXPECT_EQ(curve.xcur[2], 4.0f);
    EXPECT_EQ(curve.xcur[3], 5.0f);
    curve.expect_untouched_above(3, true);
}

TEST(Curve, PlotOrderFollowsTheWalkOrReversesIt) {
    // Walked by descending x: 9, 7, 4, each y with its x.
    for (const bool reverse : {true, false}) {
        SCOPED_TRACE(reverse);
        Curve curve({{4, 1, 1, 4, 10}, {9, 1, 1, 9, 10}, {7, 1, 1, 7, 10}});
        curve.ityp = 1;
        curve.iperm = {0, 2, 3, 1, 0};
        curve.reverse = reverse ? -1 : 0;
        curve.fill();
        ASSERT_EQ(curve.npcur, 3);
        const float walk[] = {9, 7, 4};
        for (int i = 1; i <= 3; ++i) {
            const float x = reverse ? walk[i - 1] : walk[3 - i];
            EXPECT_EQ(curve.xcur[static_cast<std::size_t>(i)], x);
            EXPECT_EQ(curve.ycur[static_cast<std::size_t>(i)], x) << "y travels with its x";
            EXPECT_EQ(curve.xwork[static_cast<std::size_t>(i)], walk[i - 1])
                << "xwork keeps walk order";
        }
    }
}

TEST(Curve, FlagsReadOnlyTheirLowestBit) {
    Curve curve({{4, 1, 1, 4, 10}, {9, 1, 1, 9, 10}});
    curve.ityp = 1;
    curve.reverse = 2;  // lowest bit clear: false
    curve.sqrooted = 0x100;
    curve.fill();
    EXPECT_EQ(curve.xcur[1], 9.0f);
    EXPECT_EQ(curve.ycur[1], 9.0f) << "no root taken";
}

TEST(Curve, Clipping) {
    struct Case {
        const char* name;
        float y, clipp, clipm, expected;
    } cases[] = {
        {"equal to clipp stays", 1.0f, 1.0f, -1.0f, 1.0f},
        {"above clipp", 1.5f, 1.0f, -1.0f, 1.0f},
        {"below clipm", -3.0f, 1.0f, -1.0f, -1.0f},
        {"equal to clipm stays", -1.0f, 1.0f, -1.0f, -1.0f},
        {"inside", 0.25f, 1.0f, -1.0f, 0.25f},
        {"clipp below clipm gives clipm", 0.0f, -1.0f, 1.0f, 1.0f},
        {"infinity", kInf, 1.0f, -1.0f, 1.0f},
        {"minus infinity", -kInf, 1.0f, -1.0f, -1.0f},
        {"not a number", kNaN, 1.0f, -1.0f, -1.0f},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Curve curve({{c.y, 1, 1, 1, 10}});
        curve.ityp = 1;
        curve.clipp = c.clipp;
        curve.clipm = c.clipm;
        curve.fill();
        ASSERT_EQ(curve.npcur, 1);
        EXPECT_EQ(curve.ycur[1], c.expected);
        EXPECT_EQ(curve.ywork[1], c.expected) << "ywork keeps the clipped value";
    }
}

TEST(Curve, SignedSquareRoots) {
    Curve curve({{100, 90, 5, 1, 10}, {90, 100, 5, 2, 10}, {50, 50, 5, 3, 10}, {50, 48, 5, 4, 10}});
    curve.sqrooted = -1;
    curve.fill();
    ASSERT_EQ(curve.npcur, 4);
    EXPECT_EQ(curve.ycur[1], static_cast<float>(std::sqrt(2.0)));
    EXPECT_EQ(curve.ycur[2], -static_cast<float>(std::sqrt(2.0)));
    EXPECT_EQ(curve.ycur[3], 0.0f);
    EXPECT_EQ(curve.ycur[4], static_cast<float>(std::sqrt(static_cast<double>(0.4f))));
    EXPECT_EQ(curve.ywork[1], 2.0f) << "roots only in ycur";
}

TEST(Curve, Smoothing) {
    struct Case {
        const char* name;
        std::vector<float> y;
        std::vector<float> expected;
    } cases[] = {
        {"five points",
         {1, 2, 3, 4, 5},
         {static_cast<float>(4.0 / 3.0), 2, 3, 4, static_cast<float>(14.0 / 3.0)}},
        {"three points", {3, 6, 9}, {4, 6, 8}},
        {"constant of seven",
         {2.5f, 2.5f, 2.5f, 2.5f, 2.5f, 2.5f, 2.5f},
         {2.5f, 2.5f, 2.5f, 2.5f, 2.5f, 2.5f, 2.5f}},
        {"interior weights 1 2 4 2 1", {0, 0, 0, 10, 0, 0, 0}, {0, 0, 2, 4, 2, 0, 0}},
        {"edge weights", {9, 0, 0, 0, 6}, {6, 2.25f, 1.5f, 1.5f, 4}},
        {"two points copy", {1, 5}, {1, 5}},
        {"one point copies", {7}, {7}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<Point> points;
        for (float y : c.y) points.push_back({y, 1, 1, 0, 10});
        Curve curve(points);
        curve.ityp = 1;
        curve.smoothed = -1;
        curve.fill();
        ASSERT_EQ(curve.npcur, static_cast<std::int32_t>(c.y.size()));
        for (std::size_t i = 0; i < c.y.size(); ++i)
            EXPECT_EQ(curve.ysmo[i + 1], c.expected[i]) << "ysmo(" << i + 1 << ")";
    }
}

TEST(Curve, SmoothingFollowsTheRoots) {
    Curve curve({{4, 1, 1, 1, 10}, {16, 1, 1, 2, 10}, {36, 1, 1, 3, 10}});
    curve.ityp = 1;
    curve.sqrooted = -1;
    curve.smoothed = -1;
    curve.fill();
    EXPECT_EQ(curve.ysmo[1], static_cast<float>(8.0 / 3.0));  // (2 * 2 + 4) / 3
    EXPECT_EQ(curve.ysmo[2], 4.0f);                           // (2 + 8 + 6) / 4
}

TEST(Curve, OnlySelectedPointsAreWritten) {
    Curve curve({{100, 90, 5, 1, 20}, {10, 9, 5, 2, 2}, {50, 40, 5, 3, 10}, {60, 40, 5, 4, 1}});
    curve.smoothed = -1;
    curve.fill();
    ASSERT_EQ(curve.npcur, 2);
    curve.expect_untouched_above(2, true);
}

TEST(Curve, ArgumentsThatWouldReachOutsideTheArrays) {
    struct Case {
        const char* name;
        std::int32_t ixval, iyval, ityp, ncurves;
        std::vector<std::int32_t> perm;
        std::int32_t expected;
    } cases[] = {
        {"x row 0", 0, 2, 1, 5, {1, 2, 3}, 0},
        {"x row beyond ncurves", 6, 2, 1, 5, {1, 2, 3}, 0},
        {"y row beyond ncurves", 5, 6, 1, 5, {1, 2, 3}, 0},
        {"computed curve with 3 rows", 3, 2, 3, 3, {1, 2, 3}, 0},
        {"walk entries outside 1..npoint are skipped", 5, 2, 1, 5, {0, 4, 2}, 1},
        {"negative walk entry", 5, 2, 1, 5, {-2147483647 - 1, 3, 3}, 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Curve curve({{100, 90, 5, 1, 20}, {10, 9, 5, 2, 20}, {50, 40, 5, 3, 20}});
        curve.ixval = c.ixval;
        curve.iyval = c.iyval;
        curve.ityp = c.ityp;
        curve.ncurves = c.ncurves;  // points then overlap in dat; all reads stay inside it
        curve.iperm = {0, c.perm[0], c.perm[1], c.perm[2], 0};
        curve.fill();
        EXPECT_EQ(curve.npcur, c.expected);
    }
}

// A walk long enough to be shared between cores: shuffled order, about half
// of the points significant (some ratios NaN, some walk entries outside the
// points), each curve type. The result must be the one a plain walk gives,
// with nothing written above the count.
TEST(FillKurrent, LongWalkGivesThePlainWalksCurve) {
    constexpr std::size_t n = 300001;
    std::mt19937 rng(42);
    std::uniform_real_distribution<float> u(0.0f, 10.0f);
    std::vector<Point> points(n);
    for (std::size_t k = 0; k < n; ++k)
        points[k] = {u(rng) + 1.0f, u(rng) + 1.0f, u(rng) * 0.1f + 0.05f, u(rng),
                     k % 97 == 0 ? kNaN : u(rng) * 0.6f};
    for (const std::int32_t ityp : {1, 2, 3, 4, 5}) {
        SCOPED_TRACE(ityp);
        // Roots and the reversed layout go through the same sharing.
        const bool rooted_and_reversed = ityp == 3;
        Curve curve(points);
        curve.ityp = ityp;
        curve.reverse = rooted_and_reversed ? -1 : 0;
        curve.sqrooted = rooted_and_reversed ? -1 : 0;
        std::vector<std::int32_t> order(n);
        std::iota(order.begin(), order.end(), 1);
        std::shuffle(order.begin(), order.end(), rng);
        order[n / 2] = 0;  // an entry outside the points is skipped
        std::copy(order.begin(), order.end(), curve.iperm.begin() + 1);

        std::vector<float> want_y, want_x;
        for (const std::int32_t k : order) {
            if (k < 1 || !(points[static_cast<std::size_t>(k - 1)].sig >= curve.siglim)) continue;
            const Point& p = points[static_cast<std::size_t>(k - 1)];
            const double fo = p.fo, fc = p.fc, sfo = p.sfo;
            const double y = ityp == 1   ? fo
                             : ityp == 2 ? (fo - fc) / fo
                             : ityp == 3 ? (fo - fc) / sfo
                             : ityp == 4 ? fo / fc
                                         : fo / sfo;
            want_y.push_back(static_cast<float>(y));
            want_x.push_back(p.x);
        }
        curve.fill();
        const auto m = static_cast<std::int32_t>(want_y.size());
        ASSERT_EQ(curve.npcur, m);
        for (std::int32_t i = 0; i < m; ++i) {
            const auto w = static_cast<std::size_t>(i);
            ASSERT_EQ(curve.ywork[w + 1], want_y[w]) << "walk position " << i;
            ASSERT_EQ(curve.xwork[w + 1], want_x[w]) << "walk position " << i;
            // Plot order is the walk reversed, unless x runs from high to low.
            const std::size_t at = rooted_and_reversed ? w + 1 : static_cast<std::size_t>(m) - w;
            const double y = want_y[w];
            ASSERT_EQ(curve.ycur[at], rooted_and_reversed
                                          ? static_cast<float>(std::copysign(std::sqrt(std::fabs(y)), y))
                                          : want_y[w]);
            ASSERT_EQ(curve.xcur[at], want_x[w]);
        }
        curve.expect_untouched_above(m, true);
    }
}

}  // namespace
