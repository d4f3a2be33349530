#pragma once
// Hex text <-> octets, shared by the decoders and the encoders.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// Value of the leading hex digits among the first two characters of text (0 to 255): "5G" is 5,
// and a pair that does not start with a hex digit (or an empty text) is 0.
int read_byte(std::string_view text);

// True when c is 0-9, a-f or A-F. Inline: the parser asks it of every character of a PDU.
inline bool is_hex_digit(char c) {
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
