// The new-message listener against telvane-phonesim at line pace: the memory selected and put
// back around a +CMTI read, a notice that waits for the task holding the port, a pushed +CMT,
// and status reports pushed (+CDS) and stored (+CDSI) handed to the report hook.

#include "sms/NewMessageListener.h"

#include "common/PhoneSim.h"
#include "serial/CModemSession.h"
#include "serial/FakeSessionParts.h"
#include "serial/NewMessageIndications.h"
#include "sms/SmsTestSetup.h"

#include <gtest/gtest.h>
#include <mutex>
#include <thread>

namespace {

using Texts = std::vector<std::string>;

// A SUBMIT to +393339876543 asking for a status report (TP-SRR), 29 octets.
constexpr std::string_view kSubmitWithReport =
    "079144770009001031000C919333937856340000AA11CF250B342F9741F9771D444797E565";

class NewMessageListenerTest : public ::testing::Test, public SmsTestBase {
protected:
    void Open(const std::string& fixture) {
        PhoneSimOptions options{fixture};
        options.arrivals = true;
        phone.emplace(options);
        session.SetPace(SessionPace::Line);
        session.Port().SetPortName(phone->LinkPath());
        session.Port().SetLineSettings(115200, 0, 8, 0, 2);
        ASSERT_TRUE(session.OpenSession());
        setup = SetUpIndications(session);
    }

    NewMessageHooks Hooks() {
        NewMessageHooks hooks;
        hooks.report = [this](const std::string& pdu) {
            const std::lock_guard guard(mutex);
            reports.push_back(pdu);
        };
        return hooks;
    }

    Texts Reports() {
        const std::lock_guard guard(mutex);
        return reports;
    }

    Texts Starting(std::string_view prefix) const {
        Texts found;
        for (const std::string& line : phone->Received())
            if (line.starts_with(prefix))
                found.push_back(line);
        return found;
    }

    // Sends the SUBMIT the way a send does: the command, the prompt, the PDU.
    void SendWithReport() {
        const PortLease lease = session.TakePort();
        session.ClearLines();
        session.SendCommand("AT+CMGS=29");
        ASSERT_EQ(session.WaitForPrompt(), kAnswerOk);
        ASSERT_TRUE(session.Exchange(kSubmitWithReport, kSendPduData).Ok());
    }

    template <typename Done> static bool WaitFor(Done done) {
        for (int i = 0; i < 500 && !done(); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        return done();
    }

    std::optional<PhoneSim> phone;
    RecordingForm sessionForm;
    FakeWaiter waiter;
    CModemSession session{sink, waiter, sessionForm};
    IndicationSetup setup;
    std::mutex mutex;
    Texts reports;
};

TEST_F(NewMessageListenerTest, ReadsWhereTheNoticeSaysAndPutsTheMemoryBack) {
    Open("capacity SM 10\nsms ME 1 1 " + std::string(kHelloPdu) + "\n");
    ASSERT_TRUE(setup.set);
    ASSERT_TRUE(session.Exchange(R"(AT+CPMS="ME")").Ok()); // the memory the user reads
    CNewMessageListener listener(session, context, Hooks());
    listener.Start();
    ASSERT_TRUE(phone->Arrive(std::string(kHelloPdu)));
    ASSERT_TRUE(WaitFor([&] { return listener.Listed() == 1; }));
    ASSERT_TRUE(WaitFor([&] { return Starting("AT+CPMS").size() == 4; }));
    listener.Stop();
    EXPECT_EQ(Starting("AT+C"),
              (Texts{"AT+CMGF=0", "AT+CNMI=?", "AT+CNMI=2,1,0,1,0", R"(AT+CPMS="ME")", "AT+CPMS?",
                     R"(AT+CPMS="SM")", "AT+CMGR=1", R"(AT+CPMS="ME")"}));
    const std::vector<SmsRow> rows = form.Rows();
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0][kSmsTextColumn], "hello");
    EXPECT_EQ(rows[0][kSmsNameColumn], "Mario Rossi") << "the row builder of a read";
}

