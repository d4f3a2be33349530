// The service's archive-once table on real files: the archive row and its key are committed
// together or not at all, a message is archived once whatever the case of its hex, and the row
// remembered is the one inserted, not the newest in the table.

#include "db/ReceivedKeyTable.h"

#include "db/CDaoDatabase.h"
#include "db/CDaoSMS_In.h"
#include "db/DbTestFiles.h"

#include <algorithm>
#include <cctype>
#include <gtest/gtest.h>

namespace {

constexpr const char* kPdu = "07912143658709f1040b912143658709f100009930925161958005e8329bfd06";

class ReceivedKeyTableTest : public ::testing::Test {
protected:
    void SetUp() override {
        file = CopyShippedDatabase(dir);
        ASSERT_TRUE(database.Open(file));
    }

    // Appends one SMS_In row with this text through a record set, as the service does.
    std::function<std::string()> Append(const std::string& text) {
        return [this, text] {
            CDaoSMS_In in(&database);
            if (!in.Open(dbOpenDynaset, "SELECT * FROM SMS_IN", dbSeeChanges))
                return std::string("not opened");
            in.AddNew();
            in.Messaggio = text;
            const bool updated = in.Update();
            const bool closed = in.Close();
            return updated && closed ? std::string() : in.ErrorText();
        };
    }

    long long Count(const std::string& sql) const {
        // The service's own connection holds no transaction between calls: another sees all.
        return QueryCount(file, sql);
    }

    TempDir dir;
    std::string file;
    CDaoDatabase database;
};

TEST_F(ReceivedKeyTableTest, AMessageIsArchivedOnceAndFoundAgainByItsPdu) {
    ReceivedKeyTable keys(&database);
    const ArchivedOnce first = keys.ArchiveOnce(kPdu, Append("hello"));
    ASSERT_NE(first.id, 0) << first.error;
    EXPECT_FALSE(first.before);
    EXPECT_EQ(Count("SELECT count(*) FROM SMS_In WHERE Messaggio = 'hello' AND ID = " +
                    std::to_string(first.id)),
              1);
    std::string upper = kPdu;
    std::ranges::transform(upper, upper.begin(),
                           [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    EXPECT_EQ(keys.ArchiveIdOf(upper), first.id);
    const ArchivedOnce again = keys.ArchiveOnce(upper, Append("hello"));
    EXPECT_TRUE(again.before);
    EXPECT_EQ(again.id, first.id);
    EXPECT_EQ(Count("SELECT count(*) FROM SMS_In"), 1) << "not archived twice";
}

TEST_F(ReceivedKeyTableTest, ARowOrAKeyTheFileRefusesLeavesNeither) {
    ReceivedKeyTable keys(&database);
    // The key table refuses: the archive row goes with it.
    ASSERT_TRUE(RunSql(file, "CREATE TABLE SMS_ReceivedKey (Key TEXT PRIMARY KEY, ArchiveID "
                             "INTEGER NOT NULL, ArchivedTime TEXT); CREATE TRIGGER full BEFORE "
                             "INSERT ON SMS_ReceivedKey BEGIN SELECT RAISE(ABORT, 'database or "
                             "disk is full'); END;"));
    const ArchivedOnce keyRefused = keys.ArchiveOnce(kPdu, Append("hello"));
    EXPECT_EQ(keyRefused.id, 0);
    EXPECT_NE(keyRefused.error.find("database or disk is full"), std::string::npos)
        << keyRefused.error;
    EXPECT_EQ(Count("SELECT count(*) FROM SMS_In"), 0);
    // The archive refuses: no key is left either.
    ASSERT_TRUE(RunSql(file, "DROP TRIGGER full; CREATE TRIGGER full BEFORE INSERT ON SMS_In "
                             "BEGIN SELECT RAISE(ABORT, 'disk I/O error'); END;"));
    const ArchivedOnce rowRefused = keys.ArchiveOnce(kPdu, Append("hello"));
    EXPECT_EQ(rowRefused.id, 0);
    EXPECT_FALSE(rowRefused.error.empty());
    EXPECT_EQ(Count("SELECT count(*) FROM SMS_ReceivedKey"), 0);
    // An append that stored nothing is no archive.
    ASSERT_TRUE(RunSql(file, "DROP TRIGGER full;"));
    const ArchivedOnce nothing = keys.ArchiveOnce(kPdu, [] { return std::string(); });
    EXPECT_EQ(nothing.id, 0);
    EXPECT_EQ(Count("SELECT count(*) FROM SMS_ReceivedKey"), 0);
    // And the connection is clean for the next message.
    EXPECT_NE(keys.ArchiveOnce(kPdu, Append("hello")).id, 0);
    EXPECT_EQ(Count("SELECT count(*) FROM SMS_In"), 1);
}

TEST_F(ReceivedKeyTableTest, TheRowRememberedIsTheOneInsertedNotTheNewest) {
    // Another writer's row lands above ours in the same statement (a trigger of somebody's).
    ASSERT_TRUE(RunSql(file, "CREATE TRIGGER shadow AFTER INSERT ON SMS_In WHEN NEW.Messaggio = "
                             "'hello' BEGIN INSERT INTO SMS_In (Messaggio) VALUES ('shadow'); "
                             "END;"));
    ReceivedKeyTable keys(&database);
    const ArchivedOnce archived = keys.ArchiveOnce(kPdu, Append("hello"));
    ASSERT_NE(archived.id, 0) << archived.error;
    EXPECT_EQ(Count("SELECT count(*) FROM SMS_In WHERE Messaggio = 'hello' AND ID = " +
                    std::to_string(archived.id)),
              1);
    EXPECT_EQ(Count("SELECT max(ID) FROM SMS_In"), archived.id + 1);
}

} // namespace
