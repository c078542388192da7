// The text of one 10-character field of a data file, as the converter writes
// it. The reader stores every field as a 4-byte real, so the text aims at the
// 4-byte real nearest the value: the shortest text that reads back as exactly
// that real, in fixed-point form where it fits and in exponent form ("E",
// exponent without a plus sign or leading zeros) where that fits and the
// fixed-point form does not. Where no text of 10 characters reads back as that
// real (below about 10^-3 or above 10^9 with many digits), the one that comes
// closest: the fixed-point text with the most decimals that fit, or the
// exponent text with the most digits that fit, whichever reads back nearer.
#ifndef VORSEL_IMPORT_FIELD_TEXT_H
#define VORSEL_IMPORT_FIELD_TEXT_H

#include <cstddef>
#include <cstdint>

namespace vorsel::import {

inline constexpr std::size_t kFieldWidth = 10;

// True when value can be written at all: finite, and within the range of the
// 4-byte reals the reader stores.
bool fits_real_field(double value) noexcept;

// Writes value right-aligned into field[0..9] (no terminating NUL). Returns
// false, and writes nothing, when fits_real_field(value) is false.
bool format_real(double value, char* field) noexcept;

// Writes a whole number right-aligned into field[0..9]; false when it has more
// than 10 characters.
bool format_whole(std::int64_t value, char* field) noexcept;

}  // namespace vorsel::import

#endif
