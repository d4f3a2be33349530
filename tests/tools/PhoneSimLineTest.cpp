// The simulator driven over its pty the way a serial client drives a phone.

#include "common/PhoneSim.h"
#include "tools/PtyClient.h"
#include "tools/SimFixtures.h"

#include <gtest/gtest.h>

using namespace simtest;

namespace {

class PhoneSimLine : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(sim.Running());
        ASSERT_TRUE(client.IsOpen());
        ASSERT_EQ(client.Command("ATE0"), "ATE0\r\r\nOK\r\n");
    }

    // The answer lines without their CR LF framing, e.g. {"+CPMS: 2,10,...", "OK"}.
    std::vector<std::string> Ask(const std::string& command) const {
        const std::string text = client.Command(command);
        std::vector<std::string> lines;
        std::size_t pos = 0;
        while ((pos = text.find("\r\n", pos)) != std::string::npos) {
            const std::size_t end = text.find("\r\n", pos + 2);
            if (end == std::string::npos)
                break;
            lines.push_back(text.substr(pos + 2, end - pos - 2));
            pos = end + 2;
        }
        return lines;
    }

    PhoneSim sim{PhoneSimOptions{SmallPhone()}};
    PtyClient client{sim.LinkPath()};
};

using Lines = std::vector<std::string>;

TEST(PhoneSimEcho, EchoesUntilAte0AndAgainAfterAte1) {
    PhoneSim sim;
    ASSERT_TRUE(sim.Running());
    PtyClient client(sim.LinkPath());
    EXPECT_EQ(client.Command("AT"), "AT\r\r\nOK\r\n");
    EXPECT_EQ(client.Command("ATE0"), "ATE0\r\r\nOK\r\n");
    EXPECT_EQ(client.Command("AT"), "\r\nOK\r\n");
    EXPECT_EQ(client.Command("ATE1"), "\r\nOK\r\n");
    EXPECT_EQ(client.Command("at"), "at\r\r\nOK\r\n");
}

TEST_F(PhoneSimLine, CpmsReportsUsedAndTotalOfTheChosenMemories) {
    EXPECT_EQ(Ask("AT+CPMS=?"), (Lines{R"(+CPMS: ("SM","ME"),("SM","ME"),("SM","ME"))", "OK"}));
    EXPECT_EQ(Ask("AT+CPMS=\"SM\""), (Lines{"+CPMS: 3,10,3,10,3,10", "OK"}));
    EXPECT_EQ(Ask("AT+CPMS=\"ME\""), (Lines{"+CPMS: 1,30,3,10,3,10", "OK"}));
    EXPECT_EQ(Ask("AT+CPMS=\"ME\",\"ME\""), (Lines{"+CPMS: 1,30,1,30,3,10", "OK"}));
    EXPECT_EQ(Ask("AT+CPMS=\"SM\",\"SM\",\"ME\""), (Lines{"+CPMS: 3,10,3,10,1,30", "OK"}));
    EXPECT_EQ(Ask("AT+CPMS?"), (Lines{R"(+CPMS: "SM",3,10,"SM",3,10,"ME",1,30)", "OK"}));
    EXPECT_EQ(Ask("AT+CPMS=\"XX\""), (Lines{"+CMS ERROR: 302"}));
    // A refused choice changes nothing.
    EXPECT_EQ(Ask("AT+CPMS?"), (Lines{R"(+CPMS: "SM",3,10,"SM",3,10,"ME",1,30)", "OK"}));
}

