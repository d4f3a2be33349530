// telvane-cli on a PostgreSQL server database: db init, queue and archive with a URI, and four
// serve processes on four simulators sharing one outbox of 2,000 messages and one archive, one
// of them killed outright mid-run: the simulators' transcripts show every message sent once.

#include "cli/CliTestSetup.h"
#include "cli/ServeFleet.h"
#include "cli/ServeFleetChecks.h"
#include "common/PhoneSim.h"
#include "db/PgTestServer.h"

#include <chrono>
#include <csignal>
#include <functional>
#include <gtest/gtest.h>
#include <iostream>
#include <map>
#include <memory>
#include <thread>

namespace {

class ServeServerTest : public ::testing::Test, public CliTestBase {
protected:
    void SetUp() override { SKIP_WITHOUT_SERVER(server); }

    CliResult OnServer(Lines arguments) {
        arguments.insert(arguments.begin(), {"--db", server.Uri()});
        return Cli(arguments);
    }

    PgTestDatabase server;
};

TEST_F(ServeServerTest, DbInitQueueAndArchiveTakeAUri) {
    PgTestDatabase empty(false);
    const Lines init = {"db", "init", "--db", empty.Uri()};
    const CliResult made = Cli(init);
    EXPECT_EQ(made.status, 0) << made.err;
    EXPECT_EQ(empty.Count("SELECT count(*) FROM dbpid"), 21);
    const CliResult again = Cli(init);
    EXPECT_EQ(again.status, 1);
    EXPECT_NE(again.err.find("already holds tables"), std::string::npos) << again.err;
    EXPECT_EQ(Cli({"db", "init"}).status, 2) << "a file is not made this way";

    const CliResult queued = OnServer({"queue", "--to", "+39333", "--", "it's -- 50%"});
    ASSERT_EQ(queued.status, 0) << queued.err;
    EXPECT_EQ(SplitLines(queued.out), (Lines{"1"}));
    EXPECT_EQ(server.Count("SELECT count(*) FROM sms_outbox WHERE text = 'it''s -- 50%' AND "
                           "state = 'new'"),
              1);

    ASSERT_TRUE(server.Run("INSERT INTO phonebook (numero, nome) VALUES ('+3912345', 'Mario');"
                           "INSERT INTO sms_in (messaggio, sca, mittente, datetime) VALUES "
                           "('Ciao tu', '+39', '+3912345', '2024-03-29 15:16:59'), "
                           "('other', '+39', '+555', NULL)"));
    const CliResult listed = OnServer({"--format", "csv", "archive", "--search", "TU"});
    EXPECT_EQ(listed.status, 0) << listed.err;
    EXPECT_EQ(SplitLines(listed.out),
              (Lines{"N,TYPE,STAT,SMS,DATE,TIME.,MITT./DEST.,Assoc. rubrica.,SCA.",
                     "1,IN,CABBITTO,Ciao tu,29/03/24,15:16.59,+3912345,Mario,+39"}));
}

TEST_F(ServeServerTest, FourServicesSendEachOfTwoThousandOnceThoughOneIsKilled) {
    constexpr int kMessages = 2000;
    constexpr int kServices = 4;
    ASSERT_TRUE(server.Run(QueueStatement(kMessages)));
    // Each phone, with an IMEI of its own, holds the same message (sent to all four numbers),
    // and is given another of its own while the outbox goes. A killed service's claim runs out
    // in seconds rather than two minutes.
    std::vector<std::unique_ptr<ServeService>> fleet;
    std::string modems;
    for (int i = 1; i <= kServices; ++i) {
        const std::string imei = "35000000000000" + std::to_string(i);
        modems += (modems.empty() ? "'" : ", '") + imei + "'";
        fleet.push_back(
            std::make_unique<ServeService>(Sms(1, 1, kHelloPdu) + "reply AT+CGSN " + imei + "|OK\n",
                                           server.Uri(), Lines{"--claim-time", "3"}));
    }
    for (auto& service : fleet)
        ASSERT_TRUE(service->process->Start());

    const std::string sentRows = "SELECT count(*) FROM sms_outbox WHERE state = 'sent'";
    const std::string archived = "SELECT count(*) FROM sms_in";
    ASSERT_TRUE(WaitUntil([&] { return server.Count(sentRows) >= kMessages / 10; }))
        << "the services did not get going:\n"
        << FleetLogs(fleet);
    // Archived while the outbox goes, not once it is empty.
    for (auto& service : fleet)
        ASSERT_TRUE(service->phone.Arrive("1"));
    ASSERT_TRUE(WaitUntil([&] { return server.Count(archived) >= 2 * kServices; }))
        << FleetLogs(fleet);
    // Not a race with the sends' pace (a turn lasts a second): only that rows were still waiting.
    EXPECT_LT(server.Count(sentRows), kMessages) << "the outbox held back the archiving";
    ASSERT_TRUE(WaitUntil([&] { return server.Count(sentRows) >= kMessages / 2; }));
    const std::string killed = std::to_string(fleet[0]->process->Pid());
    fleet[0]->process->Signal(SIGKILL);
    fleet[0]->process->Wait(5000);
    const long long sentAtTheKill = server.Count(sentRows);
    EXPECT_LT(sentAtTheKill, kMessages) << "killed while rows were left";
    // What it held when it died: a row it had taken ("new") or was sending.
    const long long left =
        server.Count("SELECT count(*) FROM sms_outbox WHERE state IN ('new', 'sending') AND "
                     "split_part(claimedby, ':', 2) = '" +
                     killed + "'");
    const std::string open = "SELECT count(*) FROM sms_outbox WHERE state IN ('new', 'sending')";
    EXPECT_TRUE(WaitUntil([&] { return server.Count(open) == 0; })) << FleetLogs(fleet);
    for (std::size_t i = 1; i < fleet.size(); ++i) {
        fleet[i]->process->Signal(SIGTERM);
        EXPECT_EQ(fleet[i]->process->Wait(5000).status, 0);
    }

    // What the phones accepted, by recipient: none twice, every sent row among them, and
    // nothing beyond the sent rows but the one under way at the kill.
    std::map<std::string, int> sends;
    for (const auto& service : fleet) {
        EXPECT_FALSE(service->phone.SentPdus().empty()) << "a service sent nothing";
        AddSends(service->phone, sends);
    }
    const long long sent = server.Count(sentRows);
    const long long uncertain =
        server.Count("SELECT count(*) FROM sms_outbox WHERE state = 'uncertain'");
    EXPECT_EQ(sent + uncertain, kMessages) << "none lost";
    EXPECT_LE(uncertain, 1) << "only the send under way when the service was killed";
    ExpectSentOnceEach(server, sends, uncertain);
    std::cout << "sent " << sent << ", uncertain " << uncertain << ", accepted by the phones "
              << sends.size() << "; at the kill " << sentAtTheKill
              << " were sent and the killed service held " << left << "\n";

    // Each phone's two messages archived once, with the modem that took them.
    EXPECT_EQ(server.Count(archived), 2 * kServices);
    EXPECT_EQ(server.Count("SELECT count(*) FROM (SELECT modem FROM sms_receivedkey WHERE modem "
                           "IN (" +
                           modems +
                           ") GROUP BY modem HAVING count(DISTINCT archiveid) = "
                           "2) AS each"),
              kServices);
}

// A service killed while its phone holds a send goes on claiming the row for --claim-time only:
// then the row, which may have gone, becomes "uncertain", and the next service sends the rest.
TEST_F(ServeServerTest, AKilledServicesSendBecomesUncertainOnceItsClaimRunsOut) {
    constexpr int kMessages = 5;
    ASSERT_TRUE(server.Run(QueueStatement(kMessages)));
    ServeService stuck("reply AT+CMGS\n", server.Uri(), Lines{"--claim-time", "2"});
    ASSERT_TRUE(stuck.process->Start());
    ASSERT_TRUE(WaitUntil([&] {
        return server.Count("SELECT count(*) FROM sms_outbox WHERE id = 1 AND state = 'sending'") ==
               1;
    })) << stuck.Log();
    stuck.process->Signal(SIGKILL);
    stuck.process->Wait(5000);

    ServeService next("", server.Uri());
    ASSERT_TRUE(next.process->Start());
    const auto start = std::chrono::steady_clock::now();
    const std::string open = "SELECT count(*) FROM sms_outbox WHERE state IN ('new', 'sending')";
    EXPECT_TRUE(WaitUntil([&] { return server.Count(open) == 0; })) << next.Log();
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(30))
        << "the claim of two seconds held";
    next.process->Signal(SIGTERM);
    EXPECT_EQ(next.process->Wait(5000).status, 0);
    EXPECT_EQ(server.Count("SELECT count(*) FROM sms_outbox WHERE id = 1 AND state = 'uncertain'"),
              1);
    std::map<std::string, int> sends;
    AddSends(next.phone, sends);
    EXPECT_EQ(sends.count("+391000001"), 0U) << "never sent again";
    EXPECT_TRUE(stuck.phone.SentPdus().empty());
    ExpectSentOnceEach(server, sends, 0);
    EXPECT_EQ(static_cast<int>(sends.size()), kMessages - 1);
}

} // namespace
