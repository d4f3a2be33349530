// Typed numbers made fit for an address field, and the sign semi-octets both ways.

#include "pdu/AddressCodec.h"
#include "pdu/HexText.h"

#include <gtest/gtest.h>

namespace {

std::string Cleaned(std::string_view typed, std::size_t max = kMaxNumberDigits) {
    std::string why;
    const auto number = clean_number(typed, max, &why);
    return number ? *number : "refused: " + why;
}

TEST(CleanNumber, DropsSeparatorsAndKeepsALeadingPlus) {
    EXPECT_EQ(Cleaned("+39 333 111"), "+39333111");
    EXPECT_EQ(Cleaned(" +39 (0)333-111.22"), "+390333111"
                                             "22");
    EXPECT_EQ(Cleaned("*100#"), "*100#");
    EXPECT_EQ(Cleaned("12abc"), "12abc");
    EXPECT_EQ(Cleaned(std::string(20, '9')), std::string(20, '9'));
    EXPECT_EQ(Cleaned("+" + std::string(20, '9')), "+" + std::string(20, '9'));
}

TEST(CleanNumber, RefusesWhatHasNoSemiOctetNamingTheCharacter) {
    EXPECT_EQ(Cleaned("abd"), "refused: \"d\" cannot be part of a number");
    EXPECT_EQ(Cleaned("12A"), "refused: \"A\" cannot be part of a number");
    EXPECT_EQ(Cleaned("39+333"), "refused: \"+\" cannot be part of a number");
    EXPECT_EQ(Cleaned("++39"), "refused: \"+\" cannot be part of a number");
    EXPECT_EQ(Cleaned("333\xC3\xA8"), "refused: \"\xC3\xA8\" cannot be part of a number");
    EXPECT_EQ(Cleaned("12;34"), "refused: \";\" cannot be part of a number");
    EXPECT_EQ(Cleaned(" - "), "refused: no digits");
    EXPECT_EQ(Cleaned("+"), "refused: no digits");
    EXPECT_EQ(Cleaned(std::string(21, '1')), "refused: at most 20 digits");
    EXPECT_EQ(Cleaned("+1234", 3), "refused: at most 3 digits");
    EXPECT_FALSE(clean_number("x", 20)) << "no reason asked for";
}

TEST(EncodeAddress, CodesTheSignsAsTheirSemiOctetsAndDecodesThemBack) {
    EXPECT_EQ(encode_da("*100#"), "05811A00FB");
    EXPECT_EQ(encode_da("12abc"), "058121DCFE");
    EXPECT_EQ(encode_sca("+*#"), "0291BA");
    for (const char* number : {"*100#", "01*#0", "#31#12345", "123abc", "*"}) {
        const std::string field = encode_da(number);
        EXPECT_EQ(decode_da(field.substr(2)).number, number) << field;
        EXPECT_EQ(read_byte(field), std::string_view(number).size()) << field;
    }
}

} // namespace
