#include "pdu/AddressCodec.h"
#include "pdu/DataCoding.h"
#include "pdu/Gsm7Alphabet.h"
#include "pdu/HexText.h"
#include "pdu/SmsTime.h"
#include "pdu/UserData.h"

#include <algorithm>
#include <gtest/gtest.h>

namespace {

TEST(ReadByte, ReadsLeadingHexDigitsAndZeroForTheRest) {
    EXPECT_EQ(read_byte("0B"), 11);
    EXPECT_EQ(read_byte("ff"), 255);
    EXPECT_EQ(read_byte("A0trailing"), 160);
    EXPECT_EQ(read_byte("5G"), 5);
    EXPECT_EQ(read_byte("G5"), 0);
    EXPECT_EQ(read_byte("7"), 7);
    EXPECT_EQ(read_byte(""), 0);
}

TEST(HexPairAt, ReadsTwoHexDigitsOrSaysThereAreNone) {
    EXPECT_EQ(hex_pair_at("07912143", 0), 0x07);
    EXPECT_EQ(hex_pair_at("07912143", 6), 0x43);
    EXPECT_EQ(hex_pair_at("0791214", 6), -1) << "one digit left";
    EXPECT_EQ(hex_pair_at("07", 2), -1) << "at the end";
    EXPECT_EQ(hex_pair_at("07", static_cast<std::size_t>(-1)), -1) << "far past the end";
    EXPECT_EQ(hex_pair_at("", 0), -1);
    EXPECT_EQ(hex_pair_at("5G", 0), -1) << "read_byte would give 5";
    EXPECT_EQ(hex_pair_at("G5", 0), -1);
    EXPECT_EQ(hex_pair_at("fF", 0), 255);
    for (int c = 0; c < 256; ++c) {
        const std::string pair{'a', static_cast<char>(c)};
        EXPECT_EQ(hex_pair_at(pair, 0) >= 0, is_hex_digit(static_cast<char>(c))) << c;
    }
}

// The digits are tested eight at a time: every byte's neighbours on either side of each range,
// at every place of the words and of the tail after the last whole word.
TEST(AllHexDigits, RefusesAnyOtherByteWhereverItStands) {
    const std::string hex = "0123456789abcdefABCDEF0123456789abcdefAB"; // 40: five words
    EXPECT_TRUE(all_hex_digits(hex));
    EXPECT_TRUE(all_hex_digits(""));
    for (const char wrong : {'/', ':', '@', 'G', '`', 'g', ' ', '\0', '\x80', '\xB0', '\xE1'}) {
        for (std::size_t at = 0; at < 21; ++at) {
            std::string text = hex.substr(0, 21); // two words and a tail of five
            text[at] = wrong;
            EXPECT_FALSE(all_hex_digits(text)) << "byte " << int(wrong) << " at " << at;
            EXPECT_EQ(all_hex_digits(text), std::ranges::all_of(text, is_hex_digit));
        }
    }
}

TEST(DecodeSca, SwapsDigitsBackAndDropsThePad) {
    const sms_address intl = decode_da("912143658709F1");
    EXPECT_EQ(intl.number, "12345678901");
    EXPECT_TRUE(intl.international);
    EXPECT_FALSE(intl.alphanumeric);

    const sms_address national = decode_oa("811032547698");
    EXPECT_EQ(national.number, "0123456789");
    EXPECT_FALSE(national.international);

    // Nine semi-octets take five octets; a lower-case pad is a pad too.
    EXPECT_EQ(decode_sca("812143658709f9").number, "12345678909");
    EXPECT_EQ(decode_sca("81214365F7").number, "1234567");
    EXPECT_EQ(decode_sca("81214365f7").number, "1234567");
}

TEST(DecodeSca, ShortTextsGiveAnEmptyNumber) {
    EXPECT_EQ(decode_sca("").number, "");
    EXPECT_EQ(decode_sca("9").number, "");
    const sms_address type_only = decode_sca("00");
    EXPECT_EQ(type_only.number, "");
    EXPECT_FALSE(type_only.international);
}

TEST(DecodeSca, ShowsTheSignSemiOctetsAsTheirCharacters) {
    EXPECT_EQ(decode_sca("81A1B2").number, "1*2#");
    EXPECT_EQ(decode_sca("8110BAF0").number, "01*#0");
    EXPECT_EQ(decode_sca("81DCFE").number, "abc");
}

TEST(DecodeSca, ReadsAlphanumericSendersAsPackedText) {
    const sms_address bank = decode_oa("D0C2B07B0D");
    EXPECT_TRUE(bank.alphanumeric);
    EXPECT_FALSE(bank.international);
    EXPECT_EQ(bank.number, "Bank");
    EXPECT_EQ(decode_oa("D04F79D87D2E03").number, "Orange");
    // Seven septets end seven bits short of the last octet: those bits are no "@".
    EXPECT_EQ(decode_oa("D0C2B07B9D2ECB01").number, "Bankier");
    EXPECT_EQ(decode_oa("D0").number, "");
    // Eight septets fill seven octets to the last bit: only the semi-octet count tells that a
    // last '@' (septet 0) is a character.
    EXPECT_EQ(decode_oa("D049B7F90D000000", 14).number, "Info@@@@");
    EXPECT_EQ(decode_oa("D0C2B07B9D2ECB01", 13).number, "Bankier");
    EXPECT_EQ(decode_oa("D0C2B07B0D", 7).number, "Bank");
}

TEST(DecodeTime, ReadsSwappedDecimalPairs) {
    const sms_time t = decode_time("99309251619580");
    EXPECT_EQ(t.year, 99);
    EXPECT_EQ(t.month, 3);
    EXPECT_EQ(t.day, 29);
    EXPECT_EQ(t.hour, 15);
    EXPECT_EQ(t.minute, 16);
    EXPECT_EQ(t.second, 59);
    EXPECT_EQ(t.timezone, 8);
}

TEST(DecodeTime, KeepsTheRawZoneAndZeroesWhatIsMissing) {
    EXPECT_EQ(decode_time("9930925161958A").timezone, 0) << "swapped, \"A8\" starts with no digit";
    EXPECT_EQ(decode_time("993092516195A8").timezone, 8) << "swapped, \"8A\" starts with an 8";
    EXPECT_EQ(decode_time("99309251619548").timezone, 84);
    const sms_time partial = decode_time("9930");
    EXPECT_EQ(partial.month, 3);
    EXPECT_EQ(partial.day, 0);
    EXPECT_EQ(partial.timezone, 0);
    EXPECT_EQ(decode_time("X9309251619580").year, 9);
}

TEST(TimezoneQuarters, HonoursTheSignBit) {
    EXPECT_EQ(timezone_quarters("99309251619580"), 8);
    EXPECT_EQ(timezone_quarters("99309251619548"), -4);
    EXPECT_EQ(timezone_quarters("99309251619529"), -12);
    EXPECT_EQ(timezone_quarters("99309251619521"), 12);
    EXPECT_EQ(timezone_quarters("993092"), 0);
}

TEST(DecodeDcs, SplitsTheOctetAndReturnsBitThree) {
    dcs d;
    EXPECT_EQ(decode_dcs("f2", d), 0);
    EXPECT_EQ(d.group, 15);
    EXPECT_EQ(d.alphabet, 7);
    EXPECT_EQ(d.msg_class, 2);
    EXPECT_EQ(decode_dcs("F5", d), 0);
    EXPECT_EQ(d.alphabet, 8);
    EXPECT_EQ(d.msg_class, 1);
    EXPECT_EQ(decode_dcs("08", d), 8);
    EXPECT_EQ(d.group, 0);
}

TEST(UdCodingOf, FollowsTheCodingGroups) {
    EXPECT_EQ(ud_coding(0x00), UdCoding::Gsm7);
    EXPECT_EQ(ud_coding(0x04), UdCoding::Data8);
    EXPECT_EQ(ud_coding(0x08), UdCoding::Ucs2);
    EXPECT_EQ(ud_coding(0x0C), UdCoding::Gsm7) << "reserved alphabet";
    EXPECT_EQ(ud_coding(0x18), UdCoding::Ucs2) << "class 0 UCS2";
    EXPECT_EQ(ud_coding(0x20), UdCoding::Data8) << "compressed";
    EXPECT_EQ(ud_coding(0x48), UdCoding::Ucs2) << "automatic deletion group";
    EXPECT_EQ(ud_coding(0xC0), UdCoding::Gsm7);
    EXPECT_EQ(ud_coding(0xE0), UdCoding::Ucs2);
    EXPECT_EQ(ud_coding(0xF0), UdCoding::Gsm7);
    EXPECT_EQ(ud_coding(0xF4), UdCoding::Data8);
}

TEST(DecodeUd, UnpacksSevenBitText) {
    EXPECT_EQ(decode_ud("e8329bfd06", 5), "hello");
    EXPECT_EQ(decode_ud("00", 1), "@");
    EXPECT_EQ(decode_ud("e8329bfd06", 0), "");
    EXPECT_EQ(decode_ud("e832", 5), "he") << "nothing invented past the data";
}

TEST(DecodeUd, ShowsEightBitDataAsLatin1WithControlsAsSpaces) {
    EXPECT_EQ(decode_ud("48690A7FE9FF", 6, 0x04), "Hi  \xC3\xA9\xC3\xBF");
    EXPECT_EQ(decode_ud("4869", 1, 0xF4), "H") << "udl counts octets";
}

TEST(DecodeUd, JoinsUcs2SurrogatePairs) {
    // "A", U+1F600 as D83D DE00, "é".
    EXPECT_EQ(decode_ud("0041D83DDE0000E9", 8, 0x08), "A\xF0\x9F\x98\x80\xC3\xA9");
    EXPECT_EQ(decode_ud("D83D0041", 4, 0x08), "\xEF\xBF\xBD"
                                              "A")
        << "lone high surrogate";
    EXPECT_EQ(decode_ud("DE00", 2, 0x08), "\xEF\xBF\xBD") << "lone low surrogate";
    EXPECT_EQ(decode_ud("004100", 3, 0x08), "A") << "odd last octet ignored";
}

// User data: a header, then text starting at the next septet boundary.
std::string with_header(const std::string& header_hex, const std::string& text) {
    const std::size_t header_octets = header_hex.size() / 2;
    const std::size_t skip = (header_octets * 8 + 6) / 7;
    std::vector<std::uint8_t> septets(skip, 0);
    const std::vector<std::uint8_t> body = utf8_to_gsm7(text);
    septets.insert(septets.end(), body.begin(), body.end());
    std::vector<std::uint8_t> octets = pack_septets(septets);
    const std::vector<std::uint8_t> header = hex_to_octets(header_hex);
    std::copy(header.begin(), header.end(), octets.begin());
    std::string hex;
    for (const std::uint8_t octet : octets) {
        append_hex_octet(hex, octet);
    }
    return hex;
}

TEST(DecodeUd, SkipsTheHeaderAndFillBitsOfSevenBitText) {
    // Six header octets end one bit into septet 7: one fill bit.
    const std::string eight_bit_ref = with_header("050003CC0201", "Hello");
    EXPECT_EQ(decode_ud(eight_bit_ref, 7 + 5, 0x00, 0x44), "Hello");
    // Seven header octets end on a septet boundary: no fill bits.
    const std::string sixteen_bit_ref = with_header("0608041234030"
                                                    "2",
                                                    "Hi");
    EXPECT_EQ(decode_ud(sixteen_bit_ref, 8 + 2, 0x00, 0x44), "Hi");
    EXPECT_NE(decode_ud(eight_bit_ref, 7 + 5, 0x00, 0x04), "Hello") << "UDHI clear: no header";
    EXPECT_EQ(decode_ud("050003CC02", 3, 0x00, 0x40), "") << "udl inside the header";
}

TEST(DecodeUd, SkipsTheHeaderOfUcs2AndEightBitData) {
    EXPECT_EQ(decode_ud("050003CC020100480069", 10, 0x08, 0x40), "Hi");
    EXPECT_EQ(decode_ud("050003CC02014869", 8, 0x04, 0x40), "Hi");
    EXPECT_EQ(decode_ud("FF00", 2, 0x04, 0x40), "") << "header longer than the data";
}

TEST(DecodeConcat, ReadsEightAndSixteenBitReferences) {
    const auto eight = decode_concat("050003CC0201", 0x44);
    ASSERT_TRUE(eight.has_value());
    EXPECT_EQ(eight->reference, 0xCC);
    EXPECT_EQ(eight->total, 2);
    EXPECT_EQ(eight->sequence, 1);
    EXPECT_FALSE(eight->reference16);

    // A port element first, then the 16-bit concatenation element.
    const auto sixteen = decode_concat("0C050400000000080412340302", 0x40);
    ASSERT_TRUE(sixteen.has_value());
    EXPECT_EQ(sixteen->reference, 0x1234);
    EXPECT_EQ(sixteen->total, 3);
    EXPECT_EQ(sixteen->sequence, 2);
    EXPECT_TRUE(sixteen->reference16);
}

TEST(DecodeConcat, NeedsTheUdhiBitAndAWholeElement) {
    EXPECT_FALSE(decode_concat("050003CC0201", 0x04).has_value());
    EXPECT_FALSE(decode_concat("040003CC02", 0x44).has_value()) << "element past the header";
    EXPECT_FALSE(decode_concat("050003CC", 0x44).has_value()) << "data ends early";
    EXPECT_FALSE(decode_concat("", 0x44).has_value());
}

} // namespace
