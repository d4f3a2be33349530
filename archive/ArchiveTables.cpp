#include "archive/ArchiveTables.h"

#include "db/CDaoPhonebook.h"
#include "db/CDaoSMS_In.h"
#include "db/CDaoSMS_Out.h"
#include "db/DbFailureText.h"
#include "archive/ArchiveRows.h"
#include "archive/PhonebookNames.h"

namespace {

// A walk the engine broke off (a damaged file) is told once: the list is then not the table.
void ReportBrokenWalk(IMessageSink& sink, const CDaoRecordset& walked, std::string_view table) {
    if (!walked.ErrorText().empty())
        sink.ShowMessage({ReadFailedText(table, walked.ErrorText()), std::string(kAppTitle),
                          BoxButtons::Ok, BoxIcon::Error, true});
}

PhonebookNames ReadPhonebookNames(CDaoDatabase* database, IMessageSink& sink) {
    CDaoPhonebook phonebook(database);
    if (!phonebook.Open(dbOpenDynaset, "SELECT * FROM Phonebook", dbSeeChanges)) {
        ShowOk(sink, "Cannot Open Phonebook", kAppTitle);
        return {};
    }
    PhonebookNames names = PhonebookNames::Read(phonebook);
    ReportBrokenWalk(sink, phonebook, "Phonebook");
    return names;
}

template <class Recordset>
std::optional<std::vector<SmsRow>> ReadArchive(CDaoDatabase* database, IMessageSink& sink,
                                               const char* sql, std::string_view failure) {
    Recordset messages(database);
    if (!messages.Open(dbOpenDynaset, sql, dbSeeChanges)) {
        ShowOk(sink, failure, kAppTitle);
        return std::nullopt;
    }
    const PhonebookNames names = ReadPhonebookNames(database, sink);
    std::vector<SmsRow> rows;
    for (; !messages.IsEOF(); messages.MoveNext())
        rows.push_back(ArchiveRow(messages, names.Find(messages.Mittente)));
    const std::string_view table(sql);
    ReportBrokenWalk(sink, messages, table.substr(table.rfind(' ') + 1));
    return rows;
}

} // namespace

std::optional<std::vector<SmsRow>> ReadArchiveIn(CDaoDatabase* database, IMessageSink& sink) {
    return ReadArchive<CDaoSMS_In>(database, sink, "SELECT * FROM SMS_IN", "Cannot Open dbSMS_In");
}

std::optional<std::vector<SmsRow>> ReadArchiveOut(CDaoDatabase* database, IMessageSink& sink) {
    return ReadArchive<CDaoSMS_Out>(database, sink, "SELECT * FROM SMS_Out",
                                    "Cannot Open dbSMS_Out");
}
