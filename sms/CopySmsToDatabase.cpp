#include "sms/CopySmsToDatabase.h"

#include "core/TextToInt.h"
#include "db/CDaoSMS_In.h"
#include "db/CDaoSMS_Out.h"
#include "db/DbFailureText.h"
#include "sms/SmsHeader.h"

#include <array>
#include <cstdio>
#include <string>

namespace {

// Reads Count decimal numbers with the given separators between them, as the C library's
// scanning reads "%d/%d/%d": blanks before a number are skipped, text after the last is
// ignored. False when a number or a separator is missing.
template <std::size_t Count>
bool ScanNumbers(std::string_view text, const std::array<char, Count - 1>& separators,
                 std::array<int, Count>& out) {
    std::size_t pos = 0;
    for (std::size_t i = 0; i < Count; ++i) {
        if (i > 0) {
            if (pos >= text.size() || text[pos] != separators[i - 1])
                return false;
            ++pos;
        }
        while (pos < text.size() && text[pos] == ' ')
            ++pos;
        const std::size_t start = pos;
        if (pos < text.size() && (text[pos] == '-' || text[pos] == '+'))
            ++pos;
        const std::size_t digits = pos;
        while (pos < text.size() && text[pos] >= '0' && text[pos] <= '9')
            ++pos;
        if (pos == digits)
            return false;
        out[i] = TextToInt(text.substr(start, pos - start));
    }
    return true;
}

int FullYear(int year) {
    if (year < 50)
        return 2000 + year;
    if (year <= 99)
        return 1900 + year;
    return year;
}

void Show(const SmsReadContext& context, std::string text, std::string caption, BoxIcon icon) {
    context.messages.ShowMessage({std::move(text), std::move(caption), BoxButtons::Ok, icon, true});
}

bool StoreIn(CDaoSMS_In& in, const SmsRow& row, const SmsReadContext& context) {
    in.AddNew();
    in.Messaggio = row[kSmsTextColumn];
    in.SCA = row[kSmsScaColumn];
    in.Mittente = row[kSmsSenderColumn];
    in.DateTime = ListDateTime(row[kSmsDateColumn], row[kSmsTimeColumn]);
    if (!in.DateTime)
        Show(context, "Cannot set Date and Time", row[kSmsTimeColumn], BoxIcon::Error);
    return in.Update();
}

bool StoreOut(CDaoSMS_Out& out, const SmsRow& row) {
    out.AddNew();
    out.Messaggio = row[kSmsTextColumn];
    out.SCA = row[kSmsScaColumn];
    out.Mittente = row[kSmsSenderColumn];
    return out.Update();
}

// Copies every row that holds a message; false at the first row the engine refused (the group
// then stores nothing). Status reports and PDUs that did not decode are counted, not archived.
bool CopyRows(CDaoSMS_In& in, CDaoSMS_Out& out, const SmsReadContext& context,
              LeftOutRows& leftOut) {
    char text[64];
    for (int index = 0; index < context.form.SmsRowCount(); ++index) {
        const std::optional<SmsRow> row = context.form.GetSmsRow(index);
        if (!row) {
            std::snprintf(text, sizeof text, "Error: %d", index);
            Show(context, text, std::string(kAppTitle), BoxIcon::None);
            continue;
        }
        if ((*row)[kSmsTypeColumn] == kSmsReportType) {
            ++leftOut.reports;
            continue;
        }
        if ((*row)[kSmsKindField] == kSmsUndecodedKind) {
            ++leftOut.undecoded;
            continue;
        }
        const bool stored =
            (*row)[kSmsTypeColumn] == "IN" ? StoreIn(in, *row, context) : StoreOut(out, *row);
        if (!stored)
            return false;
    }
    return true;
}

// The rows are stored only when both record sets have closed: the success box comes after.
void CopyAndClose(CDaoSMS_In& in, CDaoSMS_Out& out, const SmsReadContext& context) {
    LeftOutRows leftOut;
    const bool walked = CopyRows(in, out, context, leftOut);
    const bool inStored = in.Close();
    const bool outStored = out.Close();
    if (walked && inStored && outStored) {
        Show(context, "SMS succesfully copied to database", "Information", BoxIcon::Information);
        if (const std::string note = LeftOutNote(leftOut); !note.empty())
            context.form.SetStatusText(note);
        return;
    }
    const std::string& reason = !in.ErrorText().empty() ? in.ErrorText() : out.ErrorText();
    Show(context, NothingStoredText(reason), std::string(kAppTitle), BoxIcon::Error);
}

} // namespace

std::string LeftOutNote(const LeftOutRows& leftOut) {
    std::string note;
    if (leftOut.reports > 0)
        note = std::to_string(leftOut.reports) +
               (leftOut.reports == 1 ? " status report" : " status reports");
    if (leftOut.undecoded > 0)
        note += (note.empty() ? "" : " and ") + std::to_string(leftOut.undecoded) +
                (leftOut.undecoded == 1 ? " message that did not decode"
                                        : " messages that did not decode");
    return note.empty() ? note : "Not copied to the database: " + note;
}

std::optional<DbDateTime> ListDateTime(std::string_view date, std::string_view time) {
    std::array<int, 3> dayMonthYear{};
    std::array<int, 3> clock{};
    if (!ScanNumbers<3>(date, {'/', '/'}, dayMonthYear) || !ScanNumbers<3>(time, {':', '.'}, clock))
        return std::nullopt;
    return DbDateTime::FromParts(FullYear(dayMonthYear[2]), dayMonthYear[1], dayMonthYear[0],
                                 clock[0], clock[1], clock[2]);
}

void OnCopySmsToDatabase(const SmsReadContext& context) {
    CDaoSMS_In in(&context.database);
    if (!in.Open(dbOpenDynaset, "SELECT * FROM SMS_IN", dbSeeChanges)) {
        ShowOk(context.messages, "Cannot Open SMS_IN", kAppTitle);
        return;
    }
    CDaoSMS_Out out(&context.database);
    if (!out.Open(dbOpenDynaset, "SELECT * FROM SMS_OUT", dbSeeChanges)) {
        in.Close();
        ShowOk(context.messages, "Cannot Open SMS_OUT", kAppTitle);
        return;
    }
    if (context.form.SmsRowCount() == 0) {
        Show(context, "Nothing to copy !!", "Warning", BoxIcon::Information);
        in.Close();
        out.Close();
        return;
    }
    CopyAndClose(in, out, context);
}

std::string AppendReceivedRows(const std::vector<SmsRow>& rows, const SmsReadContext& context) {
    CDaoSMS_In in(&context.database);
    if (!in.Open(dbOpenDynaset, "SELECT * FROM SMS_IN", dbSeeChanges))
        return in.ErrorText().empty() ? std::string("Cannot Open SMS_IN") : in.ErrorText();
    bool stored = true;
    for (const SmsRow& row : rows)
        stored = stored && StoreIn(in, row, context);
    const bool closed = in.Close();
    if (stored && closed)
        return {};
    return in.ErrorText().empty() ? std::string("the database refused the message")
                                  : in.ErrorText();
}
