// The read worker: against telvane-phonesim in real time (a few cases), and against a session
// whose phone never answers, with the pauses run at once, for the walk's limits.

#include "common/PhoneSim.h"
#include "serial/CModemSession.h"
#include "serial/FakeSessionParts.h"
#include "sms/CSmsReader.h"
#include "sms/SmsTestSetup.h"

#include <algorithm>
#include <fstream>
#include <gtest/gtest.h>

namespace {

using Texts = std::vector<std::string>;

constexpr std::string_view kSubmitPdu = "07912143658709F11100099121436587F900f0FF0361f118";

std::string Sms(int index, int stat, std::string_view pdu) {
    return "sms SM " + std::to_string(index) + " " + std::to_string(stat) + " " + std::string(pdu) +
           "\n";
}

Texts Starting(const Texts& lines, std::string_view prefix) {
    Texts found;
    std::copy_if(lines.begin(), lines.end(), std::back_inserter(found),
                 [prefix](const std::string& line) { return line.starts_with(prefix); });
    return found;
}

class SmsReaderOnPhoneTest : public ::testing::Test, public SmsTestBase {
protected:
    void Open(const std::string& fixture) {
        // The walk is the subject here, not the window's pace.
        session.SetPace(SessionPace::Line);
        phone.emplace(PhoneSimOptions{fixture});
        session.Port().SetPortName(phone->LinkPath());
        session.Port().SetLineSettings(115200, 0, 8, 0, 2);
        session.OpenSession();
    }
    void ReadAll() {
        ASSERT_TRUE(reader.OnReadSmsFromPhone());
        reader.Join();
        EXPECT_EQ(session.busy, 0);
        EXPECT_EQ(session.stopRequest, 0);
    }
    Texts Received() const { return phone->Received(); }

