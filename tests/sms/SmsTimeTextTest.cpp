// The DATE and TIME. texts written without printf give printf's bytes for any field values.

#include "sms/SmsTimeText.h"

#include <array>
#include <climits>
#include <cstdio>
#include <gtest/gtest.h>
#include <string>

namespace {

std::string PrintfDate(const sms_time& t) {
    char text[64];
    std::snprintf(text, sizeof text, "%02d/%02d/%02d", t.day, t.month, t.year);
    return text;
}

std::string PrintfClock(const sms_time& t) {
    char text[96];
    std::snprintf(text, sizeof text, "%02d:%02d.%02d (%d)", t.hour, t.minute, t.second, t.timezone);
    return text;
}

// Widths and signs at every edge: one digit, two, three, negative, the int32 extremes.
constexpr std::array<std::int32_t, 15> kEdges = {INT_MIN, -100, -99, -10, -9,  -1,    0,      1,
                                                 9,       10,   42,  99,  100, 12345, INT_MAX};

// The other sign; INT_MIN, which has none, stays as it is.
std::int32_t Negated(std::int32_t value) {
    return value == INT_MIN ? value : -value;
}

TEST(SmsTimeTextTest, EveryFieldAtEveryEdgeAsPrintfWritesIt) {
    for (const std::int32_t a : kEdges) {
        for (const std::int32_t b : kEdges) {
            const sms_time time{a, b, Negated(a), b, a, Negated(b), a};
            SCOPED_TRACE(std::to_string(a) + "," + std::to_string(b));
            EXPECT_EQ(ShownSmsDate(time), PrintfDate(time));
            EXPECT_EQ(ShownSmsClock(time), PrintfClock(time));
        }
    }
}

// Stamps as the PDU gives them, well-formed or not: digits that are not decimal, a stamp cut
// short, an empty one, the zone's sign bit.
TEST(SmsTimeTextTest, DecodedStampsAsPrintfWritesThem) {
    for (const std::string_view stamp :
         {"99309251619580", "42304190035040", "00000000000000", "9A3F92  61958", "1", "",
          "99999999999999", "90300280115348", "0F0F0F0F0F0F0F"}) {
        SCOPED_TRACE(stamp);
        const sms_time time = decode_time(stamp);
        EXPECT_EQ(ShownSmsDate(time), PrintfDate(time));
        EXPECT_EQ(ShownSmsClock(time), PrintfClock(time));
    }
    EXPECT_EQ(ShownSmsDate(decode_time("99309251619580")), "29/03/99");
    EXPECT_EQ(ShownSmsClock(decode_time("99309251619580")), "15:16.59 (8)");
}

} // namespace
