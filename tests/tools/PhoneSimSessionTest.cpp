// The simulator as a process: fixture directives, the transcript, clients that come and go, and
// the way it ends.

#include "common/PhoneSim.h"
#include "tools/PtyClient.h"
#include "tools/SimFixtures.h"

#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <regex>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

using namespace simtest;

namespace {

std::vector<std::string> FileLines(const std::string& path) {
    std::ifstream in(path);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST(PhoneSimDirectives, ReplyRulesAnswerExactlyTheirLinesFirstMatchWins) {
    PhoneSim sim(PhoneSimOptions{"reply AT+CMGF=0 +CMS ERROR: 500|OK\n"
                                 "reply AT+CPBS ERROR\n"
                                 "reply AT+CPBS=\"ME\" OK   # never reached: the rule above wins\n"
                                 "reply AT+CPBR=? +CPBR: (5-9),20,10|OK\n"
                                 "reply AT+CMGR=9\n"});
    ASSERT_TRUE(sim.Running());
    PtyClient client(sim.LinkPath());
    ASSERT_EQ(client.Command("ATE0"), "ATE0\r\r\nOK\r\n");
    // Read up to "OK" or "ERROR" itself: a canned error line may come before the OK.
    auto ask = [&client](const std::string& command) {
        client.Send(command + "\r");
        return client.ReadUntil([](const std::string& text) {
            return text.ends_with("\r\nOK\r\n") || text.ends_with("\r\nERROR\r\n");
        });
    };
    EXPECT_EQ(ask("AT+CMGF=0"), "\r\n+CMS ERROR: 500\r\n\r\nOK\r\n");
    EXPECT_EQ(ask("at+CMGF=0"), "\r\n+CMS ERROR: 500\r\n\r\nOK\r\n");
    EXPECT_EQ(ask("AT+cmgf=0"), "\r\nOK\r\n"); // past "AT" the prefix is exact
    EXPECT_EQ(ask("AT+CPBS=\"ME\""), "\r\nERROR\r\n");
    EXPECT_EQ(ask("AT+CPBR=?"), "\r\n+CPBR: (5-9),20,10\r\n\r\nOK\r\n");
    // A rule without lines: the phone keeps quiet.
    client.Send("AT+CMGR=9\r");
    EXPECT_EQ(client.ReadFor(300), "");
    EXPECT_EQ(client.Command("AT"), "\r\nOK\r\n");
}

TEST(PhoneSimDirectives, SilentAnswersNothingNotEvenEchoButRecords) {
    for (const auto& options :
         {PhoneSimOptions{"silent\n"}, PhoneSimOptions{"", 115200, {"--silent"}}}) {
        PhoneSim sim(options);
        ASSERT_TRUE(sim.Running());
        PtyClient client(sim.LinkPath());
        client.Send("AT\rAT+CMGS=5\r00\x1a");
        EXPECT_EQ(client.ReadFor(300), "");
        ASSERT_TRUE(sim.WaitForReceived(2));
        EXPECT_EQ(sim.Received(), (std::vector<std::string>{"AT", "AT+CMGS=5"}));
        EXPECT_TRUE(sim.SentPdus().empty());
    }
}

TEST(PhoneSimDirectives, DelayHoldsEachResponseBack) {
    PhoneSim sim(PhoneSimOptions{"", 115200, {"--delay-ms", "250"}});
    ASSERT_TRUE(sim.Running());
    PtyClient client(sim.LinkPath());
    EXPECT_EQ(client.Command("AT"), "AT\r\r\nOK\r\n"); // echo is not held back
    ASSERT_TRUE(sim.WaitForTranscript([](const auto& t) { return t.size() >= 2; }));
    const auto transcript = sim.Transcript();
    EXPECT_EQ(transcript[1].kind, "TX");
    EXPECT_GE(transcript[1].ms - transcript[0].ms, 250);
}

TEST(PhoneSimTranscript, OneTimestampedLinePerEventInOrder) {
    PhoneSim sim(PhoneSimOptions{SmallPhone()});
    ASSERT_TRUE(sim.Running());
    PtyClient client(sim.LinkPath());
    client.Command("ATE0");
    client.Command("AT+CMGR=1");
    client.Command("AT+CMGS=29");
    client.Send(kSubmit + "\x1a");
    client.ReadUntil(PtyClient::IsComplete);
    client.Command("AT+CMGS=29");
    client.Send("00\x1b");
    client.ReadUntil(PtyClient::IsComplete);
    ASSERT_TRUE(sim.WaitForTranscript([](const auto& t) { return t.size() >= 14; }));

    const std::vector<std::string> lines = FileLines(sim.TranscriptPath());
    const std::vector<std::pair<std::string, std::string>> expected = {
        {"RX", "ATE0"},       {"TX", "OK"},       {"RX", "AT+CMGR=1"},  {"TX", "+CMGR: 1,,42"},
        {"TX", kDeliverRead}, {"TX", "OK"},       {"RX", "AT+CMGS=29"}, {"TX", "> "},
        {"SENT", kSubmit},    {"TX", "+CMGS: 1"}, {"TX", "OK"},         {"RX", "AT+CMGS=29"},
        {"TX", "> "},         {"RX", "<ESC>"},    {"TX", "OK"}};
    ASSERT_EQ(lines.size(), expected.size());
    long previous = 0;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        std::smatch match;
        ASSERT_TRUE(std::regex_match(lines[i], match, std::regex("([0-9]+) (RX|TX|SENT) (.*)")))
            << lines[i];
        EXPECT_EQ(match[2], expected[i].first) << lines[i];
        EXPECT_EQ(match[3], expected[i].second) << lines[i];
        const long ms = std::stol(match[1]);
        EXPECT_GE(ms, previous);
        previous = ms;
    }
    EXPECT_TRUE(lines[7].ends_with(" TX > "));
}

TEST(PhoneSimClients, ServesAClientThatClosesAndReopensWithoutStaleBytes) {
    // At 1200 baud the listing takes seconds to go out: the first client leaves before it has
    // read what was already sent to it, and that must not reach the next client.
    PhoneSim sim(PhoneSimOptions{SmallPhone(), 1200});
    ASSERT_TRUE(sim.Running());
    {
        PtyClient first(sim.LinkPath());
        first.Send("AT+CMGL=4\r");
        ASSERT_TRUE(sim.WaitForTranscript([](const auto& t) { return t.size() >= 2; }));
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    // The phone finishes its answer to nobody (the last line is logged as it starts).
    ASSERT_TRUE(sim.WaitForTranscript([](const auto& t) { return t.back().text == "OK"; }));
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    {
        PtyClient idle(sim.LinkPath()); // opens and leaves without a word
    }
    PtyClient second(sim.LinkPath());
    ASSERT_TRUE(second.IsOpen());
    EXPECT_EQ(second.Command("AT", 5000), "AT\r\r\nOK\r\n");
    second.Close();
    PtyClient third(sim.LinkPath());
    EXPECT_EQ(third.Command("ATE0", 5000), "ATE0\r\r\nOK\r\n");
    EXPECT_TRUE(sim.Running());
}

TEST(PhoneSimClients, ExclusiveUseEndsWithTheClientThatAskedForIt) {
    // TIOCEXCL binds only users without CAP_SYS_ADMIN: try as "nobody".
    if (geteuid() != 0)
        GTEST_SKIP() << "needs root to switch to an unprivileged user";
    PhoneSim sim;
    ASSERT_TRUE(sim.Running());
    const std::string slave = std::filesystem::read_symlink(sim.LinkPath());
    ASSERT_EQ(chmod(slave.c_str(), 0666), 0);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        if (setgid(65534) != 0 || setuid(65534) != 0)
            _exit(2);
        int fd = open(slave.c_str(), O_RDWR | O_NOCTTY);
        if (fd < 0 || ioctl(fd, TIOCEXCL) != 0)
            _exit(3);
        const bool refusedWhileHeld = open(slave.c_str(), O_RDWR | O_NOCTTY) < 0;
        close(fd);
        for (int i = 0; i < 100 && (fd = open(slave.c_str(), O_RDWR | O_NOCTTY)) < 0; ++i)
            usleep(10000); // until the simulator has seen the close
        _exit(refusedWhileHeld && fd >= 0 ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
}

TEST(PhoneSimProcess, StopsOnSigtermAndRemovesItsLink) {
    PhoneSim sim;
    ASSERT_TRUE(sim.Running());
    struct stat st {};
    ASSERT_EQ(lstat(sim.LinkPath().c_str(), &st), 0);
    const int status = sim.Stop();
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    EXPECT_NE(lstat(sim.LinkPath().c_str(), &st), 0);
}

TEST(PhoneSimProcess, EndsWithItsParentAndRemovesItsLink) {
    char pattern[] = "/tmp/telvane-phonesim-parent-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    const std::string link = std::string(pattern) + "/link";
    // The shell starts the simulator and ends while the simulator still runs.
    const std::string command = std::string("sh -c '") + TELVANE_PHONESIM + " --link " + link +
                                " --exit-with-parent >/dev/null & sleep 0.5'";
    ASSERT_EQ(std::system(command.c_str()), 0);
    struct stat st {};
    bool gone = false;
    for (int i = 0; i < 500 && !gone; ++i) {
        gone = lstat(link.c_str(), &st) != 0;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    EXPECT_TRUE(gone);
    std::filesystem::remove_all(pattern);
}

TEST(PhoneSimProcess, RefusesAFaultyFixture) {
    for (const char* fixture :
         {"sms SM 1 0 0791\n", "sms XX 1 0 00\n", "capacity SM 2\nsms SM 3 0 00040000\n",
          "phonebook SM 1 129 \"12a\" \"x\"\n", "frobnicate\n"}) {
        PhoneSim sim(PhoneSimOptions{fixture});
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        EXPECT_FALSE(sim.Running()) << fixture;
    }
}

TEST(PhoneSimProcess, ServesTheShippedSample) {
    PhoneSim sim(PhoneSimOptions{ReadFile(TELVANE_SOURCE_DIR "/tools/phonesim/sample.fixture")});
    ASSERT_TRUE(sim.Running());
    PtyClient client(sim.LinkPath());
    EXPECT_EQ(client.Command("AT+CPMS=\"SM\""),
              "AT+CPMS=\"SM\"\r\r\n+CPMS: 3,20,3,20,3,20\r\n\r\nOK\r\n");
    EXPECT_EQ(client.Command("AT+CPMS=\"ME\""),
              "AT+CPMS=\"ME\"\r\r\n+CPMS: 3,50,3,20,3,20\r\n\r\nOK\r\n");
}

} // namespace

namespace {

TEST(PhoneSimArrivals, TheFifoAndSigusr1BringMessagesToldAsCnmiAsked) {
    PhoneSimOptions options{SmallPhone()};
    options.arrivals = true;
    PhoneSim sim(options);
    ASSERT_TRUE(sim.Running());
    PtyClient client(sim.LinkPath());
    ASSERT_EQ(client.Command("ATE0"), "ATE0\r\r\nOK\r\n");
    // Before AT+CNMI the phone stores and says nothing.
    ASSERT_TRUE(sim.Arrive("1"));
    EXPECT_EQ(client.ReadFor(300), "");
    ASSERT_EQ(client.Command("AT+CNMI=2,1,0,0,0"), "\r\nOK\r\n");
    ASSERT_TRUE(sim.Arrive("3"));
    const auto told = [](int count) {
        return [count](const std::string& text) {
            int found = 0;
            for (std::size_t at = text.find("+CMTI:"); at != std::string::npos;
                 at = text.find("+CMTI:", at + 1))
                ++found;
            return found >= count && text.ends_with("\r\n");
        };
    };
    EXPECT_EQ(client.ReadUntil(told(3)),
              "\r\n+CMTI: \"SM\",4\r\n\r\n+CMTI: \"SM\",5\r\n\r\n+CMTI: \"SM\",6\r\n");
    ASSERT_EQ(kill(sim.Pid(), SIGUSR1), 0);
    EXPECT_EQ(client.ReadUntil(told(1)), "\r\n+CMTI: \"SM\",8\r\n");
    // The first one went to index 2, the gap before the fixture's 3.
    const std::string read = client.Command("AT+CMGR=2");
    EXPECT_TRUE(read.starts_with("\r\n+CMGR: 0,,31\r\n")) << read;
}

} // namespace
