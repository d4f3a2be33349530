// "Copy SMS to database" from the fake tab's rows into a real database file, checked by walking
// the archive tables through their record sets.

#include "sms/CopySmsToDatabase.h"

#include "db/CDaoSMS_In.h"
#include "db/CDaoSMS_Out.h"
#include "sms/SmsTestSetup.h"

#include <gtest/gtest.h>

namespace {

using Texts = std::vector<std::string>;

const SmsRow kInRow{"1",      "IN",          "READ",  "Ciao\nMondo", "07/03/01", "14:05.09 (4)",
                    "+39333", "Mario Rossi", "+39335"};
const SmsRow kOutRow{"2", "OUT", "SENT", "abc", "", "", "--", "", "+12345678901"};

class CopySmsToDatabaseTest : public ::testing::Test, public SmsTestBase {
protected:
    void Copy(const std::vector<SmsRow>& rows) {
        form.list.Clear();
        form.InsertSmsRows(0, rows);
        OnCopySmsToDatabase(context);
    }
    long long Count(const std::string& table) {
        database.Close(); // the file is held exclusively while open
        const long long count = QueryCount(databaseFile, "SELECT count(*) FROM " + table);
        database.Open(databaseFile, true);
        return count;
    }
};

TEST_F(CopySmsToDatabaseTest, RowsGoToTheirTablesWithTextDateAndNumbers) {
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

TEST_F(CopySmsToDatabaseTest, CopyingTwiceDoublesTheArchive) {
    Copy({kInRow, kOutRow, kInRow});
    OnCopySmsToDatabase(context);
    EXPECT_EQ(Count("SMS_In"), 4);
    EXPECT_EQ(Count("SMS_Out"), 2);
}

TEST_F(CopySmsToDatabaseTest, EmptyListWritesNothing) {
    Copy({});
    EXPECT_EQ(sink.Texts(), Texts{"Nothing to copy !!"});
    EXPECT_EQ(sink.Requests().at(0).caption, "Warning");
    EXPECT_EQ(Count("SMS_In"), 0);
}

TEST_F(CopySmsToDatabaseTest, InvalidDateIsReportedAndTheRowStillStored) {
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

TEST_F(CopySmsToDatabaseTest, RefusedRowStoresNothingAndSaysWhy) {
    database.Close();
    ASSERT_TRUE(RunSql(databaseFile, "CREATE TRIGGER refuse BEFORE INSERT ON SMS_Out "
                                     "WHEN NEW.Messaggio = 'bad' BEGIN SELECT RAISE(ABORT, 'no'); "
                                     "END;"));
    ASSERT_TRUE(database.Open(databaseFile, true));
    SmsRow bad = kOutRow;
    bad[kSmsTextColumn] = "bad";
    Copy({kInRow, kOutRow, bad, kInRow});
    EXPECT_EQ(sink.Texts(), Texts{"Nothing was stored in the database: no"});
    EXPECT_EQ(sink.Requests().at(0).icon, BoxIcon::Error);
    EXPECT_EQ(Count("SMS_In"), 0);
    EXPECT_EQ(Count("SMS_Out"), 0);
}

TEST_F(CopySmsToDatabaseTest, WithoutDatabaseNothingIsWritten) {
    database.Close();
    Copy({kInRow});
    EXPECT_EQ(sink.Texts(), Texts{"Cannot Open SMS_IN"});
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
