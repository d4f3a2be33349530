#include "core/TextHelpers.h"

#include <gtest/gtest.h>

TEST(TextHelpers, FindCharGivesFirstIndexOrMinusOne) {
    EXPECT_EQ(FindChar("a\rb\r", '\r'), 1);
    EXPECT_EQ(FindChar("\rx", '\r'), 0);
    EXPECT_EQ(FindChar("abc", '\r'), -1);
    EXPECT_EQ(FindChar("", '\r'), -1);
}

TEST(TextHelpers, CopyHeadClampsToSourceAndEmptiesForNonPositiveCounts) {
    EXPECT_EQ(CopyHead("+CMGR: 1,,23", 6), "+CMGR:");
    EXPECT_EQ(CopyHead("OK", 11), "OK");
    EXPECT_EQ(CopyHead("OK", 0), "");
    EXPECT_EQ(CopyHead("OK", -4), "");
}

TEST(TextHelpers, CopyTailClampsToSourceAndEmptiesForNonPositiveCounts) {
    EXPECT_EQ(CopyTail("+CPBR: 1,\"123\"", 5), "\"123\"");
    EXPECT_EQ(CopyTail("OK", 9), "OK");
    EXPECT_EQ(CopyTail("OK", 0), "");
    EXPECT_EQ(CopyTail("OK", -1), "");
}

TEST(TextHelpers, DestinationFormsMayReadFromTheirOwnDestination) {
    std::string text = "\nOK\r";
    CopyHead(text, text, 3);
    EXPECT_EQ(text, "\nOK");
    CopyTail(text, text, 2);
    EXPECT_EQ(text, "OK");
}

TEST(TextHelpers, StripLineEndRemovesEveryCarriageReturnAndLineFeed) {
    std::string line = "\nA\rB\n\nC\r";
    StripLineEnd(line);
    EXPECT_EQ(line, "ABC");
}

TEST(TextHelpers, CutToCharactersCountsCharactersAndNeverSplitsOne) {
    EXPECT_EQ(CutToCharacters("abcdef", 3), "abc");
    EXPECT_EQ(CutToCharacters("àèìòù", 2), "àè");
    EXPECT_EQ(CutToCharacters("ab", 5), "ab");
    EXPECT_EQ(CutToCharacters("ab", 0), "");
}
