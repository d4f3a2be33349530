// The real telvane-cli serve against telvane-phonesim: stored messages archived once and
// erased (a restart with them still on the phone archives nothing again), messages arriving
// live, the hook's environment and hooks that fail, hang or are missing, and the outbox sent
// in order with a retry and a failure, while "queue" uses the same file.

#include "cli/ServeTestSetup.h"

#include <csignal>
#include <fstream>
#include <gtest/gtest.h>
#include <optional>
#include <sys/stat.h>

namespace {

TEST_F(ServeTest, StoredMessagesAreArchivedOnceAndARestartDoesNotArchiveThemAgain) {
    Phone(Sms(1, 1, kHelloPdu) + Sms(3, 0, kHelloEarlierPdu, "ME") + "capacity SM 10\n");
    const std::string hook =
        Script("hook.sh", "echo \"$TELVANE_ARCHIVE_ID\" >> " + dir.File("hooked") + "\n");
    {
        CliProcess serve = Serve({"--keep", "--on-receive", hook});
        ASSERT_TRUE(serve.Start());
        ASSERT_TRUE(WaitForCommand("AT+CNMI=2,1,0,1,0"));
        const CliResult result = Stop(serve);
        EXPECT_EQ(result.status, 0) << result.err;
    }
    EXPECT_EQ(QueryCount(database, "SELECT count(*) FROM SMS_In"), 2);
    EXPECT_TRUE(Starting(phone->Received(), "AT+CMGD").empty()) << "--keep erases nothing";
    EXPECT_EQ(Starting(phone->Received(), "AT+CMGL"), (Lines{"AT+CMGL=4", "AT+CMGL=4"}))
        << "one listing per memory";
    EXPECT_EQ(SplitLines(FileText("hooked")), (Lines{"1", "2"}));
    // Still on the phone: the second start erases them and archives nothing again.
    CliProcess again = Serve({"--on-receive", hook});
    ASSERT_TRUE(again.Start());
    ASSERT_TRUE(WaitForCommand("AT+CMGD=3"));
    const CliResult result = Stop(again);
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(QueryCount(database, "SELECT count(*) FROM SMS_In"), 2);
    EXPECT_EQ(Starting(phone->Received(), "AT+CMGD"), (Lines{"AT+CMGD=1", "AT+CMGD=3"}));
    EXPECT_EQ(SplitLines(FileText("hooked")), (Lines{"1", "2"})) << "no hook for a known one";
}

TEST_F(ServeTest, ALiveMessageIsArchivedErasedAndHandedToTheHookInItsEnvironment) {
    Phone("capacity SM 10\n");
    ASSERT_TRUE(RunSql(database, "INSERT INTO Phonebook (Numero, Nome) VALUES "
                                 "('+12345678901', 'Alice');"));
    const std::string hook =
        Script("hook.sh", "env | grep ^TELVANE_ | sort > " + dir.File("env") + "\n");
    CliProcess serve = Serve({"--on-receive", hook});
    ASSERT_TRUE(serve.Start());
    ASSERT_TRUE(WaitForCommand("AT+CNMI=2,1,0,1,0"));
    ASSERT_TRUE(phone->Arrive(kHelloPdu));
    ASSERT_TRUE(WaitForCount("SELECT count(*) FROM SMS_In WHERE Messaggio = 'hello'", 1));
    ASSERT_TRUE(WaitForCommand("AT+CMGD=1"));
    for (int i = 0; i < 500 && FileText("env").empty(); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    const CliResult result = Stop(serve);
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(SplitLines(FileText("env")),
              (Lines{"TELVANE_ARCHIVE_ID=1", "TELVANE_NAME=Alice", "TELVANE_PARTS=1",
                     "TELVANE_PARTS_EXPECTED=1", "TELVANE_SENDER=+12345678901",
                     "TELVANE_SMSC=+12345678901", "TELVANE_TEXT=hello",
                     "TELVANE_TIME=1999-03-29T15:16:59+02:00"}));
}

TEST_F(ServeTest, AHookThatFailsHangsOrIsMissingLosesNoMessage) {
    const std::string fails = Script("fails.sh", "echo boom >&2\nexit 1\n");
    // The hang has a child of its own: the whole group goes at the limit.
    const std::string hangs =
        Script("hangs.sh", "sleep 30 &\necho $! > " + dir.File("child") + "\nwait\n");
    const struct {
        std::string hook;
        std::string logged;
    } cases[] = {{fails, "exited 1; its standard error: boom"},
                 {hangs, "killed after its time limit"},
                 {dir.File("missing.sh"), "did not start: No such file or directory"}};
    for (const auto& [hook, logged] : cases) {
        Phone(Sms(1, 1, kHelloPdu));
        ASSERT_TRUE(RunSql(database, "DELETE FROM SMS_In; DROP TABLE IF EXISTS SMS_ReceivedKey;"));
        CliProcess serve = Serve({"--on-receive", hook, "--hook-timeout", "1"});
        ASSERT_TRUE(serve.Start());
        ASSERT_TRUE(WaitForCommand("AT+CMGD=1")) << hook;
        EXPECT_EQ(QueryCount(database, "SELECT count(*) FROM SMS_In"), 1) << hook;
        for (int i = 0; i < 300 && FileText("stderr").find(logged) == std::string::npos; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        const CliResult result = Stop(serve);
        EXPECT_EQ(result.status, 0) << result.err;
        EXPECT_NE(result.err.find(logged), std::string::npos) << result.err;
    }
    const std::string child = FileText("child");
    ASSERT_FALSE(child.empty());
    EXPECT_FALSE(Alive(std::stoi(child))) << "the hang's child was killed with it";
}

TEST_F(ServeTest, TheOutboxIsSentInOrderWithARetryAndAFailureWhileQueueUsesTheFile) {
    // Every send of the long text (37 octets) is refused: tried twice, then failed.
    Phone("reply AT+CMGS=37 +CMS ERROR: 500\n");
    ASSERT_TRUE(RunSql(database, "INSERT INTO SMS_Outbox (Recipient, Text, State) VALUES "
                                 "('+390001', 'cut off', 'sending');"));
    CliProcess serve = Serve({"--tries", "2", "--retry-after", "1"});
    ASSERT_TRUE(serve.Start());
    ASSERT_TRUE(WaitForCommand("AT+CNMI=2,1,0,1,0"));
    // From a folder of its own: the service's output files stay whole.
    std::filesystem::create_directories(dir.File("queue/config"));
    for (const char* text : {"first", "this one is always refused", "third"}) {
        CliProcess queue(dir.File("queue"),
                         {"--db", database, "queue", "--to", "+393331234567", text});
        const CliResult queued = queue.Run();
        ASSERT_EQ(queued.status, 0) << queued.err;
    }
    EXPECT_TRUE(
        WaitForCount("SELECT count(*) FROM SMS_Outbox WHERE State IN ('sent', 'failed')", 3));
    const CliResult result = Stop(serve);
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(QueryCount(database, "SELECT count(*) FROM SMS_Outbox WHERE ID = 1 AND "
                                   "State = 'uncertain' AND Tries = 0"),
              1)
        << "a send cut off is never sent again by itself";
    EXPECT_EQ(QueryCount(database, "SELECT count(*) FROM SMS_Outbox WHERE ID = 3 AND "
                                   "State = 'failed' AND Tries = 2 AND "
                                   "Error LIKE '%+CMS ERROR: 500%'"),
              1);
    EXPECT_EQ(QueryCount(database, "SELECT count(*) FROM SMS_Outbox WHERE ID IN (2, 4) AND "
                                   "State = 'sent' AND Tries = 1 AND SentTime IS NOT NULL"),
              2);
    EXPECT_EQ(QueryCount(database, "SELECT count(*) FROM SMS_Outbox a, SMS_Outbox b WHERE "
                                   "a.ID = 2 AND b.ID = 4 AND a.Reference < b.Reference"),
              1)
        << "sent in the order queued";
    EXPECT_EQ(phone->SentPdus().size(), 2u)
        << ::testing::PrintToString(Starting(phone->Received(), "AT+CMGS"));
}

} // namespace

namespace {

TEST_F(ServeTest, SigtermDuringASendEndsWithinFiveSecondsAndNeverMarksItSent) {
    PhoneSimOptions options{"capacity SM 10\n"};
    options.extraArgs = {"--delay-ms", "300"};
    phone.emplace(options);
    ASSERT_TRUE(RunSql(database, "INSERT INTO SMS_Outbox (Recipient, Text) VALUES ('+39', 'x');"));
    CliProcess serve = Serve({});
    ASSERT_TRUE(serve.Start());
    ASSERT_TRUE(phone->WaitForTranscript(
        [&](const auto&) { return !Starting(phone->Received(), "AT+CMGS=").empty(); }));
    const auto signalled = std::chrono::steady_clock::now();
    const CliResult result = Stop(serve);
    EXPECT_LT(std::chrono::steady_clock::now() - signalled, std::chrono::seconds(5));
    EXPECT_EQ(result.status, 0) << result.err;
    const long long sent = QueryCount(database, "SELECT count(*) FROM SMS_Outbox WHERE "
                                                "State = 'sent'");
    if (sent == 0) {
        // Cut off: the next start cannot know whether it went.
        CliProcess again = Serve({});
        ASSERT_TRUE(again.Start());
        EXPECT_TRUE(WaitForCount("SELECT count(*) FROM SMS_Outbox WHERE State = 'uncertain'", 1));
        EXPECT_EQ(Stop(again).status, 0);
        EXPECT_EQ(Starting(phone->Received(), "AT+CMGS=").size(), 1u) << "never sent again";
    } else {
        // The answer came before the stop: it went, with its reference.
        EXPECT_EQ(QueryCount(database, "SELECT count(*) FROM SMS_Outbox WHERE Reference IS NOT "
                                       "NULL"),
                  1);
        EXPECT_EQ(phone->SentPdus().size(), 1u);
    }
}

} // namespace

namespace {

TEST_F(ServeTest, AStatusReportUpdatesTheOutboxRowItReportsOn) {
    Phone("report 300 00\n");
    CliProcess serve = Serve({});
    ASSERT_TRUE(serve.Start());
    ASSERT_TRUE(WaitForCommand("AT+CNMI=2,1,0,1,0"));
    ASSERT_TRUE(RunSql(database, "INSERT INTO SMS_Outbox (Recipient, Text, Options) VALUES "
                                 "('+393331234567', 'with a report', '--report'), "
                                 "('+393331234567', 'without', '');"));
    EXPECT_TRUE(WaitForCount("SELECT count(*) FROM SMS_Outbox WHERE ID = 1 AND "
                             "Delivery = 'delivered'",
                             1));
    const CliResult result = Stop(serve);
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(QueryCount(database, "SELECT count(*) FROM SMS_Outbox WHERE ID = 2 AND "
                                   "State = 'sent' AND Delivery = ''"),
              1)
        << result.err;
    EXPECT_EQ(QueryCount(database, "SELECT count(*) FROM SMS_Delivery WHERE Status = 0"), 1);
}

TEST_F(ServeTest, ALongMessageKeepsEveryPartsReferenceAndIsDeliveredWhenAllPartsAre) {
    Phone("report 300 00\n");
    CliProcess serve = Serve({});
    ASSERT_TRUE(serve.Start());
    ASSERT_TRUE(WaitForCommand("AT+CNMI=2,1,0,1,0"));
    // 200 characters: two linked parts.
    ASSERT_TRUE(RunSql(database, "INSERT INTO SMS_Outbox (Recipient, Text, Options) VALUES "
                                 "('+393331234567', replace(hex(zeroblob(100)), '0', 'b'), "
                                 "'--report');"));
    EXPECT_TRUE(WaitForCount("SELECT count(*) FROM SMS_Outbox WHERE Delivery = 'delivered'", 1));
    const CliResult result = Stop(serve);
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(phone->SentPdus().size(), 2u);
    EXPECT_EQ(QueryCount(database, "SELECT count(*) FROM SMS_Delivery WHERE Status = 0"), 2)
        << result.err;
    EXPECT_EQ(QueryCount(database, "SELECT count(*) FROM SMS_Outbox WHERE State = 'sent' AND "
                                   "PartReferences = Reference || ',' || (Reference + 1)"),
              1)
        << result.err;
}

} // namespace

namespace {

TEST_F(ServeTest, AnArchiveThatTakesNoRowErasesNothingAndRunsNoHook) {
    Phone(Sms(1, 1, kHelloPdu));
    ASSERT_TRUE(RunSql(database, "CREATE TRIGGER full BEFORE INSERT ON SMS_In BEGIN "
                                 "SELECT RAISE(ABORT, 'database or disk is full'); END;"));
    const std::string hook = Script("hook.sh", "touch " + dir.File("hooked") + "\n");
    CliProcess serve = Serve({"--on-receive", hook});
    ASSERT_TRUE(serve.Start());
    ASSERT_TRUE(WaitForCommand("AT+CNMI=2,1,0,1,0"));
    const CliResult result = Stop(serve);
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_NE(result.err.find("not archived, left on the phone"), std::string::npos) << result.err;
    EXPECT_TRUE(Starting(phone->Received(), "AT+CMGD").empty());
    EXPECT_FALSE(std::filesystem::exists(dir.File("hooked")));
    EXPECT_EQ(QueryCount(database, "SELECT count(*) FROM SMS_ReceivedKey"), -1)
        << "nothing remembered either";
}

} // namespace

namespace {

// From +12345678901, in UCS2: "$(touch pwned); `id` ü".
constexpr const char* kShellTextPdu =
    "07912143658709F1040B912143658709F10008993092516195802C002400280074006F007500630068002000700"
    "077006E006500640029003B00200060006900640060002000FC";

TEST_F(ServeTest, TheTextReachesTheHookAsItIsAndNoShellReadsIt) {
    Phone(Sms(1, 1, kShellTextPdu));
    const std::string hook =
        Script("hook.sh", "printf '%s' \"$TELVANE_TEXT\" > " + dir.File("text") + "\n");
    CliProcess serve = Serve({"--on-receive", hook});
    ASSERT_TRUE(serve.Start());
    ASSERT_TRUE(WaitForCommand("AT+CMGD=1"));
    for (int i = 0; i < 500 && FileText("text").empty(); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    const CliResult result = Stop(serve);
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(FileText("text"), "$(touch pwned); `id` \xC3\xBC");
    EXPECT_FALSE(std::filesystem::exists(dir.File("pwned")));
}

} // namespace

namespace {

// The two parts of "Hello world" (UCS2, concatenation reference 0xAA) from +12345678901.
constexpr const char* kPartOnePdu = "07912143658709F1440B912143658709F1000899309251619580120500"
                                    "03AA020100480065006C006C006F0020";
constexpr const char* kPartTwoPdu = "07912143658709F1440B912143658709F1000899309251619580100500"
                                    "03AA02020077006F0072006C0064";

TEST_F(ServeTest, ALongMessageReachesTheHookOnceJoinedOrAfterItsTimeOutIncomplete) {
    const std::string hook =
        Script("hook.sh", "echo \"$TELVANE_PARTS/$TELVANE_PARTS_EXPECTED $TELVANE_TEXT\" >> " +
                              dir.File("hooked") + "\n");
    {
        Phone(Sms(1, 1, kPartTwoPdu) + Sms(2, 1, kPartOnePdu));
        CliProcess serve = Serve({"--on-receive", hook});
        ASSERT_TRUE(serve.Start());
        ASSERT_TRUE(WaitForCommand("AT+CMGD=2"));
        for (int i = 0; i < 500 && FileText("hooked").empty(); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        EXPECT_EQ(Stop(serve).status, 0);
    }
    EXPECT_EQ(SplitLines(FileText("hooked")), (Lines{"2/2 Hello world"}));
    EXPECT_EQ(QueryCount(database, "SELECT count(*) FROM SMS_In"), 2) << "each part archived";
    // Only the first part, and a time-out of one second.
    Phone(Sms(1, 1, kPartOnePdu));
    ASSERT_TRUE(RunSql(database, "DELETE FROM SMS_ReceivedKey;"));
    CliProcess serve = Serve({"--on-receive", hook, "--part-timeout", "1"});
    ASSERT_TRUE(serve.Start());
    for (int i = 0; i < 500 && SplitLines(FileText("hooked")).size() < 2; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_EQ(Stop(serve).status, 0);
    EXPECT_EQ(SplitLines(FileText("hooked")), (Lines{"2/2 Hello world", "1/2 Hello "}));
}

} // namespace

namespace {

TEST_F(ServeTest, ARowNoTryCanSendFailsAtOnceAndTheNextIsSent) {
    Phone("capacity SM 10\n");
    // 40000 characters: more than 255 linked messages hold.
    ASSERT_TRUE(RunSql(database, "INSERT INTO SMS_Outbox (Recipient, Text) VALUES "
                                 "('+39', replace(hex(zeroblob(20000)), '0', 'a')), "
                                 "('+39', 'fine');"));
    CliProcess serve = Serve({});
    ASSERT_TRUE(serve.Start());
    EXPECT_TRUE(WaitForCount("SELECT count(*) FROM SMS_Outbox WHERE ID = 2 AND State = 'sent'", 1));
    const CliResult result = Stop(serve);
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(QueryCount(database, "SELECT count(*) FROM SMS_Outbox WHERE ID = 1 AND "
                                   "State = 'failed' AND Tries = 0 AND Error LIKE '%255 linked%'"),
              1)
        << result.err;
    EXPECT_EQ(phone->SentPdus().size(), 1u);
}

} // namespace

namespace {

TEST_F(ServeTest, AMessageThePhonePushesIsArchivedOnceAndHandedToTheHook) {
    // A phone that tells of new messages only by pushing them (+CMT), storing nothing.
    Phone("reply AT+CNMI=? +CNMI: (0-2),(0,2),(0),(0-2),(0,1)|OK\n");
    const std::string hook = Script("hook.sh", "echo \"$TELVANE_ARCHIVE_ID $TELVANE_TEXT\" >> " +
                                                   dir.File("hooked") + "\n");
    CliProcess serve = Serve({"--on-receive", hook});
    ASSERT_TRUE(serve.Start());
    ASSERT_TRUE(phone->WaitForTranscript(
        [&](const auto&) { return !Starting(phone->Received(), "AT+CNMI=2,2").empty(); }));
    ASSERT_TRUE(phone->Arrive(kHelloPdu));
    EXPECT_TRUE(WaitForCount("SELECT count(*) FROM SMS_In WHERE Messaggio = 'hello'", 1));
    EXPECT_TRUE(Eventually([&] { return !FileText("hooked").empty(); }));
    const CliResult result = Stop(serve);
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(SplitLines(FileText("hooked")), (Lines{"1 hello"})) << result.err;
    EXPECT_TRUE(Starting(phone->Received(), "AT+CMGD").empty()) << "nothing stored to erase";
}

} // namespace
