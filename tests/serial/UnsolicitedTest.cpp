// Unsolicited codes among the answers: kept apart from them, queued once, never a final result;
// the reply of an exchange as a value; the line-pace session on a pseudo-terminal.
#include "common/RecordingMessageSink.h"
#include "serial/CModemSession.h"
#include "serial/FakeSessionParts.h"
#include "serial/PtyPair.h"
#include "serial/serialdata.h"

#include <atomic>
#include <gtest/gtest.h>
#include <thread>

namespace {

using Texts = std::vector<std::string>;

std::vector<std::string> Drain(UnsolicitedQueue& queue) {
    std::vector<std::string> texts;
    while (auto line = queue.Take())
        texts.push_back(line->data.empty() ? line->text : line->text + "|" + line->data);
    return texts;
}

void Receive(serialdata& store, std::string_view bytes) {
    store.pending += bytes;
    SplitLines(store);
}

TEST(UnsolicitedLines, AreStoredMarkedQueuedOnceAndRaiseNoFlag) {
    serialdata store;
    Receive(store, "\r\n+CMGR: 0,,24\r\n+CMTI: \"SM\",3\r\nRING\r\n0791AB\r\n\r\n+CREG: 1\r\n");
    EXPECT_EQ(store.okReceived, 0);
    Receive(store, "OK\r\n");
    EXPECT_EQ(store.okReceived, 1);
    EXPECT_EQ(SnapshotLines(store),
              (Texts{"+CMGR: 0,,24", "+CMTI: \"SM\",3", "RING", "0791AB", "+CREG: 1", "OK"}))
        << "the store keeps every line where it arrived";
    EXPECT_EQ(SnapshotAnswerLines(store), (Texts{"+CMGR: 0,,24", "0791AB", "OK"}));
    ClearLines(store);
    EXPECT_EQ(Drain(store.unsolicited), (Texts{"+CMTI: \"SM\",3", "RING", "+CREG: 1"}))
        << "a clear of the store leaves the queue alone";
    EXPECT_TRUE(Drain(store.unsolicited).empty());
}

TEST(UnsolicitedLines, DeliveredMessagesAndReportsTakeTheirPduLineWithThem) {
    serialdata store;
    // A PDU line that says "OK" would otherwise end the exchange.
    Receive(store, "+CMT: ,24\r\nOK\r\n+CDS: 25\r\n0791FF\r\n+CMGS: 7\r\n");
    EXPECT_EQ(store.okReceived, 0);
    EXPECT_EQ(SnapshotAnswerLines(store), Texts{"+CMGS: 7"});
    Receive(store, "+CMT: ,30\r\n");
    ClearLines(store);
    Receive(store, "07AA\r\n");
    EXPECT_EQ(Drain(store.unsolicited),
              (Texts{"+CMT: ,24|OK", "+CDS: 25|0791FF", "+CMT: ,30|07AA"}))
        << "the header's next line belongs to it across a clear";
    EXPECT_TRUE(SnapshotAnswerLines(store).empty());
}

TEST(UnsolicitedLines, ACommandsOwnAnswerIsNoUnsolicitedCode) {
    EXPECT_EQ(AnswerPrefixOf("AT+CREG?"), "+CREG:");
    EXPECT_EQ(AnswerPrefixOf("AT+CMGR=3"), "+CMGR:");
    EXPECT_EQ(AnswerPrefixOf("ATE0"), "");
    EXPECT_TRUE(IsUnsolicitedLine("+CREG: 1"));
    EXPECT_FALSE(IsUnsolicitedLine("+CREG: 0,1", "+CREG:"));
    EXPECT_FALSE(IsUnsolicitedLine("RINGING")) << "RING is a whole line";
    EXPECT_FALSE(IsUnsolicitedLine("+CMGR: 1,,20"));
    EXPECT_FALSE(IsUnsolicitedLine("+CPBR: 1,\"5\",129,\"RING\""));
}

TEST(UnsolicitedLines, LogLinesAddedByHandStayPlainLines) {
    serialdata store;
    AddString("+CMTI: \"SM\",1", store);
    EXPECT_EQ(SnapshotAnswerLines(store), Texts{"+CMTI: \"SM\",1"});
    EXPECT_EQ(store.unsolicited.Size(), 0u);
}

TEST(ReplyValue, ResultKindsCodesAndLinesApart) {
    struct Case {
        std::string bytes;
        ReplyResult result;
        int code;
        Texts lines;
    };
    const Case cases[] = {
        {"+CPMS: 3,20\r\n+CMTI: \"SM\",4\r\nOK\r\n", ReplyResult::Ok, -1, {"+CPMS: 3,20"}},
        {"+CMS ERROR: 321\r\n", ReplyResult::CmsError, 321, {}},
        {"+CME ERROR: 10\r\n", ReplyResult::CmeError, 10, {}},
        {"ERROR\r\n", ReplyResult::Error, -1, {}},
        {"+CPBR: 1\r\n", ReplyResult::Timeout, -1, {"+CPBR: 1"}},
    };
    for (const Case& c : cases) {
        serialdata store;
        Receive(store, c.bytes);
        const Reply reply = ReadReply(store, kFromFlags, false);
        EXPECT_EQ(reply.result, c.result) << c.bytes;
        EXPECT_EQ(reply.errorCode, c.code) << c.bytes;
        EXPECT_EQ(reply.lines, c.lines) << c.bytes;
    }
    serialdata store;
    Receive(store, "OK\r\n");
    EXPECT_EQ(ReadReply(store, kAnswerTimeout, true).result, ReplyResult::PortLost);
    EXPECT_EQ(ReadReply(store, kAnswerTimeout, true).Answer(), kAnswerTimeout);
}

// A phone on the master side that answers each command line with the text `answer` gives it.
class PtyPhone {
public:
    PtyPhone(PtyPair& pair, std::function<std::string(const std::string&)> answerOf)
        : pty(pair), answer(std::move(answerOf)), thread([this] { Run(); }) {}
    ~PtyPhone() {
        stop = true;
        thread.join();
    }
    std::vector<std::string> Commands() {
        std::lock_guard guard(mutex);
        return commands;
    }

private:
    void Run() {
        std::string received;
        while (!stop) {
            received += pty.Drain(std::chrono::milliseconds(20));
            for (auto end = received.find('\r'); end != std::string::npos;
                 end = received.find('\r')) {
                const std::string command = received.substr(0, end);
                received.erase(0, end + 1);
                {
                    std::lock_guard guard(mutex);
                    commands.push_back(command);
                }
                pty.Send(answer(command));
            }
        }
    }
    PtyPair& pty;
    std::function<std::string(const std::string&)> answer;
    std::mutex mutex;
    std::vector<std::string> commands;
    std::atomic<bool> stop{false};
    std::thread thread;
};

class LinePaceTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(pty.Ready());
        session.Port().SetPortName(pty.SlavePath());
        session.Port().SetLineSettings(115200, 0, 8, 0, 0);
        session.SetPace(SessionPace::Line);
    }
    RecordingMessageSink sink;
    FakeWaiter waiter;
    RecordingForm form;
    PtyPair pty;
    CModemSession session{sink, waiter, form};
};

