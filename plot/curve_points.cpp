// Which reflection each point of the current curve is. The library hands back
// only the curve's values; the reflection behind point i follows from the same
// rule by which it built the curve: it walks the points in the order of iperm,
// takes those whose |Fo/s(Fo)| is at or above the limit (a ratio that is not a
// number never), and lays them out in reverse walk order unless x runs from
// high to low.
#include <algorithm>
#include <cstdint>
#include <utility>
#include <vector>

#include "plot/frmVorselPlot.h"

namespace vorsel::plot {

const std::vector<std::int32_t>& frmVorselPlot::curve_lines() {
    if (curve_lines_npcur_ == npcur && curve_lines_generation_ == cache.curve_generation() &&
        curve_lines_.size() == static_cast<std::size_t>(npcur > 0 ? npcur : 0))
        return curve_lines_;
    curve_lines_.clear();
    curve_lines_npcur_ = npcur;
    curve_lines_generation_ = cache.curve_generation();
    if (npcur < 1 || iperm.size() < static_cast<std::size_t>(npoint) ||
        sigrat.size() < static_cast<std::size_t>(npoint))
        return curve_lines_;

    std::vector<std::int32_t> lines;
    lines.reserve(static_cast<std::size_t>(npcur));
    for (std::int32_t i = 1; i <= npoint; ++i) {
        const std::int32_t k = iperm(i);
        if (k < 1 || k > npoint || !(sigrat(k) >= siglim)) continue;
        lines.push_back(k);
    }
    // A count that differs from the library's would name wrong reflections:
    // better none.
    if (lines.size() != static_cast<std::size_t>(npcur)) return curve_lines_;
    if (!reverse) std::reverse(lines.begin(), lines.end());
    curve_lines_ = std::move(lines);
    return curve_lines_;
}

}  // namespace vorsel::plot