TEST_F(PhoneSimLine, CmgrAnswersHeaderAndPduAndMarksUnreadAsRead) {
    EXPECT_EQ(Ask("AT+CMGR=1"), (Lines{"+CMGR: 1,,42", kDeliverRead, "OK"}));
    EXPECT_EQ(Ask("AT+CMGR=3"), (Lines{"+CMGR: 0,,47", kDeliverUnread, "OK"}));
    EXPECT_EQ(Ask("AT+CMGR=3"), (Lines{"+CMGR: 1,,47", kDeliverUnread, "OK"}));
    EXPECT_EQ(Ask("AT+CMGR=7"), (Lines{"+CMGR: 3,,29", kSubmit, "OK"}));
    EXPECT_EQ(Ask("AT+CMGR=2"), (Lines{"+CMS ERROR: 321"}));  // free
    EXPECT_EQ(Ask("AT+CMGR=11"), (Lines{"+CMS ERROR: 321"})); // beyond the capacity
    EXPECT_EQ(Ask("AT+CMGR=0"), (Lines{"+CMS ERROR: 321"}));
    EXPECT_EQ(Ask("AT+CMGR=x"), (Lines{"ERROR"}));
    // The read memory decides where the index points.
    Ask("AT+CPMS=\"ME\"");
    EXPECT_EQ(Ask("AT+CMGR=2"), (Lines{"+CMGR: 0,,47", kDeliverUnread, "OK"}));
    EXPECT_EQ(Ask("AT+CMGR=1"), (Lines{"+CMS ERROR: 321"}));
}

TEST_F(PhoneSimLine, CmglListsByStatusInIndexOrder) {
    EXPECT_EQ(Ask("AT+CMGL=?"), (Lines{"+CMGL: (0-4)", "OK"}));
    EXPECT_EQ(Ask("AT+CMGL=0"), (Lines{"+CMGL: 3,0,,47", kDeliverUnread, "OK"}));
    EXPECT_EQ(Ask("AT+CMGL=0"), (Lines{"OK"})); // listed once, read since
    EXPECT_EQ(Ask("AT+CMGL=3"), (Lines{"+CMGL: 7,3,,29", kSubmit, "OK"}));
    EXPECT_EQ(Ask("AT+CMGL=4"), (Lines{"+CMGL: 1,1,,42", kDeliverRead, "+CMGL: 3,1,,47",
                                       kDeliverUnread, "+CMGL: 7,3,,29", kSubmit, "OK"}));
    EXPECT_EQ(Ask("AT+CMGL=5"), (Lines{"+CMS ERROR: 304"}));
}

TEST_F(PhoneSimLine, CmgdRemovesOneMessageOrAllByFlag) {
    EXPECT_EQ(Ask("AT+CMGD=3"), (Lines{"OK"}));
    EXPECT_EQ(Ask("AT+CMGR=3"), (Lines{"+CMS ERROR: 321"}));
    EXPECT_EQ(Ask("AT+CPMS=\"SM\""), (Lines{"+CPMS: 2,10,2,10,2,10", "OK"}));
    EXPECT_EQ(Ask("AT+CMGD=3"), (Lines{"OK"})); // already free
    EXPECT_EQ(Ask("AT+CMGD=11"), (Lines{"+CMS ERROR: 321"}));
    EXPECT_EQ(Ask("AT+CMGD=?"), (Lines{"+CMGD: (1,7),(0-4)", "OK"}));
    EXPECT_EQ(Ask("AT+CMGD=1,1"), (Lines{"OK"})); // read ones only: the sent one stays
    EXPECT_EQ(Ask("AT+CMGL=4"), (Lines{"+CMGL: 7,3,,29", kSubmit, "OK"}));
    EXPECT_EQ(Ask("AT+CMGD=1,4"), (Lines{"OK"}));
    EXPECT_EQ(Ask("AT+CPMS=\"SM\""), (Lines{"+CPMS: 0,10,0,10,0,10", "OK"}));
}

