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

#include <cstddef>
#include <cstdint>

namespace vorsel {

// Width of a data field, and of the curve count at the head of the file.
inline constexpr std::size_t kFieldWidth = 10;
inline constexpr std::size_t kHeaderWidth = 6;
// The widest field read_real_general accepts.
inline constexpr std::size_t kMaxFieldWidth = 32;

// Any field: blanks anywhere, exponents, any number of digits. Returns false
// (and leaves value alone) when the field holds characters that are not part
// of a number or is wider than kMaxFieldWidth.
bool read_real_general(const char *field, std::size_t width, float &value) noexcept;

// The whole number of an integer field (blanks ignored, optional sign, all
// blank = 0); false for anything else or a value beyond the 4-byte range.
bool read_whole(const char *field, std::size_t width, std::int32_t &value) noexcept;

namespace detail {
// 10^0 .. 10^10 are exact 4-byte reals (5^10 < 2^24).
inline constexpr float kPow10f[11] = {1e0f, 1e1f, 1e2f, 1e3f, 1e4f, 1e5f,
                                      1e6f, 1e7f, 1e8f, 1e9f, 1e10f};
}

// A 10-character data field. Almost every field of a real file is a
// right-justified fixed-point number ("   354.088", "  -18.272", "0.0001948"):
// its digits form an integer m below 2^24 and its decimals a power of ten of at
// most 10^9, both exact 4-byte reals, so one IEEE division m / 10^k rounds
// exactly once and gives the correctly rounded result. Everything else (inner
// or trailing blanks, exponents, eight or more significant digits) goes the
// general way.
inline bool read_real(const char *field, float &value) noexcept
{
    std::size_t i = 0;
    while (i < kFieldWidth && field[i] == ' ')
        ++i;
    if (i == kFieldWidth) {
        value = 0.0f;
        return true;
    }
    const bool negative = field[i] == '-';
    if (negative || field[i] == '+')
        ++i;
    std::uint64_t m = 0;
    int digits = 0;
    int point = -1;
    for (; i < kFieldWidth; ++i) {
        const unsigned d = static_cast<unsigned char>(field[i]) - unsigned{'0'};
        if (d < 10) {
            m = m * 10 + d;
            ++digits;
        } else if (field[i] == '.' && point < 0) {
            point = digits;
        } else {
            return read_real_general(field, kFieldWidth, value);
        }
    }
    if (digits == 0 || m >= (std::uint64_t{1} << 24))
        return read_real_general(field, kFieldWidth, value);
    const int decimals = point < 0 ? 0 : digits - point;
    const float v = static_cast<float>(static_cast<std::uint32_t>(m)) / detail::kPow10f[decimals];
    value = negative ? -v : v;
    return true;
}

} // namespace vorsel

#endif
