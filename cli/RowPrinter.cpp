#include "cli/RowPrinter.h"

#include "core/ByteWords.h"
#include "core/Utf8.h"
#include "sms/SmsExport.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <numeric>
#include <span>

// CharCount with ASCII, most of any text, found eight bytes at a time and counted a byte a
// character (every cell of aligned text is counted).
std::size_t CountedChars(std::string_view text) {
    if (bytewords::IsAscii(text))
        return text.size();
    std::size_t count = 0;
    for (std::size_t pos = 0; pos < text.size(); ++count) {
        if (static_cast<unsigned char>(text[pos]) < 0x80U)
            ++pos;
        else
            next_code_point(text, pos);
    }
    return count;
}

namespace {

// Columns of the text form are apart by this many blanks.
constexpr std::size_t kColumnGap = 2;

// Nonzero when some byte of the word must be escaped in a JSON string, or is not ASCII.
constexpr std::uint64_t JsonFlagged(std::uint64_t word) {
    // A byte from 0x7F up: its top bit, or the one adding 1 sets. Where no byte has its top bit
    // set, adding 1 to every byte carries into none of the others.
    const std::uint64_t fromDelete = (word | (word + bytewords::kOnes)) & bytewords::kTops;
    return fromDelete | bytewords::BytesBelow(word, 0x20U) | bytewords::BytesEqual(word, '"') |
           bytewords::BytesEqual(word, '\\');
}

// A text with no byte to escape in a JSON string.
[[gnu::always_inline]] inline bool IsPlainJson(std::string_view text) {
    return bytewords::NoneFlagged(text, ' ', JsonFlagged);
}

// A byte that stands for itself in a JSON string: printable ASCII but the quote and the backslash.
bool IsPlainAscii(char c) {
    return c >= 0x20 && c < 0x7F && c != '"' && c != '\\';
}

// Where the run of characters from `pos` that a JSON string holds as they are ends: printable
// ASCII but the quote and the backslash, and well-formed sequences of more bytes (U+FFFD
// written out among them).
std::size_t PlainJsonRunEnd(std::string_view text, std::size_t pos) {
    while (pos < text.size()) {
        const auto c = static_cast<unsigned char>(text[pos]);
        if (c < 0x80U) {
            if (!IsPlainAscii(static_cast<char>(c)))
                break;
            ++pos;
            continue;
        }
        std::size_t next = pos;
        if (next_code_point(text, next) == kReplacementChar &&
            text.substr(pos, 3) != "\xEF\xBF\xBD")
            break;
        pos = next;
    }
    return pos;
}

// The fields of a CSV line from `column` on, and its line feed.
template <typename Cell>
void AppendQuotedRest(std::string& line, std::span<const Cell> cells, std::size_t column) {
    for (; column < cells.size(); ++column) {
        if (column > 0)
            line += ',';
        AppendCsvField(line, cells[column]);
    }
    line += '\n';
}

// Copies the text to `at`; where the next byte goes. An empty view may have no data at all.
// Most cells are short: up to 16 bytes they go as two moves of a fixed size that overlap, with no
// call and no byte read outside the text.
[[gnu::always_inline]] inline char* Put(char* at, std::string_view text) {
    const char* const from = text.data();
    const std::size_t size = text.size();
    if (size >= 8 && size <= 16) {
        std::memcpy(at, from, 8);
        std::memcpy(at + size - 8, from + size - 8, 8);
    } else if (size >= 4 && size < 8) {
        std::memcpy(at, from, 4);
        std::memcpy(at + size - 4, from + size - 4, 4);
    } else if (size > 16) {
        std::memcpy(at, from, size);
    } else if (size > 0) {
        at[0] = from[0];
        at[size / 2] = from[size / 2];
        at[size - 1] = from[size - 1];
    }
    return at + size;
}

// Room a text line keeps past its end while it is written, so that a short run of blanks goes in
// as one move of a fixed size; what lands past the line is cut off with the room.
constexpr std::size_t kBlankRoom = 16;

// Writes `count` blanks at `at`, with kBlankRoom bytes of room past them; where the next byte goes.
char* PutBlanks(char* at, std::size_t count) {
    static constexpr char kBlanks[kBlankRoom + 1] = "                ";
    if (count <= kBlankRoom)
        std::memcpy(at, kBlanks, kBlankRoom);
    else
        std::memset(at, ' ', count);
    return at + count;
}

// One line of the text form: each cell padded to its column's width (in characters), the
// last one not, blanks at the end of the line left out; line breaks and tabs inside a cell show
// as spaces. Written in at one growth of the line.
void MeasuredTextLine(std::string& line, std::span<const MeasuredCell> cells,
                      std::span<const std::size_t> widths) {
    // No cell is padded past its column's width and the gap: the line grows once, to that bound,
    // and is cut back to what was written.
    const std::size_t start = line.size();
    const std::size_t last = cells.empty() ? 0 : cells.size() - 1;
    std::size_t bound = 1 + kBlankRoom;
    for (std::size_t column = 0; column < cells.size(); ++column)
        bound += cells[column].text.size() + (column < last ? widths[column] + kColumnGap : 0);
    line.resize(start + bound);
    char* const first = line.data() + start;
    char* at = first;
    for (std::size_t column = 0; column < cells.size(); ++column) {
        const MeasuredCell& cell = cells[column];
        char* const cellStart = at;
        at = Put(at, cell.text);
        if (!cell.plain)
            std::replace_if(
                cellStart, at, [](char c) { return c == '\n' || c == '\r' || c == '\t'; }, ' ');
        if (column < last)
            at = PutBlanks(at, std::max(widths[column], cell.chars) - cell.chars + kColumnGap);
    }
    while (at > first && at[-1] == ' ')
        --at;
    *at++ = '\n';
    line.resize(static_cast<std::size_t>(at - line.data()));
}

// The fields without quotes, most of any listing, go in with no call and no growth check a
// field; from the first field that needs them on, field by field.
template <typename Cell> void CsvLineOf(std::string& line, std::span<const Cell> cells) {
    // The commas and the line feed, and the fields.
    const std::size_t length =
        std::accumulate(cells.begin(), cells.end(), cells.empty() ? std::size_t{1} : cells.size(),
                        [](std::size_t sum, const Cell& cell) { return sum + cell.size(); });
    const std::size_t start = line.size();
    line.resize(start + length);
    char* at = line.data() + start;
    for (std::size_t column = 0; column < cells.size(); ++column) {
        char* const fieldStart = at;
        if (column > 0)
            *at++ = ',';
        bool quoted = false;
        for (const char c : cells[column]) {
            *at++ = c;
            quoted |= kCsvQuotedCharacters[static_cast<unsigned char>(c)];
        }
        if (quoted) {
            line.resize(static_cast<std::size_t>(fieldStart - line.data()));
            AppendQuotedRest(line, cells, column);
            return;
        }
    }
    *at = '\n';
}

// The quoted value of a JSON member found not plain: escaped, a code point at a time where it
// must be.
void AppendEscapedJson(std::string& json, std::string_view text) {
    constexpr std::array<char, 16> kHex = {'0', '1', '2', '3', '4', '5', '6', '7',
                                           '8', '9', 'a', 'b', 'c', 'd', 'e', 'f'};
    json += '"';
    // Read by code points, so that bytes that are not UTF-8 come out as U+FFFD and the line
    // stays valid JSON whatever a log file held. Runs of printable ASCII and well-formed UTF-8,
    // most of any text, are copied as they stand.
    for (std::size_t pos = 0; pos < text.size();) {
        const std::size_t run = pos;
        pos = PlainJsonRunEnd(text, pos);
        json.append(text.substr(run, pos - run));
        if (pos == text.size())
            break;
        const char32_t cp = next_code_point(text, pos);
        if (cp == U'"' || cp == U'\\') {
            json += '\\';
            json += static_cast<char>(cp);
        } else if (cp == U'\n') {
            json += "\\n";
        } else if (cp == U'\r') {
            json += "\\r";
        } else if (cp == U'\t') {
            json += "\\t";
        } else if (cp < 0x20U || cp == 0x7FU) {
            json += "\\u00";
            json += kHex[cp >> 4U];
            json += kHex[cp & 0x0FU];
        } else {
            append_utf8(json, cp);
        }
    }
    json += '"';
}

// Copies a value that a JSON string holds byte for byte (printable ASCII but the quote and the
// backslash, or that and well-formed UTF-8) and says where the next byte goes; null, with
// nothing written that counts, when it must be escaped. A value of 4 to 16 bytes, most of a
// row's, is tested on the same words Put copies it with.
[[gnu::always_inline]] inline char* PutStanding(char* at, std::string_view text) {
    const char* const from = text.data();
    const std::size_t size = text.size();
    bool plain = false;
    if (size >= 8 && size <= 16) {
        plain = (JsonFlagged(bytewords::Load8(from)) |
                 JsonFlagged(bytewords::Load8(from + size - 8))) == 0;
    } else if (size >= 4 && size < 8) {
        std::uint32_t head = 0;
        std::uint32_t tail = 0;
        std::memcpy(&head, from, sizeof head);
        std::memcpy(&tail, from + size - 4, sizeof tail);
        plain = JsonFlagged(head | (std::uint64_t{tail} << 32U)) == 0;
    } else {
        plain = IsPlainJson(text);
    }
    return plain || PlainJsonRunEnd(text, 0) == size ? Put(at, text) : nullptr;
}

// The members whose value needs no escape, most of any listing, go in at one growth of the line;
// a value that does is escaped on its own, and the members after it go in at one growth again.
template <typename Cell>
void KeyedJsonLine(std::string& line, std::span<const std::string> keys,
                   std::span<const Cell> cells) {
    const auto value = [&cells](std::size_t column) {
        return column < cells.size() ? std::string_view(cells[column]) : std::string_view();
    };
    if (keys.empty()) {
        line += "{}\n";
        return;
    }
    for (std::size_t column = 0;;) {
        std::size_t length = 2;
        for (std::size_t rest = column; rest < keys.size(); ++rest)
            length += keys[rest].size() + value(rest).size() + 2;
        const std::size_t start = line.size();
        line.resize(start + length);
        char* at = line.data() + start;
        for (; column < keys.size(); ++column) {
            char* const member = at;
            at = Put(at, keys[column]);
            *at++ = '"';
            char* const end = PutStanding(at, value(column));
            if (end == nullptr) {
                at = member;
                break;
            }
            at = end;
            *at++ = '"';
        }
        if (column == keys.size()) {
            *at++ = '}';
            *at = '\n';
            return;
        }
        line.resize(static_cast<std::size_t>(at - line.data()));
        line += keys[column];
        AppendEscapedJson(line, value(column));
        ++column;
    }
}

} // namespace

