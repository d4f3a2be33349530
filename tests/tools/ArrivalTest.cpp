// New messages and status reports that the simulated phone tells of its own accord: stored or
// pushed as the client's +CNMI asks, and PDUs that a decoder nobody here wrote (Gammu's) reads.

#include "common/RunShell.h"
#include "tools/SimFixtures.h"
#include "tools/phonesim/ArrivalPdus.h"
#include "tools/phonesim/CommandInterpreter.h"

#include <gtest/gtest.h>
#include <unistd.h>

using namespace simtest;

namespace {

using Lines = std::vector<std::string>;

// A SUBMIT to +393339876543 asking for a status report (first octet 31: SRR, VPF relative).
const std::string kSubmitWithReport =
    "079144770009001031000C919333937856340000AA11CF250B342F9741F9771D444797E565";

class Arrivals : public ::testing::Test {
protected:
    explicit Arrivals(const std::string& extra = "report 500 45\n") : phone(Load(extra)) {}

    static Fixture Load(const std::string& extra) {
        Fixture fixture;
        std::string error;
        EXPECT_TRUE(ParseFixture(SmallPhone() + extra, fixture, error)) << error;
        return fixture;
    }

    // The unsolicited lines and the response lines of the bytes, in order.
    Lines Type(const std::string& bytes) {
        std::vector<SimEvent> events;
        for (char c : bytes)
            phone.Feed(c, events);
        return Said(events);
    }
    Lines TickAt(long ms) {
        std::vector<SimEvent> events;
        phone.Tick(ms, events);
        return Said(events);
    }
    static Lines Said(const std::vector<SimEvent>& events) {
        Lines lines;
        for (const SimEvent& event : events)
            if (event.kind == EventKind::Line || event.kind == EventKind::Unsolicited ||
                event.kind == EventKind::UnsolicitedData)
                lines.push_back(event.text);
        return lines;
    }

    CommandInterpreter phone;
};

TEST_F(Arrivals, WithoutCnmiAMessageIsStoredAndNothingIsSaid) {
    Type("ATE0\r");
    phone.Arrive(kDeliverRead);
    EXPECT_EQ(TickAt(100), Lines{});
    // SM 1, 3 and 7 are taken: the first free index is 2.
    EXPECT_EQ(Type("AT+CMGR=2\r"), (Lines{"+CMGR: 0,,42", kDeliverRead, "OK"}));
}

TEST_F(Arrivals, StoredMessagesAreToldByIndexInTheReceiveMemory) {
    Type("ATE0\rAT+CNMI=2,1,0,0,0\r");
    phone.Arrive(kDeliverRead);
    phone.Arrive({});
    EXPECT_EQ(TickAt(10), (Lines{"+CMTI: \"SM\",2", "+CMTI: \"SM\",4"}));
    Type("AT+CPMS=\"ME\",\"ME\",\"ME\"\r");
    phone.Arrive({});
    EXPECT_EQ(TickAt(20), (Lines{"+CMTI: \"ME\",1"}));
    const Lines read = Type("AT+CMGR=1\r");
    ASSERT_EQ(read.size(), 3u);
    EXPECT_EQ(read[0], "+CMGR: 0,,31"); // "New message 3"
}

TEST_F(Arrivals, ARegistrationChangeIsToldAsAtCregAsks) {
    Type("ATE0\r");
    phone.ChangeRegistration(2);
    EXPECT_EQ(TickAt(10), Lines{}) << "no notices asked for";
    EXPECT_EQ(Type("AT+CREG?\r"), (Lines{"+CREG: 0,2", "OK"}));
    Type("AT+CREG=1\r");
    phone.ChangeRegistration(5);
    phone.ChangeRegistration(5);
    EXPECT_EQ(TickAt(20), (Lines{"+CREG: 5"})) << "a status that stays is told once";
    Type("AT+CREG=2\r");
    phone.ChangeRegistration(1);
    EXPECT_EQ(TickAt(30), (Lines{"+CREG: 1,\"00C3\",\"1A2B\""}));
    EXPECT_EQ(Type("AT+CREG?\r"), (Lines{"+CREG: 2,1,\"00C3\",\"1A2B\"", "OK"}));
}

TEST_F(Arrivals, DirectDeliveryPushesThePduAndStoresNothing) {
    Type("ATE0\rAT+CNMI=2,2,0,0,0\r");
    phone.Arrive(kDeliverUnread);
    EXPECT_EQ(TickAt(10), (Lines{"+CMT: ,47", kDeliverUnread}));
    EXPECT_EQ(Type("AT+CMGR=2\r"), (Lines{"+CMS ERROR: 321"}));
    // Service 0 of +CSMS: no acknowledgement is expected.
    EXPECT_EQ(Type("AT+CNMA\r"), (Lines{"+CMS ERROR: 340"}));
}

TEST_F(Arrivals, NothingInterruptsAPduBeingTypedAfterThePrompt) {
    Type("ATE0\rAT+CNMI=2,1,0,0,0\rAT+CMGS=29\r");
    phone.Arrive({});
    EXPECT_EQ(TickAt(10), Lines{});
    Type(kSubmit + "\x1a");
    EXPECT_EQ(TickAt(20), (Lines{"+CMTI: \"SM\",2"}));
}

TEST_F(Arrivals, AFullMemoryTakesNothingAndTellsNothing) {
    Type("ATE0\rAT+CNMI=2,1,0,0,0\r");
    for (int i = 0; i < 7; ++i)
        phone.Arrive({});
    EXPECT_EQ(TickAt(10).size(), 7u); // 10 slots, 3 used
    phone.Arrive({});
    EXPECT_EQ(TickAt(20), Lines{});
}

TEST_F(Arrivals, ASendAskingForAReportGetsItPushedWhenDue) {
    Type("ATE0\rAT+CNMI=2,1,0,1,0\rAT+CMGS=29\r");
    EXPECT_EQ(Type(kSubmitWithReport + "\x1a"), (Lines{"+CMGS: 1", "OK"}));
    EXPECT_EQ(TickAt(499), Lines{});
    const Lines report = TickAt(500);
    ASSERT_EQ(report.size(), 2u);
    EXPECT_EQ(report[0], "+CDS: 25");
    // Centre, first octet 06, TP-MR 01, TP-RA as the SUBMIT gave it; TP-ST last.
    EXPECT_TRUE(report[1].starts_with("07911326040000F00601"
                                      "0C91933393785634"))
        << report[1];
    EXPECT_TRUE(report[1].ends_with("45")) << report[1];
    // A send without SRR gets none.
    Type("AT+CMGS=29\r" + kSubmit + "\x1a");
    EXPECT_EQ(TickAt(5000), Lines{});
}

TEST_F(Arrivals, ReportsAreStoredAndIndicatedWithDs2AndDroppedWithDs0) {
    Type("ATE0\rAT+CNMI=2,1,0,2,0\rAT+CMGS=29\r" + kSubmitWithReport + "\x1a");
    EXPECT_EQ(TickAt(600), (Lines{"+CDSI: \"SM\",2"}));
    const Lines stored = Type("AT+CMGR=2\r");
    ASSERT_EQ(stored.size(), 3u);
    EXPECT_EQ(stored[0], "+CMGR: 0,,25");
    Type("AT+CNMI=2,1,0,0,0\rAT+CMGS=29\r" + kSubmitWithReport + "\x1a");
    EXPECT_EQ(TickAt(2000), Lines{});
}

TEST(ArrivalFixture, TimedArrivalsAndReportSettingsAreReadAndChecked) {
    Fixture fixture;
    std::string error;
    ASSERT_TRUE(
        ParseFixture("arrive 1500\narrive 0 " + kDeliverRead + "\nreport 20 40\n", fixture, error))
        << error;
    ASSERT_EQ(fixture.arrivals.size(), 2u);
    EXPECT_EQ(fixture.arrivals[0].afterMs, 1500);
    EXPECT_EQ(fixture.arrivals[0].pdu, "");
    EXPECT_EQ(fixture.arrivals[1].pdu, kDeliverRead);
    EXPECT_EQ(fixture.reportDelayMs, 20);
    EXPECT_EQ(fixture.reportStatus, 0x40);
    for (const std::string& bad :
         std::vector<std::string>{"arrive\n", "arrive 10 " + kSubmit + "\n", "report 10\n",
                                  "report 10 4G\n", "report x 00\n"}) {
        Fixture other;
        EXPECT_FALSE(ParseFixture(bad, other, error)) << bad;
    }
    // The timed one comes when its time has come, and only then.
    CommandInterpreter phone(fixture);
    std::vector<SimEvent> events;
    for (char c : std::string("AT+CNMI=1,1\r"))
        phone.Feed(c, events);
    events.clear();
    phone.Tick(1499, events);
    EXPECT_EQ(events.size(), 1u); // the one at 0 ms
    events.clear();
    phone.Tick(1500, events);
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].text, "+CMTI: \"SM\",2");
}

