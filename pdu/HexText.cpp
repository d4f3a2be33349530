#include "pdu/HexText.h"

namespace {

int hex_value(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

} // namespace

bool is_hex_digit(char c) {
    return hex_value(c) >= 0;
}

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
