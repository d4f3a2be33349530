// The real telvane-cli serve outlives its modem: the simulator killed and a new one started on
// the same link (as a /dev/serial/by-id link comes back after a re-plug), a send under way when
// the port vanished, and a phone gone silent that is reset; and it is stopped or killed in the
// middle of a sweep of many messages without losing or doubling one.

#include "cli/ServeTestSetup.h"

#include <filesystem>
#include <set>

namespace {

class ServeSurvivalTest : public ServeTest {
protected:
    // The link the service is given, pointing at the simulator of the moment.
    std::string Modem() const { return dir.File("modem"); }

    void PlugIn(const std::string& fixture) {
        PhoneSimOptions options{fixture};
        options.arrivals = true;
        phone.emplace(options);
        std::filesystem::create_symlink(phone->LinkPath(), Modem());
    }

    // The phone goes away with its device node, as an unplugged USB modem's does.
    void Unplug() {
        std::filesystem::remove(Modem());
        phone.reset();
    }

    CliProcess ServeOnModem(Lines arguments) {
        arguments.insert(arguments.begin(), {"--port", Modem(), "serve"});
        return CliProcess(dir.path.string(), arguments);
    }
};

// kHelloPdu two seconds earlier: another message of the sender.
constexpr const char* kEarliestPdu =
    "07912143658709F1040B912143658709F100009930925161758005e8329bfd06";

TEST_F(ServeSurvivalTest, APhoneStartedAgainOnTheSameLinkLosesNothingAndDoublesNothing) {
    PlugIn(Sms(1, 1, kHelloPdu));
    CliProcess serve = ServeOnModem({});
    ASSERT_TRUE(serve.Start());
    ASSERT_TRUE(WaitForCommand("AT+CNMI=2,1,0,1,0"));
    ASSERT_TRUE(WaitForCount("SELECT count(*) FROM SMS_In", 1));
    Unplug();
    ASSERT_TRUE(WaitForLog("waiting for " + Modem()));
    // The new phone still holds one message the old one gave (its erase never came), and one
    // that arrived meanwhile.
    PlugIn(Sms(1, 1, kHelloPdu) + Sms(2, 1, kHelloEarlierPdu));
    ASSERT_TRUE(WaitForLog("open again"));
    ASSERT_TRUE(WaitForCount("SELECT count(*) FROM SMS_In", 2, 30));
    ASSERT_TRUE(WaitForCommand("AT+CMGD=2"));
    // Told of a new message again: the indications were set up anew.
    ASSERT_TRUE(WaitForCommand("AT+CNMI=2,1,0,1,0"));
    ASSERT_TRUE(phone->Arrive(kEarliestPdu));
    EXPECT_TRUE(WaitForCount("SELECT count(*) FROM SMS_In", 3, 30));
    const CliResult result = Stop(serve);
    EXPECT_EQ(result.status, 0) << "the service did not exit: " << result.err;
    EXPECT_EQ(QueryCount(database, "SELECT count(DISTINCT DateTime) FROM SMS_In"), 3) << result.err;
    EXPECT_EQ(LogCount("waiting for " + Modem()), 1u) << "told once: " << result.err;
    EXPECT_NE(result.err.find("message SM 1 was archived before as row 1"), std::string::npos)
        << "the one archived before is erased, not archived again: " << result.err;
}

TEST_F(ServeSurvivalTest, ASendThePhoneNeverGotIsSentOnceThePortIsBack) {
    PlugIn("vanish AT+CMGS\n");
    CliProcess serve = ServeOnModem({});
    ASSERT_TRUE(serve.Start());
    ASSERT_TRUE(WaitForCommand("AT+CNMI=2,1,0,1,0"));
    ASSERT_TRUE(RunSql(database, "INSERT INTO SMS_Outbox (Recipient, Text) VALUES ('+39', 'x');"));
    ASSERT_TRUE(WaitForLog("not handed to the phone"));
    EXPECT_EQ(QueryCount(database, "SELECT count(*) FROM SMS_Outbox WHERE State = 'new' AND "
                                   "Tries = 0"),
              1)
        << FileText("stderr");
    Unplug();
    PlugIn("capacity SM 10\n");
    EXPECT_TRUE(
        WaitForCount("SELECT count(*) FROM SMS_Outbox WHERE State = 'sent' AND Tries = 1", 1, 30));
    const CliResult result = Stop(serve);
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(phone->SentPdus().size(), 1u) << result.err;
}

TEST_F(ServeSurvivalTest, APortThatVanishesAfterThePduIsMarkedUncertainNotSentAgain) {
    // The phone takes the PDU and is gone before its answer.
    PlugIn("vanish PDU\n");
    CliProcess serve = ServeOnModem({});
    ASSERT_TRUE(serve.Start());
    ASSERT_TRUE(WaitForCommand("AT+CNMI=2,1,0,1,0"));
    ASSERT_TRUE(RunSql(database, "INSERT INTO SMS_Outbox (Recipient, Text) VALUES ('+39', 'x');"));
    ASSERT_TRUE(WaitForCount("SELECT count(*) FROM SMS_Outbox WHERE State = 'uncertain'", 1, 30))
        << FileText("stderr");
    Unplug();
    PlugIn("capacity SM 10\n");
    ASSERT_TRUE(WaitForLog("open again"));
    ASSERT_TRUE(WaitForCommand("AT+CNMI=2,1,0,1,0"));
    const CliResult result = Stop(serve);
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_TRUE(phone->SentPdus().empty()) << "never sent twice by itself";
}

TEST_F(ServeSurvivalTest, ASilentPhoneIsResetByReopeningThePort) {
    PlugIn("capacity SM 10\n");
    CliProcess serve = ServeOnModem({"--reset-after", "2", "--retry-after", "1", "--tries", "20"});
    ASSERT_TRUE(serve.Start());
    ASSERT_TRUE(WaitForCommand("AT+CNMI=2,1,0,1,0"));
    // Frozen: its line stays, and nothing answers on it.
    ASSERT_EQ(kill(phone->Pid(), SIGSTOP), 0);
    ASSERT_TRUE(RunSql(database, "INSERT INTO SMS_Outbox (Recipient, Text) VALUES ('+39', 'x');"));
    const bool reset = WaitForLog("resetting the port " + Modem(), 60);
    ASSERT_EQ(kill(phone->Pid(), SIGCONT), 0);
    ASSERT_TRUE(reset) << FileText("stderr");
    EXPECT_TRUE(WaitForCount("SELECT count(*) FROM SMS_Outbox WHERE State = 'sent'", 1, 60))
        << FileText("stderr");
    const CliResult result = Stop(serve);
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_NE(result.err.find("did not answer 2 exchanges in a row"), std::string::npos)
        << result.err;
    EXPECT_GE(Starting(phone->Received(), "ATE0").size(), 2u) << "opened again";
    EXPECT_EQ(phone->SentPdus().size(), 1u);
}

// A message of its own for each i (below 600): kHelloPdu at another minute and second.
std::string NumberedPdu(int i) {
    const int minute = 10 + i / 60;
    const int second = i % 60;
    std::string pdu = kHelloPdu;
    const std::string stamp = "99309251619580";
    const std::string semiOctets = {
        static_cast<char>('0' + minute % 10), static_cast<char>('0' + minute / 10),
        static_cast<char>('0' + second % 10), static_cast<char>('0' + second / 10)};
    return pdu.replace(pdu.find(stamp) + 8, 4, semiOctets);
}

TEST_F(ServeSurvivalTest, AKillOrAStopInTheMiddleOfASweepLosesNothingAndDoublesNothing) {
    constexpr int kStored = 120;
    std::string fixture = "capacity SM 200\n";
    for (int i = 1; i <= kStored; ++i)
        fixture += Sms(i, 1, NumberedPdu(i).c_str());
    PhoneSimOptions options{fixture};
    options.extraArgs = {"--delay-ms", "30"}; // the sweep takes seconds
    phone.emplace(options);
    const auto archived = [this] { return QueryCount(database, "SELECT count(*) FROM SMS_In"); };
    const auto remembered = [this] {
        return QueryCount(database, "SELECT count(*) FROM SMS_ReceivedKey");
    };
    {
        CliProcess serve = Serve({});
        ASSERT_TRUE(serve.Start());
        ASSERT_TRUE(Eventually([&] { return archived() >= 10; }));
        serve.Signal(SIGKILL);
        serve.Wait(5000);
    }
    const long long afterKill = archived();
    EXPECT_EQ(remembered(), afterKill) << "a row and its key, or neither";
    {
        CliProcess serve = Serve({});
        ASSERT_TRUE(serve.Start());
        ASSERT_TRUE(Eventually([&] {
            return archived() >= std::min<long long>(kStored, afterKill + 10);
        })) << FileText("stderr")
            << ::testing::PrintToString(phone->Received());
        const auto signalled = std::chrono::steady_clock::now();
        const CliResult result = Stop(serve);
        EXPECT_LT(std::chrono::steady_clock::now() - signalled, std::chrono::seconds(5));
        EXPECT_EQ(result.status, 0) << result.err;
    }
    EXPECT_EQ(remembered(), archived());
    CliProcess serve = Serve({});
    ASSERT_TRUE(serve.Start());
    EXPECT_TRUE(Eventually([&] {
        const Lines erased = Starting(phone->Received(), "AT+CMGD=");
        return std::set<std::string>(erased.begin(), erased.end()).size() == kStored;
    })) << "every message erased in the end"
        << FileText("stderr") << ::testing::PrintToString(phone->Received());
    const CliResult result = Stop(serve);
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(archived(), kStored) << "each once: none lost, none doubled";
    EXPECT_EQ(QueryCount(database, "SELECT count(DISTINCT DateTime) FROM SMS_In"), kStored);
}

} // namespace
