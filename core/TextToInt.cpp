#include "core/TextToInt.h"

#include <algorithm>
#include <limits>

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

} // namespace

int32_t TextToInt(std::string_view text) {
    std::size_t pos = 0;
    while (pos < text.size() && IsBlank(text[pos]))
        ++pos;
    bool negative = false;
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) {
        negative = text[pos] == '-';
        ++pos;
    }
    // Accumulated as a magnitude one past INT32_MAX so that INT32_MIN itself fits.
    constexpr int64_t kLimit = int64_t{std::numeric_limits<int32_t>::max()} + 1;
    int64_t magnitude = 0;
    for (; pos < text.size() && IsDigit(text[pos]); ++pos) {
        magnitude = magnitude * 10 + (text[pos] - '0');
        if (magnitude >= kLimit) {
            magnitude = kLimit;
            break;
        }
    }
    if (negative)
        return static_cast<int32_t>(-magnitude);
    return static_cast<int32_t>(std::min(magnitude, kLimit - 1));
}
