// Sending against telvane-phonesim on a pseudo-terminal, in real time: what the phone received
// and accepted, and what the user was asked and told.

#include "common/PhoneSim.h"
#include "common/RecordingMessageSink.h"
#include "db/CDaoDatabase.h"
#include "pdu/Pdu.h"
#include "send/WorkedExample.h"
#include "serial/CModemSession.h"
#include "serial/FakeSessionParts.h"
#include "serial/settings/CSettingsStore.h"
#include "settings/SettingsTestDir.h"
#include "sms/send/CWriteSmsTab.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <gtest/gtest.h>
#include <optional>
#include <thread>

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

TEST_F(SendOnPhoneTest, WithoutAQuestionAPromptThatNeverComesEndsInTimeout) {
    PhoneSim phone({"silent\n"});
    Open(phone, true);
    waiter.instant = true;
    const SendOutcome sent =
        SendSubmitPdu(session, {kWorkedExamplePdu, 16}, sink, SendPause::WaitForPrompt);
    EXPECT_EQ(sent, SendOutcome::Timeout);
    EXPECT_EQ(BoxTexts(), (Texts{"Timeout"})) << "no question asked";
    EXPECT_TRUE(phone.SentPdus().empty());
}

TEST_F(SendOnPhoneTest, WithoutAQuestionAnErrorInsteadOfThePromptSendsNoPdu) {
    PhoneSim phone({"reply AT+CMGS +CMS ERROR: 500\n"});
    Open(phone);
    const SendOutcome sent =
        SendSubmitPdu(session, {kWorkedExamplePdu, 16}, sink, SendPause::WaitForPrompt);
    EXPECT_EQ(sent, SendOutcome::Error);
    EXPECT_EQ(BoxTexts(), (Texts{"Error"}));
    EXPECT_EQ(phone.Received(), (Texts{"ATE0", "AT+CMGF=0", "AT+CMGS=16"})) << "no ESC";
    EXPECT_TRUE(phone.SentPdus().empty());
}

// Answers the send's question only after the phone has had time to give up on the PDU, as a
// user who looks away does.
class SlowAnswerSink final : public IMessageSink {
public:
    explicit SlowAnswerSink(IMessageSink& recorder) : inner(recorder) {}
    BoxAnswer ShowMessage(const MessageBoxRequest& request) override {
        if (request.buttons == BoxButtons::YesNo)
            std::this_thread::sleep_for(std::chrono::milliseconds(600));
        return inner.ShowMessage(request);
    }

private:
    IMessageSink& inner;
};

TEST_F(SendOnPhoneTest, AYesAfterThePhoneStoppedWaitingSendsNoPduAndSaysSo) {
    // The phone ends the command before the answer, as it does at its own time-out.
    PhoneSim phone({"reply AT+CMGS +CMS ERROR: 304\n"});
    Open(phone);
    SlowAnswerSink slow(sink);
    SendReport report;
    const SendOutcome sent = SendSubmitParts(session, {{kWorkedExamplePdu, 16}}, slow, &report);
    EXPECT_EQ(sent, SendOutcome::Error);
    EXPECT_TRUE(report.phoneStoppedWaiting);
    EXPECT_NE(FailedPartNote(report, sent).find("stopped waiting"), std::string::npos);
    EXPECT_EQ(BoxTexts(), (Texts{"AT+CMGS=16", "Error"}));
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    EXPECT_EQ(phone.Received(), (Texts{"ATE0", "AT+CMGF=0", "AT+CMGS=16"}))
        << "the PDU never reaches the phone as a command line";
}

// The text, concatenation reference, sequence and total that python3-gammu's own decoder reads
// from a submit PDU, one per line; "" where gammu is not installed.
std::string GammuReads(const std::string& pdu) {
    const std::string command =
        "/usr/bin/python3 -c 'import sys, gammu\n"
        "d = gammu.DecodePDU(bytes.fromhex(sys.argv[1]), True)\n"
        "t = d[\"Text\"]\n"
        "print(t.decode(\"latin-1\") if isinstance(t, bytes) else t); u = d[\"UDH\"]\n"
        "print(u[\"ID8bit\"], u[\"PartNumber\"], u[\"AllParts\"])' " +
        pdu + " 2>/dev/null";
    std::string output;
    if (FILE* pipe = popen(command.c_str(), "r")) {
        std::array<char, 1024> buffer{};
        while (std::fgets(buffer.data(), buffer.size(), pipe) != nullptr)
            output += buffer.data();
        pclose(pipe);
    }
    return output;
}

bool HaveGammu() {
    return std::system("/usr/bin/python3 -c 'import gammu' >/dev/null 2>&1") == 0;
}

// The text the project's decoder reads from a submit PDU, and its concatenation element.
std::string OwnReading(const std::string& pdu) {
    sms_container sms;
    if (parse_sms_out(pdu, sms) != 1)
        return "malformed";
    const int first = read_byte(sms.pdu_type);
    std::string text = decode_ud(sms.ud, read_byte(sms.udl), read_byte(sms.dcs), first);
    if (const auto concat = decode_concat(sms.ud, first))
        text += " [" + std::to_string(concat->reference) + " " + std::to_string(concat->sequence) +
                "/" + std::to_string(concat->total) + "]";
    return text;
}

