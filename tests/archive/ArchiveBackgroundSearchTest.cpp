// The search index built in the background: it finds what the first search finds in the window
// (kept keys made on the way, or every row folded on a file opened for reading only), a search
// typed before it is ready waits for it, and a reload, an export or a viewer closed while it is
// being built neither lose nor mix up rows. Real widgets offscreen, real databases of each engine.

#include "ArchiveFixture.h"
#include "ScriptsArchive.h"
#include "archive/ArchiveListModel.h"
#include "archive/ArchiveTables.h"
#include "archive/CSmsArchiveDlg.h"
#include "archive/ListedTableIndex.h"
#include "db/KeyTable.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <chrono>
#include <memory>
#include <string>

namespace {

// The search keys' archive and one more sent message.
const std::string kScripts = std::string(kScriptsArchive) +
                             "INSERT INTO SMS_Out (SCA, Mittente, Messaggio) VALUES "
                             "('', '+3977', 'Città out');";

// More rows than the viewer indexes on its own thread from.
const char* const kLarge =
    "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 25000) "
    "INSERT INTO SMS_In (SCA, Mittente, DateTime, Messaggio) SELECT '+39335', '+3977' || i, "
    "'2024-03-29 15:16:59', CASE WHEN i % 5 = 0 THEN 'In Città ' || i ELSE 'testo ' || i END "
    "FROM n;"
    "INSERT INTO SMS_Out (SCA, Mittente, Messaggio) VALUES ('', '+3977', 'La citta dorme');";

// Turns the event loop until the model serves its search; false after 30 s.
bool AwaitSearch(const ArchiveListModel& model) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (model.SearchWaiting() && std::chrono::steady_clock::now() < end)
        QApplication::processEvents(QEventLoop::AllEvents, 50);
    return !model.SearchWaiting();
}

// The rows of the table holding typed, as the command line's whole-table search finds them.
int CountHolding(CDaoDatabase& database, ArchiveTable table, const std::string& typed) {
    RecordingMessageSink sink;
    ArchiveRowFilter filter(typed);
    int count = 0;
    WalkArchive(
        &database, sink, table, [&count](const SmsRow&) { ++count; }, &filter);
    return count;
}

class ArchiveBackgroundSearchTest : public ArchiveFixture {
protected:
    // Both tables listed as the viewer lists them, received rows first.
    void ListBoth(ArchiveListModel& model) {
        ASSERT_TRUE(model.LoadInFront(&database, messages, ArchiveTable::Out));
        ASSERT_TRUE(model.LoadInFront(&database, messages, ArchiveTable::In));
    }

    // Each search through an index built in the background, then through one built at the
    // search itself: the same rows.
    void ExpectBackgroundFindsTheSame() {
        ArchiveListModel background;
        background.SetBackgroundFrom(0);
        ListBoth(background);
        ArchiveListModel here;
        ListBoth(here);
        for (const char* typed : {"strasse", "citta", "CITTÀ 1", "αθηνα", "ПРИВЕТ 3", "niccolo",
                                  "+3977", "nothing at all"}) {
            background.SetSearchText(typed);
            ASSERT_TRUE(AwaitSearch(background)) << typed;
            here.SetSearchText(typed);
            EXPECT_FALSE(here.SearchWaiting());
            EXPECT_EQ(background.ShownRows(), here.ShownRows()) << typed;
        }
        EXPECT_EQ(here.ShownCount(), 0);
        here.SetSearchText("citta");
        EXPECT_EQ(here.ShownCount(), 101); // 100 received, one sent
        EXPECT_TRUE(messages.Texts().empty());
    }
};

TELVANE_ON_BOTH_ENGINES(ArchiveBackgroundSearchTest);

TEST_P(ArchiveBackgroundSearchTest, FindsWhatTheFirstSearchFindsWithKeysMadeOrRowsFolded) {
    OpenWith(kScripts);
    {
        ArchiveListModel background;
        background.SetBackgroundFrom(0);
        ListBoth(background);
        background.SetSearchText("citta");
        EXPECT_TRUE(background.SearchWaiting()); // never served before the index is handed over
        EXPECT_EQ(background.ShownCount(), 402); // every row until then
        ASSERT_TRUE(AwaitSearch(background));
        EXPECT_EQ(background.ShownCount(), 101);
    }
    // The keys were made by the build in the background.
    EXPECT_EQ(KeyTable(&database, "SMS_In_SearchKey").Count(), 400);
    ExpectBackgroundFindsTheSame();

    // Read-only: no keys are kept, every row is folded.
    database.Close();
    ASSERT_TRUE(Run("DROP TABLE SMS_In_SearchKey; DROP TABLE SMS_Out_SearchKey;"));
    ASSERT_TRUE(database.Open(file, false, true)) << database.OpenErrorText();
    ExpectBackgroundFindsTheSame();
    EXPECT_EQ(KeyTable(&database, "SMS_In_SearchKey").Count(), 0);
}