TEST_F(PhoneSimLine, CmgsPromptsTakesPduUntilCtrlZAndKeepsSentInOrder) {
    EXPECT_EQ(client.Command("AT+CMGS=29"), "\r\n> ");
    client.Send(kSubmit + "\x1a");
    EXPECT_EQ(client.ReadUntil(PtyClient::IsComplete), "\r\n+CMGS: 1\r\n\r\nOK\r\n");
    // A PDU without a service centre, typed over several writes.
    EXPECT_EQ(client.Command("AT+CMGS=29"), "\r\n> ");
    client.Send("00" + kSubmitTpdu.substr(0, 10));
    client.Send(kSubmitTpdu.substr(10) + "\x1a");
    EXPECT_EQ(client.ReadUntil(PtyClient::IsComplete), "\r\n+CMGS: 2\r\n\r\nOK\r\n");
    ASSERT_TRUE(sim.WaitForTranscript([](const auto& t) { return t.back().text == "OK"; }));
    EXPECT_EQ(sim.SentPdus(), (std::vector<std::string>{kSubmit, "00" + kSubmitTpdu}));
}

TEST_F(PhoneSimLine, CmgsEscCancelsAndBadPdusAreRefused) {
    EXPECT_EQ(client.Command("AT+CMGS=29"), "\r\n> ");
    client.Send(kSubmit.substr(0, 20) + "\x1b");
    EXPECT_EQ(client.ReadUntil(PtyClient::IsComplete), "\r\nOK\r\n");
    // Length announced does not match the PDU.
    EXPECT_EQ(client.Command("AT+CMGS=30"), "\r\n> ");
    client.Send(kSubmit + "\x1a");
    EXPECT_EQ(client.ReadUntil(PtyClient::IsComplete), "\r\n+CMS ERROR: 304\r\n");
    // An SMS-DELIVER is not something a phone sends.
    EXPECT_EQ(client.Command("AT+CMGS=42"), "\r\n> ");
    client.Send(kDeliverRead + "\x1a");
    EXPECT_EQ(client.ReadUntil(PtyClient::IsComplete), "\r\n+CMS ERROR: 304\r\n");
    // Far more text than any PDU: refused, nothing kept.
    EXPECT_EQ(client.Command("AT+CMGS=164"), "\r\n> ");
    client.Send(std::string(2000, 'A') + "\x1a");
    EXPECT_EQ(client.ReadUntil(PtyClient::IsComplete), "\r\n+CMS ERROR: 304\r\n");
    EXPECT_EQ(Ask("AT+CMGS=0"), (Lines{"+CMS ERROR: 304"}));
    EXPECT_EQ(Ask("AT"), (Lines{"OK"})); // back in command mode
    EXPECT_TRUE(sim.SentPdus().empty());
    const auto received = sim.Received();
    EXPECT_NE(std::find(received.begin(), received.end(), "<ESC>"), received.end());
}

