#include "phonebook/PhonebookCharset.h"

#include "core/Utf8.h"
#include "pdu/Gsm7Alphabet.h"
#include "pdu/HexText.h"
#include "pdu/UserData.h"

#include <algorithm>
#include <cstdint>
#include <iterator>

namespace {

// The quoted texts of a line, in order.
std::vector<std::string> QuotedTexts(std::string_view line) {
    std::vector<std::string> texts;
    for (std::size_t open = line.find('"'); open != std::string_view::npos;) {
        const std::size_t close = line.find('"', open + 1);
        if (close == std::string_view::npos)
            break;
        texts.emplace_back(line.substr(open + 1, close - open - 1));
        open = line.find('"', close + 1);
    }
    return texts;
}

bool IsValidUtf8(std::string_view text) {
    for (std::size_t pos = 0; pos < text.size();) {
        const std::size_t start = pos;
        if (next_code_point(text, pos) == kReplacementChar &&
            text.substr(start, pos - start) != "\xEF\xBF\xBD")
            return false;
    }
    return true;
}

// UCS2 hex as the phone writes it: read as the user data of a UCS2 message is.
std::optional<std::string> Ucs2ToUtf8(std::string_view hex) {
    if (hex.empty() || hex.size() % 4 != 0 || !std::ranges::all_of(hex, is_hex_digit))
        return std::nullopt;
    constexpr int kUcs2Dcs = 0x08;
    return decode_ud(hex, static_cast<int>(hex.size() / 2), kUcs2Dcs);
}

std::string BytesAs(std::string_view text, std::string_view charset) {
    if (charset == "GSM") {
        std::vector<std::uint8_t> septets;
        std::ranges::transform(text, std::back_inserter(septets),
                               [](char c) { return static_cast<std::uint8_t>(c) & 0x7F; });
        return gsm7_to_utf8(septets);
    }
    std::string out;
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        append_utf8(out, charset == "IRA" && byte >= 0x80 ? U'?' : char32_t{byte});
    }
    return out;
}

bool IsNumberCharacter(char c) {
    return (c >= '0' && c <= '9') || c == '+' || c == '*' || c == '#' || c == 'p' || c == 'w' ||
           c == 'P' || c == 'W';
}

} // namespace

std::optional<std::string> ParseCharsetAnswer(const std::vector<std::string>& lines) {
    for (const std::string& line : lines) {
        if (!line.starts_with("+CSCS:") || line.find('(') != std::string::npos)
            continue;
        const auto texts = QuotedTexts(line);
        if (!texts.empty() && !texts.front().empty())
            return texts.front();
    }
    return std::nullopt;
}

bool OffersUcs2(const std::vector<std::string>& lines) {
    for (const std::string& line : lines) {
        if (!line.starts_with("+CSCS:"))
            continue;
        const auto texts = QuotedTexts(line);
        if (std::ranges::find(texts, kUcs2Charset) != texts.end())
            return true;
    }
    return false;
}

std::string DecodePhonebookName(std::string_view text, std::string_view charset) {
    if (charset == kUcs2Charset) {
        if (auto decoded = Ucs2ToUtf8(text))
            return std::move(*decoded);
        return std::string(text);
    }
    if (IsValidUtf8(text))
        return std::string(text);
    return BytesAs(text, charset);
}

std::string DecodePhonebookNumber(std::string_view text, std::string_view charset) {
    if (charset == kUcs2Charset) {
        const auto decoded = Ucs2ToUtf8(text);
        if (decoded && std::ranges::all_of(*decoded, IsNumberCharacter))
            return *decoded;
        return std::string(text);
    }
    return DecodePhonebookName(text, charset);
}

void DecodePhonebookRow(PhonebookRow& row, std::string_view charset) {
    row[kNameColumn] = DecodePhonebookName(row[kNameColumn], charset);
    row[kNumberColumn] = DecodePhonebookNumber(row[kNumberColumn], charset);
}
