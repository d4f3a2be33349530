#pragma once
// "Copy SMS to database": every message row of the SMS list becomes a new row of the archive,
// SMS_In for a TYPE of "IN", SMS_Out for "OUT". Rows are only added, in one transaction: all are
// stored, or none and an error box says why; the success box only follows a stored copy. The
// list stays as it is. User-interface thread.

#include "db/DbDateTime.h"
#include "sms/AddSmsRows.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The date/time of a row's DATE ("%d/%d/%d": day, month, year) and TIME. ("%d:%d.%d (%d)":
// hour, minute, second, zone not kept) texts; a two-digit year below 50 is of the 2000s, one
// from 50 to 99 of the 1900s. Nothing when the texts do not read so or form no real date and
// time.
std::optional<DbDateTime> ListDateTime(std::string_view date, std::string_view time);

// Rows a copy leaves out of the archive: they hold no message.
struct LeftOutRows {
    int reports = 0;   // TYPE "REPORT"
    int undecoded = 0; // the raw line of a PDU that did not decode
};

// The status-bar note after a copy that left rows out ("Not copied to the database: 1 status
// report and 2 messages that did not decode"); empty when none was.
std::string LeftOutNote(const LeftOutRows& leftOut);

// Status reports and undecoded rows are not archived: the status bar says how many were left.
void OnCopySmsToDatabase(const SmsReadContext& context);

// Appends received rows to SMS_In as the copy does, in one transaction, without its boxes of
// success or failure: empty when every row is stored, else why none is.
std::string AppendReceivedRows(const std::vector<SmsRow>& rows, const SmsReadContext& context);