TEST_F(PhoneSimLine, PhonebookSelectsMemoryAndReadsPositionsAndRanges) {
    EXPECT_EQ(Ask("AT+CPBS=?"), (Lines{R"(+CPBS: ("SM","ME"))", "OK"}));
    EXPECT_EQ(Ask("AT+CPBS=\"SM\""), (Lines{"OK"}));
    EXPECT_EQ(Ask("AT+CPBS?"), (Lines{R"(+CPBS: "SM",3,250)", "OK"}));
    EXPECT_EQ(Ask("AT+CPBR=?"), (Lines{"+CPBR: (1-250),40,30", "OK"}));
    EXPECT_EQ(Ask("AT+CPBR=3"), (Lines{R"(+CPBR: 3,"+393339876543",145,"Rossi, Mario")", "OK"}));
    EXPECT_EQ(Ask("AT+CPBR=2"), (Lines{"OK"})); // free
    EXPECT_EQ(Ask("AT+CPBR=0"), (Lines{"ERROR"}));
    EXPECT_EQ(Ask("AT+CPBR=251"), (Lines{"ERROR"}));
    EXPECT_EQ(Ask("AT+CPBR=1,4"), (Lines{R"(+CPBR: 1,"+393471234567",145,"Marco")",
                                         R"(+CPBR: 3,"+393339876543",145,"Rossi, Mario")",
                                         R"(+CPBR: 4,"0612345678",129,"Casa #2")", "OK"}));
    EXPECT_EQ(Ask("AT+CPBR=4,1"), (Lines{"ERROR"}));
    EXPECT_EQ(Ask("AT+CPBS=\"ME\""), (Lines{"OK"}));
    EXPECT_EQ(Ask("AT+CPBR=?"), (Lines{"+CPBR: (1-20),40,30", "OK"}));
    EXPECT_EQ(Ask("AT+CPBR=20"), (Lines{R"(+CPBR: 20,"112",129,"Città")", "OK"}));
    EXPECT_EQ(Ask("AT+CPBS=\"XX\""), (Lines{"ERROR"}));
    EXPECT_EQ(Ask("AT+CPBS?"), (Lines{R"(+CPBS: "ME",1,20)", "OK"}));
}

TEST_F(PhoneSimLine, ErrorsFollowCmeeAndUnknownCommandsAreError) {
    EXPECT_EQ(Ask("AT+CPBR=0"), (Lines{"ERROR"}));
    EXPECT_EQ(Ask("AT+CMEE=1"), (Lines{"OK"}));
    EXPECT_EQ(Ask("AT+CPBR=0"), (Lines{"+CME ERROR: 21"}));
    EXPECT_EQ(Ask("AT+CMEE=2"), (Lines{"OK"}));
    EXPECT_EQ(Ask("AT+CPBR=0"), (Lines{"+CME ERROR: invalid index"}));
    EXPECT_EQ(Ask("AT+CMEE?"), (Lines{"+CMEE: 2", "OK"}));
    EXPECT_EQ(Ask("AT+CMEE=3"), (Lines{"+CME ERROR: incorrect parameters"}));
    EXPECT_EQ(Ask("AT+XYZZY"), (Lines{"ERROR"}));
    EXPECT_EQ(Ask("AT+CMGF=1"), (Lines{"+CMS ERROR: 303"})); // no text mode
    EXPECT_EQ(Ask("AT+CMGF=0"), (Lines{"OK"}));
}

TEST_F(PhoneSimLine, AnswersWhatAtClientsAskFirst) {
    EXPECT_EQ(Ask("AT+CGMI"), (Lines{"Telvane", "OK"}));
    EXPECT_EQ(Ask("AT+CGMM"), (Lines{"PhoneSim GSM", "OK"}));
    EXPECT_EQ(Ask("AT+CGMR"), (Lines{"1.0", "OK"}));
    EXPECT_EQ(Ask("AT+CGSN"), (Lines{"490154203237518", "OK"}));
    EXPECT_EQ(Ask("AT+CIMI"), (Lines{"001010123456789", "OK"}));
    EXPECT_EQ(Ask("ATI"), (Lines{"Telvane PhoneSim GSM 1.0", "OK"}));
    EXPECT_EQ(Ask("AT+CSCA?"), (Lines{R"(+CSCA: "+31624000000",145)", "OK"}));
    EXPECT_EQ(Ask("AT+CSCS?"), (Lines{R"(+CSCS: "IRA")", "OK"}));
    EXPECT_EQ(Ask("AT+CSCS=?"), (Lines{R"(+CSCS: ("GSM","IRA","UCS2"))", "OK"}));
    EXPECT_EQ(Ask("AT+CFUN=1"), (Lines{"OK"}));
    EXPECT_EQ(Ask("AT+CPIN?"), (Lines{"+CPIN: READY", "OK"}));
    // Several commands on one line; the first failure ends it.
    EXPECT_EQ(Ask("AT+CMEE=1;+CGMI;+CMGF?"), (Lines{"Telvane", "+CMGF: 0", "OK"}));
    EXPECT_EQ(Ask("ATE0V1+CGMI;+BOGUS;+CGMM"), (Lines{"Telvane", "ERROR"}));
}

} // namespace
