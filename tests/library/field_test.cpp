// Field conversion: each 10-character field as a formatted read takes it, to
// the correctly rounded 4-byte real. Expected values come from
// std::from_chars / strtof on the same number written plainly.
#include <gtest/gtest.h>

#include "library/field.h"

#include <bit>
#include <charconv>
#include <clocale>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <random>
#include <string>

namespace {

using vorsel::read_real;

std::string field10(const std::string& s) {
    EXPECT_EQ(s.size(), 10u) << "test field must be 10 characters: [" << s << "]";
    return s;
}

bool same_float(float a, float b) {
    return std::bit_cast<std::uint32_t>(a) == std::bit_cast<std::uint32_t>(b);
}

const float kInf = std::numeric_limits<float>::infinity();

struct FieldCase {
    const char* name;
    const char* field;
    float expected;
};

TEST(Field, ReadsTheFormsOfANumber) {
    const FieldCase cases[] = {
        {"whole number right-justified", "       125", 125.0f},
        {"decimals", "      1.25", 1.25f},
        {"exponent E", "  1.25E+02", 125.0f},
        {"exponent D", "  1.25D+02", 125.0f},
        {"lower-case e", "  1.25e+02", 125.0f},
        {"lower-case d", "  1.25d-02", 0.0125f},
        {"exponent without sign", "    1.25E2", 125.0f},
        {"all blanks", "          ", 0.0f},
        {"blanks inside", " 1 2 5 . 5", 125.5f},
        {"trailing blanks", "12.5      ", 12.5f},
        {"blanks inside the exponent", "1.5E -  2 ", 0.015f},
        {"left-justified whole number", "125       ", 125.0f},
        {"negative", "    -12.50", -12.5f},
        {"plus sign", "    +12.50", 12.5f},
        {"leading point", "     .0625", 0.0625f},
        {"trailing point", "      125.", 125.0f},
        {"full width of digits", "0.00019480", 0.0001948f},
        {"ten digits", "1234567890", 1234567890.0f},
        {"eight significant digits", "12.3456789", 12.3456789f},
        {"many leading zeros", "0000000001", 1.0f},
        {"zero exponent of zero", "   0.0E+99", 0.0f},
        {"overflow to infinity", "   1.0E+39", kInf},
        {"negative overflow", "  -1.0E+39", -kInf},
        {"huge exponent", " 1E9999999", kInf},
        {"largest real", "3.40282E38", 3.40282e38f},
        {"underflow to zero", "   1.0E-50", 0.0f},
        {"tiny exponent", "1E-9999999", 0.0f},
        {"subnormal", "   1.0E-40", 1.0e-40f},
        {"smallest subnormal", "   1.4E-45", std::numeric_limits<float>::denorm_min()},
        {"rounds to nearest even", "16777217.0", 16777216.0f},
        {"rounds up", "16777219.0", 16777220.0f},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        float v = -999.0f;
        ASSERT_TRUE(read_real(field10(c.field).c_str(), v)) << c.field;
        EXPECT_TRUE(same_float(v, c.expected))
            << c.field << " gave " << v << ", expected " << c.expected;
    }
}

TEST(Field, NegativeZeroKeepsItsSign) {
    for (const char* f : {"      -0.0", "        -0", "  -0.0E+05"}) {
        SCOPED_TRACE(f);
        float v = 1.0f;
        ASSERT_TRUE(read_real(f, v));
        EXPECT_EQ(v, 0.0f);
        EXPECT_TRUE(std::signbit(v));
    }
}

TEST(Field, RefusesWhatIsNotANumber) {
    const char* cases[] = {
        "     12,50", "      abcd", "     1.2.3", "    1.0E+ ",  "      1.0E", "         -",
        "         .", "       E10", "    --12.5", "    12.5-1",  "     12-.5", "   1.0F+02",
        "       NaN", "  Infinity", "    1.0E1.", "\t     12.5", "  1.0E+0-2", "    1.0+05",
    };
    for (const char* f : cases) {
        SCOPED_TRACE(f);
        float v = 7.0f;
        EXPECT_FALSE(read_real(field10(f).c_str(), v));
        EXPECT_EQ(v, 7.0f) << "a refused field must leave the value alone";
    }
    float v = 7.0f;
    const char with_nul[10] = {' ', ' ', ' ', ' ', '1', '2', '\0', '5', '0', ' '};
    EXPECT_FALSE(read_real(with_nul, v));
}

TEST(Field, WholeNumbersOfTheHeader) {
    struct Case {
        const char* field;
        bool ok;
        std::int32_t value;
    } cases[] = {
        {"    13", true, 13},  {"13    ", true, 13}, {" 1 3  ", true, 13},     {"      ", true, 0},
        {"   -13", true, -13}, {"   +15", true, 15}, {"  13.0", false, 0},     {"    1E", false, 0},
        {"     -", false, 0},  {"  x13 ", false, 0}, {"999999", true, 999999},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.field);
        std::int32_t v = -7;
        EXPECT_EQ(vorsel::read_whole(c.field, 6, v), c.ok);
        if (c.ok) {
            EXPECT_EQ(v, c.value);
        }
    }
}

