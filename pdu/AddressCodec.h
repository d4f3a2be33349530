#pragma once
// Service-centre, originating and destination addresses (GSM 03.40, 9.1.2.5 and 9.2.3.7).

#include <optional>
#include <string>
#include <string_view>

// An address value holds at most 10 octets, 20 semi-octets (3GPP TS 23.040 9.1.2.5); the
// callers refuse longer numbers before encoding.
inline constexpr std::size_t kMaxNumberDigits = 20;
inline constexpr std::size_t kMaxScaDigits = 20;

// A typed number made fit for an address field: spaces, dashes, dots and parentheses dropped,
// '+' kept first only, then digits and '*', '#', 'a', 'b', 'c', the characters that
// have semi-octets (TS 23.040 9.1.2.3), at most `max_digits` of them. Nothing when the number
// cannot be coded: `why` (when given) then says in words what is wrong.
std::optional<std::string> clean_number(std::string_view typed, std::size_t max_digits,
                                        std::string* why = nullptr);

struct sms_address {
    std::string number;         // digits, without "+"; or the sender's name for an alphanumeric one
    bool international = false; // type "91": the caller shows "+" in front of the digits
    bool alphanumeric = false;  // type of number 101: number holds text
};

// Decodes an address as a parser stores it (type octet, then swapped semi-octets with any "F"
// pad). Digits come out swapped back, the pad removed; the semi-octets A-E come out as '*',
// '#', 'a', 'b', 'c'. An alphanumeric address (type of number 101, "D0") is 7-bit
// packed text and comes out as UTF-8. Fewer than 2 characters give an empty number.
sms_address decode_sca(std::string_view text);
inline sms_address decode_oa(std::string_view text) {
    return decode_sca(text);
}
// With the address's length octet (semi-octets): an alphanumeric address then holds exactly
// the septets they count, a last '@' included.
sms_address decode_oa(std::string_view text, std::size_t semi_octets);
inline sms_address decode_da(std::string_view text) {
    return decode_sca(text);
}

// The whole service-centre field for sending: octet count (type included), "91" when the number
// starts with "+" (else "81"), swapped digits padded with "F". "+12345678901" gives
// "07912143658709F1". '*', '#', 'a', 'b', 'c' become their semi-octets; other characters are
// not checked (clean_number does that); digits past kMaxScaDigits are dropped.
std::string encode_sca(std::string_view number);

// The whole destination-address field: digit count (pad not counted), type, swapped digits.
// "+123456789" gives "099121436587F9"; an empty number "0081". Digits past kMaxNumberDigits are
// dropped.
std::string encode_da(std::string_view number);
