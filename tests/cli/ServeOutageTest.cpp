// A database server that goes away under serve, queue and archive: the test's own cluster
// (tests/db/pg-cluster.sh in a folder of the test's, so that the shared one is not disturbed),
// stopped with its sessions cut off mid-run and started again on the same data. The loss is logged
// once, nothing is marked sent or archived that was not committed, nothing is erased from the
// phone that was not archived, and the service goes on once the server is back.

#include "cli/CliTestSetup.h"
#include "cli/ServeFleet.h"
#include "cli/ServeFleetChecks.h"
#include "db/PgTestServer.h"

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <gtest/gtest.h>
#include <memory>
#include <optional>

namespace {

// A cluster of the test's own; TELVANE_PG_URI names it while it lives.
class OwnCluster {
public:
    OwnCluster() {
        running = Run("start");
        uri = FirstLine(folder.File("cluster/uri"));
        absent = FirstLine(folder.File("cluster/absent"));
        if (const char* given = std::getenv("TELVANE_PG_URI"))
            before = given;
        if (!uri.empty())
            setenv("TELVANE_PG_URI", uri.c_str(), 1);
    }
    ~OwnCluster() {
        if (before)
            setenv("TELVANE_PG_URI", before->c_str(), 1);
        else
            unsetenv("TELVANE_PG_URI");
        Run("stop");
    }
    OwnCluster(const OwnCluster&) = delete;
    OwnCluster& operator=(const OwnCluster&) = delete;

    // start, stop, halt (the sessions cut off) or resume (on the same data).
    bool Run(const std::string& action) const {
        const std::string command = std::string(TELVANE_SOURCE_DIR) + "/tests/db/pg-cluster.sh " +
                                    action + " " + folder.File("cluster") + " > /dev/null";
        return std::system(command.c_str()) == 0;
    }

    bool running = false;
    std::string uri;
    std::string absent; // why there is no cluster
    TempDir folder;

private:
    static std::string FirstLine(const std::string& path) {
        std::string line;
        std::getline(std::ifstream(path), line);
        return line;
    }

    std::optional<std::string> before;
};

int Occurrences(const std::string& text, const std::string& what) {
    int found = 0;
    for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
        ++found;
    return found;
}

long long Erasures(const PhoneSim& phone) {
    const std::vector<std::string> received = phone.Received();
    return std::ranges::count_if(
        received, [](const std::string& line) { return line.starts_with("AT+CMGD"); });
}

class ServeOutageTest : public ::testing::Test, public CliTestBase {
protected:
    void SetUp() override {
        if (!cluster.absent.empty())
            GTEST_SKIP() << cluster.absent;
        ASSERT_TRUE(cluster.running && !cluster.uri.empty()) << "the test's cluster did not start";
        server = std::make_unique<PgTestDatabase>();
        SKIP_WITHOUT_SERVER(*server);
    }

    long long Count(const std::string& sql) const { return server->Count(sql); }

    OwnCluster cluster;
    std::unique_ptr<PgTestDatabase> server;
};

TEST_F(ServeOutageTest, TheLossIsLoggedOnceNothingUncommittedIsClaimedAndServeGoesOn) {
    constexpr int kMessages = 1000;
    ASSERT_TRUE(server->Run(QueueStatement(kMessages)));
    ServeService service(Sms(1, 1, kHelloPdu) + "reply AT+CGSN 350000000000009|OK\n",
                         server->Uri());
    ASSERT_TRUE(service.process->Start());
    const std::string sentRows = "SELECT count(*) FROM sms_outbox WHERE state = 'sent'";
    const std::string archived = "SELECT count(*) FROM sms_in";
    ASSERT_TRUE(WaitUntil([&] { return Count(sentRows) >= kMessages / 4 && Count(archived) == 1; }))
        << service.Log();

    // Away in the middle of the outbox.
    ASSERT_TRUE(cluster.Run("halt"));
    const long long erasedBefore = Erasures(service.phone);
    ASSERT_TRUE(service.phone.Arrive("1"));
    // Each said once, with nothing on standard output.
    const std::vector<std::pair<Lines, std::string>> refusals = {
        {{"queue", "--to", "+39", "while away"}, "did not open"}, {{"archive"}, "Cannot open DB"}};
    for (const auto& [command, said] : refusals) {
        Lines arguments = {"--db", server->Uri()};
        arguments.insert(arguments.end(), command.begin(), command.end());
        const CliResult refused = Cli(arguments);
        EXPECT_EQ(refused.status, 1) << command[0];
        EXPECT_EQ(Occurrences(refused.err, said), 1) << command[0] << ": " << refused.err;
        EXPECT_TRUE(refused.out.empty()) << command[0] << ": " << refused.out;
    }
    // Several looks at the outbox and tries of a new link.
    std::this_thread::sleep_for(std::chrono::milliseconds(2500));
    const std::string away = "the database server went away";
    EXPECT_EQ(Occurrences(service.Log(), away), 1) << service.Log();
    EXPECT_EQ(Erasures(service.phone), erasedBefore) << "erased while the server was away";
    const std::size_t sentWhileAway = service.phone.SentPdus().size();
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    EXPECT_EQ(service.phone.SentPdus().size(), sentWhileAway) << "sent while the server was away";

    ASSERT_TRUE(cluster.Run("resume"));
    // What came meanwhile is archived, and then erased; the outbox goes on, a new row with it.
    EXPECT_TRUE(WaitUntil([&] { return Count(archived) == 2; })) << service.Log();
    EXPECT_TRUE(WaitUntil([&] { return Erasures(service.phone) > erasedBefore; }));
    const CliResult queued = Cli({"--db", server->Uri(), "queue", "--to", "+39555", "back"});
    EXPECT_EQ(queued.status, 0) << queued.err;
    const std::string open = "SELECT count(*) FROM sms_outbox WHERE state IN ('new', 'sending')";
    EXPECT_TRUE(WaitUntil([&] { return Count(open) == 0; })) << service.Log();
    service.process->Signal(SIGTERM);
    EXPECT_EQ(service.process->Wait(5000).status, 0);

    const std::string log = service.Log();
    EXPECT_EQ(Occurrences(log, away), 1) << log;
    EXPECT_EQ(Occurrences(log, "the database server is back"), 1) << log;
    std::map<std::string, int> sends;
    AddSends(service.phone, sends);
    const long long uncertain = Count("SELECT count(*) FROM sms_outbox WHERE state = 'uncertain'");
    EXPECT_EQ(Count(sentRows) + uncertain, kMessages + 1) << "none lost";
    EXPECT_EQ(uncertain, 0) << "the service knew what it had sent";
    ExpectSentOnceEach(*server, sends, uncertain);
    EXPECT_EQ(sends.count("+39555"), 1U);
    EXPECT_EQ(Count("SELECT count(*) FROM sms_receivedkey WHERE modem = '350000000000009'"), 2);
}

} // namespace
