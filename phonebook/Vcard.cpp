#include "phonebook/Vcard.h"

#include "core/Utf8.h"

#include <algorithm>
#include <array>

namespace {

constexpr std::size_t kFoldOctets = 75;
constexpr std::string_view kCrLf = "\r\n";

char Upper(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

std::string Uppercase(std::string_view text) {
    std::string upper(text);
    std::ranges::transform(upper, upper.begin(), Upper);
    return upper;
}

std::string_view Trimmed(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
        text.remove_suffix(1);
    return text;
}

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() && Uppercase(text.substr(0, prefix.size())) == prefix;
}

// ---- writing

// RFC 6350 3.4: backslash, comma and semicolon escaped, a line break written as \n.
std::string EscapeText(std::string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\\' || c == ',' || c == ';') {
            out += '\\';
            out += c;
        } else if (c == '\r' || c == '\n') {
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
            out += "\\n";
        } else {
            out += c;
        }
    }
    return out;
}

bool IsToken(std::string_view text) {
    return !text.empty() && std::ranges::all_of(text, [](char c) {
        return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
               c == '-';
    });
}

// The FMT column as an x-name type; a text that is no token goes in quotes, without the
// characters a quoted parameter value cannot hold (and the comma that would split the list).
std::string TypeParameter(std::string_view fmt) {
    if (IsToken(fmt))
        return ";TYPE=X-" + std::string(fmt);
    std::string kept;
    for (char c : fmt) {
        if (c != '"' && c != ',' && static_cast<unsigned char>(c) >= 0x20 && c != 0x7f)
            kept += c;
    }
    return ";TYPE=\"X-" + kept + "\"";
}

// Folds at 75 octets: a continuation line starts with one blank, and no character's UTF-8
// sequence is cut in two.
void AppendLine(std::string& out, std::string_view line) {
    std::size_t limit = kFoldOctets;
    while (line.size() > limit) {
        std::size_t cut = limit;
        while (cut > 1 && (static_cast<unsigned char>(line[cut]) & 0xC0U) == 0x80U)
            --cut;
        out += line.substr(0, cut);
        out += kCrLf;
        out += ' ';
        line.remove_prefix(cut);
        limit = kFoldOctets - 1;
    }
    out += line;
    out += kCrLf;
}

// ---- reading: properties

struct Property {
    std::string name;                                        // upper case, group removed
    std::vector<std::pair<std::string, std::string>> params; // upper-case key, value unquoted
    std::string value;

    std::string Param(std::string_view key) const {
        for (const auto& [k, v] : params) {
            if (k == key)
                return v;
        }
        return {};
    }
};

// Splits at `separator` outside double quotes.
std::vector<std::string_view> SplitOutsideQuotes(std::string_view text, char separator) {
    std::vector<std::string_view> parts;
    bool quoted = false;
    std::size_t from = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '"')
            quoted = !quoted;
        else if (text[i] == separator && !quoted) {
            parts.push_back(text.substr(from, i - from));
            from = i + 1;
        }
    }
    parts.push_back(text.substr(from));
    return parts;
}

std::string Unquoted(std::string_view value) {
    if (value.size() >= 2 && value.front() == '"' && value.back() == '"')
        value = value.substr(1, value.size() - 2);
    return std::string(value);
}

// 2.1 names bare parameters: an encoding, or else a type ("TEL;CELL;PREF:").
std::pair<std::string, std::string> BareParameter(std::string_view part) {
    const std::string upper = Uppercase(Trimmed(part));
    if (upper == "QUOTED-PRINTABLE" || upper == "BASE64" || upper == "8BIT" || upper == "7BIT")
        return {"ENCODING", upper};
    return {"TYPE", std::string(Trimmed(part))};
}

std::optional<Property> ParseProperty(std::string_view line) {
    const std::vector<std::string_view> atColon = SplitOutsideQuotes(line, ':');
    if (atColon.size() < 2)
        return std::nullopt;
    const std::string_view head = atColon.front();
    Property property;
    property.value = std::string(line.substr(head.size() + 1));
    const std::vector<std::string_view> parts = SplitOutsideQuotes(head, ';');
    std::string_view name = Trimmed(parts.front());
    if (const auto dot = name.rfind('.'); dot != std::string_view::npos)
        name.remove_prefix(dot + 1);
    if (name.empty())
        return std::nullopt;
    property.name = Uppercase(name);
    for (std::size_t i = 1; i < parts.size(); ++i) {
        const auto equals = parts[i].find('=');
        if (equals == std::string_view::npos)
            property.params.push_back(BareParameter(parts[i]));
        else
            property.params.emplace_back(Uppercase(Trimmed(parts[i].substr(0, equals))),
                                         Unquoted(Trimmed(parts[i].substr(equals + 1))));
    }
    return property;
}

