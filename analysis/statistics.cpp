#include "analysis/statistics.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <future>
#include <iterator>
#include <limits>
#include <numeric>

namespace vorsel::analysis {

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
// Below this many reflections a second thread costs more than it saves.
constexpr std::size_t kParallelFrom = 50000;

// The fields read here, besides running number and indices.
constexpr int kFieldsRead[] = {2, 3, 4, 5, 6, 7, 8, 9, 11, 12, 13};

struct Rows {
    const DataSet& d;
    const float* row(std::int64_t k) const {
        return d.dat + k * static_cast<std::int64_t>(d.ncurves);
    }
    float field(std::int64_t k, int f) const { return f <= d.ncurves ? row(k)[f - 1] : 0.0f; }
    bool finite(std::int64_t k) const {
        const float* r = row(k);
        for (int f : kFieldsRead)
            if (f <= d.ncurves && !std::isfinite(r[f - 1])) return false;
        return true;
    }
};

// The sums of one set of reflections for its agreement figures.
struct AgreementSums {
    std::int64_t n = 0, no_weight = 0, no_sigma = 0;
    double abs_diff = 0, fo = 0, fo2 = 0, fc2 = 0;
    double w_diff2 = 0, w_fo4 = 0;    // on F², with the weight field
    double ws_diff2 = 0, ws_fo2 = 0;  // on F, with 1/s²(Fo)

    void add(double fo_, double fc_, double s, double w) {
        const double afo = std::fabs(fo_), afc = std::fabs(fc_);
        ++n;
        abs_diff += std::fabs(afo - afc);
        fo += afo;
        fo2 += afo * afo;
        fc2 += afc * afc;
        if (w == 0) ++no_weight;
        const double d2 = afo * afo - afc * afc;
        w_diff2 += w * d2 * d2;
        w_fo4 += w * afo * afo * afo * afo;
        if (s == 0) {
            ++no_sigma;
        } else {
            const double ws = 1.0 / (s * s);
            ws_diff2 += ws * (afo - afc) * (afo - afc);
            ws_fo2 += ws * afo * afo;
        }
    }

