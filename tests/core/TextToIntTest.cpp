#include "core/TextToInt.h"

#include <gtest/gtest.h>
#include <limits>
#include <utility>
#include <vector>

namespace {

TEST(TextToIntTest, ReadsLikeAtoi) {
    const std::vector<std::pair<std::string_view, int32_t>> cases = {
        {"9600", 9600},
        {"  42abc", 42},
        {"\t\n\v\f\r7", 7},
        {"-7", -7},
        {"+5", 5},
        {"abc", 0},
        {"", 0},
        {".", 0},
        {"- 5", 0},
        {"+-5", 0},
        {"12 34", 12},
        {"0x10", 0},
        {"007", 7},
        {"HW", 0},
        {"2\0"
         "5",
         2},
        {"2147483647", std::numeric_limits<int32_t>::max()},
        {"-2147483648", std::numeric_limits<int32_t>::min()},
    };
    for (const auto& [text, expected] : cases)
        EXPECT_EQ(TextToInt(text), expected) << "text: '" << text << "'";
}

TEST(TextToIntTest, OutOfRangeSaturates) {
    EXPECT_EQ(TextToInt("99999999999999999999"), std::numeric_limits<int32_t>::max());
    EXPECT_EQ(TextToInt("2147483648"), std::numeric_limits<int32_t>::max());
    EXPECT_EQ(TextToInt("-2147483649"), std::numeric_limits<int32_t>::min());
    EXPECT_EQ(TextToInt("-99999999999999999999"), std::numeric_limits<int32_t>::min());
}

} // namespace
