#include "plot/curve_export.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>

#include "library/miller_indices.h"
#include "platform/format.h"
#include "plot/buttons.h"
#include "plot/quantities.h"

namespace vorsel::plot {

namespace {

// One line of numbers: six of at most 16 characters each.
constexpr std::size_t kLineBytes = 6 * 16;
// h, k and l, each within -999 to 999, and their commas.
constexpr std::size_t kIndexBytes = 3 * 5;
// Lines ahead whose running number is fetched before it is needed.
constexpr std::int32_t kAhead = 16;

std::string joined(const std::vector<std::string>& parts, const char* separator) {
    std::string out;
    for (const std::string& p : parts) {
        if (!out.empty()) out += separator;
        out += p;
    }
    return out;
}

}  // namespace

bool curve_drawn(const frmVorselPlot& w) {
    return w.active && w.npcur >= 1 && but::is_x_quantity(w.ibx) && but::is_y_quantity(w.iby) &&
           w.ycur.size() >= static_cast<std::size_t>(w.npcur);
}

std::vector<std::string> switches_on(const frmVorselPlot& w) {
    std::vector<std::string> on;
    if (w.sqrooted) on.emplace_back("sqrt(y)");
    if (w.smoothed) on.emplace_back("smoothed");
    if (w.reverse) on.emplace_back("x high -> low");
    if (!w.overall) on.emplace_back("sc frame");
    if (w.fitall) on.emplace_back("fit to frame");
    return on;
}

std::string picture_title(const frmVorselPlot& w) {
    std::string t = w.loc.strCode + ": " + quantity_caption(w.iby) + " vs. " +
                    quantity_caption(w.ibx) + "; Fo/s(Fo) >= " + platform::usual_text(w.siglim);
    const std::vector<std::string> on = switches_on(w);
    if (!on.empty()) t += "; " + joined(on, ", ");
    return t;
}

std::string picture_x_note(const frmVorselPlot& w) {
    if (!curve_drawn(w) || w.nf < 1 || w.nl < w.nf || w.nl > w.npcur ||
        w.xcur.size() < static_cast<std::size_t>(w.nl))
        return {};
    using platform::usual_text;
    const std::string x = quantity_caption(w.ibx);
    const auto at = [&w](std::int32_t i) {
        return usual_text(w.xcur(i)) + " at point " + usual_text(std::int64_t{i});
    };
    return "x: " + x + ", " + at(w.nf) + " to " + at(w.nl) + " of " +
           usual_text(std::int64_t{w.npcur}) + "; points equally spaced in order of " + x +
           (w.reverse ? ", high to low" : "");
}

std::string shortest_text(float v) {
    char buf[32];
    return std::string(buf, std::to_chars(buf, buf + sizeof buf, v).ptr);
}

namespace {

// The '#' lines that say what the curve is, the last naming the columns.
std::string curve_csv_header(const frmVorselPlot& w) {
    const std::string x = quantity_name(w.ibx);
    const std::string y = w.sqrooted ? "sqrt(" + quantity_name(w.iby) + ")" : quantity_name(w.iby);
    const std::vector<std::string> on = switches_on(w);
    std::string out;
    out += "# vorselplot curve data\n";
    out += "# file: " + w.loc.strLocation + "\n";
    out += "# x: " + x + " (field " + std::to_string(w.ixval) + ")\n";
    out += "# y: " + y + (w.iyval != 0 ? " (field " + std::to_string(w.iyval) + ")" : "") +
           (w.sqrooted ? ", the square root with the sign of the value" : "") + "\n";
    out += "# Fo/s(Fo) limit: " + platform::usual_text(w.siglim) + "\n";
    out += "# switches: " + (on.empty() ? std::string("none") : joined(on, ", ")) + "\n";
    out += "# points: " + std::to_string(w.npcur) + " of " + std::to_string(w.npoint) +
           " reflections, in the order of the plot; data line k is line k + 1 of the file\n";
    out += std::string("# point,running number,data line,") + (w.carries_hkl ? "h,k,l," : "") + x +
           "," + y;
    if (w.smoothed) out += ",smoothed " + y;
    out += "\n";
    return out;
}

}  // namespace

std::string curve_csv(frmVorselPlot& w) {
    if (!curve_drawn(w)) return {};
    const std::vector<std::int32_t>& lines = w.curve_lines();
    if (lines.size() != static_cast<std::size_t>(w.npcur)) return {};

    std::string out = curve_csv_header(w);

    // Room for the longest lines: the pages never touched cost nothing.
    out.reserve(out.size() + static_cast<std::size_t>(w.npcur) *
                                 (kLineBytes + (w.carries_hkl ? kIndexBytes : 0)));
    char line[kLineBytes + kIndexBytes];
    // The running numbers in one row of their own, read in file order: the
    // lookups in plot order then stay within a few megabytes instead of
    // reaching all over the data.
    std::vector<float> running(static_cast<std::size_t>(w.npoint));
    for (std::int32_t k = 1; k <= w.npoint; ++k)
        running[static_cast<std::size_t>(k - 1)] = w.datv(1, k);
    for (std::int32_t i = 1; i <= w.npcur; ++i) {
        const std::int32_t k = lines[static_cast<std::size_t>(i - 1)];
        if (i + kAhead <= w.npcur)
            __builtin_prefetch(&running[static_cast<std::size_t>(
                lines[static_cast<std::size_t>(i - 1 + kAhead)] - 1)]);
        // Formatted into a buffer of its own: one append per line.
        char* p = line;
        char* const end = line + sizeof line;
        auto put = [&](auto v, char after) {
            p = std::to_chars(p, end - 1, v).ptr;  // the last byte kept for `after`
            *p++ = after;
        };
        put(i, ',');
        put(running[static_cast<std::size_t>(k - 1)], ',');
        put(k, ',');
        if (w.carries_hkl) {
            // Fields that hold no indices (a garbled line) leave the three empty.
            if (const auto m = decode_indices(w.datv(kFieldH, k), w.datv(kFieldKL, k))) {
                put(m->h, ',');
                put(m->k, ',');
                put(m->l, ',');
            } else {
                for (int c = 0; c < 3; ++c) *p++ = ',';
            }
        }
        put(w.xcur(i), ',');
        if (w.smoothed) {
            put(w.ycur(i), ',');
            put(w.ysmo(i), '\n');
        } else {
            put(w.ycur(i), '\n');
        }
        out.append(line, p);
    }
    return out;
}

}  // namespace vorsel::plot
