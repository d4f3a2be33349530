// The search through the keys kept beside the messages finds what a search of every row finds:
// on a first search (which makes the keys), after rows added through the program's own append
// path, after rows removed or added below the last key by another program, and on a file opened
// for reading only (which keeps no keys). Real databases of each engine.

#include "ScriptsArchive.h"
#include "archive/ArchiveSearch.h"
#include "archive/ArchiveTables.h"
#include "common/RecordingMessageSink.h"
#include "db/CDaoDatabase.h"
#include "db/CDaoSMS_In.h"
#include "db/EngineFixture.h"

#include <gtest/gtest.h>
#include <vector>

namespace {

const char* const kArchive = kScriptsArchive;

const std::vector<std::string> kSearches = {"strasse", "citta 1", "αθηνα",         "ПРИВЕТ 3",
                                            "niccolo", "+3977",   "nothing at all"};

class ArchiveSearchKeysTest : public EngineTest {
protected:
    void SetUp() override {
        EngineTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        ASSERT_TRUE(Run(kArchive));
    }

    // Through the keys (when the table keeps them) and through every row, for each search.
    void ExpectSameRows(CDaoDatabase& database, const std::string& when) {
        for (const ArchiveTable table : {ArchiveTable::In, ArchiveTable::Out}) {
            std::vector<SmsRow> all;
            ASSERT_TRUE(WalkArchive(&database, sink, table,
                                    [&all](const SmsRow& row) { all.push_back(row); }));
            ArchiveSearch search;
            search.Index(all);
            for (const std::string& typed : kSearches) {
                std::vector<SmsRow> expected;
                for (const int row : search.Matching(typed))
                    expected.push_back(all[static_cast<std::size_t>(row)]);
                std::vector<SmsRow> found;
                ArchiveRowFilter filter(typed);
                ASSERT_TRUE(WalkArchive(
                    &database, sink, table, [&found](const SmsRow& row) { found.push_back(row); },
                    &filter));
                EXPECT_EQ(found, expected) << typed << " " << when;
            }
        }
        EXPECT_TRUE(sink.Texts().empty()) << when;
    }

    RecordingMessageSink sink;
};

TELVANE_ON_BOTH_ENGINES(ArchiveSearchKeysTest);

TEST_P(ArchiveSearchKeysTest, TheKeysFindWhatEveryRowFindsAsTheArchiveChanges) {
    {
        CDaoDatabase database;
        ASSERT_TRUE(database.Open(file, true, false));
        ExpectSameRows(database, "first search");
        CDaoSMS_In in(&database);
        ASSERT_TRUE(in.Open());
        ASSERT_TRUE(in.AddNew());
        in.Mittente = "+39333111";
        in.Messaggio = "Nuova città";
        ASSERT_TRUE(in.Update());
        ASSERT_TRUE(in.Close());
        ExpectSameRows(database, "after an append");
    }
    EXPECT_EQ(Count("SELECT count(*) FROM SMS_In_SearchKey"), 401);
    ASSERT_TRUE(Run("DELETE FROM SMS_In WHERE ID % 5 = 0; INSERT INTO SMS_In (ID, Messaggio) "
                    "VALUES (10, 'CITTÀ inserita sotto');"));
    CDaoDatabase database;
    ASSERT_TRUE(database.Open(file, true, false));
    ExpectSameRows(database, "after another program's changes");
}

TEST_P(ArchiveSearchKeysTest, ADatabaseOpenForReadingOnlyIsSearchedRowByRow) {
    CDaoDatabase database;
    ASSERT_TRUE(database.Open(file, true, true)) << database.OpenErrorText();
    ExpectSameRows(database, "read-only");
    database.Close();
    EXPECT_EQ(Count(Sql("SELECT count(*) FROM sqlite_master WHERE name LIKE '%SearchKey'",
                        "SELECT count(*) FROM information_schema.tables "
                        "WHERE table_name ILIKE '%SearchKey'")),
              0);
}

} // namespace
