// "Copy SMS to database" from the fake tab's rows into a real database of each engine (a copy of
// the shipped file, a database on the test server), checked by walking the archive tables
// through their record sets.

#include "sms/CopySmsToDatabase.h"

#include "db/CDaoSMS_In.h"
#include "db/CDaoSMS_Out.h"
#include "db/EngineFixture.h"
#include "sms/SmsTestSetup.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <unistd.h>

namespace {

using Texts = std::vector<std::string>;

const SmsRow kInRow{"1",      "IN",          "READ",  "Ciao\nMondo", "07/03/01", "14:05.09 (4)",
                    "+39333", "Mario Rossi", "+39335"};
const SmsRow kOutRow{"2", "OUT", "SENT", "abc", "", "", "--", "", "+12345678901"};

// The message tests' setting, with the database of the engine under test open instead.
class CopySmsToDatabaseTest : public EngineTest, public SmsTestBase {
protected:
    void SetUp() override {
        EngineTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        database.Close();
        ASSERT_TRUE(database.Open(file, true)) << database.OpenErrorText();
    }

    void Copy(const std::vector<SmsRow>& rows) {
        form.list.Clear();
        form.InsertSmsRows(0, rows);
        OnCopySmsToDatabase(context);
    }
    long long Rows(const std::string& table) {
        database.Close(); // the database is held exclusively while open
        const long long count = Count("SELECT count(*) FROM " + table);
        database.Open(file, true);
        return count;
    }
};

TELVANE_ON_BOTH_ENGINES(CopySmsToDatabaseTest);

TEST_P(CopySmsToDatabaseTest, RowsGoToTheirTablesWithTextDateAndNumbers) {
    Copy({kInRow, kOutRow});
    EXPECT_EQ(sink.Texts(), Texts{"SMS succesfully copied to database"});
    EXPECT_EQ(sink.Requests().at(0).caption, "Information");

    CDaoSMS_In in(&database);
    ASSERT_TRUE(in.Open(dbOpenDynaset, "SELECT * FROM SMS_IN", dbSeeChanges));
    ASSERT_FALSE(in.IsEOF());
    EXPECT_EQ(in.Messaggio, "Ciao\nMondo");
    EXPECT_EQ(in.SCA, "+39335");
    EXPECT_EQ(in.Mittente, "+39333");
    EXPECT_EQ(in.DateTime, DbDateTime::FromParts(2001, 3, 7, 14, 5, 9));
    EXPECT_GT(in.ID, 0);
    in.MoveNext();
    EXPECT_TRUE(in.IsEOF());
    in.Close();

    CDaoSMS_Out out(&database);
    ASSERT_TRUE(out.Open(dbOpenDynaset, "SELECT * FROM SMS_OUT", dbSeeChanges));
    ASSERT_FALSE(out.IsEOF());
    EXPECT_EQ(out.Messaggio, "abc");
    EXPECT_EQ(out.Mittente, "--");
    EXPECT_EQ(out.SCA, "+12345678901");
    out.Close();
    EXPECT_EQ(form.SmsRowCount(), 2); // the list is not touched
}

TEST_P(CopySmsToDatabaseTest, CopyingTwiceDoublesTheArchive) {
    Copy({kInRow, kOutRow, kInRow});
    OnCopySmsToDatabase(context);
    EXPECT_EQ(Rows("SMS_In"), 4);
    EXPECT_EQ(Rows("SMS_Out"), 2);
}

TEST_P(CopySmsToDatabaseTest, ReportsAndUndecodedRowsAreNotArchivedAndTheStatusBarSaysSo) {
    const SmsRow report = ReportRow("3");
    SmsRow raw{"4", "IN", "UNREAD", "07912143658709F1040B91", "", "", "", "", ""};
    raw[kSmsKindField] = kSmsUndecodedKind;
    Copy({kInRow, report, raw, kOutRow, raw});
    EXPECT_EQ(sink.Texts(), Texts{"SMS succesfully copied to database"});
    EXPECT_EQ(form.Calls(),
              Texts{"status Not copied to the database: 1 status report and 2 messages that did "
                    "not decode"});
    EXPECT_EQ(Rows("SMS_In"), 1);
    EXPECT_EQ(Rows("SMS_Out"), 1);
    EXPECT_EQ(LeftOutNote({2, 0}), "Not copied to the database: 2 status reports");
    EXPECT_EQ(LeftOutNote({0, 1}), "Not copied to the database: 1 message that did not decode");
    EXPECT_EQ(LeftOutNote({}), "");
}

TEST_P(CopySmsToDatabaseTest, EmptyListWritesNothing) {
    Copy({});
    EXPECT_EQ(sink.Texts(), Texts{"Nothing to copy !!"});
    EXPECT_EQ(sink.Requests().at(0).caption, "Warning");
    EXPECT_EQ(Rows("SMS_In"), 0);
}

TEST_P(CopySmsToDatabaseTest, InvalidDateIsReportedAndTheRowStillStored) {
    SmsRow row = kInRow;
    row[kSmsDateColumn] = "31/02/24";
    Copy({row});
    EXPECT_EQ(sink.Texts(),
              (Texts{"Cannot set Date and Time", "SMS succesfully copied to database"}));
    EXPECT_EQ(sink.Requests().at(0).caption, "14:05.09 (4)");
    EXPECT_EQ(sink.Requests().at(0).icon, BoxIcon::Error);
    CDaoSMS_In in(&database);
    ASSERT_TRUE(in.Open(dbOpenDynaset, "SELECT * FROM SMS_IN", dbSeeChanges));
    EXPECT_FALSE(in.DateTime.has_value());
    EXPECT_EQ(in.Messaggio, "Ciao\nMondo");
}

TEST_P(CopySmsToDatabaseTest, RefusedRowStoresNothingAndSaysWhy) {
    database.Close();
    ASSERT_TRUE(Run(Sql("CREATE TRIGGER refuse BEFORE INSERT ON SMS_Out "
                        "WHEN NEW.Messaggio = 'bad' BEGIN SELECT RAISE(ABORT, 'no'); END;",
                        "CREATE FUNCTION refuse() RETURNS trigger LANGUAGE plpgsql AS "
                        "$$BEGIN RAISE EXCEPTION 'no'; END$$; CREATE TRIGGER refuse BEFORE "
                        "INSERT ON SMS_Out FOR EACH ROW WHEN (NEW.Messaggio = 'bad') "
                        "EXECUTE FUNCTION refuse();")));
    ASSERT_TRUE(database.Open(file, true));
    SmsRow bad = kOutRow;
    bad[kSmsTextColumn] = "bad";
    Copy({kInRow, kOutRow, bad, kInRow});
    EXPECT_EQ(sink.Texts(), Texts{"Nothing was stored in the database: no"});
    EXPECT_EQ(sink.Requests().at(0).icon, BoxIcon::Error);
    EXPECT_EQ(Rows("SMS_In"), 0);
    EXPECT_EQ(Rows("SMS_Out"), 0);
}

TEST_P(CopySmsToDatabaseTest, WithoutDatabaseNothingIsWritten) {
    database.Close();
    Copy({kInRow});
    EXPECT_EQ(sink.Texts(), Texts{"Cannot Open SMS_IN"});
}

// A file that cannot take the rows: the copy stores all rows or none, and the success box comes
// only after the rows are stored. A full disk, a size limit and a file's mode are the file's.
class CopyOnFullDiskTest : public ::testing::Test, public SmsTestBase {
protected:
    // 10,000 rows, as a long read of a phone gives: more than the file has room for.
    void ListManyRows() {
        std::vector<SmsRow> rows;
        for (int i = 0; i < 10000; ++i)
            rows.push_back(i % 5 == 0 ? kOutRow : kInRow);
        form.InsertSmsRows(0, rows);
    }