// ---- reading: lines

struct Line {
    int number = 0; // of its first physical line
    std::string text;
};

bool IsQuotedPrintable(std::string_view line) {
    const std::optional<Property> property = ParseProperty(line);
    return property && Uppercase(property->Param("ENCODING")) == "QUOTED-PRINTABLE";
}

// The next physical line from start, which moves past its end: CRLF, LF or a CR alone (old
// Macintosh exports).
std::string_view NextPhysicalLine(std::string_view text, std::size_t& start) {
    auto end = text.find_first_of("\r\n", start);
    if (end == std::string_view::npos)
        end = text.size();
    const std::string_view physical = text.substr(start, end - start);
    start = end + 1;
    if (end + 1 < text.size() && text[end] == '\r' && text[end + 1] == '\n')
        ++start;
    return physical;
}

// 2.1 folds a line before a blank that stays part of the value; 3.0 and 4.0 insert a line
// break and one blank, which unfolding takes away again. Each card starts out as 3.0 folds.
void NoteFoldStyle(std::string_view line, bool& keepFoldBlank) {
    const std::optional<Property> property = ParseProperty(line);
    if (property && property->name == "BEGIN")
        keepFoldBlank = false;
    else if (property && property->name == "VERSION")
        keepFoldBlank = Trimmed(property->value) == "2.1";
}

// Physical lines joined into logical ones: a line starting with a blank or a tab continues the
// one before (RFC 6350 3.2), and a quoted-printable value ending in '=' goes on in the next line.
std::vector<Line> LogicalLines(std::string_view text, int& lastLine) {
    std::vector<Line> lines;
    bool softBreak = false;
    bool keepFoldBlank = false;
    int number = 0;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::string_view physical = NextPhysicalLine(text, start);
        ++number;
        if (softBreak) {
            lines.back().text += physical;
        } else if (!lines.empty() && !lines.back().text.empty() && !physical.empty() &&
                   (physical.front() == ' ' || physical.front() == '\t')) {
            lines.back().text += keepFoldBlank ? physical : physical.substr(1);
        } else {
            if (!lines.empty())
                NoteFoldStyle(lines.back().text, keepFoldBlank);
            lines.push_back({number, std::string(physical)});
        }
        std::string& last = lines.back().text;
        softBreak = !last.empty() && last.back() == '=' && IsQuotedPrintable(last);
        if (softBreak)
            last.pop_back();
    }
    lastLine = number;
    return lines;
}

// ---- reading: values

int HexValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    const char upper = Upper(c);
    return upper >= 'A' && upper <= 'F' ? upper - 'A' + 10 : -1;
}

// Each escape character followed by two hex digits as the byte they give: '=' in
// quoted-printable, '%' in a URI.
std::string HexEscapesDecoded(std::string_view text, char escape) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == escape && i + 2 < text.size() && HexValue(text[i + 1]) >= 0 &&
            HexValue(text[i + 2]) >= 0) {
            out += static_cast<char>(HexValue(text[i + 1]) * 16 + HexValue(text[i + 2]));
            i += 2;
        } else {
            out += text[i];
        }
    }
    return out;
}

// The Windows code page's letters in 0x80-0x9F; elsewhere it is ISO-8859-1.
constexpr std::array<char16_t, 32> kCp1252High = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

std::string EightBitToUtf8(std::string_view text, bool windows) {
    std::string out;
    for (char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        const bool high = windows && byte >= 0x80 && byte <= 0x9F;
        append_utf8(out, high ? kCp1252High[byte - 0x80U] : char32_t{byte});
    }
    return out;
}

// The value as UTF-8 after its encoding and charset; nothing for an unknown charset.
std::optional<std::string> DecodedValue(const Property& property) {
    std::string raw = property.value;
    if (Uppercase(property.Param("ENCODING")) == "QUOTED-PRINTABLE")
        raw = HexEscapesDecoded(raw, '=');
    const std::string charset = Uppercase(property.Param("CHARSET"));
    if (charset.empty() || charset == "UTF-8" || charset == "UTF8")
        return is_utf8(raw) ? raw : EightBitToUtf8(raw, true); // old phones wrote their own code
    if (charset == "ISO-8859-1" || charset == "LATIN1" || charset == "US-ASCII")
        return EightBitToUtf8(raw, false);
    if (charset == "WINDOWS-1252" || charset == "CP1252")
        return EightBitToUtf8(raw, true);
    return std::nullopt;
}

std::string UnescapedText(std::string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\' || i + 1 == text.size()) {
            out += text[i];
            continue;
        }
        const char next = text[++i];
        if (next == 'n' || next == 'N')
            out += '\n';
        else if (next == '\\' || next == ',' || next == ';')
            out += next;
        else {
            out += '\\';
            out += next;
        }
    }
    return out;
}

