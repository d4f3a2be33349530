#include "pdu/HexText.h"

#include <array>
#include <cstdint>

namespace {

// Every PDU character passes here, several times: one table look-up each.
constexpr std::array<std::int8_t, 256> kHexValues = [] {
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
    // Blocks of a fixed size with no way out inside, so that the compiler checks each block's
    // characters side by side: a PDU is hundreds of characters, nearly always all hex digits.
    constexpr std::size_t kBlock = 16;
    std::size_t pos = 0;
    for (; pos + kBlock <= text.size(); pos += kBlock) {
        bool hex = true;
        for (std::size_t i = 0; i < kBlock; ++i) {
            const auto c = static_cast<unsigned char>(text[pos + i]);
            const auto lower = static_cast<unsigned char>(c | 0x20U);
            hex &= static_cast<unsigned char>(c - '0') < 10U ||
                   static_cast<unsigned char>(lower - 'a') < 6U;
        }
        if (!hex)
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
