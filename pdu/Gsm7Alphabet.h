#pragma once
// The GSM 03.38 default alphabet with its extension table (one table for both directions) and
// the 7-bit packing of user data and alphanumeric addresses.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

inline constexpr std::uint8_t kGsm7Escape = 0x1B;
inline constexpr std::uint8_t kGsm7Unknown = 0x3F; // "?": what a character without a septet becomes

// Septets to UTF-8. Escape + an extension septet gives the extension character; escape + any
// other septet gives a space and then that septet's own character; a lone last escape, a space.
// Line feed and carriage return come out as themselves.
std::string gsm7_to_utf8(const std::vector<std::uint8_t>& septets);

// UTF-8 to septets: one per default-alphabet character, escape + septet per extension character,
// kGsm7Unknown for anything the alphabet cannot carry (a malformed UTF-8 byte included).
std::vector<std::uint8_t> utf8_to_gsm7(std::string_view text);

// How many septets utf8_to_gsm7 gives for text: what the send form counts against 160.
int gsm7_septet_count(std::string_view text);

// Packs septets into octets (GSM 03.38: septet k from bit 7k on, least significant bit first);
// the last octet is filled with zero bits.
std::vector<std::uint8_t> pack_septets(const std::vector<std::uint8_t>& septets);

// Unpacks up to count septets starting at septet index first. Stops early, without inventing
// septets, where the octets run out.
std::vector<std::uint8_t> unpack_septets(const std::vector<std::uint8_t>& octets, std::size_t first,
                                         std::size_t count);
