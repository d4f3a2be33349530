// "SMS View"'s search field and "Export..." with real widgets on the offscreen platform, on a
// Telvane database of each engine: the filter with each IN/OUT combination, the count, Escape,
// the CSV read back, the readable text, and the question before a file is replaced.

#include "ArchiveFixture.h"
#include "archive/CSmsArchiveDlg.h"
#include "common/CsvReader.h"
#include "common/FileText.h"

#include <QAbstractItemModel>
#include <QApplication>
#include <QCheckBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QTableView>
#include <fstream>

namespace {

const char* const kArchive =
    "INSERT INTO Phonebook (Pos, Numero, Nome, Type, Memory) VALUES "
    "('1', '+39333111', 'Niccolò', '145', 'SM'), ('2', '+39444', 'Zoë', '145', 'SM');"
    "INSERT INTO SMS_In (ID, SCA, Mittente, DateTime, Messaggio) VALUES "
    "(1, '+393359609600', '+39333111', '2001-03-07 14:05:09', 'Arrivo in Città, \"subito\"'),"
    "(2, '+393359609600', '+39777', '2026-12-31 23:59:59', 'riga1\r\nriga2'),"
    "(3, '', '+39444', NULL, 'Nulla');"
    "INSERT INTO SMS_Out (ID, SCA, Mittente, Messaggio) VALUES "
    "(5, '+393359609600', '+39333111', 'La citta dorme'),"
    "(6, '', '+39777', 'Altro');";

template <class Widget> Widget* Control(const QWidget& dialog, int id) {
    return dialog.findChild<Widget*>(QStringLiteral("control%1").arg(id));
}

// The N and TYPE of the rows shown.
std::vector<std::string> Keys(const CSmsArchiveDlg& dialog) {
    const QAbstractItemModel* model = Control<QTableView>(dialog, CSmsArchiveDlg::kListId)->model();
    std::vector<std::string> keys;
    for (int row = 0; row < model->rowCount(); ++row)
        keys.push_back(model->index(row, 0).data().toString().toStdString() + " " +
                       model->index(row, 1).data().toString().toStdString());
    return keys;
}

// Types as the keyboard does: one key press per character, then the given key.
void Type(QWidget* widget, const QString& text) {
    for (const QChar c : text) {
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
        QApplication::sendEvent(widget, &press);
    }
}

void Press(QWidget* widget, Qt::Key key) {
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
    QApplication::sendEvent(widget, &press);
}

class ArchiveSearchExportTest : public ArchiveFixture {
protected:
    void SetUp() override {
        ArchiveFixture::SetUp();
        if (!IsSkipped() && !HasFatalFailure())
            OpenWith(kArchive);
    }

