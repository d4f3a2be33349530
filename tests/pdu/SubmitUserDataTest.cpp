// The user data of a submit in each coding, and its parts: read back with the project's own
// decoder, and checked against hex worked out by hand from TS 23.038 / 23.040.

#include "pdu/Pdu.h"

#include <gtest/gtest.h>

namespace {

const std::string kGreek = "Καλημέρα";

// The text of a part as a receiver reads it.
std::string ReadBack(const ud_part& part, int dcs) {
    return decode_ud(part.ud, read_byte(part.udl), dcs, part.udhi ? kUdhiBit : 0);
}

std::string Repeat(std::string_view piece, int times) {
    std::string text;
    for (int i = 0; i < times; ++i)
        text += piece;
    return text;
}

TEST(SubmitUserData, EachCodingWritesHelloAsItsReceiverReadsIt) {
    const ud_parts gsm7 = encode_ud_parts("hello", UdCoding::Gsm7, 0);
    ASSERT_EQ(gsm7.parts.size(), 1u);
    EXPECT_EQ(gsm7.parts[0].ud, "e8329bfd06");
    EXPECT_EQ(gsm7.parts[0].udl, "05"); // septets

    const ud_parts octets = encode_ud_parts("hello", UdCoding::Data8, 0);
    ASSERT_EQ(octets.parts.size(), 1u);
    EXPECT_EQ(octets.parts[0].ud, "68656c6c6f");
    EXPECT_EQ(octets.parts[0].udl, "05"); // octets

    const ud_parts ucs2 = encode_ud_parts("hello", UdCoding::Ucs2, 0);
    ASSERT_EQ(ucs2.parts.size(), 1u);
    EXPECT_EQ(ucs2.parts[0].ud, "00680065006c006c006f");
    EXPECT_EQ(ucs2.parts[0].udl, "0a"); // octets, two per character
    EXPECT_FALSE(ucs2.parts[0].udhi);
    EXPECT_EQ(ReadBack(ucs2.parts[0], 0x08), "hello");
}

TEST(SubmitUserData, Ucs2CarriesGreekAndPairsBeyondTheBmp) {
    const ud_parts greek = encode_ud_parts(kGreek, UdCoding::Ucs2, 0);
    ASSERT_EQ(greek.parts.size(), 1u);
    EXPECT_EQ(greek.parts[0].ud.substr(0, 8), "039a03b1");
    EXPECT_EQ(ReadBack(greek.parts[0], 0x08), kGreek);

    const ud_parts emoji = encode_ud_parts("hi 😀", UdCoding::Ucs2, 0);
    EXPECT_EQ(emoji.parts[0].ud, "006800690020d83dde00");
    EXPECT_EQ(ReadBack(emoji.parts[0], 0x08), "hi 😀");
}

TEST(SubmitUserData, SeventyUnitsIsOneMessageSeventyOneIsTwoLinkedParts) {
    EXPECT_EQ(encode_ud_parts(Repeat("α", 70), UdCoding::Ucs2, 7).parts.size(), 1u);

    const std::string text = Repeat("α", 100);
    const ud_parts two = encode_ud_parts(text, UdCoding::Ucs2, 0xA7);
    ASSERT_EQ(two.parts.size(), 2u);
    std::string joined;
    for (std::size_t i = 0; i < two.parts.size(); ++i) {
        const ud_part& part = two.parts[i];
        EXPECT_TRUE(part.udhi);
        EXPECT_EQ(part.ud.substr(0, 12),
                  "050003a702" + hex_octet(static_cast<std::uint8_t>(i + 1)));
        const auto concat = decode_concat(part.ud, kUdhiBit);
        ASSERT_TRUE(concat);
        EXPECT_EQ(concat->reference, 0xA7);
        EXPECT_EQ(concat->total, 2);
        EXPECT_EQ(concat->sequence, static_cast<int>(i) + 1);
        joined += ReadBack(part, 0x08);
    }
    EXPECT_EQ(two.parts[0].udl, "8c"); // 6 + 67 * 2 octets
    EXPECT_EQ(two.parts[1].udl, "48"); // 6 + 33 * 2
    EXPECT_EQ(joined, text);
}

TEST(SubmitUserData, APartNeverEndsInsideASurrogatePair) {
    // 66 units, then a pair that would straddle the 67-unit boundary.
    const std::string text = Repeat("a", 66) + "😀" + Repeat("b", 10);
    const ud_parts parts = encode_ud_parts(text, UdCoding::Ucs2, 1);
    ASSERT_EQ(parts.parts.size(), 2u);
    EXPECT_EQ(ReadBack(parts.parts[0], 0x08), Repeat("a", 66));
    EXPECT_EQ(ReadBack(parts.parts[1], 0x08), "😀" + Repeat("b", 10));
}

TEST(SubmitUserData, LongSevenBitTextGoesIn153SeptetPartsBehindAFillBit) {
    const std::string text = Repeat("0123456789", 20); // 200 septets
    const ud_parts parts = encode_ud_parts(text, UdCoding::Gsm7, 3);
    ASSERT_EQ(parts.parts.size(), 2u);
    EXPECT_EQ(parts.parts[0].udl, "a0"); // 7 header septets + 153
    EXPECT_EQ(ReadBack(parts.parts[0], 0) + ReadBack(parts.parts[1], 0), text);
    // An escape pair is not split: 152 plain septets, then "€".
    const ud_parts euro =
        encode_ud_parts(Repeat("a", 152) + "€" + Repeat("b", 10), UdCoding::Gsm7, 3);
    ASSERT_EQ(euro.parts.size(), 2u);
    EXPECT_EQ(ReadBack(euro.parts[0], 0), Repeat("a", 152));
    EXPECT_EQ(ReadBack(euro.parts[1], 0), "€" + Repeat("b", 10));
}

TEST(SubmitUserData, EightBitTakesLatin1AndRefusesTheRest) {
    const ud_parts latin = encode_ud_parts("Città", UdCoding::Data8, 0);
    EXPECT_EQ(latin.parts[0].ud, "43697474e0");
    const ud_parts greek = encode_ud_parts("a" + kGreek, UdCoding::Data8, 0);
    EXPECT_TRUE(greek.parts.empty());
    EXPECT_EQ(greek.error, "These characters cannot be sent as 8-bit data: Καλημέρ");
}

TEST(SubmitUserData, CompressedAndReservedCodingsAreRefused) {
    std::string why;
    EXPECT_FALSE(submit_coding(0x20, &why));
    EXPECT_EQ(why, "DCS 20: compressed text cannot be sent");
    EXPECT_FALSE(submit_coding(0x0C, &why));
    EXPECT_EQ(why, "DCS 0c: a reserved alphabet cannot be sent");
    EXPECT_FALSE(submit_coding(0x80, &why));
    EXPECT_FALSE(submit_coding(0xF8, &why));
    EXPECT_EQ(submit_coding(0x00), UdCoding::Gsm7);
    EXPECT_EQ(submit_coding(0x16), UdCoding::Data8);
    EXPECT_EQ(submit_coding(0x1B), UdCoding::Ucs2);
    EXPECT_EQ(submit_coding(0xD8), UdCoding::Gsm7);
    EXPECT_EQ(submit_coding(0xE0), UdCoding::Ucs2);
    EXPECT_EQ(submit_coding(0xF4), UdCoding::Data8);
}

TEST(SubmitUserData, OnlyCharactersOutsideBothGsmTablesNeedUcs2) {
    EXPECT_FALSE(needs_ucs2("[€] ? ΔΦ èé"));
    EXPECT_TRUE(needs_ucs2("Καλημέρα"));
    EXPECT_TRUE(needs_ucs2("hi 😀"));
    EXPECT_EQ(submit_dcs(UdCoding::Ucs2, -1), 0x08);
    EXPECT_EQ(submit_dcs(UdCoding::Ucs2, 2), 0x1A);
    EXPECT_EQ(submit_dcs(UdCoding::Gsm7, 0), 0xF0);
}

} // namespace
