// Several services on one server outbox: each row is claimed by one of them, a claim that ran
// out passes the row on (or, for a send under way, makes it uncertain), and a new row notifies.
#include "PgTestServer.h"
#include "db/CDaoDatabase.h"
#include "db/DbTestFiles.h"
#include "db/OutboxTable.h"
#include "db/PgOutboxTable.h"

#include <gtest/gtest.h>
#include <libpq-fe.h>
#include <poll.h>
#include <thread>

namespace {

DbDateTime Now() {
    return *DbDateTime::FromParts(2026, 12, 9, 10, 0, 0);
}

class PgOutboxTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!made.SkipReason().empty())
            GTEST_SKIP() << made.SkipReason();
        ASSERT_TRUE(made.Ready()) << made.Failure();
        ASSERT_TRUE(database.Open(made.Uri())) << database.OpenErrorText();
        for (const char* to : {"+111", "+222"}) {
            OutboxRecord record;
            record.recipient = to;
            record.text = "hello";
            ASSERT_TRUE(OutboxTable(&database).Add(record));
            ids.push_back(record.id);
        }
    }

    // What another service (another process) is given next: its id, 0 for nothing, -1 when it
    // could not ask.
    int NextInOtherService() {
        const std::string uri = made.Uri();
        return RunInChild([uri] {
            CDaoDatabase other;
            if (!other.Open(uri))
                _exit(255);
            OutboxTable outbox(&other);
            const auto next = outbox.NextDue(Now());
            _exit(next ? static_cast<int>(next->id) : 0);
            return true;
        });
    }

    PgTestDatabase made;
    CDaoDatabase database;
    std::vector<std::int64_t> ids;
};

TEST_F(PgOutboxTest, AClaimedRowGoesToNoOtherServiceUntilTheClaimRunsOut) {
    OutboxTable outbox(&database);
    ASSERT_EQ(outbox.NextDue(Now())->id, ids[0]);
    EXPECT_EQ(NextInOtherService(), ids[1]) << "the claimed row is skipped";
    EXPECT_EQ(NextInOtherService(), 0) << "both rows are claimed now";
    ASSERT_EQ(outbox.NextDue(Now())->id, ids[0]) << "a service keeps its own claim";

    // The claiming service died before sending: its claim runs out and the row moves on.
    ASSERT_TRUE(made.Run("UPDATE sms_outbox SET claimeduntil = localtimestamp(0) - interval "
                         "'1 second' WHERE id = " +
                         std::to_string(ids[0])));
    EXPECT_EQ(NextInOtherService(), ids[0]);
}

TEST_F(PgOutboxTest, ASendWhoseServiceDiedBecomesUncertainAndAnotherServicesSendIsLeftAlone) {
    OutboxTable outbox(&database);
    ASSERT_EQ(outbox.NextDue(Now())->id, ids[0]);
    ASSERT_TRUE(outbox.MarkSending(ids[0], Now()));
    // Another service starting marks only its own sends (none) and those whose claim ran out.
    EXPECT_EQ(RunInChild([uri = made.Uri()] {
                  CDaoDatabase other;
                  return other.Open(uri) && OutboxTable(&other).MarkInterrupted() == 0;
              }),
              0);
    EXPECT_EQ(outbox.Find(ids[0])->state, "sending");

    ASSERT_TRUE(made.Run("UPDATE sms_outbox SET claimeduntil = localtimestamp(0) - interval "
                         "'1 second' WHERE id = " +
                         std::to_string(ids[0])));
    EXPECT_EQ(NextInOtherService(), ids[1]);
    EXPECT_EQ(outbox.Find(ids[0])->state, "uncertain") << "never sent twice by itself";
}

TEST_F(PgOutboxTest, ANewRowNotifiesTheListeningServices) {
    PGconn* listener = PQconnectdb(made.Uri().c_str());
    ASSERT_EQ(PQstatus(listener), CONNECTION_OK);
    PQclear(PQexec(listener, (std::string("LISTEN ") + kOutboxChannel).c_str()));
    OutboxRecord record;
    record.recipient = "+333";
    ASSERT_TRUE(OutboxTable(&database).Add(record));
    pollfd ready{PQsocket(listener), POLLIN, 0};
    ASSERT_EQ(poll(&ready, 1, 5000), 1) << "no notice within 5 s";
    PQconsumeInput(listener);
    PGnotify* notice = PQnotifies(listener);
    ASSERT_NE(notice, nullptr);
    EXPECT_EQ(std::string(notice->extra), std::to_string(record.id));
    PQfreemem(notice);
    PQfinish(listener);

    // A service's own connection hears of it too, once.
    OutboxTable service(&database);
    ASSERT_TRUE(service.Listen());
    EXPECT_FALSE(service.NewQueued());
    ASSERT_TRUE(OutboxTable(&database).Add(record));
    bool heard = false;
    for (int i = 0; i < 500 && !heard; ++i) {
        heard = service.NewQueued();
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    EXPECT_TRUE(heard) << "no notice within 5 s";
    EXPECT_FALSE(service.NewQueued()) << "a notice is taken once";
}

} // namespace