    std::optional<PhoneSim> phone;
    RealWaiter waiter;
    RecordingForm sessionForm;
    CModemSession session{sink, waiter, sessionForm};
    CSmsReader reader{session, context};
};

TEST_F(SmsReaderOnPhoneTest, ReadsScatteredMessagesUntilTheCountIsReached) {
    Open(Sms(1, 1, kHelloPdu) + Sms(4, 0, kHelloPdu) + Sms(9, 3, kSubmitPdu) +
         Sms(12, 1, kHelloPdu));
    ReadAll();
    EXPECT_EQ(form.smCount, " 4");
    const Texts reads = Starting(Received(), "AT+CMGR=");
    EXPECT_EQ(reads, (Texts{"AT+CMGR=1", "AT+CMGR=2", "AT+CMGR=3", "AT+CMGR=4", "AT+CMGR=5",
                            "AT+CMGR=6", "AT+CMGR=7", "AT+CMGR=8", "AT+CMGR=9", "AT+CMGR=10",
                            "AT+CMGR=11", "AT+CMGR=12"}));
    EXPECT_EQ(form.Column(kSmsNumberColumn), (Texts{"4", "3", "2", "1"}));
    EXPECT_EQ(form.Column(kSmsStatColumn), (Texts{"READ", "SENT", "UNREAD", "READ"}));
    EXPECT_TRUE(Starting(Received(), "AT+CMGD").empty());
    EXPECT_TRUE(sink.Texts().empty());
    EXPECT_EQ(form.Calls().back(), "enable 0");
}

TEST_F(SmsReaderOnPhoneTest, CountOfThreeStopsAfterTheThirdMessage) {
    Open(Sms(1, 1, kHelloPdu) + Sms(4, 0, kHelloPdu) + Sms(9, 3, kSubmitPdu));
    form.smCount = "stale";
    ReadAll();
    const Texts received = Received();
    EXPECT_EQ(received.back(), "AT+CMGR=9");
    EXPECT_EQ(Starting(received, "AT+CMGR=").size(), 9U);
    EXPECT_EQ(form.Column(kSmsNumberColumn), (Texts{"3", "2", "1"}));
    EXPECT_EQ(form.Column(kSmsTextColumn), (Texts{"abc", "hello", "hello"}));
    const Texts calls = form.Calls();
    EXPECT_NE(std::find(calls.begin(), calls.end(), "range 1 3"), calls.end());
    EXPECT_NE(std::find(calls.begin(), calls.end(), "pos 3"), calls.end());
}

TEST_F(SmsReaderOnPhoneTest, MoveErasesOnlyListedDecodedMessages) {
    // Index 2 holds a PDU that no parser takes; index 3 is empty.
    Open(Sms(1, 1, kHelloPdu) + Sms(2, 1, "07912143658709F1040B91") + Sms(4, 0, kHelloPdu));
    form.moveChecked = true;
    ReadAll();
    Texts exchanges = Received();
    std::erase_if(exchanges, [](const std::string& line) {
        return !line.starts_with("AT+CMGR") && !line.starts_with("AT+CMGD");
    });
    EXPECT_EQ(exchanges, (Texts{"AT+CMGR=1", "AT+CMGD=1", "AT+CMGR=2", "AT+CMGR=3", "AT+CMGR=4",
                                "AT+CMGD=4"}));
    EXPECT_EQ(form.Column(kSmsNumberColumn), (Texts{"3", "2", "1"}));
    EXPECT_EQ(sink.Texts(), Texts{"Error parsing... sorry"});
}

TEST_F(SmsReaderOnPhoneTest, OnlyTheCheckedDirectionIsListedAndOnlyWhatIsListedIsMoved) {
    Open(Sms(1, 1, kHelloPdu) + Sms(2, 2, kSubmitPdu) + Sms(3, 0, kHelloPdu) +
         Sms(5, 3, kSubmitPdu));
    form.outChecked = true;
    form.moveChecked = true;
    ReadAll();
    Texts exchanges = Received();
    std::erase_if(exchanges, [](const std::string& line) {
        return !line.starts_with("AT+CMGR") && !line.starts_with("AT+CMGD");
    });
    // Every message is still read (the count holds them all); received ones stay on the phone.
    EXPECT_EQ(exchanges, (Texts{"AT+CMGR=1", "AT+CMGR=2", "AT+CMGD=2", "AT+CMGR=3", "AT+CMGR=4",
                                "AT+CMGR=5", "AT+CMGD=5"}));
    EXPECT_EQ(form.Column(kSmsNumberColumn), (Texts{"4", "2"}));
    EXPECT_EQ(form.Column(kSmsStatColumn), (Texts{"SENT", "NOT SENT"}));
    EXPECT_TRUE(sink.Texts().empty());
}

TEST_F(SmsReaderOnPhoneTest, EmptyMemorySendsNoRead) {
    Open("sms ME 2 1 " + std::string(kHelloPdu) + "\n");
    form.InsertSmsRows(0, {SmsRow{"old"}});
    ReadAll();
    EXPECT_EQ(Received(), (Texts{"ATE0", "AT+CMGF=0", R"(AT+CPMS="SM")", R"(AT+CPMS="ME")",
                                 R"(AT+CPMS="SM")"}));
    EXPECT_EQ(form.smCount, " 0");
    EXPECT_EQ(form.meCount, " 1");
    EXPECT_EQ(form.SmsRowCount(), 0);
}

TEST_F(SmsReaderOnPhoneTest, CountAnswerWithoutACommaReadsNothing) {
    Open(R"(reply AT+CPMS="SM" +CPMS: 7|OK)"
         "\n" +
         Sms(1, 1, kHelloPdu));
    ReadAll();
    EXPECT_EQ(form.smCount, "");
    EXPECT_TRUE(Starting(Received(), "AT+CMGR").empty());
}

// A session whose phone never answers; every pause returns at once.
class SmsReaderSilentTest : public ::testing::Test, public SmsTestBase {
protected:
    SmsReaderSilentTest() {
        form.smCount = " 500";
        reader.SetCounts({500, std::nullopt}); // what the edit shows: an earlier read's count
        session.portOpen = 1;
    }
    Texts Captions() {
        const auto requests = sink.Requests();
        Texts captions(requests.size());
        std::transform(requests.begin(), requests.end(), captions.begin(),
                       [](const MessageBoxRequest& request) { return request.caption; });
        return captions;
    }

