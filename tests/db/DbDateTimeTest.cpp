#include "db/DbDateTime.h"

#include <gtest/gtest.h>

namespace {

TEST(DbDateTime, OnlyRealDatesAndTimesAreValues) {
    EXPECT_TRUE(DbDateTime::FromParts(2000, 2, 29, 0, 0, 0)); // divisible by 400
    EXPECT_TRUE(DbDateTime::FromParts(2049, 12, 31, 23, 59, 59));
    EXPECT_FALSE(DbDateTime::FromParts(1900, 2, 29, 0, 0, 0)); // divisible by 100
    EXPECT_FALSE(DbDateTime::FromParts(2001, 2, 29, 0, 0, 0));
    EXPECT_FALSE(DbDateTime::FromParts(2001, 4, 31, 0, 0, 0));
    EXPECT_FALSE(DbDateTime::FromParts(2001, 13, 1, 0, 0, 0));
    EXPECT_FALSE(DbDateTime::FromParts(2001, 0, 1, 0, 0, 0));
    EXPECT_FALSE(DbDateTime::FromParts(2001, 1, 0, 0, 0, 0));
    EXPECT_FALSE(DbDateTime::FromParts(2001, 1, 1, 24, 0, 0));
    EXPECT_FALSE(DbDateTime::FromParts(2001, 1, 1, 0, 60, 0));
    EXPECT_FALSE(DbDateTime::FromParts(2001, 1, 1, 0, 0, -1));
    EXPECT_FALSE(DbDateTime::FromParts(99, 1, 1, 0, 0, 0));
    EXPECT_FALSE(DbDateTime::FromParts(10000, 1, 1, 0, 0, 0));
}

TEST(DbDateTime, IsoTextRoundTripsAndRejectsOtherShapes) {
    const DbDateTime when = *DbDateTime::FromParts(2001, 3, 7, 14, 5, 9);
    EXPECT_EQ(when.ToIso(), "2001-03-07 14:05:09");
    EXPECT_EQ(DbDateTime::FromIso("2001-03-07 14:05:09"), when);
    for (const char* text : {"", "2001-03-07", "2001-03-07T14:05:09", "2001-3-07 14:05:09",
                             "2001-02-30 14:05:09", "2001-03-07 14:05:0x", "2001-03-07 14:05:09 "})
        EXPECT_FALSE(DbDateTime::FromIso(text)) << text;
}

TEST(DbDateTime, FormatsTheArchiveColumns) {
    const DbDateTime when = *DbDateTime::FromParts(2001, 3, 7, 14, 5, 9);
    EXPECT_EQ(when.Format("%d/%m/%y"), "07/03/01");
    EXPECT_EQ(when.Format("%H:%M.%S"), "14:05.09");
}

} // namespace
