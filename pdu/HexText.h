#pragma once
// Hex text <-> octets, shared by the decoders and the encoders.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// Value of the leading hex digits among the first two characters of text (0 to 255): "5G" is 5,
// and a pair that does not start with a hex digit (or an empty text) is 0.
int read_byte(std::string_view text);

// The value of each hex digit, -1 for any other byte. Every PDU character passes here, several
// times: one table look-up each.
inline constexpr std::array<std::int8_t, 256> kHexValues = [] {
    std::array<std::int8_t, 256> values{};
    values.fill(-1);
    for (int digit = 0; digit < 10; ++digit)
        values[static_cast<std::size_t>('0' + digit)] = static_cast<std::int8_t>(digit);
    for (int digit = 0; digit < 6; ++digit) {
        values[static_cast<std::size_t>('a' + digit)] = static_cast<std::int8_t>(10 + digit);
        values[static_cast<std::size_t>('A' + digit)] = static_cast<std::int8_t>(10 + digit);
    }
    return values;
}();

// The octet of the two hex digits at `at`, or -1 when there are not two hex digits there.
// Inline: asked of the head of every PDU line of a capture.
inline int hex_pair_at(std::string_view text, std::size_t at) {
    if (text.size() < 2 || at > text.size() - 2)
        return -1;
    const int high = kHexValues[static_cast<unsigned char>(text[at])];
    const int low = kHexValues[static_cast<unsigned char>(text[at + 1])];
    return (high | low) < 0 ? -1 : high * 16 + low;
}

// True when c is 0-9, a-f or A-F. Inline: the parser asks it of every character of a PDU.
constexpr bool is_hex_digit(char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

// True when every character of text is a hex digit (an empty text included).
bool all_hex_digits(std::string_view text);

// The octets of a hex text, read pair by pair with read_byte; a lone last digit counts as a pair.
std::vector<std::uint8_t> hex_to_octets(std::string_view hex);

// Appends one octet as two lower-case hex digits ("%02x").
void append_hex_octet(std::string& out, std::uint8_t octet);

// One octet as two lower-case hex digits.
std::string hex_octet(std::uint8_t octet);