TEST_F(LinePaceTest, ExchangesWakeAtTheirResultWithoutPollingOrPausing) {
    PtyPhone phone(pty, [](const std::string& command) -> std::string {
        if (command == "AT+CMGR=1")
            return "\r\n+CMGR: 1,,5\r\n+CMTI: \"SM\",4\r\n07AB\r\n\r\nOK\r\n";
        return "\r\nOK\r\n";
    });
    session.OpenSession();
    EXPECT_TRUE(sink.Texts().empty());
    const Reply reply = session.Exchange("AT+CMGR=1");
    EXPECT_EQ(reply.result, ReplyResult::Ok);
    EXPECT_EQ(reply.lines, (Texts{"+CMGR: 1,,5", "07AB"}));
    EXPECT_EQ(reply.unsolicited, Texts{"+CMTI: \"SM\",4"});
    EXPECT_TRUE(waiter.pauses.empty()) << "line pace neither polls nor pauses";
    EXPECT_EQ(phone.Commands(), (Texts{"ATE0", "AT+CMGF=0", "AT+CMGR=1"}));
    EXPECT_EQ(Drain(session.Unsolicited()), Texts{"+CMTI: \"SM\",4"});
    session.CloseSession();
}

TEST_F(LinePaceTest, AnErrorEndsTheWaitAndAClosedPortAnswersAtOnce) {
    PtyPhone phone(pty, [](const std::string& command) -> std::string {
        return command == "AT+CSCA?" ? "\r\n+CMS ERROR: 330\r\n" : "\r\nOK\r\n";
    });
    session.OpenSession();
    const Reply reply = session.Exchange("AT+CSCA?");
    EXPECT_EQ(reply.result, ReplyResult::CmsError);
    EXPECT_EQ(reply.errorCode, 330);
    session.CloseSession();
    EXPECT_EQ(session.SendAndWait("AT", kSendCommandLine), kAnswerTimeout);
}

TEST_F(LinePaceTest, ALineOfTheAnswersNameAfterTheExchangeIsThePhonesOwn) {
    PtyPhone phone(pty, [](const std::string& command) -> std::string {
        return command == "AT+CREG?" ? "\r\n+CREG: 1,1\r\n\r\nOK\r\n" : "\r\nOK\r\n";
    });
    session.OpenSession();
    const Reply reply = session.Exchange("AT+CREG?");
    EXPECT_EQ(reply.lines, Texts{"+CREG: 1,1"});
    EXPECT_TRUE(reply.unsolicited.empty());
    pty.Send("\r\n+CREG: 5\r\n");
    const std::optional<UnsolicitedLine> notice =
        session.Unsolicited().Take(std::chrono::milliseconds(2000));
    ASSERT_TRUE(notice) << "taken for the answer of an exchange that had ended";
    EXPECT_EQ(notice->text, "+CREG: 5");
    session.CloseSession();
}

// Closing returns only once the reader has ended: it must never call into a form that its
// owner destroys right after.
TEST(SessionClose, JoinsTheReaderAtEitherPace) {
    for (SessionPace pace : {SessionPace::Window, SessionPace::Line}) {
        RecordingMessageSink sink;
        FakeWaiter waiter;
        RecordingForm form;
        PtyPair pty;
        ASSERT_TRUE(pty.Ready());
        PtyPhone phone(pty, [](const std::string&) { return std::string("\r\nOK\r\n"); });
        CModemSession session{sink, waiter, form};
        session.SetPace(pace);
        session.Port().SetPortName(pty.SlavePath());
        session.Port().SetLineSettings(115200, 0, 8, 0, 0);
        session.OpenSession();
        ASSERT_TRUE(session.ReaderRunning());
        session.CloseSession();
        EXPECT_FALSE(session.ReaderRunning());
    }
}

} // namespace
