#pragma once
// Stored messages for programs: the same keys, in the same order, for every message, whatever it
// holds. CSV: a header line (unless --no-header), then one line per message. JSON: one object
// per line, numbers as numbers and absent values as null. Text: a few of the columns, aligned.
// Lines go out as the messages are given (text waits for the last, for its widths).

#include "cli/RowPrinterStream.h"
#include "sms/SmsRecord.h"

#include <array>
#include <cstdio>
#include <memory>
#include <string_view>
#include <vector>

inline constexpr std::array<std::string_view, 16> kSmsRecordKeys = {
    "memory", "index",  "status", "type", "number", "name",      "smsc",  "time",
    "text",   "coding", "class",  "part", "parts",  "reference", "error", "pdu"};

// The record's values in key order, absent numbers as "".
std::vector<std::string> SmsRecordCells(const SmsRecord& record);
void AppendSmsRecordJson(std::string& line, const SmsRecord& record);

class SmsRecordPrinter {
public:
    SmsRecordPrinter(OutputFormat format, bool header, std::FILE* out = stdout);
    void Write(const SmsRecord& record);
    // False when the output took not all of it.
    bool Finish();

private:
    OutputFormat format;
    std::FILE* out;
    std::unique_ptr<RowStream> text; // the text form's aligned table
};

// Joins the parts of each long message whose parts are all there into one record, at the
// place of its first part (its index), the texts in part order; part is then absent and parts
// tells how many there were. Parts of a message not all there stay as they are.
std::vector<SmsRecord> JoinLongMessages(std::vector<SmsRecord> records);