void AppendTextLine(std::string& line, std::span<const std::string> cells,
                    std::span<const std::size_t> widths) {
    std::vector<MeasuredCell> measured(cells.size());
    std::ranges::transform(cells, measured.begin(),
                           [](const std::string& cell) { return Measure(cell); });
    MeasuredTextLine(line, measured, widths);
}

void AppendTextLine(std::string& line, std::span<const MeasuredCell> cells,
                    std::span<const std::size_t> widths) {
    MeasuredTextLine(line, cells, widths);
}

void Widen(std::vector<std::size_t>& widths, std::span<const std::string> cells) {
    for (std::size_t column = 0; column < cells.size() && column < widths.size(); ++column)
        widths[column] = std::max(widths[column], CountedChars(cells[column]));
}

void AppendCsvLine(std::string& line, std::span<const std::string> cells) {
    CsvLineOf(line, cells);
}

void AppendCsvLine(std::string& line, std::span<const std::string_view> cells) {
    CsvLineOf(line, cells);
}

void AppendKeyedJsonLine(std::string& line, std::span<const std::string> keys,
                         std::span<const std::string> cells) {
    KeyedJsonLine(line, keys, cells);
}

void AppendKeyedJsonLine(std::string& line, std::span<const std::string> keys,
                         std::span<const std::string_view> cells) {
    KeyedJsonLine(line, keys, cells);
}

