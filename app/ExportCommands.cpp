// The "&File" menu's commands that take the archive and the lists out of the program, and the
// phonebook in: thin shells that choose a file and hand it to the core.

#include "app/CTelvaneView.h"
#include "app/FileChoice.h"
#include "db/DatabaseCopy.h"
#include "phonebook/PhonebookVcard.h"
#include "sms/SmsExport.h"

namespace {

const QString kAllFiles = QStringLiteral("All files (*)");
const QString kVcardFiles = QStringLiteral("vCard files (*.vcf *.vcard)");

} // namespace

void CTelvaneView::OnSaveDatabaseCopy() {
    if (const auto path = ChooseFileToSave(window(), QStringLiteral("Salva copia del DB"),
                                           {QStringLiteral("Access files (*.mdb)"), kAllFiles},
                                           QStringLiteral("mdb")))
        SaveDatabaseCopyTo(*path);
}

bool CTelvaneView::SaveDatabaseCopyTo(const std::string& path) {
    const FileWriteResult written = SaveAskingToReplace(
        path,
        [this, &path](Overwrite overwrite) { return SaveDatabaseCopy(database, path, overwrite); },
        [this](const std::string& question) {
            return sink.ShowMessage({question, "Question", BoxButtons::YesNo, BoxIcon::Question,
                                     true}) == BoxAnswer::Yes;
        });
    if (written.ok)
        sink.ShowMessage({"Copy of the database written to " + path, "Info", BoxButtons::Ok,
                          BoxIcon::Information, true});
    else if (!written.error.empty())
        sink.ShowMessage(
            {written.error, std::string(kAppTitle), BoxButtons::Ok, BoxIcon::Error, true});
    return written.ok;
}

void CTelvaneView::OnExportSmsList() {
    if (const auto path = ChooseFileToSave(
            window(), QStringLiteral("Export SMS list"),
            {QStringLiteral("CSV files (*.csv)"), QStringLiteral("Text files (*.txt)"), kAllFiles},
            QStringLiteral("csv")))
        ExportSmsListTo(*path);
}

int CTelvaneView::ExportSmsListTo(const std::string& path) {
    std::vector<SmsRow> rows;
    for (int index = 0; index < smsForm.SmsRowCount(); ++index) {
        if (std::optional<SmsRow> row = smsForm.GetSmsRow(index))
            rows.push_back(std::move(*row));
    }
    return ExportSmsRows(rows, sink, path);
}

void CTelvaneView::OnExportPhonebookVcard() {
    if (const auto path = ChooseFileToSave(window(), QStringLiteral("Export phonebook"),
                                           {kVcardFiles, kAllFiles}, QStringLiteral("vcf")))
        ExportPhonebookVcard(phonebookForm, sink, *path);
}

void CTelvaneView::OnImportPhonebookVcard() {
    const auto path = importFileChooser
                          ? importFileChooser()
                          : ChooseExistingFile(window(), QStringLiteral("Import phonebook"),
                                               {kVcardFiles, kAllFiles});
    if (path)
        ImportPhonebookVcard(phonebookForm, sink, *path);
}
