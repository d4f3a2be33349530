#include "core/TextHelpers.h"

#include <algorithm>
#include <climits>

namespace {

std::size_t Count(std::string_view source, int n) {
    if (n < 1)
        return 0;
    return std::min(source.size(), static_cast<std::size_t>(n));
}

} // namespace

int FindChar(std::string_view text, char ch) {
    const auto index = text.find(ch);
    if (index == std::string_view::npos || index > INT_MAX)
        return -1;
    return static_cast<int>(index);
}

std::string CopyHead(std::string_view source, int n) {
    return std::string(source.substr(0, Count(source, n)));
}

void CopyHead(std::string& destination, std::string_view source, int n) {
    destination = CopyHead(source, n);
}

std::string CopyTail(std::string_view source, int n) {
    return std::string(source.substr(source.size() - Count(source, n)));
}

void CopyTail(std::string& destination, std::string_view source, int n) {
    destination = CopyTail(source, n);
}

void StripLineEnd(std::string& line) {
    std::erase_if(line, [](char c) { return c == '\r' || c == '\n'; });
}

std::string CutToCharacters(std::string_view text, std::size_t limit) {
    const auto isContinuation = [](char c) {
        return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
    };
    std::size_t count = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (isContinuation(text[i]))
            continue;
        if (count == limit)
            return std::string(text.substr(0, i));
        ++count;
    }
    return std::string(text);
}
