#include "platform/format.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace vorsel::platform {

std::string usual_text(std::int64_t v) { return std::to_string(v); }

std::string usual_text(float v) {
    if (std::isnan(v)) return "NaN";
    if (std::isinf(v)) return v > 0 ? "Inf" : "-Inf";
    if (v == 0.0f) return "0";
    char buf[48];
    // Seven significant digits are what a Single carries; %G drops trailing
    // zeros and switches to exponent form outside 1E-4 .. 1E+7.
    std::snprintf(buf, sizeof buf, "%.7G", static_cast<double>(v));
    std::string s(buf);
    // Exponent with at least two digits and no leading zeros beyond that:
    // "1E+07", "1.5E-05" (printf already writes two digits).
    return s;
}

std::string fixed_decimals(double v, int ndec) {
    if (ndec < 0) ndec = 0;
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.*f", ndec, v);
    std::string s(buf);
    if (!s.empty() && s[0] == '-') {
        bool all_zero = true;
        for (std::size_t i = 1; i < s.size(); ++i)
            if (s[i] != '0' && s[i] != '.') all_zero = false;
        if (all_zero) s.erase(0, 1);
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
