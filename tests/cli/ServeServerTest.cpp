// telvane-cli on a PostgreSQL server database: db init, queue and archive with a URI, and
// several serve processes on several simulators sharing one outbox and one archive, one of them
// killed outright mid-run: the simulators' transcripts show every message sent once.

#include "cli/CliTestSetup.h"
#include "cli/ServeFleet.h"
#include "common/PhoneSim.h"
#include "db/PgTestServer.h"

#include <cerrno>
#include <csignal>
#include <gtest/gtest.h>
#include <map>
#include <memory>

namespace {

// The recipient of an SMS-SUBMIT PDU: after the centre's address, the first octet and TP-MR,
// its digits in swapped semi-octets.
std::string Recipient(const std::string& pdu) {
    const auto octet = [&pdu](std::size_t at) {
        return std::stoi(pdu.substr(at * 2, 2), nullptr, 16);
    };
    std::size_t at = 1 + static_cast<std::size_t>(octet(0)) + 2;
    const std::size_t digits = static_cast<std::size_t>(octet(at));
    at += 2; // the length and the type of number
    std::string number;
    for (std::size_t i = 0; i < (digits + 1) / 2; ++i) {
        const std::string pair = pdu.substr((at + i) * 2, 2);
        number += pair[1];
        if (pair[0] != 'F')
            number += pair[0];
    }
    return number;
}

class ServeServerTest : public ::testing::Test, public CliTestBase {
protected:
    void SetUp() override { SKIP_WITHOUT_SERVER(server); }

    // Claims are "host:pid": those of processes of this host that are gone end now.
    bool ExpireClaimsOfTheDead() const {
        const std::string uri = server.Uri();
        for (int pid = 0;;) {
            pid = static_cast<int>(server.Count(
                "SELECT min(split_part(claimedby, ':', 2)::integer) FROM sms_outbox WHERE "
                "claimedby IS NOT NULL AND claimeduntil >= localtimestamp(0) AND "
                "split_part(claimedby, ':', 2)::integer > " +
                std::to_string(pid)));
            if (pid <= 0)
                return true;
            if (kill(pid, 0) == 0 || errno != ESRCH)
                continue;
            if (!server.Run("UPDATE sms_outbox SET claimeduntil = localtimestamp(0) - interval "
                            "'1 second' WHERE split_part(claimedby, ':', 2)::integer = " +
                            std::to_string(pid)))
                return false;
        }
    }

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

TEST_F(ServeServerTest, SeveralServicesSendEachQueuedMessageOnceThoughOneIsKilled) {
    constexpr int kMessages = 45;
    ASSERT_TRUE(server.Run("INSERT INTO sms_outbox (recipient, text) SELECT '+39' || "
                           "(1000000 + g), 'message ' || g FROM generate_series(1, " +
                           std::to_string(kMessages) + ") AS g"));
    // Each phone, with an IMEI of its own, holds the same message (sent to all three numbers).
    std::vector<std::unique_ptr<ServeService>> services;
    for (const char* imei : {"350000000000001", "350000000000002", "350000000000003"})
        services.push_back(std::make_unique<ServeService>(
            Sms(1, 1, kHelloPdu) + "reply AT+CGSN " + imei + "|OK\n", server.Uri()));
    for (auto& service : services)
        ASSERT_TRUE(service->process->Start());

    const auto sentRows = [this] {
        return server.Count("SELECT count(*) FROM sms_outbox WHERE state = 'sent'");
    };
    for (int i = 0; i < 3000 && sentRows() < kMessages / 3; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    const auto logs = [&services] {
        std::string all;
        for (const auto& service : services)
            all += CliProcess::ReadFile(service->dir.File("stderr")) + "----\n";
        return all;
    };
    ASSERT_GE(sentRows(), kMessages / 3) << "the services did not get going:\n" << logs();
    services[0]->process->Signal(SIGKILL);
    services[0]->process->Wait(5000);
    // The killed service's claims run out (as they would in two minutes); the live ones' stay.
    ASSERT_TRUE(ExpireClaimsOfTheDead());
    const auto open = [this] {
        return server.Count("SELECT count(*) FROM sms_outbox WHERE state IN ('new', 'sending')");
    };
    for (int i = 0; i < 9000 && open() > 0; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_EQ(open(), 0);
    for (std::size_t i = 1; i < services.size(); ++i) {
        services[i]->process->Signal(SIGTERM);
        EXPECT_EQ(services[i]->process->Wait(5000).status, 0);
    }

    std::map<std::string, int> sends;
    for (std::size_t i = 0; i < services.size(); ++i) {
        const std::vector<std::string> pdus = services[i]->phone.SentPdus();
        EXPECT_FALSE(i > 0 && pdus.empty()) << "service " << i << " sent nothing";
        for (const std::string& pdu : pdus)
            ++sends[Recipient(pdu)];
    }
    const long long sent = sentRows();
    const long long uncertain =
        server.Count("SELECT count(*) FROM sms_outbox WHERE state = 'uncertain'");
    EXPECT_EQ(sent + uncertain, kMessages) << "none lost";
    EXPECT_LE(uncertain, 1) << "only the send under way when the service was killed";
    for (int row = 1; row <= kMessages; ++row) {
        const std::string number = "39" + std::to_string(1000000 + row);
        const bool wasSent =
            server.Count("SELECT count(*) FROM sms_outbox WHERE state = 'sent' AND recipient = '+" +
                         number + "'") == 1;
        if (wasSent)
            EXPECT_EQ(sends[number], 1) << number << " sent once";
        else
            EXPECT_LE(sends[number], 1) << number << " uncertain, never sent again";
    }
    // Each phone's message archived once, with the modem that took it.
    EXPECT_EQ(server.Count("SELECT count(*) FROM sms_in"), 3);
    EXPECT_EQ(server.Count("SELECT count(DISTINCT archiveid) FROM sms_receivedkey WHERE modem IN "
                           "('350000000000001', '350000000000002', '350000000000003')"),
              3);
}

} // namespace
