#include "sms/SmsTimeText.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstdint>

namespace {

// Longest number printf writes for an int32: a minus and ten digits.
constexpr std::size_t kMaxNumberChars = 11;

// The longest text: four numbers of kMaxNumberChars, two separators and the zone's " ()".
constexpr std::size_t kMaxTimeChars = 4 * kMaxNumberChars + 2 + 3;
using TimeBuffer = std::array<char, kMaxTimeChars>;

// Any number that is not two digits, as printf writes it; out of line, so that the common case
// stays small enough to be written in place.
[[gnu::noinline]] char* PutWide(char* at, std::int32_t value) {
    std::array<char, 16> digits{};
    const std::to_chars_result written =
        std::to_chars(digits.data(), digits.data() + digits.size(), value);
    const auto length = static_cast<std::size_t>(written.ptr - digits.data());
    return std::copy_n(digits.data(), std::min(length, kMaxNumberChars), at);
}

// Writes `value` as "%02d" (`padded`) or "%d" does: a zero in front of 0 to 9 only, a minus
// counting for the width. The two digits a time stamp's pairs give are written on the spot.
inline char* PutNumber(char* at, std::int32_t value, bool padded) {
    if (value < 0 || value > 99)
        return PutWide(at, value);
    if (value >= 10 || padded)
        *at++ = static_cast<char>('0' + value / 10);
    *at++ = static_cast<char>('0' + value % 10);
    return at;
}

} // namespace

std::string ShownSmsDate(const sms_time& time) {
    TimeBuffer text{};
    char* at = PutNumber(text.data(), time.day, true);
    *at++ = '/';
    at = PutNumber(at, time.month, true);
    *at++ = '/';
    at = PutNumber(at, time.year, true);
    return {text.data(), at};
}

std::string ShownSmsClock(const sms_time& time) {
    TimeBuffer text{};
    char* at = PutNumber(text.data(), time.hour, true);
    *at++ = ':';
    at = PutNumber(at, time.minute, true);
    *at++ = '.';
    at = PutNumber(at, time.second, true);
    *at++ = ' ';
    *at++ = '(';
    at = PutNumber(at, time.timezone, false);
    *at++ = ')';
    return {text.data(), at};
}
