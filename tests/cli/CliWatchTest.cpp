// telvane-cli watch against telvane-phonesim: messages printed as they arrive, archived and
// erased with --archive --move, a phone that tells nothing, and Ctrl+C as the way out.

#include "cli/CliTestSetup.h"
#include "common/PhoneSim.h"

#include <csignal>
#include <fstream>
#include <gtest/gtest.h>
#include <optional>

namespace {

class CliWatchTest : public ::testing::Test, public CliTestBase {
protected:
    void Phone(const std::string& fixture) {
        PhoneSimOptions options{fixture};
        options.arrivals = true;
        phone.emplace(options);
    }

    CliProcess Watch(Lines arguments) {
        arguments.insert(arguments.begin(), {"--port", phone->LinkPath(), "watch"});
        return CliProcess(dir.path.string(), arguments);
    }

    bool WaitForCommand(const std::string& command) const {
        return phone->WaitForTranscript(
            [&](const auto&) { return std::ranges::count(phone->Received(), command) > 0; });
    }

    // Standard output so far, once it holds `count` lines (bounded wait).
    Lines OutputLines(std::size_t count) const {
        Lines lines;
        for (int i = 0; i < 500 && lines.size() < count; ++i) {
            std::ifstream in(dir.File("stdout"));
            std::stringstream text;
            text << in.rdbuf();
            lines = SplitLines(text.str());
            if (lines.size() < count)
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return lines;
    }

    std::optional<PhoneSim> phone;
};

TEST_F(CliWatchTest, PrintsArchivesAndErasesEachMessageAsItComesUntilCtrlC) {
    Phone(Sms(1, 1, kHelloPdu) + "capacity SM 10\n");
    CliProcess watch = Watch({"--archive", "--move", "--format", "csv"});
    ASSERT_TRUE(watch.Start());
    ASSERT_TRUE(WaitForCommand("AT+CNMI=2,1,0,1,0"));
    ASSERT_TRUE(phone->Arrive("2"));
    const Lines out = OutputLines(3);
    ASSERT_EQ(out.size(), 3u);
    EXPECT_EQ(out[0], "N,TYPE,STAT,SMS,DATE,TIME.,MITT./DEST.,Assoc. rubrica.,SCA.,PART");
    EXPECT_TRUE(out[1].starts_with("2,IN,UNREAD,New message 1,")) << out[1];
    EXPECT_TRUE(out[2].starts_with("3,IN,UNREAD,New message 2,")) << out[2];
    // Erased only after the archive took it; the message that was there stays.
    ASSERT_TRUE(WaitForCommand("AT+CMGD=3"));
    watch.Signal(SIGINT);
    const CliResult result = watch.Wait(10000);
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(Starting(phone->Received(), "AT+CMGD"), (Lines{"AT+CMGD=2", "AT+CMGD=3"}));
    EXPECT_EQ(
        QueryCount(database, "SELECT COUNT(*) FROM SMS_In WHERE Messaggio LIKE 'New message _'"),
        2);
    // The session is closed and nothing else was asked of the phone.
    EXPECT_EQ(Starting(phone->Received(), "AT+CMGR"), (Lines{"AT+CMGR=2", "AT+CMGR=3"}));
}

TEST_F(CliWatchTest, WithoutArchiveTheMessageStaysOnThePhoneAndOutOfTheArchive) {
    Phone("capacity SM 10\n");
    CliProcess watch = Watch({"--format", "json"});
    ASSERT_TRUE(watch.Start());
    ASSERT_TRUE(WaitForCommand("AT+CNMI=2,1,0,1,0"));
    ASSERT_TRUE(phone->Arrive(kHelloPdu));
    const Lines out = OutputLines(1);
    ASSERT_EQ(out.size(), 1u);
    EXPECT_NE(out[0].find(R"("SMS":"hello")"), std::string::npos) << out[0];
    watch.Signal(SIGINT);
    EXPECT_EQ(watch.Wait(10000).status, 0);
    EXPECT_EQ(Starting(phone->Received(), "AT+CMGD"), Lines{});
    EXPECT_EQ(QueryCount(database, "SELECT COUNT(*) FROM SMS_In"), 0);
}

TEST_F(CliWatchTest, APhoneThatTellsNothingEndsTheWatchWithItsNote) {
    Phone("reply AT+CNMI=? ERROR\n");
    const CliResult result = Cli({"--port", phone->LinkPath(), "watch"});
    EXPECT_EQ(result.status, 1);
    EXPECT_NE(result.err.find("The phone does not tell new messages"), std::string::npos)
        << result.err;
    EXPECT_EQ(Starting(phone->Received(), "AT+CNMI"), Lines{"AT+CNMI=?"});
}

} // namespace
