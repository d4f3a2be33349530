#include "sms/SmsExport.h"

#include "core/ExportFile.h"
#include "core/MessageSink.h"
#include "core/Utf8.h"
#include "sms/CopySmsToDatabase.h"

#include <algorithm>
#include <array>

namespace {

constexpr std::string_view kCsvLineEnd = "\r\n";
// The first characters that make a spreadsheet read a cell as a formula.
constexpr std::string_view kFormulaStarts = "=+-@\t\r";

// Without an early way out the loop has no branch a character: fields are short.
bool NeedsQuotes(std::string_view field) {
    bool quoted = false;
    for (const char c : field)
        quoted |= kCsvQuotedCharacters[static_cast<unsigned char>(c)];
    return quoted;
}

void AppendHeader(std::string& out) {
    // The nine columns the list and the archive share; "PART" is the list's own.
    for (const SmsColumn& column : std::span(SmsListColumns()).first<kSmsColumnCount>()) {
        AppendCsvField(out, column.heading);
        out += ',';
    }
    AppendCsvField(out, kIsoDateTimeHeading);
    out += kCsvLineEnd;
}

// "Out" rows read from the phone say "OUT"; only "IN" is a received message.
bool IsReceived(const SmsRow& row) {
    return row[kSmsTypeColumn] == "IN";
}

void AppendTextBlock(std::string& out, const SmsRow& row) {
    out += row[kSmsTypeColumn];
    for (int column : {kSmsDateColumn, kSmsTimeColumn}) {
        if (!row[static_cast<std::size_t>(column)].empty())
            out += ' ' + row[static_cast<std::size_t>(column)];
    }
    out += '\n';
    out += IsReceived(row) ? "From: " : "To: ";
    out += row[kSmsSenderColumn];
    if (!row[kSmsNameColumn].empty())
        out += " (" + row[kSmsNameColumn] + ")";
    out += "\nService centre: " + row[kSmsScaColumn] + "\n";
    out += row[kSmsTextColumn];
    out += '\n';
}

bool EndsWithTxt(std::string_view path) {
    if (path.size() < 4)
        return false;
    std::string tail(path.substr(path.size() - 4));
    std::ranges::transform(tail, tail.begin(), [](char c) {
        return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
    });
    return tail == ".txt";
}

} // namespace

std::string IsoDateTime(const SmsRow& row) {
    const std::optional<DbDateTime> when = ListDateTime(row[kSmsDateColumn], row[kSmsTimeColumn]);
    if (!when)
        return {};
    std::string iso = when->ToIso();
    if (iso.size() > 10 && iso[10] == ' ')
        iso[10] = 'T';
    return iso;
}

void AppendCsvField(std::string& out, std::string_view field) {
    if (!NeedsQuotes(field)) {
        out += field;
        return;
    }
    out += '"';
    for (std::size_t quote; (quote = field.find('"')) != std::string_view::npos;) {
        out.append(field.substr(0, quote + 1));
        out += '"';
        field.remove_prefix(quote + 1);
    }
    out.append(field);
    out += '"';
}

void AppendSheetCsvField(std::string& out, std::string_view field) {
    const bool formula =
        !field.empty() && kFormulaStarts.find(field.front()) != std::string_view::npos;
    if (!formula) {
        AppendCsvField(out, field);
        return;
    }
    std::string text = "'";
    text += field;
    AppendCsvField(out, text);
}

void AppendCsvRow(std::string& out, const SmsRow& row) {
    for (const std::string& cell : std::span(row).first<kSmsColumnCount>()) {
        AppendSheetCsvField(out, cell);
        out += ',';
    }
    out += IsoDateTime(row); // digits, '-', 'T' and ':' only: never quoted
    out += kCsvLineEnd;
}

std::string SmsRowsToCsv(std::span<const SmsRow> rows) {
    std::string out;
    out.reserve(rows.size() * 160 + 128);
    AppendHeader(out);
    for (const SmsRow& row : rows)
        AppendCsvRow(out, row);
    return out;
}

std::string SmsRowsToText(std::span<const SmsRow> rows) {
    std::string out;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        if (i > 0)
            out += '\n';
        AppendTextBlock(out, rows[i]);
    }
    return out;
}

int ExportSmsRows(std::span<const SmsRow> rows, IMessageSink& sink, const std::string& path) {
    // A text from the phone may hold any byte: the file is UTF-8 all the same.
    const std::string contents =
        valid_utf8(EndsWithTxt(path) ? SmsRowsToText(rows) : SmsRowsToCsv(rows));
    return WriteExportFile(sink, path, contents, rows.size());
}