    Agreement result() const {
        Agreement a;
        a.n = n;
        a.r1 = fo > 0 ? abs_diff / fo : kNaN;
        a.fo2_over_fc2 = fc2 > 0 ? fo2 / fc2 : kNaN;
        a.weighted = n > 0 && no_weight == 0;
        if (a.weighted) {
            a.wr2 = w_fo4 > 0 ? std::sqrt(w_diff2 / w_fo4) : kNaN;
            a.s = std::sqrt(w_diff2 / static_cast<double>(n));
        } else {
            a.wrf = ws_fo2 > 0 ? std::sqrt(ws_diff2 / ws_fo2) : kNaN;
            a.wrf_left_out = no_sigma;
        }
        return a;
    }
};

// The reflections picked out, and the sums of the agreement figures.
struct Picked {
    Selection sel;
    AgreementSums significant, all;
};

bool is_significant(float fo, float s, float limit) {
    // As the reader works out |Fo/s(Fo)| for the curve: in single precision.
    return std::fabs(std::fabs(fo) / s) >= limit;
}

Picked pick(const DataSet& data, float limit, bool with_agreement) {
    const Rows rows{data};
    Picked p;
    Selection& s = p.sel;
    s.limit = limit;
    s.counts.read = data.npoint;
    if (!data.dat || data.ncurves < kFieldSigma) return p;
    s.line.reserve(static_cast<std::size_t>(data.npoint));
    s.d.reserve(static_cast<std::size_t>(data.npoint));
    for (std::int64_t k = 0; k < data.npoint; ++k) {
        if (!rows.finite(k)) {
            ++s.counts.non_finite;
            continue;
        }
        const float* r = rows.row(k);
        const float fo = r[kFieldFo - 1], fc = r[kFieldFc - 1], sig = r[kFieldSigma - 1];
        const float w = rows.field(k, kFieldWeight);
        if (with_agreement) p.all.add(fo, fc, sig, w);
        if (!is_significant(fo, sig, limit)) continue;
        ++s.counts.significant;
        if (with_agreement) p.significant.add(fo, fc, sig, w);
        if (!(sig > 0)) {
            ++s.counts.no_sigma;
            continue;
        }
        s.line.push_back(k);
        s.d.push_back((static_cast<double>(std::fabs(fo)) - fc) / sig);
    }
    s.counts.used = static_cast<std::int64_t>(s.line.size());
    return p;
}

// Puts the order statistics at positions at[first..last) (ascending, within
// [lo, hi)) in place, the middle one first and then each side within its
// part: about N log₂ 10 steps instead of N for each of nine in turn.
void place_order_statistics(std::vector<float>& v, const std::array<std::size_t, kBins - 1>& at,
                            std::size_t first, std::size_t last, std::size_t lo, std::size_t hi) {
    if (first >= last || lo >= hi) return;
    const std::size_t mid = first + (last - first) / 2;
    const auto begin = v.begin();
    std::nth_element(begin + static_cast<std::ptrdiff_t>(lo),
                     begin + static_cast<std::ptrdiff_t>(at[mid]),
                     begin + static_cast<std::ptrdiff_t>(hi));
    place_order_statistics(v, at, first, mid, lo, at[mid]);
    place_order_statistics(v, at, mid + 1, last, at[mid] + 1, hi);
}

Table table_of(const DataSet& data, const Selection& sel, const XQuantity& q) {
    const Rows rows{data};
    Table t;
    t.quantity = q;
    const std::size_t n = sel.line.size();
    std::vector<float> xs(n, 0.0f);
    if (q.field <= data.ncurves)
        for (std::size_t i = 0; i < n; ++i) xs[i] = rows.row(sel.line[i])[q.field - 1];

    // Constant over the reflections used; with none used, over every finite one.
    float lo = std::numeric_limits<float>::infinity(), hi = -lo;
    if (n > 0) {
        const auto [a, b] = std::minmax_element(xs.begin(), xs.end());
        lo = *a;
        hi = *b;
    } else {
        for (std::int64_t k = 0; k < data.npoint; ++k)
            if (rows.finite(k)) {
                lo = std::min(lo, rows.field(k, q.field));
                hi = std::max(hi, rows.field(k, q.field));
            }
    }
    if (lo == hi || lo > hi) {  // lo > hi: no reflection at all, the field counts as 0
        t.constant = true;
        t.constant_value = lo == hi ? lo : 0;
        return t;
    }
    if (n == 0) return t;

    // Cuts at the order statistics x(⌊b N / 10⌋), b = 1 … 9: a reflection's bin
    // is the number of cuts at or below its x, so equal x share a bin.
    std::array<float, kBins - 1> cuts{};
    {
        std::vector<float> order(xs);
        std::array<std::size_t, kBins - 1> at{};
        for (int b = 1; b < kBins; ++b)
            at[static_cast<std::size_t>(b - 1)] = static_cast<std::size_t>(b) * n / kBins;
        place_order_statistics(order, at, 0, at.size(), 0, n);
        for (std::size_t c = 0; c < at.size(); ++c) cuts[c] = order[at[c]];
    }
    struct Acc {
        std::int64_t n = 0;
        double sum = 0, sum2 = 0, dev2 = 0, fo = 0, abs_diff = 0, fo2 = 0, fc2 = 0;
        float x_min = std::numeric_limits<float>::infinity(), x_max = -x_min;
    };
    std::array<Acc, kBins> acc{};
    std::vector<std::uint8_t> bin_of(n);
    double total = 0;
    for (std::size_t i = 0; i < n; ++i) {
        const auto b = static_cast<std::size_t>(std::upper_bound(cuts.begin(), cuts.end(), xs[i]) -
                                                cuts.begin());
        bin_of[i] = static_cast<std::uint8_t>(b);
        Acc& a = acc[b];
        const double d = sel.d[i];
        const float* r = rows.row(sel.line[i]);
        const double fo = std::fabs(static_cast<double>(r[kFieldFo - 1]));
        const double fc = std::fabs(static_cast<double>(r[kFieldFc - 1]));
        ++a.n;
        a.sum += d;
        a.sum2 += d * d;
        a.fo += fo;
        a.abs_diff += std::fabs(fo - fc);
        a.fo2 += fo * fo;
        a.fc2 += fc * fc;
        a.x_min = std::min(a.x_min, xs[i]);
        a.x_max = std::max(a.x_max, xs[i]);
        total += d;
    }
    // The spread about each bin's own mean, in a second pass: no cancellation.
    for (std::size_t i = 0; i < n; ++i) {
        Acc& a = acc[bin_of[i]];
        const double dev = sel.d[i] - a.sum / static_cast<double>(a.n);
        a.dev2 += dev * dev;
    }
    const double mean_all = total / static_cast<double>(n);
    int used = 0;
    for (const Acc& a : acc) {
        if (a.n == 0) continue;
        Bin b;
        const auto nb = static_cast<double>(a.n);
        b.x_min = a.x_min;
        b.x_max = a.x_max;
        b.n = a.n;
        b.mean = a.sum / nb;
        b.sd = a.n > 1 ? std::sqrt(a.dev2 / (nb - 1)) : kNaN;
        b.rms = std::sqrt(a.sum2 / nb);
        b.fo2_over_fc2 = a.fc2 > 0 ? a.fo2 / a.fc2 : kNaN;
        b.r1 = a.fo > 0 ? a.abs_diff / a.fo : kNaN;
        t.bins.push_back(b);
        if (a.n >= 2 && b.sd > 0) {
            const double z = (b.mean - mean_all) / (b.sd / std::sqrt(nb));
            t.trend.chi2 += z * z;
            ++used;
        }
    }
    if (used >= 2) {
        t.trend.tested = true;
        t.trend.dof = used - 1;
        t.trend.p = chi2_upper_tail(t.trend.chi2, t.trend.dof);
        t.trend.trend = t.trend.p < kTrendP;
    } else {
        t.trend.chi2 = 0;
    }
    return t;
}

NormalProbability normal_of(const Selection& sel) {
    NormalProbability np;
    np.n = static_cast<std::int64_t>(sel.d.size());
    np.observed = sel.d;
    std::sort(np.observed.begin(), np.observed.end());
    if (np.n < 2) {
        np.slope = np.intercept = kNaN;
        return np;
    }
    std::vector<double> e(static_cast<std::size_t>(np.n));
    double se = 0, sd = 0;
    for (std::int64_t i = 0; i < np.n; ++i) {
        e[static_cast<std::size_t>(i)] = expected_normal(i + 1, np.n);
        se += e[static_cast<std::size_t>(i)];
        sd += np.observed[static_cast<std::size_t>(i)];
    }
    const double me = se / static_cast<double>(np.n), md = sd / static_cast<double>(np.n);
    double sxy = 0, sxx = 0;
    for (std::size_t i = 0; i < e.size(); ++i) {
        sxy += (e[i] - me) * (np.observed[i] - md);
        sxx += (e[i] - me) * (e[i] - me);
    }
    np.slope = sxy / sxx;
    np.intercept = md - np.slope * me;
    return np;
}

std::vector<Worst> worst_of(const DataSet& data, const Selection& sel) {
    const Rows rows{data};
    std::vector<std::size_t> order(sel.d.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    const std::size_t count = std::min(kWorstCount, order.size());
    std::partial_sort(order.begin(), order.begin() + static_cast<std::ptrdiff_t>(count),
                      order.end(), [&](std::size_t a, std::size_t b) {
                          const double da = std::fabs(sel.d[a]), db = std::fabs(sel.d[b]);
                          return da != db ? da > db : sel.line[a] < sel.line[b];
                      });
    std::vector<Worst> out;
    for (std::size_t i = 0; i < count; ++i) {
        const std::int64_t k = sel.line[order[i]];
        Worst w;
        w.running_number = rows.field(k, 1);
        w.data_line = k + 1;
        if (data.indices && data.ncurves >= kFieldsWithIndices)
            w.hkl = decode_indices(rows.field(k, kFieldH), rows.field(k, kFieldKL));
        w.fo = std::fabs(rows.field(k, kFieldFo));
        w.fc = rows.field(k, kFieldFc);
        w.sigma = rows.field(k, kFieldSigma);
        w.dF_s = sel.d[order[i]];
        w.theta = rows.field(k, kFieldTheta);
        out.push_back(w);
    }
    return out;
}

Statistics summary_of(const DataSet& data, float limit, const Picked& p) {
    Statistics st;
    st.limit = limit;
    st.indices = data.indices;
    st.counts = p.sel.counts;
    st.significant = p.significant.result();
    st.all = p.all.result();
    st.normal = normal_of(p.sel);
    st.worst = worst_of(data, p.sel);
    return st;
}

// The regularised upper incomplete gamma function Q(a, x).
double gamma_q(double a, double x) {
    if (x <= 0) return 1;
    const double lead = a * std::log(x) - x - std::lgamma(a);
    if (x < a + 1) {  // the series of P(a, x)
        double term = 1 / a, sum = term;
        for (int i = 1; i < 1000; ++i) {
            term *= x / (a + i);
            sum += term;
            if (std::fabs(term) < std::fabs(sum) * 1e-16) break;
        }
        return std::max(0.0, 1 - sum * std::exp(lead));
    }
    // The continued fraction of Q(a, x), by the modified Lentz method.
    constexpr double tiny = 1e-300;
    double b = x + 1 - a, c = 1 / tiny, d = 1 / b, h = d;
    for (int i = 1; i < 1000; ++i) {
        const double an = -i * (i - a);
        b += 2;
        d = an * d + b;
        if (std::fabs(d) < tiny) d = tiny;
        c = b + an / c;
        if (std::fabs(c) < tiny) c = tiny;
        d = 1 / d;
        const double delta = d * c;
        h *= delta;
        if (std::fabs(delta - 1) < 1e-16) break;
    }
    return std::exp(lead) * h;
}

std::string chars(double v, std::chars_format f, int precision) {
    char buf[64];
    const auto r = std::to_chars(buf, buf + sizeof buf, v, f, precision);
    return std::string(buf, r.ptr);
}

}  // namespace

double chi2_upper_tail(double x, int dof) {
    if (dof <= 0) return kNaN;
    return gamma_q(dof / 2.0, x / 2.0);
}

double inverse_normal(double p) {
    if (!(p > 0 && p < 1)) return p == 0 ? -HUGE_VAL : p == 1 ? HUGE_VAL : kNaN;
    // A rational first guess, then one step of Halley's method on the error
    // function: full double precision.
    static constexpr double a[] = {-3.969683028665376e+01, 2.209460984245205e+02,
                                   -2.759285104469687e+02, 1.383577518672690e+02,
                                   -3.066479806614716e+01, 2.506628277459239e+00};
    static constexpr double b[] = {-5.447609879822406e+01, 1.615858368580409e+02,
                                   -1.556989798598866e+02, 6.680131188771972e+01,
                                   -1.328068155288572e+01};
    static constexpr double c[] = {-7.784894002430293e-03, -3.223964580411365e-01,
                                   -2.400758277161838e+00, -2.549732539343734e+00,
                                   4.374664141464968e+00,  2.938163982698783e+00};
    static constexpr double d[] = {7.784695709041462e-03, 3.224671290700398e-01,
                                   2.445134137142996e+00, 3.754408661907416e+00};
    constexpr double low = 0.02425;
    double x;
    if (p < low || p > 1 - low) {
        const double q = std::sqrt(-2 * std::log(p < low ? p : 1 - p));
        x = (((((c[0] * q + c[1]) * q + c[2]) * q + c[3]) * q + c[4]) * q + c[5]) /
            ((((d[0] * q + d[1]) * q + d[2]) * q + d[3]) * q + 1);
        if (p > 1 - low) x = -x;
    } else {
        const double q = p - 0.5, r = q * q;
        x = (((((a[0] * r + a[1]) * r + a[2]) * r + a[3]) * r + a[4]) * r + a[5]) * q /
            (((((b[0] * r + b[1]) * r + b[2]) * r + b[3]) * r + b[4]) * r + 1);
    }
    const double e = 0.5 * std::erfc(-x / std::sqrt(2.0)) - p;
    const double u = e * std::sqrt(2 * M_PI) * std::exp(x * x / 2);
    return x - u / (1 + x * u / 2);
}

double expected_normal(std::int64_t i, std::int64_t n) {
    return inverse_normal((static_cast<double>(i) - 0.5) / static_cast<double>(n));
}

Statistics compute_summary(const DataSet& data, float limit) {
    return summary_of(data, limit, pick(data, limit, true));
}

Selection select_reflections(const DataSet& data, float limit) {
    return std::move(pick(data, limit, false).sel);
}

Table compute_table(const DataSet& data, const Selection& selection, const XQuantity& quantity) {
    return table_of(data, selection, quantity);
}

Table compute_table(const DataSet& data, float limit, const XQuantity& quantity) {
    return table_of(data, pick(data, limit, false).sel, quantity);
}

Statistics compute_statistics(const DataSet& data, float limit) {
    const Picked p = pick(data, limit, true);
    // The tables on a worker beside the rest: each reads the data and the
    // selection, which nothing writes meanwhile, and fills its own table.
    std::vector<Table> tables(std::size(kXQuantities));
    const auto make = [&](std::size_t from, std::size_t step) {
        for (std::size_t i = from; i < tables.size(); i += step)
            tables[i] = table_of(data, p.sel, kXQuantities[i]);
    };
    Statistics st;
    if (p.sel.line.size() >= kParallelFrom) {
        std::future<void> odd = std::async(std::launch::async, make, 1, 2);
        st = summary_of(data, limit, p);
        make(0, 2);
        odd.get();
    } else {
        st = summary_of(data, limit, p);
        make(0, 1);
    }
    st.tables = std::move(tables);
    return st;
}

std::optional<XQuantity> x_quantity(const std::string& name) {
    for (const XQuantity& q : kXQuantities)
        if (name == q.name) return q;
    return std::nullopt;
}

std::string figure(double v) {
    if (std::isnan(v)) return "-";
    if (!std::isfinite(v) || v == 0) return v == 0 ? "0" : (v > 0 ? "inf" : "-inf");
    const int e = static_cast<int>(std::floor(std::log10(std::fabs(v))));
    if (e < -4 || e > 6) return chars(v, std::chars_format::scientific, 3);
    return chars(v, std::chars_format::fixed, std::clamp(3 - e, 0, 12));
}

std::string p_text(double p) {
    if (std::isnan(p)) return "-";
    if (p < 1e-6) return "< 1e-6";
    if (p < 0.001) return chars(p, std::chars_format::scientific, 1);
    return chars(p, std::chars_format::fixed, p < 0.01 ? 4 : 3);
}

std::string constant_text(const Table& t) {
    // The value as the file gives it: the shortest text of its 4-byte real.
    char buf[32];
    const auto r = std::to_chars(buf, buf + sizeof buf, static_cast<float>(t.constant_value));
    return std::string(t.quantity.name) + " is " + std::string(buf, r.ptr) +
           " in every line: nothing to test";
}

std::string trend_line(const Table& t) {
    const std::string head = "vs. " + std::string(t.quantity.name) + ": ";
    if (t.constant) return head + constant_text(t);
    if (!t.trend.tested) return head + "too few reflections in the bins to test";
    const std::string p = p_text(t.trend.p);
    return head + "χ²/ν " + figure(t.trend.chi2 / t.trend.dof) + ", p " +
           (p[0] == '<' ? p : "= " + p) + (t.trend.trend ? ": trend" : ": no trend");
}

}  // namespace vorsel::analysis
