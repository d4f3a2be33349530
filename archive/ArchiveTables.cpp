#include "archive/ArchiveTables.h"

#include "archive/ArchiveSearchKeys.h"
#include "db/CDaoPhonebook.h"
#include "db/DbFailureText.h"

void ShowReadFailure(IMessageSink& sink, const std::string& error, std::string_view table) {
    if (!error.empty())
        sink.ShowMessage({ReadFailedText(table, error), std::string(kAppTitle), BoxButtons::Ok,
                          BoxIcon::Error, true});
}

void ShowCannotOpen(IMessageSink& sink, ArchiveTable table) {
    ShowOk(sink, table == ArchiveTable::In ? "Cannot Open dbSMS_In" : "Cannot Open dbSMS_Out",
           kAppTitle);
}

namespace {

std::optional<std::vector<SmsRow>> ReadArchive(CDaoDatabase* database, IMessageSink& sink,
                                               ArchiveTable table) {
    std::vector<SmsRow> rows;
    if (!WalkArchive(database, sink, table, [&rows](const SmsRow& row) { rows.push_back(row); }))
        return std::nullopt;
    return rows;
}

} // namespace

PhonebookNames ReadPhonebookNames(CDaoDatabase* database, IMessageSink& sink) {
    CDaoPhonebook phonebook(database);
    if (!phonebook.Open(dbOpenDynaset, "SELECT * FROM Phonebook", dbSeeChanges)) {
        ShowOk(sink, "Cannot Open Phonebook", kAppTitle);
        return {};
    }
    PhonebookNames names = PhonebookNames::Read(phonebook);
    ShowReadFailure(sink, phonebook.ErrorText(), "Phonebook");
    return names;
}

bool WalkArchive(CDaoDatabase* database, IMessageSink& sink, ArchiveTable table,
                 const std::function<void(const SmsRow&)>& each, ArchiveRowFilter* filter) {
    ArchiveRowReader reader(database, table);
    if (!reader.IsOpen()) {
        ShowCannotOpen(sink, table);
        return false;
    }
    const PhonebookNames names = ReadPhonebookNames(database, sink);
    SmsRow row;
    if (filter != nullptr && !filter->HoldsEverything() && UpdateSearchKeys(database, table)) {
        if (const auto keys = MatchingKeys(database, table, *filter, names)) {
            for (const std::int64_t key : *keys) {
                // A row gone since its key was kept is not listed.
                if (reader.StartAt(key) && reader.Next() && reader.Key() == key) {
                    reader.Fill(names, row);
                    each(row);
                }
            }
            ShowReadFailure(sink, reader.ErrorText(), ArchiveTableName(table));
            return true;
        }
    }
    while (reader.Next()) {
        if (filter != nullptr &&
            !filter->Holds(reader.Text(), reader.Sender(), names.Find(reader.Sender())))
            continue;
        reader.Fill(names, row);
        each(row);
    }
    ShowReadFailure(sink, reader.ErrorText(), ArchiveTableName(table));
    return true;
}

std::optional<std::vector<SmsRow>> ReadArchiveIn(CDaoDatabase* database, IMessageSink& sink) {
    return ReadArchive(database, sink, ArchiveTable::In);
}

std::optional<std::vector<SmsRow>> ReadArchiveOut(CDaoDatabase* database, IMessageSink& sink) {
    return ReadArchive(database, sink, ArchiveTable::Out);
}
