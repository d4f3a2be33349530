#include "sms/SmsTimeText.h"

#include <array>
#include <charconv>
#include <cstdint>

namespace {

// Room for the longest text: three numbers of up to 11 characters and the separators.
using TimeBuffer = std::array<char, 64>;

// Appends `value` as "%02d" does: a zero in front of 0 to 9 only (a minus counts for the width).
char* PutNumber(char* at, char* end, std::int32_t value, bool padded) {
    if (value >= 0 && value <= 99) {
        if (value >= 10 || padded)
            *at++ = static_cast<char>('0' + value / 10);
        *at++ = static_cast<char>('0' + value % 10);
        return at;
    }
    return std::to_chars(at, end, value).ptr;
}

char* PutText(char* at, std::string_view text) {
    for (const char c : text)
        *at++ = c;
    return at;
}

} // namespace

std::string ShownSmsDate(const sms_time& time) {
    TimeBuffer text{};
    char* const end = text.data() + text.size();
    char* at = PutNumber(text.data(), end, time.day, true);
    *at++ = '/';
    at = PutNumber(at, end, time.month, true);
    *at++ = '/';
    at = PutNumber(at, end, time.year, true);
    return {text.data(), at};
}

std::string ShownSmsClock(const sms_time& time) {
    TimeBuffer text{};
    char* const end = text.data() + text.size();
    char* at = PutNumber(text.data(), end, time.hour, true);
    *at++ = ':';
    at = PutNumber(at, end, time.minute, true);
    *at++ = '.';
    at = PutNumber(at, end, time.second, true);
    at = PutText(at, " (");
    at = PutNumber(at, end, time.timezone, false);
    *at++ = ')';
    return {text.data(), at};
}
