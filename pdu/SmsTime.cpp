#include "pdu/SmsTime.h"

#include "pdu/HexText.h"

namespace {

bool is_decimal(char c) {
    return c >= '0' && c <= '9';
}

// Two characters read in swapped order as a decimal number: its leading decimal digits count,
// so a pair that does not start with one (after swapping) is 0.
int read_bcd_byte(std::string_view text, std::size_t pos) {
    const char first = pos + 1 < text.size() ? text[pos + 1] : '\0';
    const char second = pos < text.size() ? text[pos] : '\0';
    if (!is_decimal(first)) {
        return 0;
    }
    if (!is_decimal(second)) {
        return first - '0';
    }
    return (first - '0') * 10 + (second - '0');
}

} // namespace

sms_time decode_time(std::string_view scts) {
    sms_time time;
    time.year = read_bcd_byte(scts, 0);
    time.month = read_bcd_byte(scts, 2);
    time.day = read_bcd_byte(scts, 4);
    time.hour = read_bcd_byte(scts, 6);
    time.minute = read_bcd_byte(scts, 8);
    time.second = read_bcd_byte(scts, 10);
    time.timezone = read_bcd_byte(scts, 12);
    return time;
}

int timezone_quarters(std::string_view scts) {
    if (scts.size() < 14) {
        return 0;
    }
    const int octet = read_byte(scts.substr(12, 2));
    const int tens = octet & 0x07;
    const int units = (octet >> 4) & 0x0F;
    const int quarters = tens * 10 + units;
    return (octet & 0x08) != 0 ? -quarters : quarters;
}
