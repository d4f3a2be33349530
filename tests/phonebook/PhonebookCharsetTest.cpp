// Names and numbers in the phone's character set, and its +CSCS answers.

#include "phonebook/PhonebookCharset.h"

#include <gtest/gtest.h>

namespace {

TEST(PhonebookCharset, Ucs2NamesAndNumbersBecomeUtf8) {
    EXPECT_EQ(DecodePhonebookName("004300690074007400E000200070006900F9", "UCS2"), "Città più");
    EXPECT_EQ(DecodePhonebookName("041804320430043D", "UCS2"), "Иван");
    EXPECT_EQ(DecodePhonebookName("D83DDE00", "UCS2"), "😀");
    EXPECT_EQ(DecodePhonebookName("Mario", "UCS2"), "Mario") << "not hex: as it is";
    EXPECT_EQ(DecodePhonebookNumber("002B0033003900310032", "UCS2"), "+3912");
    EXPECT_EQ(DecodePhonebookNumber("+3912", "UCS2"), "+3912");
    EXPECT_EQ(DecodePhonebookNumber("1234", "UCS2"), "1234") << "U+1234 is no digit";
}

TEST(PhonebookCharset, OtherSetsKeepValidUtf8AndReadTheirOwnBytes) {
    EXPECT_EQ(DecodePhonebookName("Città", "IRA"), "Città");
    EXPECT_EQ(DecodePhonebookName("Citt\xE0", "8859-1"), "Città");
    EXPECT_EQ(DecodePhonebookName("Citt\xE0", "IRA"), "Citt?");
    // GSM default alphabet, not valid UTF-8: 0x7F is "à", 0x1B 0x65 "€", 0x80 (0x00) "@".
    EXPECT_EQ(DecodePhonebookName("Citt\x7F \x1B\x65\x80", "GSM"), "Città €@");
}

TEST(PhonebookCharset, ReadsTheAnswersOfTheSetCommands) {
    EXPECT_EQ(ParseCharsetAnswer({"+CSCS: \"IRA\"", "OK"}), "IRA");
    EXPECT_EQ(ParseCharsetAnswer({"OK"}), std::nullopt);
    EXPECT_TRUE(OffersUcs2({"+CSCS: (\"GSM\",\"IRA\",\"UCS2\")", "OK"}));
    EXPECT_FALSE(OffersUcs2({"+CSCS: (\"GSM\",\"IRA\")", "OK"}));
    EXPECT_EQ(ParseCharsetAnswer({"+CSCS: (\"GSM\",\"UCS2\")"}), std::nullopt);
}

} // namespace
