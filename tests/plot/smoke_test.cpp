#include <gtest/gtest.h>

#include "platform/format.h"

namespace {

using vorsel::platform::readout;

TEST(ReadOutText, RightAlignedInSevenCharacters) {
    struct Case { const char* name; std::string got; const char* want; };
    const Case cases[] = {
        {"minus one", readout(std::int64_t{-1}), "     -1"},
        {"clip", readout(10000.0f), "  10000"},
        {"negative clip", readout(-10000.0f), " -10000"},
        {"limit", readout(3.0f), "      3"},
        {"fraction", readout(-0.5f), "   -0.5"},
        {"step", readout(98.9901f), "98.9901"},
        {"eight digits shown whole", readout(std::int64_t{12345678}), "12345678"},
        {"exponent", readout(1.0e7f), "  1E+07"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.got, c.want);
    }
}

}  // namespace