std::vector<std::string> JsonKeys(std::span<const std::string> headings) {
    std::vector<std::string> keys;
    keys.reserve(headings.size());
    for (std::size_t column = 0; column < headings.size(); ++column) {
        std::string key = column > 0 ? "," : "{";
        AppendJsonString(key, headings[column]);
        key += ':';
        keys.push_back(std::move(key));
    }
    return keys;
}

void AppendJsonLine(std::string& line, std::span<const std::string> headings,
                    std::span<const std::string> cells) {
    AppendKeyedJsonLine(line, JsonKeys(headings), cells);
}

namespace {

std::string TextLine(const std::vector<std::string>& cells,
                     const std::vector<std::size_t>& widths) {
    std::string line;
    AppendTextLine(line, cells, widths);
    return line;
}

std::string TextTable(const Table& table, bool header) {
    std::vector<std::size_t> widths(table.headings.size(), 0);
    Widen(widths, table.headings);
    for (const auto& row : table.rows)
        Widen(widths, row);
    std::string text = header ? TextLine(table.headings, widths) : std::string();
    for (const auto& row : table.rows)
        text += TextLine(row, widths);
    return text;
}

std::string CsvLine(const std::vector<std::string>& cells) {
    std::string line;
    AppendCsvLine(line, cells);
    return line;
}

std::string CsvTable(const Table& table, bool header) {
    std::string text = header ? CsvLine(table.headings) : std::string();
    for (const auto& row : table.rows)
        text += CsvLine(row);
    return text;
}

std::string JsonTable(const Table& table) {
    std::string text;
    for (const auto& row : table.rows)
        AppendJsonLine(text, table.headings, row);
    return text;
}

} // namespace

std::optional<OutputFormat> FormatNamed(std::string_view name) {
    if (name == "text")
        return OutputFormat::Text;
    if (name == "csv")
        return OutputFormat::Csv;
    if (name == "json")
        return OutputFormat::Json;
    return std::nullopt;
}

std::string CsvField(std::string_view text) {
    std::string field;
    AppendCsvField(field, text);
    return field;
}

void AppendJsonString(std::string& json, std::string_view text) {
    if (!IsPlainJson(text)) {
        AppendEscapedJson(json, text);
        return;
    }
    json += '"';
    json += text;
    json += '"';
}

std::string JsonString(std::string_view text) {
    std::string json;
    AppendJsonString(json, text);
    return json;
}

std::string FormatTable(const Table& table, OutputFormat format, bool header) {
    switch (format) {
    case OutputFormat::Text:
        return TextTable(table, header);
    case OutputFormat::Csv:
        return CsvTable(table, header);
    case OutputFormat::Json:
        return JsonTable(table);
    }
    return {};
}

void PrintTable(const Table& table, OutputFormat format, std::FILE* out, bool header) {
    const std::string text = FormatTable(table, format, header);
    std::fwrite(text.data(), 1, text.size(), out);
    std::fflush(out);
}
