// The lean walk the archive lists through reads what a record set reads: texts cut after 255
// characters (never inside one), NULL as empty, the keys in order with their gaps, a walk that
// starts at a key, the row count; a missing table or column, or a closed file, opens nothing.

#include "db/TableScan.h"

#include "EngineFixture.h"
#include "db/CDaoDatabase.h"
#include "db/CDaoSMS_In.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

class TableScanTest : public EngineTest {
protected:
    // SMS_In without its length checks, so that a longer text can be stored.
    void OpenWithLongText() {
        ASSERT_TRUE(Run(
            Sql("DROP TABLE SMS_In; CREATE TABLE SMS_In (ID INTEGER PRIMARY KEY AUTOINCREMENT, "
                "SCA TEXT, PDUTYPE INTEGER, Mittente TEXT, PID INTEGER, DCS INTEGER, DateTime "
                "TEXT, UDL INTEGER, Messaggio TEXT);"
                "INSERT INTO SMS_In (ID, Messaggio) VALUES (3, replace(printf('%.300c', 'x'), "
                "'x', 'è')), (7, NULL), (8, 'short'), (20, 'last');",
                "DROP TABLE SMS_In; CREATE TABLE SMS_In (ID integer PRIMARY KEY, SCA text, "
                "PDUTYPE smallint, Mittente text, PID smallint, DCS smallint, DateTime timestamp, "
                "UDL smallint, Messaggio text);"
                "INSERT INTO SMS_In (ID, Messaggio) VALUES (3, repeat('è', 300)), (7, NULL), "
                "(8, 'short'), (20, 'last');")));
        ASSERT_TRUE(database.Open(file, true, false));
    }

    CDaoDatabase database;
};

TELVANE_ON_BOTH_ENGINES(TableScanTest);

TEST_P(TableScanTest, ReadsWhatARecordSetReads) {
    OpenWithLongText();
    TableScan scan(&database, "SMS_In", "Messaggio, ID");
    ASSERT_TRUE(scan.IsOpen()) << scan.ErrorText();
    CDaoSMS_In in(&database);
    ASSERT_TRUE(in.Open());
    std::vector<std::int64_t> walked;
    for (; scan.Next(); in.MoveNext()) {
        ASSERT_FALSE(in.IsEOF());
        EXPECT_EQ(scan.Text(0), in.Messaggio) << scan.Key();
        EXPECT_EQ(scan.Integer(1), in.ID);
        walked.push_back(scan.Key());
    }
    EXPECT_TRUE(in.IsEOF());
    EXPECT_EQ(walked, (std::vector<std::int64_t>{3, 7, 8, 20}));
    EXPECT_EQ(scan.Keys(), walked);
    EXPECT_EQ(scan.Count(), 4);
    EXPECT_TRUE(scan.ErrorText().empty());
}

TEST_P(TableScanTest, ACutTextKeepsWholeCharactersAndAWalkStartsAtAKey) {
    OpenWithLongText();
    TableScan scan(&database, "SMS_In", "Messaggio");
    ASSERT_TRUE(scan.Next());
    std::string expected;
    for (int i = 0; i < 255; ++i)
        expected += "è";
    EXPECT_EQ(scan.Text(0), expected);
    ASSERT_TRUE(scan.StartAt(4));
    ASSERT_TRUE(scan.Next());
    EXPECT_EQ(scan.Key(), 7);
    EXPECT_TRUE(scan.IsNull(0));
    EXPECT_EQ(scan.Text(0), "");
    ASSERT_TRUE(scan.StartAt(21));
    EXPECT_FALSE(scan.Next());
}

TEST_P(TableScanTest, NothingOpensWithoutTheTableTheColumnsOrAnOpenFile) {
    ASSERT_TRUE(database.Open(file, true, false));
    EXPECT_FALSE(TableScan(&database, "SMS_In", "NoSuchColumn").IsOpen());
    TableScan missing(&database, "NoSuchTable", "ID");
    EXPECT_FALSE(missing.IsOpen());
    EXPECT_FALSE(missing.ErrorText().empty());
    EXPECT_FALSE(missing.Next());
    database.Close();
    EXPECT_FALSE(TableScan(&database, "SMS_In", "ID").IsOpen());
    EXPECT_FALSE(TableScan(nullptr, "SMS_In", "ID").IsOpen());
}

} // namespace
