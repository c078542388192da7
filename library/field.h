// One fixed-width field of a data file, as a formatted read of the analysis
// program's output takes it: blanks anywhere in the field are ignored, an
// all-blank field is 0, a field without a decimal point is a whole number, and
// an exponent may follow (E, D, e or d, then a signed integer). The result is
// the nearest 4-byte real (ties to even), as std::from_chars gives it;
// magnitudes beyond its range become infinity, or zero or the nearest
// subnormal, as a formatted read gives them, not errors.
//
// Where this departs from a formatted read: the special words (INF, NaN) and
// an exponent written as a bare sign ("1.0+05") are not numbers here, and a
// field needs at least one digit before its exponent ("+", "." and "E5" are not
// numbers).
#ifndef VORSEL_FIELD_H
#define VORSEL_FIELD_H

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>

#if defined(__SSE2__) && !defined(VORSEL_NO_SIMD)
#  include <emmintrin.h>
#endif

namespace vorsel {

// Width of a data field, and of the curve count at the head of the file.
inline constexpr std::size_t kFieldWidth = 10;
inline constexpr std::size_t kHeaderWidth = 6;
// The widest field read_real_general accepts.
inline constexpr std::size_t kMaxFieldWidth = 32;

// Any field: blanks anywhere, exponents, any number of digits. Returns false
// (and leaves value alone) when the field holds characters that are not part
// of a number or is wider than kMaxFieldWidth.
bool read_real_general(const char* field, std::size_t width, float& value) noexcept;

// The whole number of an integer field (blanks ignored, optional sign, all
// blank = 0); false for anything else or a value beyond the 4-byte range.
bool read_whole(const char* field, std::size_t width, std::int32_t& value) noexcept;

namespace detail {
// 10^0 .. 10^10 are exact 4-byte reals (5^10 < 2^24).
inline constexpr float kPow10f[11] = {1e0f, 1e1f, 1e2f, 1e3f, 1e4f, 1e5f,
                                      1e6f, 1e7f, 1e8f, 1e9f, 1e10f};

#if defined(__SSE2__) && !defined(VORSEL_NO_SIMD)
// Digits 0..9 in lanes 0..9 (every other lane zero), summed with the weights
// 10^9 .. 10^0 of their columns.
[[gnu::always_inline]] inline std::uint64_t digits_value(__m128i d) {
    const __m128i zero = _mm_setzero_si128();
    const __m128i lo = _mm_madd_epi16(_mm_unpacklo_epi8(d, zero),
                                      _mm_setr_epi16(1000, 100, 10, 1, 1000, 100, 10, 1));
    const __m128i hi =
        _mm_madd_epi16(_mm_unpackhi_epi8(d, zero), _mm_setr_epi16(10, 1, 0, 0, 0, 0, 0, 0));
    const __m128i pairs = _mm_add_epi32(lo, _mm_shuffle_epi32(lo, _MM_SHUFFLE(2, 3, 0, 1)));
    const auto g0 = static_cast<std::uint32_t>(_mm_cvtsi128_si32(pairs));
    const auto g1 = static_cast<std::uint32_t>(_mm_cvtsi128_si32(_mm_shuffle_epi32(pairs, 2)));
    const auto h = static_cast<std::uint32_t>(_mm_cvtsi128_si32(hi));
    return std::uint64_t{g0} * 1000000u + std::uint64_t{g1} * 100u + h;
}
#endif

// The common shape of a field: leading blanks, an optional minus, then digits
// with at most one decimal point up to the last column, below 2^24 as an
// integer. Gives the integer m of its digits and the number of decimals.
// Decided without branching on the characters: how many leading blanks a field
// has varies from line to line and would defeat the branch predictor.
[[gnu::always_inline]] inline bool fixed_point(const char* field, std::uint32_t& m,
                                               unsigned& decimals, bool& negative) noexcept {
#if defined(__SSE2__) && !defined(VORSEL_NO_SIMD)
    std::uint16_t tail;
    std::memcpy(&tail, field + 8, sizeof tail);
    __m128i v = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(field));
    v = _mm_insert_epi16(v, tail, 4);
    const __m128i d = _mm_sub_epi8(v, _mm_set1_epi8('0'));
    const __m128i is_digit = _mm_cmpeq_epi8(_mm_min_epu8(d, _mm_set1_epi8(9)), d);
    constexpr unsigned kAll = 0x3FF;
    const unsigned digit = static_cast<unsigned>(_mm_movemask_epi8(is_digit)) & kAll;
    const unsigned blank =
        static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(v, _mm_set1_epi8(' ')))) & kAll;
    const unsigned point =
        static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(v, _mm_set1_epi8('.')))) & kAll;
    const unsigned minus =
        static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(v, _mm_set1_epi8('-')))) & kAll;
    const auto nblank = static_cast<unsigned>(__builtin_ctz(~blank));
    const unsigned lead = (1u << nblank) - 1;
    const unsigned sign = minus & (1u << nblank);
    const unsigned body = kAll & ~lead & ~sign;
    if (blank != lead || minus != sign || (digit | point) != body || (point & (point - 1)) != 0 ||
        digit == 0)
        return false;
    // Digits left of the point move one column to the right, into the gap the
    // point leaves: the digits then stand as the integer m, right-aligned.
    const unsigned at = point != 0 ? static_cast<unsigned>(__builtin_ctz(point)) : 0;
    const __m128i digits = _mm_and_si128(d, is_digit);
    const __m128i left =
        _mm_cmpgt_epi8(_mm_set1_epi8(static_cast<char>(at)),
                       _mm_setr_epi8(0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15));
    const __m128i closed = _mm_or_si128(_mm_slli_si128(_mm_and_si128(digits, left), 1),
                                        _mm_andnot_si128(left, digits));
    const std::uint64_t value = digits_value(closed);
    if (value >= (std::uint64_t{1} << 24)) return false;
    m = static_cast<std::uint32_t>(value);
    decimals = point != 0 ? 9 - at : 0;
    negative = sign != 0;
    return true;
