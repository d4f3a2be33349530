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

TEST(PhonebookCharset, AnswersOfRealModems) {
    // ModemManager's tests: an Option iCON 225, a Sierra Mercury, a BUSlink, a BlackBerry that
    // answers the test command with one set only.
    EXPECT_TRUE(OffersUcs2({R"(+CSCS: ("IRA","GSM","UCS2"))", "OK"}));
    EXPECT_TRUE(OffersUcs2({R"(+CSCS: ("IRA","GSM","UCS2","PCCP437"))"}));
    EXPECT_TRUE(OffersUcs2({R"(+CSCS: ("8859-1","ASCII","GSM","UCS2","UTF8"))"}));
    EXPECT_FALSE(OffersUcs2({R"(+CSCS: "IRA")"}));
    EXPECT_TRUE(OffersUcs2({R"(+CSCS: "UCS2")"}));
    // A set is a whole quoted string, not a part of one or of another answer.
    EXPECT_FALSE(OffersUcs2({R"(+CSCS: ("UCS2X"))", R"(+CPBR: 1,"UCS2",129,"x")"}));
    EXPECT_EQ(ParseCharsetAnswer({R"(+CSCS: "8859-1")"}), "8859-1");
    EXPECT_EQ(ParseCharsetAnswer({R"(+CSCS:"GSM")"}), "GSM");
    // A modem that answers the read command with no set (a reply in one of gammu's USSD tests).
    EXPECT_EQ(ParseCharsetAnswer({"+CSCS:", "OK"}), std::nullopt);
    EXPECT_EQ(ParseCharsetAnswer({R"(+CSCS: "")", R"(+CSCS: "UCS2")"}), "UCS2");
}

} // namespace
