// Texts looked at eight bytes at a time say what a look at each byte says, whatever their length
// and wherever the byte looked for stands: at the start, in the overlap of the last two words,
// in the short texts read in halves or as first, middle and last byte.

#include "core/ByteWords.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <string>

namespace {

bool IsAsciiByteByByte(std::string_view text) {
    return std::ranges::none_of(text, [](char c) { return static_cast<unsigned char>(c) >= 0x80; });
}

bool NoControlOrQuote(std::string_view text) {
    return bytewords::NoneFlagged(text, ' ', [](std::uint64_t word) {
        return bytewords::BytesBelow(word, 0x20U) | bytewords::BytesEqual(word, '"');
    });
}

bool NoControlOrQuoteByteByByte(std::string_view text) {
    return std::ranges::none_of(
        text, [](char c) { return static_cast<unsigned char>(c) < 0x20 || c == '"'; });
}

TEST(ByteWordsTest, EveryLengthAndPlaceGivesTheByteByByteAnswer) {
    for (std::size_t length = 0; length <= 24; ++length) {
        const std::string plain(length, 'a');
        EXPECT_TRUE(bytewords::IsAscii(plain)) << length;
        EXPECT_TRUE(NoControlOrQuote(plain)) << length;
        for (std::size_t at = 0; at < length; ++at) {
            for (const unsigned char byte :
                 {0x00, 0x0A, 0x1F, 0x20, 0x22, 0x7E, 0x7F, 0x80, 0xC3, 0xFF}) {
                std::string text = plain;
                text[at] = static_cast<char>(byte);
                EXPECT_EQ(bytewords::IsAscii(text), IsAsciiByteByByte(text))
                    << "length " << length << " at " << at << " byte " << int{byte};
                EXPECT_EQ(NoControlOrQuote(text), NoControlOrQuoteByteByByte(text))
                    << "length " << length << " at " << at << " byte " << int{byte};
            }
        }
    }
}

// A flagged byte borrows into the bytes above it; the answer for a word with a flagged byte
// next to bytes just above the limit stays exact.
TEST(ByteWordsTest, BytesNextToTheLimitAreNotMistaken) {
    EXPECT_TRUE(NoControlOrQuote(std::string(8, '\x20')));
    EXPECT_TRUE(NoControlOrQuote("!#!#!#!#!"));
    EXPECT_FALSE(NoControlOrQuote(std::string("\x21\x21\x21\x1f\x21\x21\x21\x21", 8)));
    EXPECT_FALSE(NoControlOrQuote(std::string("\x21\x21\x21\x21\x21\x21\x21\x22", 8)));
    EXPECT_TRUE(bytewords::IsAscii(std::string(8, '\x7f')));
}

} // namespace