#else
    std::size_t i = 0;
    while (i < kFieldWidth && field[i] == ' ') ++i;
    negative = i < kFieldWidth && field[i] == '-';
    if (negative) ++i;
    std::uint64_t v = 0;
    int digits = 0;
    int point = -1;
    for (; i < kFieldWidth; ++i) {
        const unsigned d = static_cast<unsigned char>(field[i]) - unsigned{'0'};
        if (d < 10) {
            v = v * 10 + d;
            ++digits;
        } else if (field[i] == '.' && point < 0) {
            point = digits;
        } else {
            return false;
        }
    }
    if (digits == 0 || v >= (std::uint64_t{1} << 24)) return false;
    m = static_cast<std::uint32_t>(v);
    decimals = point < 0 ? 0u : static_cast<unsigned>(digits - point);
    return true;
#endif
}
}  // namespace detail

// A 10-character data field. Almost every field of a real file is a
// right-justified fixed-point number ("   354.088", "  -18.272", "0.0001948"):
// its digits form an integer m below 2^24 and its decimals a power of ten of
// at most 10^9, both exact 4-byte reals, so one IEEE division m / 10^k rounds
// exactly once and gives the correctly rounded result. Everything else (all
// blanks, inner or trailing blanks, exponents, eight or more significant
// digits, stray characters) goes the general way.
[[gnu::always_inline]] inline bool read_real(const char* field, float& value) noexcept {
    std::uint32_t m = 0;
    unsigned decimals = 0;
    bool negative = false;
    if (!detail::fixed_point(field, m, decimals, negative))
        return read_real_general(field, kFieldWidth, value);
    const float v = static_cast<float>(m) / detail::kPow10f[decimals];
    // The sign goes in as a bit: a branch on it would mispredict on columns
    // such as omega and kappa, whose signs vary at random.
    value = std::bit_cast<float>(std::bit_cast<std::uint32_t>(v) ^ (std::uint32_t{negative} << 31));
    return true;
}

}  // namespace vorsel

#endif
