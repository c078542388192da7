// The gap-insertion sort of the point numbers by descending key, written out
// plainly with a given list of gaps: the yardstick sortf is held to, ties
// included.
#pragma once

#include <cstdint>
#include <vector>

namespace vorsel::fakes {

inline std::vector<std::int32_t> reference_sort(const std::vector<float>& key,
                                                const std::vector<int>& gaps) {
    const int n = static_cast<int>(key.size());
    std::vector<std::int32_t> p(static_cast<std::size_t>(n) + 1);
    for (int i = 1; i <= n; ++i) p[static_cast<std::size_t>(i)] = i;
    auto kx = [&](std::int32_t pt) { return key[static_cast<std::size_t>(pt - 1)]; };
    auto at = [&](int i) -> std::int32_t& { return p[static_cast<std::size_t>(i)]; };
    for (int gap : gaps) {
        for (int j = 1; j <= n - gap; ++j) {
            int i = j, k = j + gap;
            if (kx(at(i)) < kx(at(k))) {
                const std::int32_t t = at(k);
                for (;;) {
                    at(k) = at(i);
                    k = i;
                    i -= gap;
                    if (i <= 0 || kx(at(i)) >= kx(t)) break;
                }
                at(k) = t;
            }
        }
    }
    return {p.begin() + 1, p.end()};
}

}  // namespace vorsel::fakes