    void ExpectNothingStored() {
        database.Close();
        EXPECT_EQ(QueryCount(databaseFile, "SELECT count(*) FROM SMS_In"), 0);
        EXPECT_EQ(QueryCount(databaseFile, "SELECT count(*) FROM SMS_Out"), 0);
        EXPECT_TRUE(IntegrityOk(databaseFile));
    }
};

TEST_F(CopyOnFullDiskTest, AFullDiskStoresNothingAndSaysWhyWithoutTheSuccessBox) {
    database.Close();
    const FullDisk full;
    ASSERT_TRUE(database.Open(databaseFile, true, false)) << "a full disk still opens";
    ListManyRows();
    OnCopySmsToDatabase(context);
    EXPECT_EQ(sink.Texts(), Texts{"Nothing was stored in the database: database or disk is full"});
    EXPECT_EQ(sink.Requests().at(0).icon, BoxIcon::Error);
    ExpectNothingStored();
}

// The rows fit the engine's cache; only the commit at the close finds the disk full.
TEST_F(CopyOnFullDiskTest, ACommitThatFailsStoresNothingAndSaysWhyWithoutTheSuccessBox) {
    database.Close();
    const auto size = static_cast<long long>(std::filesystem::file_size(databaseFile));
    const int child = RunInChild([this, size] {
        LimitFileSize(size + 4096);
        if (!database.Open(databaseFile, true, false))
            return false;
        ListManyRows();
        OnCopySmsToDatabase(context);
        return sink.Texts() == Texts{"Nothing was stored in the database: disk I/O error"};
    });
    EXPECT_EQ(child, 0);
    ExpectNothingStored();
}

// A file can be made read-only under a program only by its mode: the program's open file stays
// writable (and its journal stays open in exclusive mode), so the copy is stored and says so.
TEST_F(CopyOnFullDiskTest, AFileMadeReadOnlyWhileOpenStillTakesTheCopy) {
    database.Close();
    std::filesystem::permissions(dir.path, std::filesystem::perms::all);
    const std::filesystem::path folder = dir.path / "own";
    std::filesystem::create_directory(folder);
    const std::string file = (folder / "telvane.mdb").string();
    std::filesystem::copy_file(databaseFile, file);
    if (geteuid() == 0) {
        ASSERT_EQ(chown(folder.c_str(), 65534, 65534), 0);
        ASSERT_EQ(chown(file.c_str(), 65534, 65534), 0);
    }
    const int child = RunInChild([this, &folder, &file] {
        if (!DropRoot() || !database.Open(file, true, false))
            return false;
        std::filesystem::permissions(file, std::filesystem::perms::owner_read);
        std::filesystem::permissions(folder, std::filesystem::perms::owner_read |
                                                 std::filesystem::perms::owner_exec);
        form.InsertSmsRows(0, {kInRow, kOutRow});
        OnCopySmsToDatabase(context);
        database.Close();
        return sink.Texts() == Texts{"SMS succesfully copied to database"};
    });
    EXPECT_EQ(child, 0);
    EXPECT_EQ(QueryCount(file, "SELECT count(*) FROM SMS_In"), 1);
    EXPECT_EQ(QueryCount(file, "SELECT count(*) FROM SMS_Out"), 1);
}

TEST(ListDateTimeTest, TwoDigitYearsAndTheTextForms) {
    EXPECT_EQ(ListDateTime("01/01/49", "00:00.00 (0)"), DbDateTime::FromParts(2049, 1, 1, 0, 0, 0));
    EXPECT_EQ(ListDateTime("01/01/50", "00:00.00 (0)"), DbDateTime::FromParts(1950, 1, 1, 0, 0, 0));
    EXPECT_EQ(ListDateTime("1/2/2003", "1:2.3"), DbDateTime::FromParts(2003, 2, 1, 1, 2, 3));
    EXPECT_FALSE(ListDateTime("", ""));
    EXPECT_FALSE(ListDateTime("07/03", "14:05.09 (4)"));
    EXPECT_FALSE(ListDateTime("07/03/01", "25:00.00 (4)"));
    EXPECT_FALSE(ListDateTime("07-03-01", "14:05.09"));
}

} // namespace
