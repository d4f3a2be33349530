// The outbox on real files: rows are picked in ID order once due, a retry waits for its time,
// a send cut off is marked uncertain and never picked again, an older file gets the table, and
// a second connection (another program) may insert while the service's is open.

#include "db/OutboxTable.h"

#include "EngineFixture.h"
#include "db/CDaoDatabase.h"

#include <gtest/gtest.h>

namespace {

DbDateTime At(int hour, int minute) {
    return *DbDateTime::FromParts(2026, 12, 9, hour, minute, 0);
}

class OutboxTableTest : public EngineDatabaseTest {
protected:
    OutboxTableTest() { exclusive = false; }

    std::int64_t Queue(const std::string& recipient, const std::string& text) {
        OutboxRecord record;
        record.recipient = recipient;
        record.text = text;
        OutboxTable outbox(&database);
        EXPECT_TRUE(outbox.Add(record)) << outbox.ErrorText();
        return record.id;
    }
};

TELVANE_ON_BOTH_ENGINES(OutboxTableTest);

// A file made before the outbox was.
class OutboxFileTest : public OutboxTableTest {};
INSTANTIATE_TEST_SUITE_P(File, OutboxFileTest, ::testing::Values(Engine::Sqlite), EngineName);

TEST_P(OutboxTableTest, PicksDueRowsInOrderAndWaitsForARetrysTime) {
    const std::int64_t first = Queue("+111", "one");
    const std::int64_t second = Queue("+222", "two");
    OutboxTable outbox(&database);
    ASSERT_EQ(outbox.NextDue(At(10, 0))->id, first);
    ASSERT_TRUE(outbox.MarkSending(first, At(10, 0)));
    EXPECT_EQ(outbox.NextDue(At(10, 0))->id, second) << "a row being sent is not picked again";
    ASSERT_TRUE(outbox.MarkRetry(first, "+CMS ERROR: 500", At(10, 5)));
    ASSERT_TRUE(outbox.MarkSending(second, At(10, 1)));
    ASSERT_TRUE(outbox.MarkSent(second, {17}, At(10, 1)));
    EXPECT_FALSE(outbox.NextDue(At(10, 4))) << "the retry is not due yet";
    const std::optional<OutboxRecord> retry = outbox.NextDue(At(10, 5));
    ASSERT_TRUE(retry);
    EXPECT_EQ(retry->id, first);
    EXPECT_EQ(retry->tries, 1);
    EXPECT_EQ(retry->error, "+CMS ERROR: 500");
    const OutboxRecord sent = *outbox.Find(second);
    EXPECT_EQ(sent.state, "sent");
    EXPECT_EQ(sent.reference, 17);
    EXPECT_EQ(sent.sent, At(10, 1));
    ASSERT_TRUE(outbox.MarkFailed(first, "+CMS ERROR: 38"));
    EXPECT_EQ(outbox.Find(first)->state, "failed");
    EXPECT_FALSE(outbox.NextDue(At(23, 0)));
}

TEST_P(OutboxTableTest, ASendCutOffBecomesUncertainAndIsNeverPickedAgain) {
    const std::int64_t id = Queue("+111", "one");
    OutboxTable outbox(&database);
    ASSERT_TRUE(outbox.MarkSending(id, At(10, 0)));
    EXPECT_EQ(outbox.MarkInterrupted(), 1);
    EXPECT_EQ(outbox.Find(id)->state, "uncertain");
    EXPECT_FALSE(outbox.NextDue(At(23, 0)));
    EXPECT_EQ(outbox.MarkInterrupted(), 0);
}

TEST_P(OutboxFileTest, AnOlderFileGetsTheTableAndAnotherProgramMayInsert) {
    database.Close();
    ASSERT_TRUE(RunSql(file, "DROP TABLE SMS_Outbox;"));
    ASSERT_TRUE(database.Open(file));
    OutboxTable outbox(&database);
    EXPECT_TRUE(outbox.All().empty());
    EXPECT_FALSE(outbox.NextDue(At(10, 0))) << "no table yet: nothing due, no error";
    ASSERT_TRUE(outbox.Ensure()) << outbox.ErrorText();
    // A plain client of the same file while ours is open, with text a shell would mangle.
    ASSERT_TRUE(RunSql(file, "INSERT INTO SMS_Outbox (Recipient, Text) VALUES ('+333', "
                             "'it''s; DROP TABLE SMS_In; --');"));
    const std::vector<OutboxRecord> rows = outbox.All();
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].text, "it's; DROP TABLE SMS_In; --");
    EXPECT_EQ(rows[0].state, "new");
    EXPECT_TRUE(rows[0].created) << "the file stamps the time a row was queued";
    EXPECT_FALSE(RunSql(file, "INSERT INTO SMS_Outbox (Recipient, State) VALUES ('+1', 'odd');"))
        << "a state outside the five is refused";
    EXPECT_FALSE(RunSql(file, "INSERT INTO SMS_Outbox (Recipient) VALUES ('');"));
}

TEST_P(OutboxTableTest, EveryPartsReferenceIsKeptAndAnUnhandedTryIsNotCounted) {
    const std::int64_t id = Queue("+111", "a long one");
    OutboxTable outbox(&database);
    ASSERT_TRUE(outbox.MarkSending(id, At(10, 0)));
    ASSERT_TRUE(outbox.MarkNotHanded(id, "the port went away"));
    std::optional<OutboxRecord> row = outbox.NextDue(At(10, 0));
    ASSERT_TRUE(row) << "due again at once";
    EXPECT_EQ(row->tries, 0);
    ASSERT_TRUE(outbox.MarkSending(id, At(10, 1)));
    ASSERT_TRUE(outbox.MarkSent(id, {12, -1, 14}, At(10, 1)));
    row = outbox.Find(id);
    ASSERT_TRUE(row);
    EXPECT_EQ(row->reference, 12) << "the first part's, which reports are matched by";
    EXPECT_EQ(row->partReferences, "12,?,14");
    EXPECT_EQ(row->tries, 1);
    ASSERT_TRUE(outbox.RecordDelivery(12, "+111", "delivered"));
    EXPECT_EQ(outbox.Find(id)->delivery, "delivered");
}

TEST_P(OutboxFileTest, AnOlderTableGetsThePartReferencesColumnAtItsFirstWrite) {
    database.Close();
    ASSERT_TRUE(RunSql(file, "ALTER TABLE SMS_Outbox DROP COLUMN PartReferences;"));
    ASSERT_TRUE(database.Open(file));
    const std::int64_t id = Queue("+111", "a long one");
    OutboxTable outbox(&database);
    ASSERT_TRUE(outbox.MarkSending(id, At(10, 0)));
    ASSERT_TRUE(outbox.MarkSent(id, {12, 13}, At(10, 1)));
    const std::optional<OutboxRecord> row = outbox.Find(id);
    ASSERT_TRUE(row);
    EXPECT_EQ(row->partReferences, "12,13");
}

} // namespace
