// Sending against telvane-phonesim on a pseudo-terminal, in real time: what the phone received
// and accepted, and what the user was asked and told.

#include "common/PhoneSim.h"
#include "common/RecordingMessageSink.h"
#include "db/CDaoDatabase.h"
#include "send/WorkedExample.h"
#include "serial/CModemSession.h"
#include "serial/FakeSessionParts.h"
#include "serial/settings/CSettingsStore.h"
#include "settings/SettingsTestDir.h"
#include "sms/send/CWriteSmsTab.h"

#include <algorithm>
#include <atomic>
#include <gtest/gtest.h>
#include <optional>

namespace {

using Texts = std::vector<std::string>;

// Real pauses, or none while `instant` is set (to open a session on a silent phone at once).
class OpeningWaiter final : public IWaiter {
public:
    void Sleep(std::chrono::milliseconds duration) override {
        if (!instant)
            real.Sleep(duration);
    }
    std::atomic<bool> instant{false};

private:
    RealWaiter real;
};

class SendOnPhoneTest : public ::testing::Test {
protected:
    SendOnPhoneTest() { FillWorkedExample(form); }

    void Open(const PhoneSim& phone, bool quickly = false) {
        session.Port().SetPortName(phone.LinkPath());
        session.Port().SetLineSettings(115200, 0, 8, 0, 2);
        waiter.instant = quickly;
        session.OpenSession();
        waiter.instant = false;
        boxesAtOpen = sink.Requests().size();
    }

    // Presses Send and waits until the exchange has ended.
    bool Send() {
        const bool started = tab.OnSendSms(worker, [this](SendOutcome o) { outcome = o; });
        worker.Join();
        return started;
    }

    // The boxes since the session opened.
    std::vector<MessageBoxRequest> Boxes() const {
        const auto all = sink.Requests();
        return {all.begin() + static_cast<long>(boxesAtOpen), all.end()};
    }
    Texts BoxTexts() const {
        const auto boxes = Boxes();
        Texts texts(boxes.size());
        std::transform(boxes.begin(), boxes.end(), texts.begin(),
                       [](const MessageBoxRequest& box) { return box.text; });
        return texts;
    }

    SettingsTestDir settingsDir;
    RecordingMessageSink sink;
    CSettingsStore settings{sink};
    CDaoDatabase database;
    OpeningWaiter waiter;
    RecordingForm sessionForm;
    CModemSession session{sink, waiter, sessionForm};
    FakeWriteSmsForm form;
    CWriteSmsTab tab{form, sink, settings, database, session.portOpen};
    CSendSmsWorker worker{session, sink};
    std::size_t boxesAtOpen = 0;
    std::optional<SendOutcome> outcome;
};

TEST_F(SendOnPhoneTest, YesSendsExactlyTheBuiltPduAndReportsSentOk) {
    PhoneSim phone;
    Open(phone);
    RecordingMessageSink quiet;
    SubmitPdu built;
    ASSERT_EQ(BuildSubmitPdu(ReadWriteSmsValues(form), quiet, built), 0);

    ASSERT_TRUE(Send());
    ASSERT_TRUE(phone.WaitForTranscript([&](const auto&) { return !phone.SentPdus().empty(); }));
    EXPECT_EQ(phone.SentPdus(), (Texts{built.pdu}));
    EXPECT_EQ(built.pdu, kWorkedExamplePdu);
    EXPECT_EQ(phone.Received(), (Texts{"ATE0", "AT+CMGF=0", "AT+CMGS=16"}));

    const auto boxes = Boxes();
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0].text, "AT+CMGS=16");
    EXPECT_EQ(boxes[0].caption, "!");
    EXPECT_EQ(boxes[0].buttons, BoxButtons::YesNo);
    EXPECT_EQ(boxes[1].text, "Sent OK");
    EXPECT_EQ(boxes[1].caption, "Telvane");
    EXPECT_EQ(outcome, SendOutcome::SentOk);
    EXPECT_EQ(session.busy, 0);
}

TEST_F(SendOnPhoneTest, NoCancelsWithEscAndThePhoneTakesTheNextSend) {
    PhoneSim phone;
    Open(phone);
    sink.QueueAnswer(BoxAnswer::No);
    ASSERT_TRUE(Send());
    EXPECT_EQ(outcome, SendOutcome::Cancelled);
    EXPECT_EQ(BoxTexts(), (Texts{"AT+CMGS=16"})) << "no outcome after No";
    ASSERT_TRUE(phone.WaitForReceived(4));
    EXPECT_EQ(phone.Received(), (Texts{"ATE0", "AT+CMGF=0", "AT+CMGS=16", "<ESC>"}));
    EXPECT_TRUE(phone.SentPdus().empty());

    ASSERT_TRUE(Send());
    EXPECT_EQ(outcome, SendOutcome::SentOk);
    EXPECT_EQ(BoxTexts(), (Texts{"AT+CMGS=16", "AT+CMGS=16", "Sent OK"}));
}

TEST_F(SendOnPhoneTest, APduThePhoneRefusesGivesError) {
    PhoneSim phone;
    Open(phone);
    // One octet fewer announced than the PDU holds: the phone answers "+CMS ERROR: 304".
    ASSERT_TRUE(worker.Start({kWorkedExamplePdu, 15}, [this](SendOutcome o) { outcome = o; }));
    worker.Join();
    EXPECT_EQ(outcome, SendOutcome::Error);
    EXPECT_EQ(BoxTexts(), (Texts{"AT+CMGS=15", "Error"}));
    EXPECT_TRUE(phone.SentPdus().empty());
}

TEST_F(SendOnPhoneTest, ASilentPhoneGivesTimeoutWhileTheCallerGoesOn) {
    PhoneSim phone({"silent\n"});
    Open(phone, true);
    ASSERT_TRUE(tab.OnSendSms(worker, [this](SendOutcome o) { outcome = o; }));
    // Back at once: the wait for the phone runs on the worker.
    EXPECT_TRUE(worker.Running());
    EXPECT_TRUE(session.PortTaken());
    EXPECT_EQ(session.busy, 0) << "a send is no read worker";
    EXPECT_FALSE(tab.OnSendSms(worker)) << "a second send while the first runs";
    worker.Join();
    EXPECT_EQ(outcome, SendOutcome::Timeout);
    EXPECT_EQ(BoxTexts(), (Texts{"AT+CMGS=16", "Timeout"}));
    EXPECT_FALSE(session.PortTaken());
    EXPECT_TRUE(phone.SentPdus().empty());
}

} // namespace
