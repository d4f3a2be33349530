#include "pdu/HexText.h"

#include <cstring>

namespace {

int hex_value(char c) {
    return kHexValues[static_cast<unsigned char>(c)];
}

} // namespace

int read_byte(std::string_view text) {
    int value = 0;
    for (std::size_t i = 0; i < 2 && i < text.size(); ++i) {
        const int digit = hex_value(text[i]);
        if (digit < 0) {
            break;
        }
        value = value * 16 + digit;
    }
    return value;
}

bool all_hex_digits(std::string_view text) {
    // Eight characters at a time, each byte of a word tested at once: a PDU is hundreds of
    // characters, nearly always all hex digits. Each range test adds to every byte what carries
    // its top bit exactly from the bottom of the range on; no byte carries into the next, as
    // every byte is below 0x80 by then.
    constexpr std::uint64_t kOnes = 0x0101010101010101ULL;
    constexpr std::uint64_t kTops = kOnes * 0x80U;
    const auto within = [](std::uint64_t bytes, std::uint64_t low, std::uint64_t high) {
        return (bytes + kOnes * (0x80U - low)) & ~(bytes + kOnes * (0x7FU - high)) & kTops;
    };
    std::size_t pos = 0;
    for (; pos + sizeof(std::uint64_t) <= text.size(); pos += sizeof(std::uint64_t)) {
        std::uint64_t bytes = 0;
        std::memcpy(&bytes, text.data() + pos, sizeof bytes);
        if ((bytes & kTops) != 0)
            return false;
        const std::uint64_t digits = within(bytes, '0', '9');
        const std::uint64_t letters = within(bytes | (kOnes * 0x20U), 'a', 'f');
        if ((digits | letters) != kTops)
            return false;
    }
    for (; pos < text.size(); ++pos)
        if (!is_hex_digit(text[pos]))
            return false;
    return true;
}

std::vector<std::uint8_t> hex_to_octets(std::string_view hex) {
    std::vector<std::uint8_t> octets;
    octets.reserve((hex.size() + 1) / 2);
    for (std::size_t i = 0; i < hex.size(); i += 2) {
        octets.push_back(static_cast<std::uint8_t>(read_byte(hex.substr(i))));
    }
    return octets;
}

void append_hex_octet(std::string& out, std::uint8_t octet) {
    static constexpr char kDigits[] = "0123456789abcdef";
    out.push_back(kDigits[octet >> 4]);
    out.push_back(kDigits[octet & 0x0F]);
}

std::string hex_octet(std::uint8_t octet) {
    std::string out;
    append_hex_octet(out, octet);
    return out;
}
