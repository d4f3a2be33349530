#include "pdu/AddressCodec.h"

#include "pdu/Gsm7Alphabet.h"
#include "pdu/HexText.h"

#include <algorithm>
#include <utility>

namespace {

bool is_alphanumeric_type(int type_octet) {
    return (type_octet & 0x70) == 0x50;
}

bool is_pad(char c) {
    return c == 'F' || c == 'f';
}

// The characters of the semi-octets 10 to 14 (TS 23.040 9.1.2.3); 15 is the pad.
constexpr std::string_view kSemiOctetSigns = "*#abc";

// Asked of every digit of every number: a range test, not a search of "ABCDE".
char shown_semi_octet(char semi_octet) {
    const auto upper = static_cast<char>(semi_octet & ~0x20);
    return upper >= 'A' && upper <= 'E' ? kSemiOctetSigns[static_cast<std::size_t>(upper - 'A')]
                                        : semi_octet;
}

char coded_semi_octet(char shown) {
    const auto sign = kSemiOctetSigns.find(shown);
    return sign == std::string_view::npos ? shown : "ABCDE"[sign];
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
    for (char& semi_octet : number) {
        semi_octet = shown_semi_octet(semi_octet);
    }
    return number;
}

// The stored text has lost the semi-octet count, so the septet count comes from the octets. When
// seven fill bits end the last octet they read as one septet too many, always 0: drop it.
// With `semi_octets` known (non-zero) the septets are the ones they count (TS 23.040 9.1.2.5).
std::string decode_alphanumeric(std::string_view digits, std::size_t semi_octets) {
    const std::vector<std::uint8_t> octets = hex_to_octets(digits);
    const std::size_t room = octets.size() * 8 / 7;
    if (semi_octets != 0) {
        return gsm7_to_utf8(unpack_septets(octets, 0, std::min(room, semi_octets * 4 / 7)));
    }
    std::vector<std::uint8_t> septets = unpack_septets(octets, 0, room);
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
        out.swapped.push_back(i + 1 < number.size() ? coded_semi_octet(number[i + 1]) : 'F');
        out.swapped.push_back(coded_semi_octet(number[i]));
    }
    return out;
}

bool is_separator(char c) {
    return c == ' ' || c == '-' || c == '.' || c == '(' || c == ')';
}

bool has_semi_octet(char c) {
    return (c >= '0' && c <= '9') || kSemiOctetSigns.find(c) != std::string_view::npos;
}

// The character at `pos` as the user typed it, a whole UTF-8 sequence.
std::string typed_char(std::string_view text, std::size_t pos) {
    std::size_t end = pos + 1;
    while (end < text.size() && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) {
        ++end;
    }
    return std::string(text.substr(pos, end - pos));
}

std::optional<std::string> refuse(std::string* why, std::string text) {
    if (why != nullptr) {
        *why = std::move(text);
    }
    return std::nullopt;
}

} // namespace

sms_address decode_sca(std::string_view text) {
    return decode_oa(text, 0);
}

sms_address decode_oa(std::string_view text, std::size_t semi_octets) {
    sms_address address;
    if (text.size() < 2) {
        return address;
    }
    const std::string_view digits = text.substr(2);
    if (is_alphanumeric_type(read_byte(text))) {
        address.alphanumeric = true;
        address.number = decode_alphanumeric(digits, semi_octets);
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

std::optional<std::string> clean_number(std::string_view typed, std::size_t max_digits,
                                        std::string* why) {
    std::string number;
    std::size_t digits = 0;
    for (std::size_t pos = 0; pos < typed.size(); ++pos) {
        const char c = typed[pos];
        if (is_separator(c)) {
            continue;
        }
        if (c == '+' && number.empty()) {
            number.push_back(c);
        } else if (has_semi_octet(c)) {
            number.push_back(c);
            ++digits;
        } else {
            return refuse(why, "\"" + typed_char(typed, pos) + "\" cannot be part of a number");
        }
    }
    if (digits == 0) {
        return refuse(why, "no digits");
    }
    if (digits > max_digits) {
        return refuse(why, "at most " + std::to_string(max_digits) + " digits");
    }
    return number;
}
