#pragma once
// The command line's output: a table of texts (headings and rows) printed as aligned text for a
// terminal, as CSV (a header line, then one line per row; RFC 4180 quoting) or as JSON (one
// object per row and line, keys named after the columns, values as strings).

#include "core/ByteWords.h"

#include <cstdint>
#include <cstdio>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

enum class OutputFormat { Text, Csv, Json };

// "text", "csv" or "json"; nothing for any other name.
std::optional<OutputFormat> FormatNamed(std::string_view name);

struct Table {
    std::vector<std::string> headings;
    std::vector<std::vector<std::string>> rows; // each as long as headings
};

std::string CsvField(std::string_view text);

// The lines of each format, appended to line and ended by '\n'. Text pads each cell but the last
// to its column's width (in characters); Widen grows the widths to hold the cells. The cells may
// be texts or views into a buffer.
void AppendTextLine(std::string& line, std::span<const std::string> cells,
                    std::span<const std::size_t> widths);
void Widen(std::vector<std::size_t>& widths, std::span<const std::string> cells);
// A cell of aligned text measured once, for rows written long after they were measured: its
// length in characters, and whether it is printable ASCII only (shown as it stands).
struct MeasuredCell {
    std::string_view text;
    std::size_t chars = 0;
    bool plain = true;
};
// The characters of a text, as the widths count them: a code point each.
std::size_t CountedChars(std::string_view cell);
// Asked of every cell of aligned text: in line, and for a plain cell, most cells, with no call.
inline MeasuredCell Measure(std::string_view cell) {
    const bool plain = bytewords::NoneFlagged(cell, ' ', [](std::uint64_t word) {
        return bytewords::HighBytes(word) | bytewords::BytesBelow(word, 0x20U);
    });
    return {cell, plain ? cell.size() : CountedChars(cell), plain};
}
void AppendTextLine(std::string& line, std::span<const MeasuredCell> cells,
                    std::span<const std::size_t> widths);
void AppendCsvLine(std::string& line, std::span<const std::string> cells);
void AppendCsvLine(std::string& line, std::span<const std::string_view> cells);
void AppendJsonLine(std::string& line, std::span<const std::string> headings,
                    std::span<const std::string> cells);
// The same with the headings made once into their keys by JsonKeys, for many lines: each key
// with what comes before it ("{" or ",") and its ':'.
std::vector<std::string> JsonKeys(std::span<const std::string> headings);
void AppendKeyedJsonLine(std::string& line, std::span<const std::string> keys,
                         std::span<const std::string> cells);
void AppendKeyedJsonLine(std::string& line, std::span<const std::string> keys,
                         std::span<const std::string_view> cells);
std::string JsonString(std::string_view text);
void AppendJsonString(std::string& json, std::string_view text);
// The table in the format, every line ended by '\n'.
// Without `header` the text and CSV forms leave the headings' line out.
std::string FormatTable(const Table& table, OutputFormat format, bool header = true);
void PrintTable(const Table& table, OutputFormat format, std::FILE* out = stdout,
                bool header = true);
