#pragma once
// The SMS list's rows as files other programs and people read: CSV (RFC 4180: comma-separated,
// CRLF line ends, fields with a comma, quote or line break in double quotes with quotes doubled;
// UTF-8) and a plain text of one block per message. Pure functions of the rows: the caller
// writes the result (see WriteFileAtomically).

#include "sms/SmsList.h"

#include <array>
#include <span>
#include <string>

// Heading of the column CSV adds after the nine of the list.
inline constexpr std::string_view kIsoDateTimeHeading = "ISO date-time";

// "YYYY-MM-DDTHH:MM:SS" of the row's DATE and TIME. columns, read as "Copy SMS to database"
// reads them; empty when they hold no date and time.
std::string IsoDateTime(const SmsRow& row);

// The characters that make a field quoted, as a table: one look-up a character (find_first_of
// would search the set with a call for each).
inline constexpr std::array<bool, 256> kCsvQuotedCharacters = [] {
    std::array<bool, 256> quoted{};
    for (const char c : {',', '"', '\r', '\n'})
        quoted[static_cast<unsigned char>(c)] = true;
    return quoted;
}();

// One RFC 4180 field: quoted when it holds a comma, a quote, a carriage return or a line feed.
// The text as it is: what scripts read (the command line's CSV).
void AppendCsvField(std::string& out, std::string_view field);
// A field for a spreadsheet: one that starts with '=', '+', '-', '@', a tab or a carriage
// return gets an apostrophe in front, so that it shows as the text it is ("'+39333111") and
// never runs as a formula.
void AppendSheetCsvField(std::string& out, std::string_view field);

// A header line with the nine headings and kIsoDateTimeHeading, then one line per row: the nine
// column texts as the row holds them (a text keeps its line breaks), each as a spreadsheet
// field, and the ISO date-time.
std::string SmsRowsToCsv(std::span<const SmsRow> rows);
// Appends the CSV line of one row; for writers that go row by row.
void AppendCsvRow(std::string& out, const SmsRow& row);

// One block per message, blocks separated by an empty line:
//   IN  07/03/01 14:05.09
//   From: +39333111 (Mario)
//   Service centre: +393359609600
//   <the text, its own line breaks kept>
std::string SmsRowsToText(std::span<const SmsRow> rows);

class IMessageSink;

// Writes rows to path as text when the name ends in ".txt" (any case), as CSV otherwise, in
// valid UTF-8 (a byte that is no part of it becomes U+FFFD); asks
// through sink before replacing a file (caption "Question") and reports the rows written
// (caption "Info") or the failure (application title, error icon). The number of rows written;
// -1 when nothing was. User-interface thread (the boxes are modal).
int ExportSmsRows(std::span<const SmsRow> rows, IMessageSink& sink, const std::string& path);
