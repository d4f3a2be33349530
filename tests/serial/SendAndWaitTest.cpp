#include "common/RecordingMessageSink.h"
#include "serial/CModemSession.h"
#include "serial/FakeSessionParts.h"
#include "serial/PtyPair.h"

#include <gtest/gtest.h>

namespace {

using Texts = std::vector<std::string>;

class SendAndWaitTest : public ::testing::Test {
protected:
    // Lines the phone "sends" while the caller is in pause number `pause`.
    void ArriveDuringPause(int pause, Texts lines) {
        waiter.duringPause = [this, pause, lines](int number) {
            if (number == pause)
                for (const auto& line : lines)
                    AddString(line, session.Store());
        };
    }

    RecordingMessageSink sink;
    FakeWaiter waiter;
    RecordingForm form;
    CModemSession session{sink, waiter, form};
};

TEST_F(SendAndWaitTest, SilentPhoneIsPolled26TimesAndTimesOutAfter5200Ms) {
    EXPECT_EQ(session.SendAndWait("AT", kSendCommandLine), kAnswerTimeout);
    EXPECT_EQ(waiter.pauses, std::vector<long>(26, 200));
}

TEST_F(SendAndWaitTest, OkDuringThe25thPauseIsSeenByTheLastPoll) {
    ArriveDuringPause(25, {"OK"});
    EXPECT_EQ(session.SendAndWait("AT", kSendCommandLine), kAnswerOk);
    EXPECT_EQ(waiter.pauses.size(), 25u);
}

TEST_F(SendAndWaitTest, OkDuringTheLastPauseIsNotSeen) {
    ArriveDuringPause(26, {"OK"});
    EXPECT_EQ(session.SendAndWait("AT", kSendCommandLine), kAnswerTimeout);
    EXPECT_EQ(waiter.pauses.size(), 26u);
    EXPECT_EQ(SnapshotLines(session.Store()), Texts{"OK"}) << "the line stays for the caller";
}

TEST_F(SendAndWaitTest, FinalResultsGiveTheirAnswers) {
    struct Case {
        Texts lines;
        int answer;
        std::size_t pauses;
    };
    const Case cases[] = {
        {{"+CMGR: 1,,23", "0791", "OK"}, kAnswerOk, 1},
        {{"ERROR", "OK"}, kAnswerOk, 1},
        {{"OK", "ERROR"}, kAnswerOk, 1},
        {{"+CMS ERROR: 500"}, kAnswerError, 1},
        {{"ERROR"}, kAnswerError, 1},
        {{"+CME ERROR: 10"}, kAnswerError, 1},
    };
    for (const auto& c : cases) {
        waiter.pauses.clear();
        ArriveDuringPause(1, c.lines);
        EXPECT_EQ(session.SendAndWait("AT+CMGR=1", kSendCommandLine), c.answer) << c.lines[0];
        EXPECT_EQ(waiter.pauses.size(), c.pauses) << c.lines[0];
        EXPECT_EQ(SnapshotLines(session.Store()), c.lines);
    }
}

TEST_F(SendAndWaitTest, WaitForPromptEndsAtThePromptAnErrorOrTheTimeOut) {
    waiter.duringPause = [this](int number) {
        if (number == 3) {
            session.Store().pending += "\r\n> ";
            SplitLines(session.Store());
        }
    };
    EXPECT_EQ(session.WaitForPrompt(), kAnswerOk);
    EXPECT_EQ(waiter.pauses.size(), 3u);

    session.ClearLines();
    waiter.pauses.clear();
    ArriveDuringPause(2, {"+CMS ERROR: 304"});
    EXPECT_EQ(session.WaitForPrompt(), kAnswerError);

    session.ClearLines();
    waiter.pauses.clear();
    ArriveDuringPause(1, {"OK"});
    EXPECT_EQ(session.WaitForPrompt(), kAnswerTimeout) << "OK is no prompt";
    EXPECT_EQ(waiter.pauses.size(), 26u);
}

TEST_F(SendAndWaitTest, ResultsOfAnEarlierExchangeAreClearedFirst) {
    AddString("OK", session.Store());
    AddString("ERROR", session.Store());
    EXPECT_EQ(session.SendAndWait("AT", kSendCommandLine), kAnswerTimeout);
    EXPECT_TRUE(SnapshotLines(session.Store()).empty());
}

TEST_F(SendAndWaitTest, APortThatDoesNotOpenIsNoSession) {
    EXPECT_FALSE(session.OpenSession()); // no port name: the port's box is the only one
    EXPECT_EQ(sink.Texts(), Texts{"port name empty!"});
    EXPECT_TRUE(waiter.pauses.empty()) << "nothing sent, nothing waited for";
    EXPECT_TRUE(form.Calls().empty());
    EXPECT_EQ(session.portOpen, 0);
    EXPECT_FALSE(session.ReaderRunning());
}

// The session's own steps, on a pseudo-terminal that nobody answers from.
class OpenSessionTest : public SendAndWaitTest {
protected:
    void SetUp() override {
        ASSERT_TRUE(pty.Ready());
        session.Port().SetPortName(pty.SlavePath());
        session.Port().SetLineSettings(115200, 0, 8, 0, 0);
    }
    PtyPair pty;
};

TEST_F(OpenSessionTest, OpenSessionRunsEveryStepAndReportsBothInitialisationFailures) {
    EXPECT_TRUE(session.OpenSession()); // a silent phone: the session goes on
    EXPECT_EQ(sink.Texts(),
              (Texts{"Error sending ATE0", "Error setting SMS Type to PDU (+CMGF=0)"}));
    const auto boxes = sink.Requests();
    for (std::size_t i = 0; i < boxes.size(); ++i) {
        EXPECT_EQ(boxes[i].caption, "Telvane");
        EXPECT_EQ(boxes[i].buttons, BoxButtons::Ok);
        EXPECT_EQ(boxes[i].icon, BoxIcon::None);
    }
    std::vector<long> expected{500};
    expected.insert(expected.end(), 26, 200);
    expected.push_back(100);
    expected.insert(expected.end(), 26, 200);
    EXPECT_EQ(waiter.pauses, expected);
    EXPECT_EQ(form.Calls(), (Texts{"EnablePortControls 1", "SetMenuCheck 32773 1"}));
    EXPECT_EQ(session.portOpen, 1);
    EXPECT_TRUE(session.ReaderRunning());

    session.CloseSession();
    EXPECT_EQ(session.portOpen, 0);
    EXPECT_EQ(session.Store().stopReader, 1);
    EXPECT_EQ(form.Calls(), (Texts{"EnablePortControls 1", "SetMenuCheck 32773 1",
                                   "EnablePortControls 0", "SetMenuCheck 32773 0"}));
}

TEST_F(OpenSessionTest, OpenSessionAnsweredOkShowsNothing) {
    // The "phone" answers through the store.
    waiter.duringPause = [this](int) { AddString("OK", session.Store()); };
    EXPECT_TRUE(session.OpenSession());
    EXPECT_TRUE(sink.Texts().empty());
    EXPECT_EQ(waiter.pauses, (std::vector<long>{500, 200, 100, 200}));
}

// The texts that reach the phone, on a pseudo-terminal.
class SendOnPtyTest : public OpenSessionTest {
protected:
    void SetUp() override {
        OpenSessionTest::SetUp();
        session.Port().Switch(1);
        ASSERT_TRUE(session.Port().IsOpen());
    }
};

TEST_F(SendOnPtyTest, CommandsEndInCarriageReturnPdusInCtrlZAndModeZeroSendsNothing) {
    EXPECT_EQ(session.SendCommand("AT+CMGS=23"), 0);
    session.SendData("0011000B91");
    EXPECT_EQ(pty.Drain(), "AT+CMGS=23\r0011000B91\x1a");

    ArriveDuringPause(3, {"+CMTI: \"SM\",3", "OK"});
    EXPECT_EQ(session.SendAndWait("AT+CMGF=0", 0), kAnswerOk);
    EXPECT_EQ(pty.Drain(), "");
}

TEST_F(SendOnPtyTest, OverlongTextsAreCutTo998CharactersBeforeTheTerminator) {
    session.SendCommand(std::string(1200, 'A'));
    EXPECT_EQ(pty.Drain(), std::string(998, 'A') + "\r");
}

} // namespace
