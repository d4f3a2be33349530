// The session against a phone on a pseudo-terminal, in real time: the simulator, and for the
// start-up pauses a scripted phone that timestamps what it receives.

#include "common/PhoneSim.h"
#include "common/RecordingMessageSink.h"
#include "serial/CModemSession.h"
#include "serial/FakeSessionParts.h"
#include "serial/PtyPair.h"

#include <atomic>
#include <chrono>
#include <gtest/gtest.h>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;
using Texts = std::vector<std::string>;

class SessionOnPhoneTest : public ::testing::Test {
protected:
    void Open(const std::string& device, uint32_t baud = 115200) {
        session.Port().SetPortName(device);
        session.Port().SetLineSettings(baud, 0, 8, 0, 2);
        session.OpenSession();
    }

    RecordingMessageSink sink;
    RealWaiter waiter;
    RecordingForm form;
    CModemSession session{sink, waiter, form};
};

TEST_F(SessionOnPhoneTest, OpensWithEchoOffThenPduMode) {
    PhoneSim phone;
    Open(phone.LinkPath());
    EXPECT_TRUE(sink.Texts().empty());
    EXPECT_EQ(phone.Received(), (Texts{"ATE0", "AT+CMGF=0"}));
    EXPECT_EQ(form.Calls(), (Texts{"EnablePortControls 1", "SetMenuCheck 32773 1"}));
    EXPECT_EQ(session.portOpen, 1);
}

// A phone that answers "OK" to every command line (AT+CPMS? with its counts first), `delay`
// after it came, and notes when each arrived.
class ScriptedPhone {
public:
    explicit ScriptedPhone(const PtyPair& link, milliseconds answerDelay = milliseconds(0))
        : pty(link), delay(answerDelay), thread([this] { Run(); }) {}
    ~ScriptedPhone() {
        stop = true;
        thread.join();
    }
    std::vector<std::pair<Clock::time_point, std::string>> Lines() {
        std::lock_guard lock(mutex);
        return lines;
    }

private:
    void Run() {
        std::string pending;
        while (!stop) {
            const std::string received = pty.Drain(milliseconds(20));
            for (char c : received) {
                if (c != '\r') {
                    pending += c;
                    continue;
                }
                {
                    std::lock_guard lock(mutex);
                    lines.emplace_back(Clock::now(), pending);
                }
                std::this_thread::sleep_for(delay);
                pty.Send(pending == "AT+CPMS?" ? "\r\n+CPMS: \"SM\",3,30\r\n\r\nOK\r\n"
                                               : "\r\nOK\r\n");
                pending.clear();
            }
        }
    }

    const PtyPair& pty;
    milliseconds delay;
    std::atomic<bool> stop{false};
    std::mutex mutex;
    std::vector<std::pair<Clock::time_point, std::string>> lines;
    std::thread thread;
};

TEST_F(SessionOnPhoneTest, EchoOffComesHalfASecondAfterThePortOpensAndPduModeAfterIt) {
    PtyPair pty;
    ASSERT_TRUE(pty.Ready());
    ScriptedPhone phone(pty);
    const auto opened = Clock::now();
    Open(pty.SlavePath());
    const auto lines = phone.Lines();
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].second, "ATE0");
    EXPECT_EQ(lines[1].second, "AT+CMGF=0");
    EXPECT_GE(lines[0].first - opened, milliseconds(500));
    EXPECT_GE(lines[1].first - lines[0].first, milliseconds(100));
    EXPECT_TRUE(sink.Texts().empty());
}

// A program stopped by Ctrl+C in the middle of a read leaves the phone still answering; the
// next program's session must not take that late "OK" for its own answers.
TEST_F(SessionOnPhoneTest, ALateAnswerMeantForAnEarlierProgramIsDroppedAtLinePace) {
    PtyPair pty;
    ASSERT_TRUE(pty.Ready());
    ScriptedPhone phone(pty, milliseconds(150));
    session.SetPace(SessionPace::Line);
    std::thread late([&pty] {
        std::this_thread::sleep_for(milliseconds(100));
        pty.Send("\r\n+CMGR: 1,,24\r\n07912143658709F1040B912143658709F1\r\n\r\nOK\r\n");
    });
    Open(pty.SlavePath());
    late.join();
    const Reply counts = session.Exchange("AT+CPMS?");
    EXPECT_TRUE(counts.Ok()) << ReplyFailureText(counts);
    EXPECT_NE(counts.Find("+CPMS:"), nullptr) << "the answer of an earlier command was taken";
    EXPECT_TRUE(sink.Texts().empty());
}

