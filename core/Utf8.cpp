#include "core/Utf8.h"

namespace {

bool is_continuation(unsigned char c) {
    return (c & 0xC0) == 0x80;
}

bool is_surrogate(char32_t cp) {
    return cp >= 0xD800 && cp <= 0xDFFF;
}

// Length of the sequence a lead byte starts and the payload bits it carries; 0 for a byte that
// cannot start one.
std::size_t sequence_length(unsigned char lead, char32_t& bits) {
    if (lead < 0x80) {
        bits = lead;
        return 1;
    }
    if ((lead & 0xE0) == 0xC0) {
        bits = lead & 0x1Fu;
        return 2;
    }
    if ((lead & 0xF0) == 0xE0) {
        bits = lead & 0x0Fu;
        return 3;
    }
    if ((lead & 0xF8) == 0xF0) {
        bits = lead & 0x07u;
        return 4;
    }
    return 0;
}

} // namespace

char32_t next_code_point(std::string_view text, std::size_t& pos) {
    static constexpr char32_t kSmallest[] = {0, 0, 0x80, 0x800, 0x10000};
    char32_t cp = 0;
    const std::size_t length = sequence_length(static_cast<unsigned char>(text[pos]), cp);
    if (length == 0 || pos + length > text.size()) {
        ++pos;
        return kReplacementChar;
    }
    for (std::size_t i = 1; i < length; ++i) {
        const auto c = static_cast<unsigned char>(text[pos + i]);
        if (!is_continuation(c)) {
            ++pos;
            return kReplacementChar;
        }
        cp = (cp << 6) | (c & 0x3Fu);
    }
    if (cp < kSmallest[length] || cp > 0x10FFFF || is_surrogate(cp)) {
        ++pos;
        return kReplacementChar;
    }
    pos += length;
    return cp;
}

void append_utf8(std::string& out, char32_t cp) {
    if (cp > 0x10FFFF || is_surrogate(cp)) {
        cp = kReplacementChar;
    }
    auto put = [&out](char32_t byte) { out.push_back(static_cast<char>(byte)); };
    if (cp < 0x80) {
        put(cp);
    } else if (cp < 0x800) {
        put(0xC0 | (cp >> 6));
        put(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        put(0xE0 | (cp >> 12));
        put(0x80 | ((cp >> 6) & 0x3F));
        put(0x80 | (cp & 0x3F));
    } else {
        put(0xF0 | (cp >> 18));
        put(0x80 | ((cp >> 12) & 0x3F));
        put(0x80 | ((cp >> 6) & 0x3F));
        put(0x80 | (cp & 0x3F));
    }
}

std::string valid_utf8(std::string_view text) {
    if (is_utf8(text)) {
        return std::string(text);
    }
    std::string out;
    out.reserve(text.size() + 8);
    for (std::size_t pos = 0; pos < text.size();) {
        append_utf8(out, next_code_point(text, pos));
    }
    return out;
}

bool is_utf8(std::string_view text) {
    std::size_t pos = 0;
    while (pos < text.size()) {
        const std::size_t start = pos;
        if (next_code_point(text, pos) == kReplacementChar &&
            text.substr(start, 3) != "\xEF\xBF\xBD")
            return false;
    }
    return true;
}
