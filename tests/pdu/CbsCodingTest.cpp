// The cell-broadcast/USSD coding scheme: its groups, and hex data decoded under it.

#include "pdu/CbsCoding.h"

#include <gtest/gtest.h>

namespace {

TEST(CbsCodingTest, EachGroupNamesItsAlphabet) {
    struct Case {
        int dcs;
        UdCoding coding;
        bool languageFirst;
    };
    const Case cases[] = {
        {0x0F, UdCoding::Gsm7, false}, // language unspecified, the usual USSD answer
        {0x00, UdCoding::Gsm7, false}, {0x10, UdCoding::Gsm7, true},
        {0x11, UdCoding::Ucs2, true},  {0x12, UdCoding::Gsm7, false},
        {0x25, UdCoding::Gsm7, false}, {0x44, UdCoding::Data8, false},
        {0x48, UdCoding::Ucs2, false}, {0x72, UdCoding::Gsm7, false},
        {0x5C, UdCoding::Gsm7, false},                                // reserved alphabet bits
        {0x98, UdCoding::Ucs2, false}, {0x84, UdCoding::Gsm7, false}, // 1000 is reserved
        {0xF0, UdCoding::Gsm7, false}, {0xF4, UdCoding::Data8, false},
    };
    for (const Case& c : cases) {
        const cbs_coding coding = cbs_coding_of(c.dcs);
        EXPECT_EQ(coding.coding, c.coding) << std::hex << c.dcs;
        EXPECT_EQ(coding.language_first, c.languageFirst) << std::hex << c.dcs;
    }
}

TEST(CbsCodingTest, HexDataIsDecodedInItsAlphabetWithoutTheLanguage) {
    EXPECT_EQ(decode_cbs_hex("4379999CA6836A2E180C", 0x0F), "Credit 5.00");
    EXPECT_EQ(decode_cbs_hex("aa180c3602", 0x0F), "*100#");
    // Seven spare bits hold a CR that is no character; without it they read as "@".
    EXPECT_EQ(decode_cbs_hex("C2303BEC1E971B", 0x0F), "Balance");
    EXPECT_EQ(decode_cbs_hex("C2303BEC1E9701", 0x0F), "Balance@");
    EXPECT_EQ(decode_cbs_hex("6577631A6693DFA019A8589502", 0x10), "Saldo 3 EUR");
    EXPECT_EQ(decode_cbs_hex("6537005A006F00EB", 0x11), "Zoë");
    EXPECT_EQ(decode_cbs_hex("005A006F00EB", 0x48), "Zoë");
    EXPECT_EQ(decode_cbs_hex("5A6FEB", 0x44), "Zoë");
}

TEST(CbsCodingTest, OnlyAnEvenRunOfHexDigitsIsHexData) {
    EXPECT_TRUE(is_hex_data("00aF"));
    EXPECT_FALSE(is_hex_data(""));
    EXPECT_FALSE(is_hex_data("ABC"));
    EXPECT_FALSE(is_hex_data("Credit 5.00"));
}

} // namespace