TEST_F(SessionOnPhoneTest, APhoneLeftWaitingForAPduIsToldEscapeBeforeTheFirstCommand) {
    PtyPair pty;
    ASSERT_TRUE(pty.Ready());
    ScriptedPhone phone(pty);
    session.SetPace(SessionPace::Line);
    // Sent once the port is raw (before, the pty's own echo would answer it).
    std::thread prompt([&pty] {
        std::this_thread::sleep_for(milliseconds(100));
        pty.Send("\r\n> "); // an abandoned AT+CMGS
    });
    Open(pty.SlavePath());
    prompt.join();
    const auto lines = phone.Lines();
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].second, "\x1b"
                               "ATE0");
    EXPECT_EQ(lines[1].second, "AT+CMGF=0");
    EXPECT_TRUE(sink.Texts().empty());
}

TEST_F(SessionOnPhoneTest, RepliesSplitAcrossManyReadsGiveTheSameLines) {
    const std::string fixture = "reply AT+CGMI Quorvel Mobile|Model 7 rev B|OK\n";
    Texts fast;
    {
        PhoneSim phone({fixture, 115200, {}});
        Open(phone.LinkPath());
        EXPECT_EQ(session.SendAndWait("AT+CGMI", kSendCommandLine), kAnswerOk);
        fast = SnapshotLines(session.Store());
        session.CloseSession();
    }
    // At 1200 bit/s a pass sees about a dozen bytes: every line is cut over several reads.
    PhoneSim phone({fixture, 1200, {}});
    Open(phone.LinkPath(), 1200);
    EXPECT_EQ(session.SendAndWait("AT+CGMI", kSendCommandLine), kAnswerOk);
    EXPECT_EQ(SnapshotLines(session.Store()), fast);
    EXPECT_EQ(fast, (Texts{"Quorvel Mobile", "Model 7 rev B", "OK"}));
    EXPECT_TRUE(sink.Texts().empty());
}

TEST_F(SessionOnPhoneTest, FinalResultsFromThePhoneGiveTheirAnswers) {
    PhoneSim phone({"reply AT+CPMS ERROR|OK\nreply AT+CMGR=9 +CMS ERROR: 500\n", 115200, {}});
    Open(phone.LinkPath());
    EXPECT_EQ(session.SendAndWait("AT+CPMS=\"SM\"", kSendCommandLine), kAnswerOk);
    EXPECT_EQ(SnapshotLines(session.Store()), (Texts{"ERROR", "OK"}));
    EXPECT_EQ(session.SendAndWait("AT+CMGR=9", kSendCommandLine), kAnswerError);
    EXPECT_EQ(SnapshotLines(session.Store()), Texts{"+CMS ERROR: 500"});
}

TEST_F(SessionOnPhoneTest, SilentPhoneGivesBothMessagesAfterTheFullWaitAndTheSessionIsOpen) {
    PhoneSim phone({"", 115200, {"--silent"}});
    const auto start = Clock::now();
    Open(phone.LinkPath());
    EXPECT_GE(Clock::now() - start, milliseconds(500 + 5200 + 100 + 5200));
    EXPECT_EQ(sink.Texts(),
              (Texts{"Error sending ATE0", "Error setting SMS Type to PDU (+CMGF=0)"}));
    EXPECT_EQ(form.Calls(), (Texts{"EnablePortControls 1", "SetMenuCheck 32773 1"}));
    EXPECT_EQ(session.portOpen, 1);
}

TEST_F(SessionOnPhoneTest, ClosingEndsTheReaderAndANewSessionStartsAFreshOne) {
    PhoneSim phone;
    Open(phone.LinkPath());
    ASSERT_TRUE(session.ReaderRunning());
    session.CloseSession();
    EXPECT_FALSE(session.Port().IsOpen());
    // One pass is at most a 160 ms read and a 100 ms pause; allow for a slow machine.
    for (int i = 0; i < 200 && session.ReaderRunning(); ++i)
        std::this_thread::sleep_for(milliseconds(10));
    EXPECT_FALSE(session.ReaderRunning());

    Open(phone.LinkPath());
    EXPECT_TRUE(session.ReaderRunning());
    EXPECT_EQ(session.SendAndWait("AT", kSendCommandLine), kAnswerOk);
    EXPECT_TRUE(sink.Texts().empty());
}

TEST_F(SessionOnPhoneTest, ASecondSessionOnTheSameDeviceIsRefused) {
    PhoneSim phone;
    Open(phone.LinkPath());
    RecordingMessageSink otherSink;
    FakeWaiter instant;
    RecordingForm otherForm;
    CModemSession other(otherSink, instant, otherForm);
    other.Port().SetPortName(phone.LinkPath());
    other.Port().SetLineSettings(115200, 0, 8, 0, 2);
    EXPECT_FALSE(other.OpenSession());
    EXPECT_EQ(otherSink.Texts(), Texts{"cannot create com device"}) << "the refusal alone";
    EXPECT_EQ(other.portOpen, 0);
    EXPECT_EQ(session.SendAndWait("AT", kSendCommandLine), kAnswerOk) << "the first goes on";
}

} // namespace
