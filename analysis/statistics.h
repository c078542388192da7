// The numbers a crystallographer reads beside the error curve: the agreement
// of Fo and Fc (R1, wR2 and S, or wR(F)), a binned table of dF/s(Fo) for each
// x quantity with a test of whether its bin means drift, the normal
// probability of dF/s(Fo) and the most disagreeable reflections.
//
// Works on the data arrays as the reader fills them (dat: the fields of one
// reflection after another); Qt-free. Every sum is taken in double precision.
//
// What a reflection counts for:
// - a reflection with a value that is not finite in one of the fields read
//   here (Fo, Fc, s(Fo), the x quantities, the weight) is left out of every
//   figure and counted (`non_finite`);
// - "significant": Fo/s(Fo) at or above the limit, worked out as the reader
//   works it out for the curve, so that both select the same reflections;
// - dF/s(Fo) needs s(Fo) > 0: a significant reflection with s(Fo) = 0 has no
//   dF/s(Fo) and is left out of the bins, the trend tests, the normal
//   probability and the worst list, and counted (`no_sigma`).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "library/miller_indices.h"

namespace vorsel::analysis {

// The reflections as read: `ncurves` fields of each of `npoint` reflections,
// field c (1-based) of reflection k (0-based) at dat[k * ncurves + c - 1]; a
// field beyond ncurves is 0. `indices`: the header line announces Miller
// indices in fields 14 and 15 (header_carries_indices).
struct DataSet {
    const float* dat = nullptr;
    std::int32_t ncurves = 0;
    std::int64_t npoint = 0;
    bool indices = false;
};

// The quantities that order a curve, by the command line's names, and the
// field each is read from.
struct XQuantity {
    const char* name;
    int field;
};
inline constexpr XQuantity kXQuantities[] = {
    {"Fo", 2},    {"Fc", 3},      {"theta", 6},  {"phi", 7},     {"omega", 8},
    {"kappa", 9}, {"abscor", 11}, {"drift", 12}, {"weight", 13}, {"XRtime", 5},
};
inline constexpr int kFieldFo = 2, kFieldFc = 3, kFieldSigma = 4, kFieldTheta = 6,
                     kFieldWeight = 13;

// A trend is shown when the bin means are this improbable under no trend.
inline constexpr double kTrendP = 0.001;
inline constexpr int kBins = 10;
inline constexpr std::size_t kWorstCount = 20;

struct Agreement {
    std::int64_t n = 0;
    double r1 = 0;            // Σ| |Fo| - |Fc| | / Σ|Fo|
    double fo2_over_fc2 = 0;  // ΣFo² / ΣFc²
    // The weight field holds a weight on F² for every reflection: wR2 and S
    // (S without the refinement's parameter count: N in its denominator).
    bool weighted = false;
    double wr2 = 0, s = 0;
    // Otherwise wR(F) with w = 1/s²(Fo); reflections with s(Fo) = 0 left out.
    double wrf = 0;
    std::int64_t wrf_left_out = 0;
};

struct Bin {
    double x_min = 0, x_max = 0;
    std::int64_t n = 0;
    double mean = 0, sd = 0, rms = 0;  // of dF/s(Fo); sd is NaN for a bin of one
    double fo2_over_fc2 = 0, r1 = 0;
};

struct Trend {
    bool tested = false;  // at least two bins with n >= 2 and sd > 0
    double chi2 = 0;
    int dof = 0;
    double p = 1;
    bool trend = false;  // p < kTrendP
};

struct Table {
    XQuantity quantity{};
    bool constant = false;      // one value for every reflection: nothing to test
    double constant_value = 0;  // that value (0 when the file lacks the field)
    std::vector<Bin> bins;      // empty bins dropped
    Trend trend;
};

struct NormalProbability {
    std::int64_t n = 0;
    double slope = 0, intercept = 0;  // NaN with fewer than two values
    std::vector<double> observed;     // dF/s(Fo), ascending
};

struct Worst {
    float running_number = 0;  // field 1
    std::int64_t data_line = 0;
    std::optional<Miller> hkl;
    double fo = 0, fc = 0, sigma = 0, dF_s = 0, theta = 0;
};

struct Counts {
    std::int64_t read = 0;         // reflections in the data set
    std::int64_t non_finite = 0;   // left out of every figure
    std::int64_t significant = 0;  // at or above the limit (finite)
    std::int64_t no_sigma = 0;     // significant with s(Fo) = 0: no dF/s(Fo)
    std::int64_t used = 0;         // significant with a dF/s(Fo)
};

struct Statistics {
    float limit = 0;
    bool indices = false;
    Counts counts;
    Agreement significant, all;
    std::vector<Table> tables;  // one per x quantity, in the order of kXQuantities
    NormalProbability normal;
    std::vector<Worst> worst;  // largest |dF/s(Fo)| first
};

// The reflections that have a dF/s(Fo) at a limit (significant, finite,
// s(Fo) > 0), picked out once for the tables of many x quantities; valid for
// the data set it was picked from while that stays as it is.
struct Selection {
    float limit = 0;
    std::vector<std::int64_t> line;  // 0-based reflection, ascending
    std::vector<double> d;           // its dF/s(Fo)
    Counts counts;
};
Selection select_reflections(const DataSet& data, float limit);

// Everything, for the reflections at or above the limit (agreement also for all).
Statistics compute_statistics(const DataSet& data, float limit);

// The parts alone, as the Statistics window asks for them: all but the tables,
// and one table.
Statistics compute_summary(const DataSet& data, float limit);
Table compute_table(const DataSet& data, float limit, const XQuantity& quantity);
Table compute_table(const DataSet& data, const Selection& selection, const XQuantity& quantity);

// The expected normal order statistic Φ⁻¹((i - ½) / n), i = 1 … n.
double expected_normal(std::int64_t i, std::int64_t n);
// Φ⁻¹(p), 0 < p < 1, to double precision.
double inverse_normal(double p);
// The upper tail of the χ² distribution with dof degrees of freedom at x.
double chi2_upper_tail(double x, int dof);

// "theta" ->  the x quantity of that name, or nothing.
std::optional<XQuantity> x_quantity(const std::string& name);

// "vs. theta: χ²/ν 18.9, p < 1e-6: trend"; "vs. phi: phi is 0 in every line:
// nothing to test".
std::string trend_line(const Table& t);
// "phi is 0 in every line: nothing to test"
std::string constant_text(const Table& t);
// A p-value as people read it: "0.0213", "3.1e-05", "< 1e-12".
std::string p_text(double p);
// A figure to four significant digits: 0.01234, 1.235, 1235; NaN as "-".
std::string figure(double v);

}  // namespace vorsel::analysis