TEST_F(NewMessageListenerTest, ANoticeWaitsForTheTaskHoldingThePortAndIsServedAfter) {
    Open("capacity SM 10\n");
    CNewMessageListener listener(session, context, Hooks());
    listener.Start();
    {
        const PortLease held = session.TakePort();
        ASSERT_TRUE(held);
        ASSERT_TRUE(phone->Arrive("2"));
        std::this_thread::sleep_for(std::chrono::milliseconds(400));
        EXPECT_EQ(Starting("AT+CMGR"), Texts{}) << "nothing beside the task";
        EXPECT_EQ(listener.Listed(), 0);
    }
    ASSERT_TRUE(WaitFor([&] { return listener.Listed() == 2; }));
    listener.Stop();
    EXPECT_EQ(Starting("AT+CMGR"), (Texts{"AT+CMGR=1", "AT+CMGR=2"}));
}

TEST_F(NewMessageListenerTest, APushedMessageIsListedWithoutAnExchange) {
    Open("reply AT+CNMI=? +CNMI: (2),(0,2),(0),(0),(0)|OK\n");
    ASSERT_TRUE(setup.set);
    EXPECT_EQ(CnmiCommand(setup.chosen), "AT+CNMI=2,2,0,0,0");
    CNewMessageListener listener(session, context, Hooks());
    listener.Start();
    ASSERT_TRUE(phone->Arrive(std::string(kHelloPdu)));
    ASSERT_TRUE(WaitFor([&] { return listener.Listed() == 1; }));
    listener.Stop();
    ASSERT_EQ(form.Rows().size(), 1u);
    EXPECT_EQ(form.Rows()[0][kSmsTextColumn], "hello");
    EXPECT_EQ(Starting("AT+CMGR"), Texts{});
    EXPECT_FALSE(setup.acknowledge) << "service 0 of +CSMS";
    EXPECT_EQ(Starting("AT+CNMA"), Texts{});
}

TEST_F(NewMessageListenerTest, APushedMessageIsAcknowledgedWhereThePhoneRequiresIt) {
    Open("reply AT+CNMI=? +CNMI: (1,2),(0,2),(0),(0),(0)|OK\n"
         "reply AT+CSMS? +CSMS: 1,1,1,1|OK\n"
         "reply AT+CNMA OK\n");
    ASSERT_TRUE(setup.acknowledge);
    CNewMessageListener listener(session, context, Hooks());
    listener.SetAcknowledge(setup.acknowledge);
    listener.Start();
    ASSERT_TRUE(phone->Arrive(std::string(kHelloPdu)));
    ASSERT_TRUE(WaitFor([&] { return !Starting("AT+CNMA").empty(); }));
    listener.Stop();
    EXPECT_EQ(listener.Listed(), 1);
    EXPECT_EQ(Starting("AT+C"),
              (Texts{"AT+CMGF=0", "AT+CNMI=?", "AT+CNMI=2,2,0,0,0", "AT+CSMS?", "AT+CNMA"}));
}

TEST_F(NewMessageListenerTest, PushedAndStoredReportsReachTheReportHook) {
    Open("report 100 00\n");
    CNewMessageListener listener(session, context, Hooks());
    listener.Start();
    SendWithReport();
    ASSERT_TRUE(WaitFor([&] { return Reports().size() == 1; }));
    EXPECT_TRUE(Reports()[0].starts_with("07911326040000F00601")) << Reports()[0];

    // Stored reports: +CDSI, read like a message.
    ASSERT_TRUE(session.Exchange("AT+CNMI=2,1,0,2,0").Ok());
    SendWithReport();
    ASSERT_TRUE(WaitFor([&] { return Reports().size() == 2; }));
    listener.Stop();
    EXPECT_TRUE(Reports()[1].starts_with("07911326040000F00602")) << Reports()[1];
    EXPECT_EQ(Starting("AT+CMGR"), Texts{"AT+CMGR=1"});
    EXPECT_EQ(form.Rows().size(), 0u) << "a report is no new message";
}

TEST_F(NewMessageListenerTest, APhoneThatRefusesGivesTheNoteAndNoChoice) {
    Open("reply AT+CNMI=2 ERROR\n");
    EXPECT_FALSE(setup.set);
    EXPECT_EQ(setup.note, kNoIndicationsText);
    EXPECT_EQ(Starting("AT+CNMI"), (Texts{"AT+CNMI=?", "AT+CNMI=2,1,0,1,0"}));
}

} // namespace
