#include "pdu/Gsm7Alphabet.h"

#include <gtest/gtest.h>

namespace {

using Septets = std::vector<std::uint8_t>;

TEST(Gsm7Alphabet, EveryDefaultCharacterRoundTrips) {
    for (std::uint8_t septet = 0; septet < 128; ++septet) {
        if (septet == kGsm7Escape) {
            continue;
        }
        const std::string text = gsm7_to_utf8({septet});
        EXPECT_EQ(utf8_to_gsm7(text), Septets{septet}) << "septet " << int{septet} << " " << text;
    }
}

TEST(Gsm7Alphabet, EveryExtensionCharacterRoundTrips) {
    const std::vector<std::pair<std::uint8_t, std::string>> extension = {
        {0x0A, "\f"}, {0x14, "^"}, {0x28, "{"}, {0x29, "}"}, {0x2F, "\\"},
        {0x3C, "["},  {0x3D, "~"}, {0x3E, "]"}, {0x40, "|"}, {0x65, "\xE2\x82\xAC"}};
    for (const auto& [septet, character] : extension) {
        EXPECT_EQ(gsm7_to_utf8({kGsm7Escape, septet}), character);
        EXPECT_EQ(utf8_to_gsm7(character), (Septets{kGsm7Escape, septet})) << character;
        EXPECT_EQ(gsm7_septet_count(character), 2);
    }
}

TEST(Gsm7Alphabet, PlacesTheCharactersAPlainCodeCopyWouldGetWrong) {
    EXPECT_EQ(utf8_to_gsm7("@$_\xC3\xB8\xC3\xA8"), (Septets{0x00, 0x02, 0x11, 0x0C, 0x04}));
    EXPECT_EQ(gsm7_to_utf8({0x00, 0x11, 0x0C, 0x24, 0x40, 0x5F, 0x60}),
              "@_\xC3\xB8\xC2\xA4\xC2\xA1\xC2\xA7\xC2\xBF");
    // Greek capitals, line feed and carriage return decode as themselves.
    EXPECT_EQ(gsm7_to_utf8({0x10, 0x15, 0x0A, 0x0D}), "\xCE\x94\xCE\xA9\n\r");
}

TEST(Gsm7Alphabet, UnknownEscapesShowTheFollowerFromTheMainTable) {
    EXPECT_EQ(gsm7_to_utf8({kGsm7Escape, 0x41}), "A");
    EXPECT_EQ(gsm7_to_utf8({kGsm7Escape, 0x00, 0x42}), "@B");
    EXPECT_EQ(gsm7_to_utf8({0x41, kGsm7Escape}), "A ") << "lone escape at the end";
    EXPECT_EQ(gsm7_to_utf8({kGsm7Escape, kGsm7Escape}), " ");
}

TEST(Gsm7Alphabet, CharactersWithoutASeptetBecomeQuestionMarks) {
    EXPECT_EQ(utf8_to_gsm7("a\xE4\xB8\xAD"
                           "b"),
              (Septets{0x61, kGsm7Unknown, 0x62}));
    EXPECT_EQ(utf8_to_gsm7("\xC3\xA7"), Septets{kGsm7Unknown}) << "lower-case c cedilla";
    EXPECT_EQ(utf8_to_gsm7("\xFF\xC3"), (Septets{kGsm7Unknown, kGsm7Unknown})) << "bad UTF-8";
    EXPECT_EQ(utf8_to_gsm7("\xF0\x9F\x98\x80"), Septets{kGsm7Unknown}) << "one per code point";
}

TEST(Gsm7SeptetCount, CountsEscapesTwice) {
    EXPECT_EQ(gsm7_septet_count(""), 0);
    EXPECT_EQ(gsm7_septet_count("hello"), 5);
    EXPECT_EQ(gsm7_septet_count("\xE2\x82\xAC"
                                "10 [x]"),
              10);
    EXPECT_EQ(gsm7_septet_count("\xC3\xA8\xCE\xA9"), 2) << "multi-byte characters count once";
    EXPECT_EQ(gsm7_septet_count("\xE4\xB8\xAD"), 1);
}

std::string hex(const Septets& octets) {
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string out;
    for (const std::uint8_t octet : octets) {
        out += kDigits[octet >> 4];
        out += kDigits[octet & 0x0F];
    }
    return out;
}

TEST(SeptetPacking, MatchesTheKnownVectors) {
    EXPECT_EQ(hex(pack_septets(utf8_to_gsm7("abc"))), "61f118");
    EXPECT_EQ(hex(pack_septets(utf8_to_gsm7("hello"))), "e8329bfd06");
    EXPECT_EQ(hex(pack_septets(utf8_to_gsm7("abcdefg"))), "61f1985c369f01");
    EXPECT_EQ(hex(pack_septets(utf8_to_gsm7("abcdefgh"))), "61f1985c369fd1");
    EXPECT_EQ(hex(pack_septets({})), "");
}

TEST(SeptetPacking, UnpackingInvertsPackingAtEveryLength) {
    Septets all;
    for (std::uint8_t septet = 0; septet < 128; ++septet) {
        all.push_back(septet);
    }
    for (std::size_t n = 0; n <= all.size(); ++n) {
        const Septets part(all.begin(), all.begin() + static_cast<std::ptrdiff_t>(n));
        EXPECT_EQ(unpack_septets(pack_septets(part), 0, n), part) << n << " septets";
    }
    EXPECT_EQ(unpack_septets(pack_septets(all), 100, 5), (Septets{100, 101, 102, 103, 104}));
}

TEST(SeptetPacking, UnpackingStopsWhereTheOctetsEnd) {
    const std::vector<std::uint8_t> octets = pack_septets(utf8_to_gsm7("abcdefgh"));
    EXPECT_EQ(unpack_septets(octets, 0, 50).size(), 8u);
    EXPECT_EQ(unpack_septets({0x61}, 0, 3).size(), 1u) << "the second septet needs octet 2";
    EXPECT_TRUE(unpack_septets({}, 0, 3).empty());
}

} // namespace
