// How a data file carries each reflection's Miller indices (h k l).
//
// The two fields that no plot uses, 14 and 15, hold them: field 14 holds h,
// field 15 holds 10000 k + l. For |h|, |k|, |l| <= 999 both are whole numbers
// below 2^24 in magnitude, so a 4-byte real holds them exactly and the file
// stays an ordinary data file of 15 fields. The header line says so with the
// word "hkl" after the count (from column 7 on, where the reader never looks):
//
//     "    15 hkl"
//
// A file without that word carries no indices, whatever its fields 14 and 15
// hold. Header-only: the importer, the program and the statistics share it;
// the library's three entry points know nothing of it.
#ifndef VORSEL_MILLER_INDICES_H
#define VORSEL_MILLER_INDICES_H

#include <cmath>
#include <cstddef>
#include <optional>
#include <string_view>

namespace vorsel {

struct Miller {
    int h = 0;
    int k = 0;
    int l = 0;
    friend bool operator==(const Miller&, const Miller&) = default;
};

// Fields (1-based, as the data file counts them) and their bounds.
inline constexpr int kFieldH = 14;
inline constexpr int kFieldKL = 15;
inline constexpr int kFieldsWithIndices = 15;
inline constexpr int kMaxIndex = 999;
inline constexpr int kKStride = 10000;
inline constexpr std::string_view kIndicesMark = "hkl";

inline bool indices_fit(const Miller& m) {
    return std::abs(m.h) <= kMaxIndex && std::abs(m.k) <= kMaxIndex && std::abs(m.l) <= kMaxIndex;
}

// The values of fields 14 and 15 for m; indices_fit(m) must hold.
inline float index_field_h(const Miller& m) { return static_cast<float>(m.h); }
inline float index_field_kl(const Miller& m) { return static_cast<float>(m.k * kKStride + m.l); }

// The indices held by fields 14 and 15, or nothing when they are not two
// whole numbers of that form (a file whose marker lies, a garbled line).
inline std::optional<Miller> decode_indices(float field_h, float field_kl) {
    if (!std::isfinite(field_h) || !std::isfinite(field_kl)) return std::nullopt;
    if (field_h != std::nearbyint(field_h) || field_kl != std::nearbyint(field_kl)) return std::nullopt;
    if (std::abs(field_h) > kMaxIndex ||
        std::abs(field_kl) > static_cast<float>(kMaxIndex * kKStride + kMaxIndex))
        return std::nullopt;
    const int kl = static_cast<int>(field_kl);
    // l lies within ±999, so k is kl / 10000 rounded to the nearest.
    const int k = (kl >= 0 ? kl + kKStride / 2 : kl - kKStride / 2) / kKStride;
    const Miller m{static_cast<int>(field_h), k, kl - k * kKStride};
    if (!indices_fit(m)) return std::nullopt;
    return m;
}

// Whether a header line (without its line end) announces indices: the word
// "hkl" stands alone after the count's six columns.
inline bool header_carries_indices(std::string_view header_line) {
    constexpr std::size_t kCountColumns = 6;
    if (header_line.size() <= kCountColumns) return false;
    const std::string_view rest = header_line.substr(kCountColumns);
    for (std::size_t at = rest.find(kIndicesMark); at != std::string_view::npos;
         at = rest.find(kIndicesMark, at + 1)) {
        const bool starts = at == 0 || rest[at - 1] == ' ' || rest[at - 1] == '\t';
        const std::size_t end = at + kIndicesMark.size();
        const bool ends = end == rest.size() || rest[end] == ' ' || rest[end] == '\t';
        if (starts && ends) return true;
    }
    return false;
}

}  // namespace vorsel

#endif
