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
