// "SMS View" on more rows than its page cache holds, with gaps in the keys and both tables
// listed: every cell the view's model hands out, the rows a search shows and the export are the
// rows a whole read of the tables gives, in its order.

#include "ArchiveFixture.h"
#include "archive/ArchiveSearch.h"
#include "archive/ArchiveTables.h"
#include "archive/CSmsArchiveDlg.h"
#include "sms/SmsExport.h"

#include <QAbstractItemModel>
#include <QCheckBox>
#include <QLineEdit>
#include <QTableView>
#include <filesystem>
#include <vector>

namespace {

// The same rows on both engines: fields of two digits and the line break are built without
// SQLite's printf() and char(); the server takes the date text only as a timestamp.
std::string ManyRows(const std::string& asDateTime) {
    return "INSERT INTO Phonebook (Pos, Numero, Nome, Type, Memory) VALUES "
           "('1', '+393330007', 'Niccolò', '145', 'SM');"
           "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 2600) "
           "INSERT INTO SMS_In (ID, SCA, Mittente, DateTime, Messaggio) SELECT i * 3, '+39335', "
           "'+39333000' || (i % 10), ('2024-03-' || (CASE WHEN i % 28 < 9 THEN '0' ELSE '' END) "
           "|| (i % 28 + 1) || ' 10:' || (CASE WHEN i % 60 < 10 THEN '0' ELSE '' END) || (i % 60) "
           "|| ':' || (CASE WHEN i % 59 < 10 THEN '0' ELSE '' END) || (i % 59))" +
           asDateTime +
           ", 'Città numero ' || i || '\nfine' FROM n;"
           "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 1400) "
           "INSERT INTO SMS_Out (ID, SCA, Mittente, Messaggio) SELECT i * 2, '', '+39444' || i, "
           "'Risposta ' || i FROM n;"
           "DELETE FROM SMS_In WHERE ID % 7 = 0;";
}

class ArchivePagingTest : public ArchiveFixture {
protected:
    void SetUp() override {
        ArchiveFixture::SetUp();
        if (!IsSkipped() && !HasFatalFailure())
            OpenWith(ManyRows(Sql("", "::timestamp")));
    }

    // What a whole read of both tables lists, received rows first.
    std::vector<SmsRow> WholeRead() {
        std::vector<SmsRow> rows =
            ReadArchiveIn(&database, messages).value_or(std::vector<SmsRow>{});
        const std::vector<SmsRow> out =
            ReadArchiveOut(&database, messages).value_or(std::vector<SmsRow>{});
        rows.insert(rows.end(), out.begin(), out.end());
        return rows;
    }

    static std::vector<SmsRow> ModelRows(const CSmsArchiveDlg& dialog) {
        const QAbstractItemModel* model =
            dialog.findChild<QTableView*>(QStringLiteral("control1102"))->model();
        std::vector<SmsRow> rows(static_cast<std::size_t>(model->rowCount()));
        // Backwards, so that pages are fetched out of order and evicted.
        for (int row = model->rowCount() - 1; row >= 0; --row)
            for (int column = 0; column < kSmsColumnCount; ++column)
                rows[static_cast<std::size_t>(row)][static_cast<std::size_t>(column)] =
                    model->index(row, column).data().toString().toStdString();
        return rows;
    }

    // As the list shows them: the nine columns, line breaks as spaces.
    static std::vector<SmsRow> AsShown(std::vector<SmsRow> rows) {
        for (SmsRow& row : rows) {
            row[kSmsTextColumn] = DisplayText(row[kSmsTextColumn]);
            for (std::size_t field = kSmsColumnCount; field < row.size(); ++field)
                row[field].clear();
        }
        return rows;
    }

    static void ListBoth(CSmsArchiveDlg& dialog) {
        dialog.findChild<QCheckBox*>(QStringLiteral("control1104"))->click();
    }
};

TELVANE_ON_BOTH_ENGINES(ArchivePagingTest);

TEST_P(ArchivePagingTest, EveryCellIsTheWholeReadsAcrossPagesAndTables) {
    const std::vector<SmsRow> whole = WholeRead();
    ASSERT_EQ(whole.size(), 2600U - 371U + 1400U);
    CSmsArchiveDlg dialog(&database, nullptr, &messages);
    ListBoth(dialog);
    EXPECT_EQ(ModelRows(dialog), AsShown(whole));
    EXPECT_TRUE(messages.Texts().empty());
}

TEST_P(ArchivePagingTest, SearchAndExportGiveTheRowsOfTheWholeRead) {
    const std::vector<SmsRow> whole = WholeRead();
    CSmsArchiveDlg dialog(&database, nullptr, &messages);
    ListBoth(dialog);
    for (const char* typed : {"NUMERO 12", "niccolo", "risposta 13", "citta"}) {
        dialog.SearchField()->setText(QString::fromUtf8(typed));
        ArchiveSearch search;
        search.Index(whole);
        std::vector<SmsRow> expected;
        for (const int row : search.Matching(typed))
            expected.push_back(whole[static_cast<std::size_t>(row)]);
        ASSERT_FALSE(expected.empty()) << typed;
        EXPECT_EQ(ModelRows(dialog), AsShown(expected)) << typed;
        const std::string path = dir.File("export.csv");
        EXPECT_EQ(dialog.ExportTo(path), static_cast<int>(expected.size())) << typed;
        std::filesystem::remove(path);
    }
}

} // namespace