class UnicodeSendTest : public SendOnPhoneTest {
protected:
    std::string Greek(int characters) {
        const std::string letters[] = {"α", "β", "γ", "δ", "ε"};
        std::string text;
        for (int i = 0; i < characters; ++i)
            text += letters[i % 5];
        return text;
    }
};

TEST_F(UnicodeSendTest, StandardSubmitSendsGreekAsOneUcs2PduThatBothDecodersRead) {
    PhoneSim phone;
    Open(phone);
    form.SetControlText(kSmsTextEditId, "Καλημέρα");
    ASSERT_TRUE(Send());
    EXPECT_EQ(outcome, SendOutcome::SentOk);
    EXPECT_EQ(BoxTexts(), (Texts{"AT+CMGS=29", "Sent OK"}));
    ASSERT_TRUE(phone.WaitForTranscript([&](const auto&) { return !phone.SentPdus().empty(); }));
    const Texts sent = phone.SentPdus();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(OwnReading(sent[0]), "Καλημέρα");
    if (HaveGammu()) {
        EXPECT_EQ(GammuReads(sent[0]), "Καλημέρα\n0 -1 0\n");
    }
}

TEST_F(UnicodeSendTest, AHundredGreekCharactersGoAsTwoLinkedPartsAfterOneQuestion) {
    PhoneSim phone;
    Open(phone);
    const std::string text = Greek(100);
    form.SetControlText(kSmsTextEditId, text);
    ASSERT_TRUE(Send());
    EXPECT_EQ(outcome, SendOutcome::SentOk);
    EXPECT_EQ(BoxTexts(), (Texts{"AT+CMGS=153", "Sent OK"})) << "one question for both parts";
    EXPECT_EQ(phone.Received(), (Texts{"ATE0", "AT+CMGF=0", "AT+CMGS=153", "AT+CMGS=85"}));
    const Texts sent = phone.SentPdus();
    ASSERT_EQ(sent.size(), 2u);

    sms_container first;
    ASSERT_EQ(parse_sms_out(sent[0], first), 1);
    const auto concat = decode_concat(first.ud, read_byte(first.pdu_type));
    ASSERT_TRUE(concat);
    const std::string reference = std::to_string(concat->reference);
    EXPECT_EQ(OwnReading(sent[0]), Greek(67) + " [" + reference + " 1/2]");
    EXPECT_EQ(OwnReading(sent[1]),
              Greek(100).substr(Greek(67).size()) + " [" + reference + " 2/2]");
    if (HaveGammu()) {
        EXPECT_EQ(GammuReads(sent[0]), Greek(67) + "\n" + reference + " 1 2\n");
        EXPECT_EQ(GammuReads(sent[1]),
                  Greek(100).substr(Greek(67).size()) + "\n" + reference + " 2 2\n");
    }

    // The next message takes a reference of its own.
    ASSERT_TRUE(Send());
    ASSERT_TRUE(phone.WaitForTranscript([&](const auto&) { return phone.SentPdus().size() == 4; }));
    sms_container next;
    ASSERT_EQ(parse_sms_out(phone.SentPdus()[2], next), 1);
    EXPECT_NE(decode_concat(next.ud, read_byte(next.pdu_type))->reference, concat->reference);
}

TEST_F(UnicodeSendTest, HelloUnderDcs08And04ArrivesAsHello) {
    PhoneSim phone;
    Open(phone);
    form.Click(kAdvancedSubmitRadioId);
    form.SetControlText(kPidComboId, "00 - Default (SME to SME)");
    form.SetControlText(kSmsTextEditId, "hello");
    for (const char* dcs : {"08 - UCS2 (16 bit)", "04 - 8 bit data"}) {
        form.SetControlText(kDcsComboId, dcs);
        ASSERT_TRUE(Send());
        EXPECT_EQ(outcome, SendOutcome::SentOk) << dcs;
    }
    ASSERT_TRUE(phone.WaitForTranscript([&](const auto&) { return phone.SentPdus().size() == 2; }));
    for (const std::string& pdu : phone.SentPdus()) {
        EXPECT_EQ(OwnReading(pdu), "hello") << pdu;
        if (HaveGammu()) {
            EXPECT_EQ(GammuReads(pdu).substr(0, 6), "hello\n") << pdu;
        }
    }
}

TEST_F(UnicodeSendTest, APartThePhoneRefusesEndsTheSendAndIsNamed) {
    PhoneSim phone;
    Open(phone);
    form.SetControlText(kSmsTextEditId, Greek(100));
    SubmitParts parts;
    ASSERT_EQ(BuildSubmitParts(ReadWriteSmsValues(form), sink, parts, 9), 0);
    ASSERT_EQ(parts.size(), 2u);
    parts[1].length -= 1; // the phone answers "+CMS ERROR: 304" to the second PDU
    ASSERT_TRUE(worker.Start(parts, [this](SendOutcome o) { outcome = o; }));
    worker.Join();
    EXPECT_EQ(outcome, SendOutcome::Error);
    EXPECT_EQ(BoxTexts(), (Texts{"AT+CMGS=153", "Error"}));
    EXPECT_EQ(phone.SentPdus().size(), 1u);
    EXPECT_EQ(FailedPartNote(worker.LastReport(), *outcome), "Part 2 of 2 not sent: Error");
}

} // namespace
