// The stored zoom read back from the settings store's text (the menu's steps
// and the largest zoom that fits: tests/e2e/zoom_test.cpp).
#include "platform/zoom.h"

#include <gtest/gtest.h>

namespace {

using namespace vorsel::platform;

TEST(Zoom, StoredTextGivesAWholePercentWithinTheBounds) {
    const struct {
        const char* text;
        std::optional<int> percent;
    } cases[] = {{"150", 150},         {" 200 ", 200},        {"50", 100},
                 {"-5", 100},          {"1000", 300},         {"99999999999999999999", 300},
                 {"", std::nullopt},   {"abc", std::nullopt}, {"150%", std::nullopt},
                 {"1.5", std::nullopt}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(zoom_from_setting(c.text), c.percent);
    }
    EXPECT_EQ(zoom_setting(175), "175");
}

}  // namespace