    void Check(CSmsArchiveDlg& dialog, bool in, bool out) {
        auto* inBox = Control<QCheckBox>(dialog, CSmsArchiveDlg::kInCheckId);
        auto* outBox = Control<QCheckBox>(dialog, CSmsArchiveDlg::kOutCheckId);
        if (outBox->isChecked() != out)
            outBox->click();
        if (inBox->isChecked() != in)
            inBox->click();
        ASSERT_EQ(inBox->isChecked(), in);
        ASSERT_EQ(outBox->isChecked(), out);
    }
};

TELVANE_ON_BOTH_ENGINES(ArchiveSearchExportTest);

TEST_P(ArchiveSearchExportTest, TypingFiltersByTextNumberAndNameWithEachInOutCombination) {
    CSmsArchiveDlg dialog(&database, nullptr, &messages);
    QLineEdit* search = dialog.SearchField();
    ASSERT_NE(search, nullptr);
    Type(search, "citta"); // "Città" received, "citta" sent

    EXPECT_EQ(Keys(dialog), (std::vector<std::string>{"1 IN"}));
    Check(dialog, true, true);
    EXPECT_EQ(Keys(dialog), (std::vector<std::string>{"1 IN", "5 Out"}));
    Check(dialog, false, true);
    EXPECT_EQ(Keys(dialog), (std::vector<std::string>{"5 Out"}));
    EXPECT_EQ(search->text(), "citta"); // a reload keeps the search

    search->setText("777"); // a number
    EXPECT_EQ(Keys(dialog), (std::vector<std::string>{"6 Out"}));
    Check(dialog, true, true);
    EXPECT_EQ(Keys(dialog), (std::vector<std::string>{"2 IN", "6 Out"}));

    search->setText("NICCOLO"); // a phonebook name, accent and case ignored
    EXPECT_EQ(Keys(dialog), (std::vector<std::string>{"1 IN", "5 Out"}));
    Check(dialog, true, false);
    EXPECT_EQ(Keys(dialog), (std::vector<std::string>{"1 IN"}));
    search->setText("zoë");
    EXPECT_EQ(Keys(dialog), (std::vector<std::string>{"3 IN"}));
    search->setText("nobody");
    EXPECT_TRUE(Keys(dialog).empty());
    EXPECT_TRUE(messages.Texts().empty());
}

TEST_P(ArchiveSearchExportTest, TheCountFollowsTheRowsShownAndEscapeClearsTheSearch) {
    CSmsArchiveDlg dialog(&database, nullptr, &messages);
    EXPECT_EQ(dialog.CountLabel()->text(), "3 SMS");
    Check(dialog, true, true);
    EXPECT_EQ(dialog.CountLabel()->text(), "5 SMS");
    Type(dialog.SearchField(), "riga");
    EXPECT_EQ(dialog.CountLabel()->text(), "1 SMS");

    Press(dialog.SearchField(), Qt::Key_Escape);
    EXPECT_TRUE(dialog.SearchField()->text().isEmpty());
    EXPECT_EQ(dialog.CountLabel()->text(), "5 SMS");
    EXPECT_EQ(Keys(dialog).size(), 5U);
}

TEST_P(ArchiveSearchExportTest, CsvHoldsTheRowsShownAndReadsBackEqual) {
    CSmsArchiveDlg dialog(&database, nullptr, &messages);
    Check(dialog, true, true);
    dialog.SearchField()->setText("r"); // all but "Nulla"
    const std::string path = dir.File("shown.csv");
    EXPECT_EQ(dialog.ExportTo(path), 4);
    ASSERT_EQ(messages.Texts().size(), 1U);
    EXPECT_EQ(messages.Texts()[0], "4 rows written to " + path);

    const auto records = ReadCsv(FileText(path));
    ASSERT_TRUE(records.has_value());
    ASSERT_EQ(records->size(), 5U);
    EXPECT_EQ((*records)[0], (CsvRecord{"N", "TYPE", "STAT", "SMS", "DATE", "TIME.", "MITT./DEST.",
                                        "Assoc. rubrica.", "SCA.", "ISO date-time"}));
    // The text as archived (comma, quotes, line break), the date as shown plus the ISO column;
    // numbers behind an apostrophe, so that a spreadsheet shows them as text.
    EXPECT_EQ((*records)[1], (CsvRecord{"1", "IN", "CABBITTO", "Arrivo in Città, \"subito\"",
                                        "07/03/01", "14:05.09", "\'+39333111", "Niccolò",
                                        "\'+393359609600", "2001-03-07T14:05:09"}));
    EXPECT_EQ((*records)[2],
              (CsvRecord{"2", "IN", "CABBITTO", "riga1\r\nriga2", "31/12/26", "23:59.59",
                         "\'+39777", "", "\'+393359609600", "2026-12-31T23:59:59"}));
    EXPECT_EQ((*records)[3], (CsvRecord{"5", "Out", "CABBITTO", "La citta dorme", "", "",
                                        "\'+39333111", "Niccolò", "\'+393359609600", ""}));
    EXPECT_EQ((*records)[4],
              (CsvRecord{"6", "Out", "CABBITTO", "Altro", "", "", "\'+39777", "", "", ""}));
}

TEST_P(ArchiveSearchExportTest, ATxtFileGetsOneReadableBlockPerMessage) {
    CSmsArchiveDlg dialog(&database, nullptr, &messages);
    Check(dialog, true, true);
    dialog.SearchField()->setText("niccol");
    const std::string path = dir.File("shown.TXT");
    EXPECT_EQ(dialog.ExportTo(path), 2);
    EXPECT_EQ(FileText(path), "IN 07/03/01 14:05.09\n"
                              "From: +39333111 (Niccolò)\n"
                              "Service centre: +393359609600\n"
                              "Arrivo in Città, \"subito\"\n"
                              "\n"
                              "Out\n"
                              "To: +39333111 (Niccolò)\n"
                              "Service centre: +393359609600\n"
                              "La citta dorme\n");
}

TEST_P(ArchiveSearchExportTest, AnExistingFileIsReplacedOnlyWhenTheUserSaysYes) {
    CSmsArchiveDlg dialog(&database, nullptr, &messages);
    const std::string path = dir.File("old.csv");
    std::ofstream(path) << "keep me";

    messages.QueueAnswer(BoxAnswer::No);
    EXPECT_EQ(dialog.ExportTo(path), -1);
    EXPECT_EQ(FileText(path), "keep me");
    ASSERT_EQ(messages.Requests().size(), 1U); // the question, and nothing after it
    EXPECT_EQ(messages.Requests()[0].text, path + " already exists.\nDo you want to replace it?");
    EXPECT_EQ(messages.Requests()[0].buttons, BoxButtons::YesNo);

    messages.QueueAnswer(BoxAnswer::Yes);
    EXPECT_EQ(dialog.ExportTo(path), 3);
    EXPECT_EQ(ReadCsv(FileText(path))->size(), 4U);
    // No temporary file is left beside it.
    int files = 0;
    // The open database keeps its (empty) rollback journal while it holds the file.
    for (const auto& entry : std::filesystem::directory_iterator(dir.path))
        files += entry.path().string().ends_with("-journal") ? 0 : 1;
    EXPECT_EQ(files, OnServer() ? 1 : 2); // the export, and the database when it is a file
}

TEST_P(ArchiveSearchExportTest, AFileThatCannotBeWrittenIsReportedAndNothingIsLeft) {
    CSmsArchiveDlg dialog(&database, nullptr, &messages);
    const std::string path = dir.File("no-such-folder/out.csv");
    EXPECT_EQ(dialog.ExportTo(path), -1);
    ASSERT_EQ(messages.Requests().size(), 1U);
    EXPECT_EQ(messages.Requests()[0].icon, BoxIcon::Error);
    EXPECT_NE(messages.Requests()[0].text.find(path), std::string::npos);
}

} // namespace
