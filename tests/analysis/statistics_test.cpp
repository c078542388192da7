// The statistics on small data sets whose figures are worked out by hand in
// the comments, and on generated ones with a planted trend.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <string>
#include <vector>

#include "analysis/statistics.h"
#include "analysis/stats_text.h"

namespace {

using namespace vorsel::analysis;

constexpr int kFields = 13;

struct Refl {
    float fo, fc, s, theta, weight;
};

// Six reflections; the fourth has Fo/s(Fo) = 2, below the limit 3. XRtime is
// 7 and phi 0 in every line.
std::vector<float> six(float weight3 = 0.01f) {
    const Refl r[] = {{10, 8, 1, 5, 0.01f}, {20, 22, 2, 10, 0.01f}, {5, 5, 0.5f, 15, weight3},
                      {8, 6, 4, 20, 0.01f}, {30, 27, 3, 25, 0.01f}, {12, 15, 1, 30, 0.01f}};
    std::vector<float> dat;
    for (int k = 0; k < 6; ++k) {
        std::vector<float> row(kFields, 0.0f);
        row[0] = static_cast<float>(100 + k);
        row[1] = r[k].fo;
        row[2] = r[k].fc;
        row[3] = r[k].s;
        row[4] = 7;
        row[5] = r[k].theta;
        row[12] = r[k].weight;
        dat.insert(dat.end(), row.begin(), row.end());
    }
    return dat;
}

DataSet set_of(const std::vector<float>& dat, int fields = kFields) {
    return {dat.data(), fields, static_cast<std::int64_t>(dat.size() / fields), false};
}

const Table& table(const Statistics& s, const char* name) {
    return *std::find_if(s.tables.begin(), s.tables.end(),
                         [&](const Table& t) { return std::string(t.quantity.name) == name; });
}

TEST(Statistics, SixReflectionsByHand) {
    const std::vector<float> dat = six();
    const Statistics s = compute_statistics(set_of(dat), 3);
    // Significant: 1, 2, 3, 5, 6. |Fo - Fc| 2, 2, 0, 3, 3; ΣFo 77; ΣFo² 1569,
    // ΣFc² 1527; (Fo² - Fc²)² 1296, 7056, 0, 29241, 6561 = 44154; ΣFo⁴ 1001361.
    // All: reflection 4 adds |8 - 6| = 2, Fo 8.
    // dF/s(Fo) 2, -1, 0, 1, -3; sorted -3 -1 0 1 2 against ±a, ±b, 0.
    const double a = 1.2815515655446004, b = 0.5244005127080407;  // Φ⁻¹(0.9), Φ⁻¹(0.7)
    const struct {
        const char* what;
        double got, want;
    } figures[] = {
        {"R1", s.significant.r1, 10.0 / 77},
        {"R1 all", s.all.r1, 12.0 / 85},
        {"Fo2/Fc2", s.significant.fo2_over_fc2, 1569.0 / 1527},
        {"wR2", s.significant.wr2, std::sqrt(44154.0 / 1001361)},
        {"S", s.significant.s, std::sqrt(0.01 * 44154 / 5)},
        {"slope", s.normal.slope, (5 * a + 2 * b) / (2 * a * a + 2 * b * b)},
        {"intercept", s.normal.intercept, -0.2},
    };
    for (const auto& f : figures) {
        SCOPED_TRACE(f.what);
        EXPECT_NEAR(f.got, f.want, 1e-6 * std::fabs(f.want) + 1e-12);  // weight is a 4-byte 0.01
    }
    EXPECT_EQ(s.significant.n, 5);
    EXPECT_EQ(s.all.n, 6);
    EXPECT_TRUE(s.significant.weighted);
    EXPECT_EQ(s.normal.n, 5);

    // Largest |dF/s(Fo)| first; lines 2 and 5 tie at 1 and go by line.
    std::vector<std::int64_t> lines;
    for (const Worst& w : s.worst) lines.push_back(w.data_line);
    EXPECT_EQ(lines, (std::vector<std::int64_t>{6, 1, 2, 5, 3}));
    EXPECT_EQ(s.worst[0].running_number, 105);
    EXPECT_EQ(s.worst[0].dF_s, -3);
    EXPECT_EQ(s.worst[0].theta, 30);

    // By theta 5 10 15 25 30, the cuts are x(0) x(1) x(1) x(2) x(2) x(3) x(3)
    // x(4) x(4): five bins of one, none with a spread, nothing to test.
    const Table& t = table(s, "theta");
    EXPECT_FALSE(t.constant);
    ASSERT_EQ(t.bins.size(), 5u);
    EXPECT_FALSE(t.trend.tested);
    EXPECT_FALSE(t.trend.trend);
    EXPECT_TRUE(std::isnan(t.bins[0].sd));
    EXPECT_EQ(t.bins[4].x_min, 30);
    EXPECT_EQ(t.bins[4].mean, -3);

    // A reflection without a weight: wR(F) with 1/s²(Fo): Σ(dF/s)² 15 over Σ(Fo/s)² 544.
    const std::vector<float> unweighted = six(0);
    const Statistics u = compute_statistics(set_of(unweighted), 3);
    EXPECT_FALSE(u.significant.weighted);
    EXPECT_NEAR(u.significant.wrf, std::sqrt(15.0 / 544), 1e-12);
    EXPECT_EQ(u.significant.wrf_left_out, 0);
}

TEST(Statistics, ConstantQuantitiesAreNamedNotTested) {
    const std::vector<float> dat = six();
    const Statistics s = compute_statistics(set_of(dat), 3);
    EXPECT_EQ(trend_line(table(s, "phi")), "vs. phi: phi is 0 in every line: nothing to test");
    EXPECT_EQ(constant_text(table(s, "XRtime")), "XRtime is 7 in every line: nothing to test");
    EXPECT_TRUE(table(s, "XRtime").bins.empty());
    const std::string json = statistics_json(s, "six");
    EXPECT_NE(json.find("\"phi\": {\"constant\": true}"), std::string::npos);
    EXPECT_NE(json.find("\"wR2\": "), std::string::npos);
    EXPECT_EQ(json.find("\"wRF\""), std::string::npos);
    EXPECT_EQ(json.find("\"h\""), std::string::npos);

    // A file of six fields has no phi to kappa at all: read as 0.
    std::vector<float> narrow;
    for (std::size_t k = 0; k < dat.size() / kFields; ++k)
        narrow.insert(narrow.end(), dat.begin() + static_cast<std::ptrdiff_t>(k * kFields),
                      dat.begin() + static_cast<std::ptrdiff_t>(k * kFields + 6));
    const Statistics n = compute_statistics(set_of(narrow, 6), 3);
    EXPECT_TRUE(table(n, "kappa").constant);
    EXPECT_FALSE(n.significant.weighted);  // no weight field
    EXPECT_EQ(n.significant.r1, s.significant.r1);
}

TEST(Statistics, EqualXShareABinAtTheEdges) {
    // x 1 (six times), 2 (six), 3 (eight): cuts x(2b) = 1 1 2 2 2 3 3 3 3, so
    // the bins hold 6, 6, 8, whatever the cut between equal values.
    std::vector<float> dat;
    for (int k = 0; k < 20; ++k) {
        std::vector<float> row(kFields, 0.0f);
        const float x = k < 6 ? 1.0f : k < 12 ? 2.0f : 3.0f;
        row[1] = 100;
        row[3] = 1;
        row[2] = 100 - (x == 1 ? static_cast<float>(2 * (k % 2)) : x);  // dF/s: 0, 2, ...; 2; 3
        row[5] = x;
        dat.insert(dat.end(), row.begin(), row.end());
    }
    const Table t = compute_table(set_of(dat), 3, *x_quantity("theta"));
    ASSERT_EQ(t.bins.size(), 3u);
    EXPECT_EQ(t.bins[0].n, 6);
    EXPECT_EQ(t.bins[1].n, 6);
    EXPECT_EQ(t.bins[2].n, 8);
    EXPECT_EQ(t.bins[0].x_max, 1);
    EXPECT_EQ(t.bins[2].x_min, 3);
    EXPECT_DOUBLE_EQ(t.bins[0].mean, 1);
    EXPECT_DOUBLE_EQ(t.bins[0].sd, std::sqrt(6.0 / 5));  // deviations ±1, n - 1 = 5
    EXPECT_DOUBLE_EQ(t.bins[0].rms, std::sqrt(2.0));
    // Only the first bin has a spread: one bin is no test.
    EXPECT_FALSE(t.trend.tested);
}

TEST(Statistics, AllBelowTheLimitAndValuesThatAreNotFinite) {
    std::vector<float> dat = six();
    const Statistics low = compute_statistics(set_of(dat), 50);
    EXPECT_EQ(low.counts.significant, 0);
    EXPECT_EQ(low.significant.n, 0);
    EXPECT_TRUE(std::isnan(low.significant.r1));
    EXPECT_EQ(low.all.n, 6);
    EXPECT_TRUE(table(low, "theta").bins.empty());
    EXPECT_FALSE(table(low, "theta").constant);
    EXPECT_TRUE(low.worst.empty());
    EXPECT_TRUE(std::isnan(low.normal.slope));
    EXPECT_NE(statistics_json(low, "f").find("\"R1\": null"), std::string::npos);

    // An infinite theta (a field beyond the 4-byte range) and a NaN weight:
    // both reflections are left out of every figure and counted.
    const Statistics clean = compute_statistics(set_of(dat), 3);
    std::vector<float> bad(dat.begin(), dat.begin() + 2 * kFields);
    bad[5] = INFINITY;
    bad[kFields + 12] = NAN;
    bad.insert(bad.end(), dat.begin(), dat.end());
    const Statistics s = compute_statistics(set_of(bad), 3);
    EXPECT_EQ(s.counts.non_finite, 2);
    EXPECT_EQ(s.significant.n, clean.significant.n);
    EXPECT_EQ(s.significant.wr2, clean.significant.wr2);
    EXPECT_EQ(s.worst[0].data_line, clean.worst[0].data_line + 2);
}

// 5000 reflections with theta from 2 to 30 and dF/s(Fo) normal; a trend of
// 0.4 over the theta range is planted on request, theta is dealt out anew.
std::vector<float> generated(bool trend, bool shuffled, int n = 5000) {
    std::mt19937 random(20261209);
    std::normal_distribution<double> normal;
    std::uniform_real_distribution<double> uniform(2, 30);
    std::vector<float> theta(n), dat;
    for (float& t : theta) t = static_cast<float>(uniform(random));
    std::vector<float> planted = theta;
    if (shuffled) std::shuffle(theta.begin(), theta.end(), random);
    for (int k = 0; k < n; ++k) {
        std::vector<float> row(kFields, 0.0f);
        const double d = normal(random) + (trend ? 0.4 * (planted[k] - 16) / 14 : 0);
        row[1] = 100;
        row[2] = static_cast<float>(100 - d);
        row[3] = 1;
        row[5] = theta[k];
        dat.insert(dat.end(), row.begin(), row.end());
    }
    return dat;
}

TEST(Statistics, PlantedTrendIsFlaggedAndGoneWhenShuffled) {
    const std::vector<float> planted = generated(true, false);
    const std::vector<float> shuffled = generated(true, true);
    const Table t = compute_table(set_of(planted), 3, *x_quantity("theta"));
    ASSERT_EQ(t.bins.size(), 10u);
    EXPECT_TRUE(t.trend.trend) << trend_line(t);
    EXPECT_EQ(t.trend.dof, 9);
    EXPECT_EQ(t.bins[0].n, 500);
    EXPECT_LT(t.bins[0].mean, -0.1);
    EXPECT_GT(t.bins[9].mean, 0.1);
    const Table u = compute_table(set_of(shuffled), 3, *x_quantity("theta"));
    EXPECT_FALSE(u.trend.trend) << trend_line(u);
    EXPECT_GT(u.trend.p, 0.001);
    // Normal errors of unit size: the probability plot's line is the diagonal.
    const Statistics s = compute_summary(set_of(generated(false, false)), 3);
    EXPECT_NEAR(s.normal.slope, 1, 0.05);
    EXPECT_NEAR(s.normal.intercept, 0, 0.05);

    // A large set has its tables made on two threads: the same tables.
    const std::vector<float> large = generated(true, false, 60000);
    const Statistics all = compute_statistics(set_of(large), 3);
    for (const Table& t : all.tables) {
        SCOPED_TRACE(t.quantity.name);
        const Table alone = compute_table(set_of(large), 3, t.quantity);
        EXPECT_EQ(t.constant, alone.constant);
        EXPECT_EQ(t.trend.chi2, alone.trend.chi2);
        EXPECT_EQ(t.bins.size(), alone.bins.size());
    }
}

TEST(Statistics, TailsOfTheNormalAndChiSquaredDistributions) {
    const struct {
        double got, want;
    } cases[] = {
        {inverse_normal(0.975), 1.959963984540054},
        {inverse_normal(1e-10), -6.361340902404056},
        {inverse_normal(0.5), 0},
        {chi2_upper_tail(1, 1), 0.3173105078629141},
        {chi2_upper_tail(16.918977604620448, 9), 0.05},
        {chi2_upper_tail(27.877164871256568, 9), 0.001},
        {chi2_upper_tail(2, 2), std::exp(-1.0)},
        {chi2_upper_tail(100, 4), std::exp(-50.0) * (1 + 50)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.want);
        EXPECT_NEAR(c.got, c.want, 1e-9 * std::fabs(c.want) + 1e-15);
    }
}

TEST(Statistics, IndicesOfTheWorstWhereTheFileCarriesThem) {
    std::vector<float> dat;
    const std::vector<float> base = six();
    for (std::size_t k = 0; k < 6; ++k) {
        dat.insert(dat.end(), base.begin() + static_cast<std::ptrdiff_t>(k * kFields),
                   base.begin() + static_cast<std::ptrdiff_t>((k + 1) * kFields));
        dat.push_back(1);                  // h
        dat.push_back(-2 * 10000.0f + 3);  // k = -2, l = 3
    }
    DataSet d{dat.data(), 15, 6, true};
    const Statistics s = compute_statistics(d, 3);
    ASSERT_TRUE(s.worst[0].hkl);
    EXPECT_EQ(*s.worst[0].hkl, (vorsel::Miller{1, -2, 3}));
    EXPECT_NE(statistics_json(s, "f").find("\"h\": 1, \"k\": -2, \"l\": 3"), std::string::npos);
    EXPECT_NE(statistics_csv(s, "f").find("running_number,data_line,h,k,l,Fo"), std::string::npos);
}

}  // namespace
