// The real telvane-cli serve outlives its modem: the simulator killed and a new one started on
// the same link (as a /dev/serial/by-id link comes back after a re-plug), a send under way when
// the port vanished, and a phone gone silent that is reset; and it is stopped or killed in the
// middle of a sweep of many messages without losing or doubling one.

#include "cli/ServeTestSetup.h"

#include <filesystem>

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

    std::size_t Count(const std::string& text) const {
        const std::string log = FileText("stderr");
        std::size_t count = 0;
        for (std::size_t at = log.find(text); at != std::string::npos; at = log.find(text, at + 1))
            ++count;
        return count;
    }
};

// kHelloPdu one second earlier, and one more second earlier: other messages of the sender.
constexpr const char* kEarlierPdu =
    "07912143658709F1040B912143658709F100009930925161858005e8329bfd06";
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
    PlugIn(Sms(1, 1, kHelloPdu) + Sms(2, 1, kEarlierPdu));
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
    EXPECT_EQ(Count("waiting for " + Modem()), 1u) << "told once: " << result.err;
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

} // namespace
