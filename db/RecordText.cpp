#include "db/RecordText.h"

#include "db/CDaoRecordset.h"

#include <algorithm>
#include <cctype>

std::string Truncated(std::string_view text) {
    std::size_t characters = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const bool startsCharacter = (static_cast<unsigned char>(text[i]) & 0xC0U) != 0x80U;
        if (startsCharacter && ++characters > kDbTextCapacity)
            return std::string(text.substr(0, i));
    }
    return std::string(text);
}

std::string LiteralPattern(std::string_view value) {
    std::string pattern;
    for (const char c : value) {
        if (c == '\\' || c == '%' || c == '_')
            pattern += '\\';
        pattern += c;
    }
    return pattern;
}

bool EqualNoCase(std::string_view a, std::string_view b) {
    return std::ranges::equal(
        a, b, [](unsigned char x, unsigned char y) { return std::tolower(x) == std::tolower(y); });
}
