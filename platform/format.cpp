#include "platform/format.h"

#include <charconv>
#include <cmath>
#include <system_error>

namespace vorsel::platform {

namespace {

// The exact decimal expansion of a finite, non-negative number:
// value = 0.d[0]d[1]d[2]... x 10^point, without leading or trailing zeros
// ("" for zero). A double has at most 767 significant decimal digits, so the
// expansion below is exact and the rounding that follows sees every digit.
struct Digits {
    std::string d;
    int point = 0;
};

Digits exact_digits(double a) {
    Digits x;
    if (a == 0.0) return x;
    char buf[800];
    const auto res = std::to_chars(buf, buf + sizeof buf, a, std::chars_format::scientific, 767);
    if (res.ec != std::errc()) return x;  // cannot happen for a finite double
    // "d.ddd...e+XX"
    const char* p = buf;
    x.d.push_back(*p++);
    if (p < res.ptr && *p == '.') ++p;
    while (p < res.ptr && *p != 'e') x.d.push_back(*p++);
    int exp10 = 0;
    if (p < res.ptr && *p == 'e') {
        ++p;
        const bool negative = p < res.ptr && *p == '-';
        if (p < res.ptr && (*p == '-' || *p == '+')) ++p;
        std::from_chars(p, res.ptr, exp10);
        if (negative) exp10 = -exp10;
    }
    x.point = exp10 + 1;
    while (!x.d.empty() && x.d.back() == '0') x.d.pop_back();
    return x;
}

// Keeps the first `keep` digits (keep may be 0 or negative: the rounding unit
// then lies at or above the leading digit), rounding halves away from zero.
// The digit right after the kept ones decides, since the magnitude only grows
// or shrinks.
void round_digits(Digits& x, int keep) {
    if (keep < 0) {
        x = Digits{};
        return;
    }
    if (static_cast<std::size_t>(keep) >= x.d.size()) return;
    const bool up = x.d[static_cast<std::size_t>(keep)] >= '5';
    x.d.resize(static_cast<std::size_t>(keep));
    if (up) {
        int i = keep - 1;
        while (i >= 0 && x.d[static_cast<std::size_t>(i)] == '9') {
            x.d[static_cast<std::size_t>(i)] = '0';
            --i;
        }
        if (i >= 0) {
            ++x.d[static_cast<std::size_t>(i)];
        } else {
            x.d.insert(x.d.begin(), '1');
            ++x.point;
        }
    }
    while (!x.d.empty() && x.d.back() == '0') x.d.pop_back();
    if (x.d.empty()) x.point = 0;
}

// Digit j of the expansion (0-based); zeros beyond either end.
char digit_at(const Digits& x, long j) {
    if (j < 0 || static_cast<std::size_t>(j) >= x.d.size()) return '0';
    return x.d[static_cast<std::size_t>(j)];
}

std::string non_finite(double v) {
    if (std::isnan(v)) return "NaN";
    return v > 0 ? "Inf" : "-Inf";
}

}  // namespace

std::string usual_text(std::int64_t v) { return std::to_string(v); }

std::string usual_text(float v) {
    if (!std::isfinite(v)) return non_finite(v);
    if (v == 0.0f) return "0";
    Digits x = exact_digits(std::fabs(static_cast<double>(v)));
    round_digits(x, 7);  // a Single carries seven significant digits
    std::string s = v < 0 ? "-" : "";
    const int e = x.point - 1;  // exponent of the leading digit
    if (e >= 7 || e < -4) {
        s += x.d[0];
        if (x.d.size() > 1) s.append(1, '.').append(x.d, 1);
        const int a = e < 0 ? -e : e;
        s += e < 0 ? "E-" : "E+";
        if (a < 10) s += '0';
        s += std::to_string(a);
        return s;
    }
    if (x.point <= 0) {
        s.append("0.").append(static_cast<std::size_t>(-x.point), '0').append(x.d);
        return s;
    }
    for (long j = 0; j < x.point; ++j) s += digit_at(x, j);
    if (x.d.size() > static_cast<std::size_t>(x.point))
        s.append(1, '.').append(x.d, static_cast<std::size_t>(x.point));
    return s;
}

std::string fixed_decimals(double v, int ndec) {
    if (!std::isfinite(v)) return non_finite(v);
    // No double has a nonzero digit beyond the 1074th decimal.
    if (ndec < 0) ndec = 0;
    if (ndec > 1100) ndec = 1100;
    Digits x = exact_digits(std::fabs(v));
    round_digits(x, x.point + ndec);
    std::string s = (v < 0 && !x.d.empty()) ? "-" : "";
    if (x.point <= 0) {
        s += '0';
    } else {
        for (long j = 0; j < x.point; ++j) s += digit_at(x, j);
    }
    if (ndec > 0) {
        s += '.';
        for (long i = 0; i < ndec; ++i) s += digit_at(x, x.point + i);
    }
    return s;
}

std::string at_pattern(const std::string& text, const std::string& pattern) {
    std::size_t slots = 0;
    for (char c : pattern)
        if (c == '@') ++slots;
    std::string out;
    std::string fill = text;
    std::string overflow;
    if (fill.size() < slots) {
        fill.insert(0, slots - fill.size(), ' ');
    } else if (fill.size() > slots) {
        overflow = fill.substr(0, fill.size() - slots);
        fill = fill.substr(fill.size() - slots);
    }
    std::size_t next = 0;
    bool overflow_done = overflow.empty();
    for (char c : pattern) {
        if (c == '@') {
            if (!overflow_done) {
                out += overflow;
                overflow_done = true;
            }
            out += fill[next++];
        } else {
            out += c;
        }
    }
    if (!overflow_done) out += overflow;
    return out;
}

}  // namespace vorsel::platform
