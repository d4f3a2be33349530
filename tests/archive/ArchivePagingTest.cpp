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

const char* const kManyRows =
    "INSERT INTO Phonebook (Pos, Numero, Nome, Type, Memory) VALUES "
    "('1', '+393330007', 'Niccolò', '145', 'SM');"
    "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 2600) "
    "INSERT INTO SMS_In (ID, SCA, Mittente, DateTime, Messaggio) SELECT i * 3, '+39335', "
    "'+39333000' || (i % 10), printf('2024-03-%02d 10:%02d:%02d', i % 28 + 1, i % 60, i % 59), "
    "printf('Città numero %d' || char(10) || 'fine', i) FROM n;"
    "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 1400) "
    "INSERT INTO SMS_Out (ID, SCA, Mittente, Messaggio) SELECT i * 2, '', '+39444' || i, "
    "printf('Risposta %d', i) FROM n;"
    "DELETE FROM SMS_In WHERE ID % 7 = 0;";

class ArchivePagingTest : public ArchiveFixture {
protected:
    void SetUp() override { OpenWith(kManyRows); }

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

TEST_F(ArchivePagingTest, EveryCellIsTheWholeReadsAcrossPagesAndTables) {
    const std::vector<SmsRow> whole = WholeRead();
    ASSERT_EQ(whole.size(), 2600U - 371U + 1400U);
    CSmsArchiveDlg dialog(&database, nullptr, &messages);
    ListBoth(dialog);
    EXPECT_EQ(ModelRows(dialog), AsShown(whole));
    EXPECT_TRUE(messages.Texts().empty());
}

TEST_F(ArchivePagingTest, SearchAndExportGiveTheRowsOfTheWholeRead) {
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