// Gammu's PDU decoder (python3-gammu) reads what the simulator builds.
class GammuDecodes : public ::testing::Test {
protected:
    void SetUp() override {
        if (RunShell("/usr/bin/python3 -c 'import gammu' 2>/dev/null && echo yes") != "yes\n")
            GTEST_SKIP() << "python3-gammu is not installed";
    }
    static std::string Decode(const std::string& pdu, const std::string& fields) {
        return RunShell("/usr/bin/python3 -c \"import gammu; d = gammu.DecodePDU(bytes.fromhex('" +
                        pdu + "')); print(" + fields + ")\" 2>&1");
    }
};

TEST_F(GammuDecodes, TheGeneratedDeliver) {
    const std::string pdu =
        BuildDeliver("+31624000000", "+31612345678", "New message 12, ok?", 1'700'000'000);
    EXPECT_EQ(Decode(pdu, "d['Type'], d['Number'], d['Text'], d['DateTime'], d['SMSC']['Number']"),
              "Deliver +31612345678 New message 12, ok? 2023-11-14 22:13:20 +31624000000\n");
    EXPECT_EQ(Decode(BuildDeliver("+31624000000", "0612345", "x", 0), "d['Number'], d['Text']"),
              "0612345 x\n");
}

TEST_F(GammuDecodes, TheStatusReportOfASubmit) {
    const std::optional<SubmitFacts> facts = ReadSubmit(kSubmitWithReport);
    ASSERT_TRUE(facts);
    EXPECT_TRUE(facts->reportRequested);
    EXPECT_FALSE(ReadSubmit(kSubmit)->reportRequested);
    EXPECT_FALSE(ReadSubmit(kDeliverRead));
    const std::string pdu = BuildStatusReport("+31624000000", 200, facts->recipient, 0x00,
                                              1'700'000'000, 1'700'000'007);
    // Gammu gives TP-SCTS as DateTime and TP-DT as SMSCDateTime.
    EXPECT_EQ(Decode(pdu, "d['Type'], d['MessageReference'], d['Number'], d['DeliveryStatus'], "
                          "d['DateTime'], d['SMSCDateTime']"),
              "Status_Report 200 +393339876543 0 2023-11-14 22:13:20 2023-11-14 22:13:27\n");
    EXPECT_EQ(Decode(BuildStatusReport("+31624000000", 7, facts->recipient, 0x41, 0, 0),
                     "d['DeliveryStatus']"),
              "65\n");
}

} // namespace
