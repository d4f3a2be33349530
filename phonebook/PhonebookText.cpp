#include "phonebook/PhonebookText.h"

#include <algorithm>
#include <cctype>
#include <limits>

namespace {

constexpr std::size_t kMinStripped = 3;
constexpr std::size_t kMaxStripped = 999;

bool IsContinuation(char c) {
    return (static_cast<unsigned char>(c) & 0xC0U) == 0x80U;
}

std::size_t CharacterCount(std::string_view text) {
    return static_cast<std::size_t>(
        std::ranges::count_if(text, [](char c) { return !IsContinuation(c); }));
}

// Bytes taken by the first character.
std::size_t FirstCharacterSize(std::string_view text) {
    std::size_t size = 1;
    while (size < text.size() && IsContinuation(text[size]))
        ++size;
    return size;
}

// Bytes taken by the last character.
std::size_t LastCharacterSize(std::string_view text) {
    std::size_t size = 1;
    while (size < text.size() && IsContinuation(text[text.size() - size]))
        ++size;
    return size;
}

} // namespace

void StripQuotes(std::string& text) {
    const std::size_t count = CharacterCount(text);
    if (count < kMinStripped || count > kMaxStripped)
        return;
    text.erase(text.size() - LastCharacterSize(text));
    text.erase(0, FirstCharacterSize(text));
}

std::string CutToCharacters(std::string_view text, std::size_t limit) {
    std::size_t count = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (IsContinuation(text[i]))
            continue;
        if (count == limit)
            return std::string(text.substr(0, i));
        ++count;
    }
    return std::string(text);
}

int LeadingInt(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i])) != 0)
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        negative = text[i++] == '-';
    long long value = 0;
    constexpr long long kLimit = static_cast<long long>(std::numeric_limits<int>::max()) + 1;
    for (; i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])) != 0; ++i)
        value = std::min(value * 10 + (text[i] - '0'), kLimit);
    if (negative)
        value = -value;
    return static_cast<int>(std::clamp<long long>(value, std::numeric_limits<int>::min(),
                                                  std::numeric_limits<int>::max()));
}