// N's components (family; given; additional; prefixes; suffixes) as a name people write.
std::string NameFromN(std::string_view value) {
    std::vector<std::string> parts;
    std::size_t from = 0;
    for (std::size_t i = 0; i <= value.size(); ++i) {
        if (i < value.size() && value[i] == '\\') {
            ++i;
            continue;
        }
        if (i == value.size() || value[i] == ';') {
            parts.push_back(UnescapedText(value.substr(from, i - from)));
            from = i + 1;
        }
    }
    parts.resize(5);
    std::string name;
    for (const std::size_t index : {3U, 1U, 2U, 0U, 4U}) {
        const std::string_view part = Trimmed(parts[index]);
        if (part.empty())
            continue;
        if (!name.empty())
            name += ' ';
        name += part;
    }
    return name;
}

// A text value as it stands; a tel URI (4.0) without its scheme and its parameters,
// percent-decoded, and without the visual separators RFC 3966 allows in it.
std::string NumberFrom(std::string_view value) {
    if (!StartsWithNoCase(Trimmed(value), "TEL:"))
        return std::string(value);
    value = Trimmed(value).substr(4);
    value = value.substr(0, value.find(';'));
    std::string number;
    for (char c : valid_utf8(HexEscapesDecoded(value, '%'))) {
        if (c != '-' && c != '.' && c != '(' && c != ')')
            number += c;
    }
    return number;
}

// The first TYPE value that is an x-name, without its "X-"; nothing when there is none.
std::optional<std::string> XType(const Property& property) {
    for (const auto& [key, value] : property.params) {
        if (key != "TYPE")
            continue;
        std::string_view rest = value;
        for (std::string_view item : SplitOutsideQuotes(rest, ',')) {
            item = Trimmed(item);
            if (StartsWithNoCase(item, "X-"))
                return std::string(item.substr(2));
        }
    }
    return std::nullopt;
}

// ---- reading: the file's encoding

// UTF-16 code units from two bytes each, in the byte order given; an odd last byte is one unit
// of its own, so that it shows as U+FFFD.
std::string Utf16ToUtf8(std::string_view bytes, bool bigEndian) {
    const auto unit = [&](std::size_t i) -> char32_t {
        if (i + 1 >= bytes.size())
            return 0xFFFF; // no UTF-16 unit: replaced below
        const auto a = static_cast<unsigned char>(bytes[i]);
        const auto b = static_cast<unsigned char>(bytes[i + 1]);
        return bigEndian ? (a << 8U) | b : (b << 8U) | a;
    };
    std::string out;
    for (std::size_t i = 0; i < bytes.size(); i += 2) {
        char32_t cp = unit(i);
        if (cp >= 0xD800 && cp <= 0xDBFF) {
            const char32_t low = unit(i + 2);
            if (low >= 0xDC00 && low <= 0xDFFF) {
                cp = 0x10000 + ((cp - 0xD800) << 10U) + (low - 0xDC00);
                i += 2;
            }
        }
        append_utf8(out, cp == 0xFFFF || (cp >= 0xD800 && cp <= 0xDFFF) ? kReplacementChar : cp);
    }
    return out;
}

// The byte order of UTF-16 text written without a byte order mark, told by its first units: a
// vCard begins with ASCII ("BEGIN:VCARD"), whose units have one zero byte, on the same side in
// each; text in UTF-8 never holds a zero byte. Nothing when the start is not such text.
std::optional<bool> UnmarkedUtf16BigEndian(std::string_view text) {
    constexpr std::size_t kUnitsLooked = 8;
    const std::size_t units = std::min(kUnitsLooked, text.size() / 2);
    if (units == 0)
        return std::nullopt;
    const auto allAscii = [&](std::size_t zeroSide) {
        for (std::size_t i = 0; i < units; ++i) {
            const char zero = text[2 * i + zeroSide];
            const auto other = static_cast<unsigned char>(text[2 * i + 1 - zeroSide]);
            if (zero != '\0' || other == 0 || other >= 0x80)
                return false;
        }
        return true;
    };
    if (allAscii(0))
        return true;
    if (allAscii(1))
        return false;
    return std::nullopt;
}

// The file's text as UTF-8 bytes: without a UTF-8 byte order mark, and UTF-16 (marked by its
// byte order mark, or unmarked ASCII at its start, either order) converted. Other files are
// taken as they are.
std::string AsUtf8(std::string_view text) {
    if (text.starts_with("\xEF\xBB\xBF"))
        return std::string(text.substr(3));
    if (text.starts_with("\xFF\xFE"))
        return Utf16ToUtf8(text.substr(2), false);
    if (text.starts_with("\xFE\xFF"))
        return Utf16ToUtf8(text.substr(2), true);
    if (const auto bigEndian = UnmarkedUtf16BigEndian(text))
        return Utf16ToUtf8(text, *bigEndian);
    return std::string(text);
}