// The plain text of a field (no blanks, 'e' for the exponent) as from_chars
// reads it; from_chars leaves out-of-range results unset, strtof in the "C"
// locale then gives what a formatted read gives (infinity or zero).
float reference(const std::string& field) {
    std::string plain;
    for (char c : field) {
        if (c == ' ') continue;
        plain += (c == 'D' || c == 'd' || c == 'E') ? 'e' : c;
    }
    if (plain.empty()) return 0.0f;
    const bool negative = plain[0] == '-';
    const std::string body = (plain[0] == '-' || plain[0] == '+') ? plain.substr(1) : plain;
    float v = 0.0f;
    const auto [end, ec] = std::from_chars(body.data(), body.data() + body.size(), v);
    EXPECT_EQ(end, body.data() + body.size()) << field;
    if (ec == std::errc::result_out_of_range) v = std::strtof(body.c_str(), nullptr);
    return negative ? -v : v;
}

std::string random_field(std::mt19937_64& rng) {
    auto pick = [&](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
    std::string number;
    if (pick(4) == 0) number += '-';
    const int shape = pick(10);
    const int ndigits = 1 + pick(shape < 7 ? 9 : 6);
    std::string digits;
    for (int i = 0; i < ndigits; ++i) digits += static_cast<char>('0' + pick(10));
    if (shape < 7) {  // fixed point, the common shape
        const int at = pick(ndigits + 1);
        number += digits.substr(0, static_cast<std::size_t>(at)) + "." +
                  digits.substr(static_cast<std::size_t>(at));
    } else if (shape < 9) {  // mantissa and exponent
        number += digits.substr(0, 1) + "." + digits.substr(1);
        number += "EeDd"[pick(4)];
        const int e = pick(100) - 50;
        number += (e < 0 ? "-" : "+") + std::to_string(std::abs(e));
    } else {  // whole number
        number += digits;
    }
    if (number.size() > 10) number.resize(10);
    while (std::strchr("EeDd+-", number.back()) != nullptr) number.pop_back();
    std::string f(10 - number.size(), ' ');
    return pick(8) == 0 ? number + f : f + number;  // now and then left-justified
}

TEST(Field, ExactlyAsFromCharsOnRandomFields) {
    std::mt19937_64 rng(20240611);
    int mismatches = 0;
    for (int i = 0; i < 2000000 && mismatches < 10; ++i) {
        const std::string f = random_field(rng);
        float v = 0.0f;
        if (!read_real(f.c_str(), v)) {
            ADD_FAILURE() << "refused [" << f << "]";
            ++mismatches;
            continue;
        }
        const float r = reference(f);
        if (!same_float(v, r)) {
            ADD_FAILURE() << "[" << f << "] gave " << v << " (" << std::hexfloat << v
                          << "), from_chars " << r << std::defaultfloat;
            ++mismatches;
        }
    }
}

// Every fixed-point field of seven significant digits with every count of
// decimals near the halfway points of 4-byte reals: the fast path's single
// division must round as from_chars does.
TEST(Field, FastPathAgreesNearHalfwayPoints) {
    std::mt19937_64 rng(7);
    for (int decimals = 0; decimals <= 8; ++decimals) {
        for (int i = 0; i < 50000; ++i) {
            const std::uint32_t m = static_cast<std::uint32_t>(rng() % (1u << 24));
            std::string digits = std::to_string(m);
            if (static_cast<int>(digits.size()) <= decimals)
                digits.insert(0, static_cast<std::size_t>(decimals + 1) - digits.size(), '0');
            std::string number = digits;
            number.insert(number.size() - static_cast<std::size_t>(decimals), ".");
            if (number.size() > 10) continue;
            const std::string f = std::string(10 - number.size(), ' ') + number;
            float v = 0.0f;
            ASSERT_TRUE(read_real(f.c_str(), v)) << f;
            ASSERT_TRUE(same_float(v, reference(f))) << "[" << f << "]";
        }
    }
}

TEST(Field, TheLocaleDoesNotChangeTheDecimalPoint) {
    const char* old = std::setlocale(LC_NUMERIC, nullptr);
    const std::string saved = old != nullptr ? old : "C";
    if (std::setlocale(LC_NUMERIC, "de_DE.UTF-8") == nullptr)
        GTEST_SKIP() << "no German locale on this machine";
    float v = 0.0f;
    EXPECT_TRUE(read_real("  1.2345E2", v));
    EXPECT_EQ(v, 123.45f);
    EXPECT_FALSE(read_real("    1,2345", v));
    std::setlocale(LC_NUMERIC, saved.c_str());
}

}  // namespace
