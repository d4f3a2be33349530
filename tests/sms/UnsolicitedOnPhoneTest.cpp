// The operations against telvane-phonesim putting unsolicited lines at random points, inside
// answers too: the same rows, counts and PDUs as without them, and each line delivered to the
// listener once. At line pace: what is tested here is the parsing, not the window's timing.

#include "common/PhoneSim.h"
#include "phonebook/CPhonebookManager.h"
#include "phonebook/FakePhonebookForm.h"
#include "serial/CModemSession.h"
#include "serial/FakeSessionParts.h"
#include "sms/CSmsReader.h"
#include "sms/SmsTestSetup.h"
#include "sms/send/SendSms.h"

#include <gtest/gtest.h>
#include <optional>

namespace {

using Texts = std::vector<std::string>;

constexpr std::string_view kSubmitPdu = "07912143658709F11100099121436587F900f0FF0361f118";
constexpr int kSubmitLength = 16;

std::string Fixture() {
    std::string fixture;
    for (int index : {1, 2, 4, 5, 8, 9})
        fixture += "sms SM " + std::to_string(index) + " 1 " + std::string(kHelloPdu) + "\n";
    fixture += "sms ME 3 1 " + std::string(kHelloPdu) + "\n";
    fixture += "range SM 1 12\n";
    for (int position : {1, 3, 7})
        fixture += "phonebook SM " + std::to_string(position) + " 129 \"55" +
                   std::to_string(position) + "\" \"Name " + std::to_string(position) + "\"\n";
    return fixture;
}

// What one run gave, to be compared with and without the unsolicited lines.
struct Outcome {
    std::vector<SmsRow> messages;
    std::optional<int> sim;
    std::optional<int> phone;
    std::vector<PhonebookRow> entries;
    Texts sentPdus;
    std::vector<int> references;
    Texts received; // every command the phone got
    bool operator==(const Outcome&) const = default;
};

class UnsolicitedOnPhoneTest : public ::testing::Test, public SmsTestBase {
protected:
    // Reads the messages (with Move or not), the phonebook and sends a message of three parts.
    Outcome RunAll(bool withUnsolicited, bool move) {
        Texts args;
        if (withUnsolicited)
            args = {"--urc-seed", "19"};
        PhoneSim phone({Fixture(), 115200, args});
        RecordingForm sessionForm;
        FakeWaiter waiter;
        CModemSession session(sink, waiter, sessionForm);
        session.SetPace(SessionPace::Line);
        session.Port().SetPortName(phone.LinkPath());
        session.Port().SetLineSettings(115200, 0, 8, 0, 2);
        session.OpenSession();

        Outcome outcome;
        form.DeleteAllSmsRows();
        form.moveChecked = move;
        {
            CSmsReader reader(session, context);
            EXPECT_TRUE(reader.OnReadSmsFromPhone());
            reader.Join();
            outcome.sim = reader.Counts().sim;
            outcome.phone = reader.Counts().phone;
        }
        outcome.messages = form.Rows();

        FakePhonebookForm book;
        book.SetMemory(PhonebookMemory::Sim);
        {
            CPhonebookManager manager(session, database, book, sink);
            manager.OnReadPhonebook();
            manager.JoinWorker();
        }
        outcome.entries = book.Rows();

        const SubmitParts parts(3, SubmitPdu{std::string(kSubmitPdu), kSubmitLength});
        SendReport report;
        EXPECT_EQ(SendSubmitParts(session, parts, sink, &report, SendPause::WaitForPrompt),
                  SendOutcome::SentOk);
        outcome.references = report.references;
        outcome.sentPdus = phone.SentPdus();
        outcome.received = phone.Received();

        session.CloseSession();
        Texts delivered;
        while (auto line = session.Unsolicited().Take())
            delivered.push_back(line->text);
        Texts emitted;
        for (const TranscriptEntry& entry : phone.Transcript())
            if (entry.kind == "URC")
                emitted.push_back(entry.text);
        EXPECT_EQ(delivered, emitted) << "every unsolicited line reaches the listener once";
        if (withUnsolicited) {
            EXPECT_GE(emitted.size(), 10u) << "the seed puts lines into the answers";
        }
        return outcome;
    }
};

TEST_F(UnsolicitedOnPhoneTest, ReadsCountsPhonebookAndALongSendAreUnchanged) {
    const Outcome plain = RunAll(false, false);
    EXPECT_EQ(plain.messages.size(), 6u);
    EXPECT_EQ(plain.sim, 6);
    EXPECT_EQ(plain.phone, 1);
    EXPECT_EQ(plain.entries.size(), 3u);
    EXPECT_EQ(plain.sentPdus.size(), 3u);
    EXPECT_EQ(plain.references.size(), 3u);
    EXPECT_EQ(RunAll(true, false), plain);
}

TEST_F(UnsolicitedOnPhoneTest, AReadWithMoveErasesTheSameMessages) {
    const Outcome plain = RunAll(false, true);
    EXPECT_EQ(plain.messages.size(), 6u);
    EXPECT_EQ(RunAll(true, true), plain);
}

} // namespace
