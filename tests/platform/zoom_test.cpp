// The View menu's steps, the largest zoom that fits, and the stored zoom read
// back from the settings store's text.
#include "platform/zoom.h"

#include <gtest/gtest.h>

namespace {

using namespace vorsel::platform;

TEST(Zoom, MenuStepsGoToTheNextStepEitherWay) {
    const struct {
        int from, in, out;
    } cases[] = {{100, 125, 100}, {125, 150, 100}, {137, 150, 125}, {200, 250, 175},
                 {249, 250, 200}, {250, 300, 200}, {300, 300, 250}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.from);
        EXPECT_EQ(zoom_in_percent(c.from), c.in);
        EXPECT_EQ(zoom_out_percent(c.from), c.out);
    }
}

TEST(Zoom, LargestFittingIsTheLastThatFitsWithinTheBounds) {
    const struct {
        int limit, largest;
    } cases[] = {{50, 100}, {100, 100}, {101, 101}, {137, 137}, {299, 299}, {300, 300}, {999, 300}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.limit);
        int asked = 0;
        EXPECT_EQ(largest_fitting_percent([&](int p) {
                      ++asked;
                      return p <= c.limit;
                  }),
                  c.largest);
        EXPECT_LE(asked, 8);
    }
}

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
