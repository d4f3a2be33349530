#include "phonebook/PhonebookDatabase.h"

#include "core/TextHelpers.h"
#include "db/CDaoPhonebook.h"
#include "db/DbFailureText.h"
#include "phonebook/PhonebookText.h"

#include <cstdio>

namespace {

constexpr const char* kPhonebookSql = "SELECT * FROM Phonebook";
constexpr const char* kCannotOpen = "Cannot Open dbPhonebook";
constexpr const char* kInternational = "International";
constexpr const char* kNational = "National";
void ShowEngineError(IMessageSink& messages, const std::string& text) {
    messages.ShowMessage({text, std::string(kAppTitle), BoxButtons::Ok, BoxIcon::Error, true});
}

bool OpenPhonebook(CDaoPhonebook& recordset, IMessageSink& messages) {
    recordset.Open(dbOpenDynaset, kPhonebookSql, dbSeeChanges);
    if (recordset.IsOpen())
        return true;
    ShowOk(messages, kCannotOpen, kAppTitle);
    return false;
}

PhonebookRow ShownRow(const CDaoPhonebook& record) {
    return {record.Pos, record.Nome, record.Numero,
            record.Type == "145" ? kInternational : kNational};
}

bool AppendRow(CDaoPhonebook& recordset, const PhonebookRow& row) {
    if (!recordset.AddNew())
        return false;
    recordset.Pos = CutToCharacters(row[kPosColumn], kStoredTextLimit);
    recordset.Nome = CutToCharacters(row[kNameColumn], kStoredTextLimit);
    recordset.Numero = CutToCharacters(row[kNumberColumn], kStoredTextLimit);
    recordset.Type = StoredType(CutToCharacters(row[kTypeColumn], kStoredTextLimit));
    return recordset.Update();
}

} // namespace

std::string StoredType(std::string_view displayed) {
    if (displayed == kInternational)
        return "145";
    if (displayed == kNational)
        return "129";
    return std::string(displayed);
}

int LoadPhonebookFromDatabase(CDaoDatabase& database, IPhonebookForm& form,
                              IMessageSink& messages) {
    form.DeleteAllRows();
    CDaoPhonebook recordset(&database);
    if (!OpenPhonebook(recordset, messages))
        return 1;
    for (int i = 0; !recordset.IsEOF(); ++i) {
        form.InsertRow(i, ShownRow(recordset));
        if (!recordset.MoveNext()) {
            ShowEngineError(messages, ReadFailedText("Phonebook", recordset.ErrorText()));
            break;
        }
    }
    recordset.Close();
    return 0;
}

void CopyPhonebookToDatabase(CDaoDatabase& database, IPhonebookForm& form, IMessageSink& messages) {
    std::vector<PhonebookRow> rows;
    for (int index = 0; index < form.RowCount(); ++index)
        if (std::optional<PhonebookRow> row = form.Row(index))
            rows.push_back(std::move(*row));
    CopyPhonebookToDatabase(database, rows, messages);
}

void CopyPhonebookToDatabase(CDaoDatabase& database, const std::vector<PhonebookRow>& rows,
                             IMessageSink& messages) {
    CDaoPhonebook recordset(&database);
    if (!OpenPhonebook(recordset, messages))
        return;
    if (rows.empty()) {
        messages.ShowMessage(
            {"Nothing to copy !!", "Warning", BoxButtons::Ok, BoxIcon::Information, true});
        recordset.Close();
        return;
    }
    long walked = 0;
    bool appended = true;
    for (; appended && walked < std::ssize(rows); ++walked)
        appended = AppendRow(recordset, rows[static_cast<std::size_t>(walked)]);
    // The rows are stored when the record set closes: only then is the count true.
    if (!recordset.Close() || !appended) {
        ShowEngineError(messages, NothingStoredText(recordset.ErrorText()));
        return;
    }
    char text[64];
    std::snprintf(text, sizeof text, "%ld Record succesfully copied", walked);
    ShowOk(messages, text, kAppTitle);
}
