#include "import/field_text.h"

#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>
#include <string_view>

namespace vorsel::import {
namespace {

// Room for any fixed-point text of a 4-byte real (up to 39 integer digits, or
// 45 decimals of the smallest subnormal) and of a double with a precision of
// at most kFieldWidth.
constexpr std::size_t kScratch = 400;

struct Text {
    char chars[kScratch];
    std::size_t size = 0;
    std::string_view view() const { return {chars, size}; }
};

// to_chars writes "1.25e-05": the reader wants no more than the digits, so the
// exponent loses its plus sign and leading zeros ("1.25E-5"), which often is
// what lets the text fit.
void compact_exponent(Text& t) {
    const auto e = t.view().find('e');
    if (e == std::string_view::npos) return;
    int exponent = 0;
    const char* first = t.chars + e + 1;
    if (*first == '+') ++first;
    std::from_chars(first, t.chars + t.size, exponent);
    t.chars[e] = 'E';
    t.size = static_cast<std::size_t>(
        std::to_chars(t.chars + e + 1, t.chars + kScratch, exponent).ptr - t.chars);
}

template <typename... Format>
Text write(auto value, std::chars_format format, Format... precision) {
    Text t;
    const auto r = std::to_chars(t.chars, t.chars + kScratch, value, format, precision...);
    t.size = r.ec == std::errc{} ? static_cast<std::size_t>(r.ptr - t.chars) : kScratch;
    if (format == std::chars_format::scientific) compact_exponent(t);
    return t;
}

// The 4-byte real the reader makes of a text.
float read_back(const Text& t) {
    float f = 0;
    std::from_chars(t.chars, t.chars + t.size, f);
    return f;
}

// The text with the most digits of one form that fits in a field, taken from
// the double so that it is that value correctly rounded; size 0 if none fits.
Text widest(double value, std::chars_format format) {
    for (int precision = static_cast<int>(kFieldWidth); precision >= 0; --precision) {
        Text t = write(value, format, precision);
        if (t.size <= kFieldWidth) return t;
    }
    return Text{};
}

void place(const Text& t, char* field) {
    std::memset(field, ' ', kFieldWidth - t.size);
    std::memcpy(field + kFieldWidth - t.size, t.chars, t.size);
}

}  // namespace

bool fits_real_field(double value) noexcept {
    return std::isfinite(value) && std::fabs(value) <= std::numeric_limits<float>::max();
}

bool format_real(double value, char* field) noexcept {
    if (!fits_real_field(value)) return false;
    if (value == 0) value = 0;  // no "-0"
    const float nearest = static_cast<float>(value);
    for (const auto format : {std::chars_format::fixed, std::chars_format::scientific}) {
        const Text t = write(nearest, format);
        if (t.size <= kFieldWidth) {
            place(t, field);
            return true;
        }
    }
    const Text fixed = widest(value, std::chars_format::fixed);
    const Text exponent = widest(value, std::chars_format::scientific);
    const auto miss = [value](const Text& t) {
        return t.size == 0 ? std::numeric_limits<double>::infinity()
                           : std::fabs(static_cast<double>(read_back(t)) - value);
    };
    place(miss(fixed) <= miss(exponent) ? fixed : exponent, field);
    return true;
}

bool format_whole(std::int64_t value, char* field) noexcept {
    Text t;
    const auto r = std::to_chars(t.chars, t.chars + kFieldWidth, value);
    if (r.ec != std::errc{}) return false;
    t.size = static_cast<std::size_t>(r.ptr - t.chars);
    place(t, field);
    return true;
}

}  // namespace vorsel::import