TEST_P(ArchiveBackgroundSearchTest, ABuildBrokenOffKeepsNoKeysAndTheNextFindsEveryRow) {
    OpenWith(kLarge);
    RecordingMessageSink sink;
    ArchiveRowReader reader(&database, ArchiveTable::In);
    const ListedTable listed{ArchiveTable::In,
                             std::make_shared<const std::vector<std::int64_t>>(reader.Keys()),
                             std::make_shared<const PhonebookNames>()};
    int told = 0;
    EXPECT_FALSE(IndexListedTable(&database, listed, [&told](double) { return ++told < 2; }));
    EXPECT_EQ(told, 2);
    EXPECT_EQ(KeyTable(&database, "SMS_In_SearchKey").Count(), 0); // all or nothing

    double last = 0;
    bool ascending = true;
    const auto index = IndexListedTable(&database, listed, [&](double done) {
        ascending = ascending && done >= last && done <= 1;
        last = done;
        return true;
    });
    ASSERT_TRUE(index);
    EXPECT_TRUE(ascending);
    EXPECT_GT(last, 0.9);
    EXPECT_EQ(index->RowCount(), 25000);
    EXPECT_EQ(index->Matching("citta").size(), 5000U);
    EXPECT_EQ(KeyTable(&database, "SMS_In_SearchKey").Count(), 25000);
}

TEST_P(ArchiveBackgroundSearchTest, TheViewerTellsTheWaitAndAReloadMeanwhileListsTheRightRows) {
    OpenWith(kLarge);
    const int received = CountHolding(database, ArchiveTable::In, "citta");
    const int sent = CountHolding(database, ArchiveTable::Out, "citta");
    ASSERT_EQ(received, 5000);
    ASSERT_EQ(sent, 1);

    CSmsArchiveDlg dialog(&database, nullptr, &messages);
    dialog.SearchField()->setText("citta");
    EXPECT_TRUE(dialog.CountLabel()->text().startsWith("Searching... "))
        << dialog.CountLabel()->text().toStdString();
    // OUT checked while the index is built: the build starts again over both tables.
    dialog.findChild<QCheckBox*>(QStringLiteral("control1104"))->click();
    const auto* model = dialog.findChild<ArchiveListModel*>();
    ASSERT_TRUE(AwaitSearch(*model));
    EXPECT_EQ(dialog.CountLabel()->text(), QStringLiteral("%1 SMS").arg(received + sent));
    EXPECT_EQ(model->Row(received).at(kSmsTextColumn), "La citta dorme");

    // IN unchecked: the sent table's index is kept, the search served at once.
    dialog.findChild<QCheckBox*>(QStringLiteral("control1103"))->click();
    EXPECT_FALSE(model->SearchWaiting());
    EXPECT_EQ(dialog.CountLabel()->text(), "1 SMS");
    EXPECT_TRUE(messages.Texts().empty());
}

TEST_P(ArchiveBackgroundSearchTest, AnExportOrAClosingViewerDuringTheBuildIsSound) {
    OpenWith(kLarge);
    {
        // Closed while its index is being built: the build is stopped and waited for.
        CSmsArchiveDlg closing(&database, nullptr, &messages);
        closing.SearchField()->setText("citta");
    }
    CSmsArchiveDlg dialog(&database, nullptr, &messages);
    dialog.SearchField()->setText("citta");
    ASSERT_TRUE(dialog.findChild<ArchiveListModel*>()->SearchWaiting());
    // The export writes the rows the search finds, not every row shown while it waits.
    EXPECT_EQ(dialog.ExportTo(dir.File("found.csv")), 5000);
    EXPECT_EQ(dialog.CountLabel()->text(), "5000 SMS");
}

} // namespace
