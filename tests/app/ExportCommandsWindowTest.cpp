// The "&File" menu's export and import commands in the running application: the file dialogs
// answered as a user would, the SMS list written as CSV, the phonebook list out to a vCard file
// and back in as new rows, and a copy of the database taken while the window holds it.

#include "common/CsvReader.h"
#include "common/FileText.h"
#include "res/form/FormControls.h"
#include "tests/app/PhoneWindow.h"

#include <QFileDialog>
#include <QTreeWidget>
#include <fstream>
#include <sqlite3.h>

namespace {

class ExportCommandsWindowTest : public PhoneWindowTest {
protected:
    void SetUp() override {
        ASSERT_TRUE(work.isValid());
        Start(phone);
    }

    std::string Path(const char* name) const { return work.filePath(name).toStdString(); }

    // Triggers the command and answers its file dialog with path.
    void RunWithFile(int commandId, const std::string& path) {
        bool dialogSeen = false;
        onDialog = [&dialogSeen, path](QWidget* modal) {
            auto* dialog = qobject_cast<QFileDialog*>(modal);
            if (dialog == nullptr)
                return;
            dialogSeen = true;
            dialog->selectFile(QString::fromStdString(path));
            // done() takes the typed name as it stands; accept() also checks it against the
            // dialog's folder view, which may not have been read yet.
            static_cast<QDialog*>(dialog)->done(QDialog::Accepted);
        };
        const std::size_t before = boxes.size();
        QTimer::singleShot(0, [this, commandId] { frame->Action(commandId)->trigger(); });
        ASSERT_TRUE(RunUntil([&] { return dialogSeen && boxes.size() > before; }, 10000));
        onDialog = nullptr;
    }

    QTreeWidget* PhonebookList() const {
        return qobject_cast<QTreeWidget*>(view->Control(kPhonebookListId));
    }

    QTemporaryDir work;
    PhoneSim phone;
};

TEST_F(ExportCommandsWindowTest, ExportsTheSmsListAsCsv) {
    SmsRow row;
    row = {
        "1",         "IN",    "REC UNREAD",   "Ciao, \"tu\"\nseconda", "07/03/01", "14:05.09 (4)",
        "+39333111", "Mario", "+393359609600"};
    view->SmsForm().InsertSmsRows(0, {row});
    const std::string path = Path("list.csv");
    RunWithFile(kCmdExportSmsList, path);

    EXPECT_EQ(boxes.back(), "1 row written to " + path);
    const auto records = ReadCsv(FileText(path));
    ASSERT_TRUE(records.has_value());
    ASSERT_EQ(records->size(), 2U);
    CsvRecord expected(row.begin(), row.begin() + kSmsColumnCount);
    expected.push_back("2001-03-07T14:05:09");
    for (const int number : {kSmsSenderColumn, kSmsScaColumn})
        expected[static_cast<std::size_t>(number)] =
            "'" + expected[static_cast<std::size_t>(number)];
    EXPECT_EQ((*records)[1], expected) << "numbers as text, behind an apostrophe";
}

TEST_F(ExportCommandsWindowTest, PhonebookGoesOutAsVcardAndComesBackAsNewRowsAtTheTop) {
    view->OnJumpTo(2);
    QTreeWidget* list = PhonebookList();
    list->clear();
    list->addTopLevelItem(new QTreeWidgetItem({"1", "Marco, Rossi", "+393471234567", "145"}));
    list->addTopLevelItem(new QTreeWidgetItem({"2", "Città", "0612", "129"}));
    const std::string path = Path("rubrica.vcf");
    RunWithFile(kCmdExportPhonebookVcard, path);
    EXPECT_EQ(boxes.back(), "2 rows written to " + path);

    // The open dialog's accept() wants its folder view read, which an offscreen test cannot
    // wait for reliably: the file comes as the dialog would give it.
    view->SetImportFileChooser([path] { return std::optional<std::string>(path); });
    const std::size_t before = boxes.size();
    frame->Action(kCmdImportPhonebookVcard)->trigger();
    ASSERT_TRUE(RunUntil([&] { return boxes.size() > before; }));
    EXPECT_EQ(boxes.back(), "2 rows imported from " + path);
    ASSERT_EQ(list->topLevelItemCount(), 4);
    const std::vector<QStringList> expected = {{"NEW", "Marco, Rossi", "+393471234567", "145"},
                                               {"NEW", "Città", "0612", "129"},
                                               {"1", "Marco, Rossi", "+393471234567", "145"},
                                               {"2", "Città", "0612", "129"}};
    for (int row = 0; row < 4; ++row) {
        QStringList texts;
        for (int column = 0; column < 4; ++column)
            texts << list->topLevelItem(row)->text(column);
        EXPECT_EQ(texts, expected[static_cast<std::size_t>(row)]) << row;
    }
}

TEST_F(ExportCommandsWindowTest, SavesACopyOfTheDatabaseThatAnotherConnectionReads) {
    ASSERT_TRUE(view->database.IsOpen());
    const std::string path = Path("copia.mdb");
    RunWithFile(kCmdSaveDatabaseCopy, path);
    EXPECT_EQ(boxes.back(), "Copy of the database written to " + path);
    EXPECT_TRUE(view->database.IsOpen());

    sqlite3* copy = nullptr;
    ASSERT_EQ(sqlite3_open_v2(path.c_str(), &copy, SQLITE_OPEN_READONLY, nullptr), SQLITE_OK);
    sqlite3_stmt* check = nullptr;
    ASSERT_EQ(sqlite3_prepare_v2(copy, "PRAGMA integrity_check", -1, &check, nullptr), SQLITE_OK);
    ASSERT_EQ(sqlite3_step(check), SQLITE_ROW);
    EXPECT_STREQ(reinterpret_cast<const char*>(sqlite3_column_text(check, 0)), "ok");
    sqlite3_finalize(check);
    sqlite3_close(copy);
}

} // namespace