    FakeWaiter waiter;
    RecordingForm sessionForm;
    CModemSession session{sink, waiter, sessionForm};
    CSmsReader reader{session, context};
};

TEST_F(SmsReaderSilentTest, WalkEndsBelowIndex150) {
    ASSERT_TRUE(reader.OnReadSmsFromPhone());
    reader.Join();
    const Texts texts = sink.Texts();
    ASSERT_EQ(texts.size(), 2U + 149U);
    EXPECT_EQ(texts[0], "Error reading SMS Count SM");
    EXPECT_EQ(texts[1], "Timeout");
    EXPECT_EQ(texts.back(), "No answer from phone");
    EXPECT_EQ(Captions().back(), "AT+CMGR=149");
    EXPECT_EQ(session.busy, 0);
}

TEST_F(SmsReaderSilentTest, StopRequestEndsTheWalkBeforeTheNextIndex) {
    // 26 polls for each exchange: the count, the memory, then the reads.
    waiter.duringPause = [this](int pause) {
        if (pause == 26 * 3 + 3)
            session.OnStopTask();
    };
    ASSERT_TRUE(reader.OnReadSmsFromPhone());
    reader.Join();
    EXPECT_EQ(Captions().back(), "AT+CMGR=2");
    EXPECT_EQ(session.busy, 0);
    EXPECT_EQ(session.stopRequest, 0);
    EXPECT_EQ(form.Calls().back(), "enable 0");
}

TEST_F(SmsReaderSilentTest, ClosedPortEndsTheWalk) {
    waiter.duringPause = [this](int pause) {
        if (pause == 26 * 2 + 1)
            session.portOpen = 0;
    };
    ASSERT_TRUE(reader.OnReadSmsFromPhone());
    reader.Join();
    EXPECT_EQ(sink.Texts(),
              (Texts{"Error reading SMS Count SM", "Timeout", "No answer from phone"}));
}

TEST_F(SmsReaderSilentTest, EveryStartWhileAnotherTaskHoldsThePortIsRefused) {
    PortLease held = session.TakePort();
    ASSERT_TRUE(held);
    EXPECT_FALSE(reader.OnReadSmsFromPhone());
    EXPECT_FALSE(reader.StartReadSmsCount());
    EXPECT_FALSE(reader.StartReadFromFile("/nonexistent.log"));
    const std::string refused = "status " + std::string(kTaskRunningText);
    EXPECT_EQ(form.Calls(), (Texts{refused, refused, refused}));
    EXPECT_EQ(session.busy, 0) << "a refused read does not set it";
    EXPECT_TRUE(sink.Texts().empty());
}

TEST_F(SmsReaderSilentTest, StopAskedBeforeTheStartReadsNothing) {
    session.OnStopTask();
    ASSERT_TRUE(reader.OnReadSmsFromPhone());
    reader.Join();
    EXPECT_EQ(sink.Texts(), (Texts{"Error reading SMS Count SM", "Timeout"}));
    EXPECT_EQ(session.stopRequest, 0);
}

TEST_F(SmsReaderSilentTest, CountAndFileTasksRunAndClearBusy) {
    ASSERT_TRUE(reader.StartReadSmsCount());
    reader.Join();
    EXPECT_EQ(sink.Texts(), Texts{"Error reading SMS Count SM"});
    EXPECT_EQ(session.busy, 0);

    const std::string path = dir.File("capture.log");
    std::ofstream(path) << "+CMGR: 1,,24\n" << kHelloPdu << "\nOK\n";
    ASSERT_TRUE(reader.StartReadFromFile(path));
    reader.Join();
    EXPECT_EQ(session.busy, 0);
    EXPECT_EQ(form.Column(kSmsTextColumn), Texts{"hello"});
}

} // namespace