struct Card {
    std::string formattedName;
    std::string nName;
    std::vector<PhonebookRow> rows; // POS, name and FMT filled when the card ends
};

class Reader {
public:
    VcardReadResult Read(std::string_view text) {
        if (text.size() > kMaxVcardFileSize)
            return Fail(1, "the file is too large for a phonebook");
        int lastLine = 0;
        for (const Line& line : LogicalLines(AsUtf8(text), lastLine)) {
            if (Trimmed(line.text).empty())
                continue;
            if (!Take(line))
                return result;
        }
        if (inCard)
            return Fail(lastLine, "END:VCARD missing at the end of the file");
        if (cards == 0)
            return Fail(std::max(lastLine, 1), "no vCard in the file");
        return result;
    }

private:
    VcardReadResult Fail(int line, std::string message) {
        result.rows.clear();
        result.error = VcardError{line, std::move(message)};
        return result;
    }

    bool Take(const Line& line) {
        const std::optional<Property> property = ParseProperty(line.text);
        if (!inCard) {
            if (property && property->name == "BEGIN" &&
                Uppercase(Trimmed(property->value)) == "VCARD") {
                inCard = true;
                card = Card{};
                return true;
            }
            Fail(line.number, "not a vCard: BEGIN:VCARD expected");
            return false;
        }
        if (!property) {
            Fail(line.number, "not a vCard property: ':' missing");
            return false;
        }
        return TakeProperty(*property, line.number);
    }

    bool TakeProperty(const Property& property, int number) {
        if (property.name == "BEGIN") {
            Fail(number, "BEGIN inside a card");
            return false;
        }
        if (property.name == "END")
            return EndCard();
        if (property.name == "VERSION") {
            const std::string_view version = Trimmed(property.value);
            if (version != "2.1" && version != "3.0" && version != "4.0") {
                Fail(number, "unsupported vCard version " + std::string(version));
                return false;
            }
            return true;
        }
        if (property.name != "FN" && property.name != "N" && property.name != "TEL")
            return true; // not kept in the phonebook
        const std::optional<std::string> value = DecodedValue(property);
        if (!value) {
            Fail(number, "unsupported CHARSET " + property.Param("CHARSET"));
            return false;
        }
        if (property.name == "FN")
            card.formattedName = UnescapedText(*value);
        else if (property.name == "N")
            card.nName = NameFromN(*value);
        else
            AddNumber(property, UnescapedText(*value));
        return true;
    }

    void AddNumber(const Property& property, const std::string& value) {
        PhonebookRow row;
        row[kNumberColumn] = NumberFrom(value);
        const std::optional<std::string> type = XType(property);
        if (type) // a parameter has no charset of its own
            row[kTypeColumn] = is_utf8(*type) ? *type : EightBitToUtf8(*type, true);
        else
            row[kTypeColumn] = !row[kNumberColumn].empty() && row[kNumberColumn][0] == '+'
                                   ? "International"
                                   : "National";
        card.rows.push_back(std::move(row));
    }

    bool EndCard() {
        inCard = false;
        ++cards;
        if (card.rows.empty()) { // address-book exports hold such cards: not for a phone
            ++result.skippedCards;
            return true;
        }
        const std::string& name = card.formattedName.empty() ? card.nName : card.formattedName;
        for (PhonebookRow& row : card.rows) {
            row[kPosColumn] = "NEW";
            row[kNameColumn] = name;
            result.rows.push_back(std::move(row));
        }
        return true;
    }

    VcardReadResult result;
    Card card;
    bool inCard = false;
    int cards = 0;
};

} // namespace

std::string WriteVcards(std::span<const PhonebookRow> rows) {
    std::string out;
    for (const PhonebookRow& row : rows) {
        AppendLine(out, "BEGIN:VCARD");
        AppendLine(out, "VERSION:3.0");
        AppendLine(out, "FN:" + EscapeText(row[kNameColumn]));
        AppendLine(out, "N:" + EscapeText(row[kNameColumn]) + ";;;;");
        AppendLine(out,
                   "TEL" + TypeParameter(row[kTypeColumn]) + ":" + EscapeText(row[kNumberColumn]));
        AppendLine(out, "X-TELVANE-POS:" + EscapeText(row[kPosColumn]));
        AppendLine(out, "END:VCARD");
    }
    return out;
}

VcardReadResult ReadVcards(std::string_view text) {
    return Reader().Read(text);
}
