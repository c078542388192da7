// The general conversion of a field: anything the fast path of read_real does
// not take. The field is rewritten without blanks into the plain form
// std::from_chars reads ("-12.5e3"), which rounds correctly; a result beyond
// the 4-byte range is then settled the way a formatted read settles it.
#include "library/field.h"

#include <charconv>
#include <limits>
#include <system_error>

namespace vorsel {

namespace {

bool is_exponent_letter(char c) { return c == 'E' || c == 'e' || c == 'D' || c == 'd'; }

// An exponent beyond this cannot bring a mantissa of at most kMaxFieldWidth
// digits back into range; holding it here keeps the arithmetic in an int.
constexpr int kExponentCap = 100000;

}  // namespace

bool read_real_general(const char* field, std::size_t width, float& value) noexcept {
    if (width > kMaxFieldWidth) return false;
    std::size_t blanks = 0;
    while (blanks < width && field[blanks] == ' ') ++blanks;
    if (blanks == width) {
        value = 0.0f;
        return true;
    }

    // The plain form: sign, integer digits, '.', fraction digits, 'e', exponent.
    char text[kMaxFieldWidth + 16];
    std::size_t n = 0;
    bool negative = false;
    bool seen_sign = false;
    bool seen_digit = false;
    bool seen_point = false;
    int int_digits = 0;      // mantissa digits before the point
    int first_nonzero = -1;  // index among the mantissa digits
    int mantissa_digits = 0;
    std::size_t i = 0;

    for (; i < width; ++i) {
        const char c = field[i];
        if (c == ' ') continue;
        if ((c == '+' || c == '-') && !seen_sign && !seen_digit && !seen_point) {
            seen_sign = true;
            negative = c == '-';
        } else if (c >= '0' && c <= '9') {
            if (first_nonzero < 0 && c != '0') first_nonzero = mantissa_digits;
            if (!seen_point) ++int_digits;
            text[n++] = c;
            ++mantissa_digits;
            seen_digit = true;
        } else if (c == '.' && !seen_point) {
            seen_point = true;
            if (int_digits == 0) text[n++] = '0';  // from_chars wants a digit before the point
            text[n++] = '.';
        } else if (is_exponent_letter(c)) {
            break;
        } else {
            return false;
        }
    }
    if (!seen_digit) return false;

    long exponent = 0;
    if (i < width) {  // at an exponent letter
        ++i;
        bool exp_negative = false;
        bool exp_sign = false;
        bool exp_digit = false;
        for (; i < width; ++i) {
            const char c = field[i];
            if (c == ' ') continue;
            if ((c == '+' || c == '-') && !exp_sign && !exp_digit) {
                exp_sign = true;
                exp_negative = c == '-';
            } else if (c >= '0' && c <= '9') {
                exp_digit = true;
                if (exponent < kExponentCap) exponent = exponent * 10 + (c - '0');
            } else {
                return false;
            }
        }
        if (!exp_digit) return false;
        if (exp_negative) exponent = -exponent;
    }

    if (first_nonzero < 0) {  // every digit is 0: no exponent changes that
        value = negative ? -0.0f : 0.0f;
        return true;
    }

    const long decimal_exponent = exponent;
    if (exponent != 0) {
        text[n++] = 'e';
        if (exponent < 0) {
            text[n++] = '-';
            exponent = -exponent;
        }
        char digits[8];
        int k = 0;
        do {
            digits[k++] = static_cast<char>('0' + exponent % 10);
            exponent /= 10;
        } while (exponent != 0);
        while (k > 0) text[n++] = digits[--k];
    }
    // text never begins with a sign: from_chars does not take '+'.
    float v = 0.0f;
    const auto [end, ec] = std::from_chars(text, text + n, v, std::chars_format::general);
    if (ec == std::errc::result_out_of_range) {
        // Decimal exponent of the leading significant digit: at or above 0 the
        // number is too large (infinity), below it too small (zero).
        const long leading = int_digits - 1L - first_nonzero + decimal_exponent;
        v = leading >= 0 ? std::numeric_limits<float>::infinity() : 0.0f;
    } else if (ec != std::errc{} || end != text + n) {
        return false;
    }
    value = negative ? -v : v;
    return true;
}

bool read_whole(const char* field, std::size_t width, std::int32_t& value) noexcept {
    bool negative = false;
    bool seen_sign = false;
    bool seen_digit = false;
    std::int64_t v = 0;
    for (std::size_t i = 0; i < width; ++i) {
        const char c = field[i];
        if (c == ' ') continue;
        if ((c == '+' || c == '-') && !seen_sign && !seen_digit) {
            seen_sign = true;
            negative = c == '-';
        } else if (c >= '0' && c <= '9') {
            seen_digit = true;
            v = v * 10 + (c - '0');
            if (v > std::numeric_limits<std::int32_t>::max()) return false;
        } else {
            return false;
        }
    }
    if (seen_sign && !seen_digit) return false;
    value = static_cast<std::int32_t>(negative ? -v : v);
    return true;
}

}  // namespace vorsel
