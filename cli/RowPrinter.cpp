#include "cli/RowPrinter.h"

#include "core/Utf8.h"
#include "sms/SmsExport.h"
#include "sms/send/SmsText.h"

#include <algorithm>
#include <array>

namespace {

// Columns of the text form are apart by this many blanks.
constexpr std::size_t kColumnGap = 2;

// One line of the text form: each cell padded to its column's width (in characters), the
// last one not; line breaks inside a cell show as spaces.
std::string TextLine(const std::vector<std::string>& cells,
                     const std::vector<std::size_t>& widths) {
    std::string line;
    for (std::size_t column = 0; column < cells.size(); ++column) {
        std::string cell = cells[column];
        std::replace_if(
            cell.begin(), cell.end(), [](char c) { return c == '\n' || c == '\r' || c == '\t'; },
            ' ');
        line += cell;
        if (column + 1 < cells.size())
            line.append(widths[column] - CharCount(cell) + kColumnGap, ' ');
    }
    while (!line.empty() && line.back() == ' ')
        line.pop_back();
    return line + "\n";
}

std::string TextTable(const Table& table) {
    std::vector<std::size_t> widths(table.headings.size(), 0);
    const auto widen = [&widths](const std::vector<std::string>& cells) {
        for (std::size_t column = 0; column < cells.size() && column < widths.size(); ++column)
            widths[column] = std::max(widths[column], CharCount(cells[column]));
    };
    widen(table.headings);
    std::ranges::for_each(table.rows, widen);
    std::string text = TextLine(table.headings, widths);
    for (const auto& row : table.rows)
        text += TextLine(row, widths);
    return text;
}

std::string CsvLine(const std::vector<std::string>& cells) {
    std::string line;
    for (std::size_t column = 0; column < cells.size(); ++column) {
        if (column > 0)
            line += ',';
        line += CsvField(cells[column]);
    }
    return line + "\n";
}

std::string CsvTable(const Table& table) {
    std::string text = CsvLine(table.headings);
    for (const auto& row : table.rows)
        text += CsvLine(row);
    return text;
}

std::string JsonTable(const Table& table) {
    std::string text;
    for (const auto& row : table.rows) {
        text += '{';
        for (std::size_t column = 0; column < table.headings.size(); ++column) {
            if (column > 0)
                text += ',';
            text += JsonString(table.headings[column]) + ':' +
                    JsonString(column < row.size() ? row[column] : std::string());
        }
        text += "}\n";
    }
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

std::string JsonString(std::string_view text) {
    constexpr std::array<char, 16> kHex = {'0', '1', '2', '3', '4', '5', '6', '7',
                                           '8', '9', 'a', 'b', 'c', 'd', 'e', 'f'};
    std::string json = "\"";
    // Read by code points, so that bytes that are not UTF-8 come out as U+FFFD and the line
    // stays valid JSON whatever a log file held.
    for (std::size_t pos = 0; pos < text.size();) {
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
    return json + "\"";
}

std::string FormatTable(const Table& table, OutputFormat format) {
    switch (format) {
    case OutputFormat::Text:
        return TextTable(table);
    case OutputFormat::Csv:
        return CsvTable(table);
    case OutputFormat::Json:
        return JsonTable(table);
    }
    return {};
}

void PrintTable(const Table& table, OutputFormat format, std::FILE* out) {
    const std::string text = FormatTable(table, format);
    std::fwrite(text.data(), 1, text.size(), out);
    std::fflush(out);
}
