#include "pdu/AddressCodec.h"

#include "pdu/Gsm7Alphabet.h"
#include "pdu/HexText.h"

namespace {

bool is_alphanumeric_type(int type_octet) {
    return (type_octet & 0x70) == 0x50;
}

bool is_pad(char c) {
    return c == 'F' || c == 'f';
}

std::string unswap_digits(std::string_view digits) {
    std::string number;
    number.reserve(digits.size());
    for (std::size_t i = 0; i < digits.size(); i += 2) {
        if (i + 1 < digits.size()) {
            number.push_back(digits[i + 1]);
        }
        number.push_back(digits[i]);
    }
    if (!number.empty() && is_pad(number.back())) {
        number.pop_back();
    }
    return number;
}

// The stored text has lost the semi-octet count, so the septet count comes from the octets. When
// seven fill bits end the last octet they read as one septet too many, always 0: drop it.
std::string decode_alphanumeric(std::string_view digits) {
    const std::vector<std::uint8_t> octets = hex_to_octets(digits);
    std::vector<std::uint8_t> septets = unpack_septets(octets, 0, octets.size() * 8 / 7);
    if (!septets.empty() && septets.size() % 8 == 0 && septets.back() == 0) {
        septets.pop_back();
    }
    return gsm7_to_utf8(septets);
}

struct SemiOctets {
    std::string type;
    std::string swapped; // with the "F" pad
    std::size_t digits = 0;
};

SemiOctets swap_number(std::string_view number, std::size_t max_digits) {
    SemiOctets out;
    out.type = "81";
    if (!number.empty() && number.front() == '+') {
        out.type = "91";
        number.remove_prefix(1);
    }
    number = number.substr(0, max_digits);
    out.digits = number.size();
    for (std::size_t i = 0; i < number.size(); i += 2) {
        out.swapped.push_back(i + 1 < number.size() ? number[i + 1] : 'F');
        out.swapped.push_back(number[i]);
    }
    return out;
}

} // namespace

sms_address decode_sca(std::string_view text) {
    sms_address address;
    if (text.size() < 2) {
        return address;
    }
    const std::string_view digits = text.substr(2);
    if (is_alphanumeric_type(read_byte(text))) {
        address.alphanumeric = true;
        address.number = decode_alphanumeric(digits);
        return address;
    }
    address.international = text.substr(0, 2) == "91";
    address.number = unswap_digits(digits);
    return address;
}

std::string encode_sca(std::string_view number) {
    const SemiOctets field = swap_number(number, kMaxScaDigits);
    return hex_octet(static_cast<std::uint8_t>((field.digits + 1) / 2 + 1)) + field.type +
           field.swapped;
}

std::string encode_da(std::string_view number) {
    const SemiOctets field = swap_number(number, kMaxNumberDigits);
    return hex_octet(static_cast<std::uint8_t>(field.digits)) + field.type + field.swapped;
}
