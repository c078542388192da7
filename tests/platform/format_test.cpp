// Text of numbers in the read-outs and grid labels: the usual text of a
// Single, fixed decimals, the "@" patterns and the read-out form.
#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <cstdint>
#include <limits>
#include <string>

#include "platform/format.h"

namespace {

using vorsel::platform::at_pattern;
using vorsel::platform::fixed_decimals;
using vorsel::platform::readout;
using vorsel::platform::usual_text;

TEST(UsualText, SingleAtMostSevenSignificantDigits) {
    struct Case {
        float v;
        const char* want;
    };
    const Case cases[] = {
        {3.7f, "3.7"},
        {-0.5f, "-0.5"},
        {0.5f, "0.5"},
        {98.9901f, "98.9901"},
        {10000.0f, "10000"},
        {-10000.0f, "-10000"},
        {0.02f, "0.02"},  // 0.0199999995529651... rounds up to 2 at the seventh digit
        {0.1f, "0.1"},
        {123.456f, "123.456"},
        {1.0f / 3.0f, "0.3333333"},
        {0.00025f, "0.00025"},
        {0.0001f, "0.0001"},  // 9.99999997e-5 carries up to 1E-4, still positional
        {0.00001f, "1E-05"},
        {1.5e-5f, "1.5E-05"},
        {9999999.0f, "9999999"},
        {999999.9375f, "999999.9"},
        {1.9999999f, "2"},  // 1.99999988: the carry runs through every digit
        {1.0e7f, "1E+07"},
        {16777216.0f, "1.677722E+07"},
        {-16777216.0f, "-1.677722E+07"},
        {3.0e38f, "3E+38"},
        {FLT_MAX, "3.402823E+38"},
        {1.0e-40f, "9.999946E-41"},  // a subnormal: 9.99994610e-41
        // Exact ties at the eighth digit round away from zero.
        {1234568.5f, "1234569"},
        {-1234568.5f, "-1234569"},
        {0.0f, "0"},
        {-0.0f, "0"},
        {std::numeric_limits<float>::quiet_NaN(), "NaN"},
        {std::numeric_limits<float>::infinity(), "Inf"},
        {-std::numeric_limits<float>::infinity(), "-Inf"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.want);
        EXPECT_EQ(usual_text(c.v), c.want);
    }
}

TEST(UsualText, WholeNumbers) {
    EXPECT_EQ(usual_text(std::int64_t{-1}), "-1");
    EXPECT_EQ(usual_text(std::int64_t{0}), "0");
    EXPECT_EQ(usual_text(std::int64_t{12345678}), "12345678");
}

TEST(FixedDecimals, ExactCountRoundedHalfAwayFromZero) {
    struct Case {
        double v;
        int ndec;
        const char* want;
    };
    const Case cases[] = {
        {0.6f, 2, "0.60"},
        {-0.6f, 2, "-0.60"},
        {1200.0, 1, "1200.0"},
        {0.0, 2, "0.00"},
        {-0.0, 2, "0.00"},
        {-0.004, 2, "0.00"},  // rounds to zero: no minus sign
        {-0.005, 2, "-0.01"},  // -0.00500000000000000010 lies beyond the half
        {0.125, 2, "0.13"},    // exact tie
        {-0.125, 2, "-0.13"},
        {2.5, 0, "3"},
        {-2.5, 0, "-3"},
        {0.5, 0, "1"},
        {0.4999, 0, "0"},
        {9.995, 2, "9.99"},      // 9.99499999999999921840 is below the tie
        {999.95, 1, "1000.0"},   // 999.95000000000004547 carries into a new digit
        {0.05f, 1, "0.1"},       // 0.0500000007...
        {1e-7, 2, "0.00"},
        {1.23456789, 4, "1.2346"},
        {123.456, 0, "123"},
        {-9999.0, 2, "-9999.00"},
        {99999.0, 0, "99999"},
        {1234567.0, -1, "1234567"},  // a negative count counts as none
        {std::numeric_limits<double>::quiet_NaN(), 2, "NaN"},
        {-std::numeric_limits<double>::infinity(), 2, "-Inf"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.want);
        EXPECT_EQ(fixed_decimals(c.v, c.ndec), c.want);
    }
}

TEST(AtPattern, RightAlignedLongerTextWhole) {
    struct Case {
        const char* text;
        const char* pattern;
        const char* want;
    };
    const Case cases[] = {
        {"3.7", "@@@@@@@", "    3.7"},
        {"", "@@@", "   "},
        {"12345678", "@@@@@@@", "12345678"},
        {"-0.60", "@@@@@@", " -0.60"},
        {"1200.0", "@@@@@@", "1200.0"},
        {"-9999.00", "@@@@@@", "-9999.00"},
        {"1200", "@@@@@@.", "  1200."},
        {"1234567", "@@@@@@.", "1234567."},
        {"ab", "@-@", "a-b"},
        {"a", "@-@", " -a"},
        {"abc", "", "abc"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.text) + " / " + c.pattern);
        EXPECT_EQ(at_pattern(c.text, c.pattern), c.want);
    }
}

TEST(ReadOutText, RightAlignedInSevenCharacters) {
    struct Case {
        const char* name;
        std::string got;
        const char* want;
    };
    const Case cases[] = {
        {"minus one", readout(std::int64_t{-1}), "     -1"},
        {"clip", readout(10000.0f), "  10000"},
        {"negative clip", readout(-10000.0f), " -10000"},
        {"limit", readout(3.0f), "      3"},
        {"fraction", readout(-0.5f), "   -0.5"},
        {"seven characters exactly", readout(98.9901f), "98.9901"},
        {"eight digits shown whole", readout(std::int64_t{12345678}), "12345678"},
        {"exponent", readout(1.0e7f), "  1E+07"},
        {"long exponent shown whole", readout(16777216.0f), "1.677722E+07"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.got, c.want);
    }
}

}  // namespace
