#include "phonebook/PhonebookCharset.h"

#include "core/Utf8.h"
#include "pdu/Gsm7Alphabet.h"
#include "pdu/HexText.h"
#include "pdu/UserData.h"
#include "serial/AtFields.h"

#include <algorithm>
#include <cstdint>
#include <iterator>

namespace {

// The sets a "+CSCS:" line names: the one quoted set of the read answer, or the quoted sets of
// the list that answers the test command.
struct NamedCharsets {
    bool listed = false;
    std::vector<std::string> sets;
};

std::optional<NamedCharsets> ReadCharsetLine(std::string_view line) {
    AtFields fields(line);
    if (!fields.Begin("+CSCS:"))
        return std::nullopt;
    NamedCharsets named;
    named.listed = fields.OpenList();
    while (std::optional<std::string> set = fields.NextString()) {
        named.sets.push_back(std::move(*set));
        if (!named.listed)
            break;
    }
    return named;
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
        const std::optional<NamedCharsets> named = ReadCharsetLine(line);
        if (named && !named->listed && !named->sets.empty() && !named->sets.front().empty())
            return named->sets.front();
    }
    return std::nullopt;
}

bool OffersUcs2(const std::vector<std::string>& lines) {
    for (const std::string& line : lines) {
        const std::optional<NamedCharsets> named = ReadCharsetLine(line);
        if (named && std::ranges::find(named->sets, kUcs2Charset) != named->sets.end())
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
