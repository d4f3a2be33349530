#pragma once
// Service-centre, originating and destination addresses (GSM 03.40, 9.1.2.5 and 9.2.3.7).

#include <string>
#include <string_view>

// Digits an encoder keeps of a number; the callers refuse longer numbers before encoding.
inline constexpr std::size_t kMaxNumberDigits = 30;
// The service-centre field must fit its 29-character record field with length, type and pad.
inline constexpr std::size_t kMaxScaDigits = 24;

struct sms_address {
    std::string number;         // digits, without "+"; or the sender's name for an alphanumeric one
    bool international = false; // type "91": the caller shows "+" in front of the digits
    bool alphanumeric = false;  // type of number 101: number holds text
};

// Decodes an address as a parser stores it (type octet, then swapped semi-octets with any "F"
// pad). Digits come out swapped back, the pad removed; other semi-octets come out as the hex
// letters that stand in the text. An alphanumeric address (type of number 101, "D0") is 7-bit
// packed text and comes out as UTF-8. Fewer than 2 characters give an empty number.
sms_address decode_sca(std::string_view text);
inline sms_address decode_oa(std::string_view text) {
    return decode_sca(text);
}
inline sms_address decode_da(std::string_view text) {
    return decode_sca(text);
}

// The whole service-centre field for sending: octet count (type included), "91" when the number
// starts with "+" (else "81"), swapped digits padded with "F". "+12345678901" gives
// "07912143658709F1". Characters are not checked; digits past kMaxScaDigits are dropped.
std::string encode_sca(std::string_view number);

// The whole destination-address field: digit count (pad not counted), type, swapped digits.
// "+123456789" gives "099121436587F9"; an empty number "0081". Digits past kMaxNumberDigits are
// dropped.
std::string encode_da(std::string_view number);
