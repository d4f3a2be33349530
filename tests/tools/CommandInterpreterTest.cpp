// The interpreter alone, byte by byte: line editing, command syntax, and the events it asks for.

#include "tools/phonesim/CommandInterpreter.h"

#include "tools/SimFixtures.h"

#include <gtest/gtest.h>

using namespace simtest;

namespace {

class Interpreter : public ::testing::Test {
protected:
    explicit Interpreter(const std::string& text = SmallPhone()) : phone(Load(text)) {}

    static Fixture Load(const std::string& text) {
        Fixture fixture;
        std::string error;
        EXPECT_TRUE(ParseFixture(text, fixture, error)) << error;
        return fixture;
    }

    std::vector<SimEvent> Type(const std::string& bytes) {
        std::vector<SimEvent> events;
        for (char c : bytes)
            phone.Feed(c, events);
        return events;
    }

    // The response lines (and prompts) the bytes cause, without echo and transcript-only events.
    std::vector<std::string> Answer(const std::string& bytes) {
        std::vector<std::string> lines;
        for (const SimEvent& event : Type(bytes))
            if (event.kind == EventKind::Line || event.kind == EventKind::Prompt)
                lines.push_back(event.text);
        return lines;
    }

    CommandInterpreter phone;
};

using Lines = std::vector<std::string>;

TEST_F(Interpreter, EchoesEveryByteOfACommandLineAndReportsItOnce) {
    const auto events = Type("AT\r");
    ASSERT_EQ(events.size(), 5U);
    EXPECT_EQ(events[0].kind, EventKind::Echo);
    EXPECT_EQ(events[2].text, "\r");
    EXPECT_EQ(events[3].kind, EventKind::Received);
    EXPECT_EQ(events[3].text, "AT");
    EXPECT_EQ(events[4].text, "OK");
}

TEST_F(Interpreter, EditsTheLineAndIgnoresLineFeedsAndNonAtLines) {
    Type("ATE0\r");
    EXPECT_EQ(Answer("\nATX\b+CGMI\r\n"), (Lines{"Telvane", "OK"}));
    EXPECT_EQ(Answer("\r"), Lines{});                           // an empty line is no command
    EXPECT_EQ(Answer("hello\r"), Lines{});                      // not for the phone
    EXPECT_EQ(Answer("at + cgmi\r"), (Lines{"Telvane", "OK"})); // blanks and case mean nothing
}

TEST_F(Interpreter, RefusesAnOverlongLineWithoutKeepingIt) {
    Type("ATE0\r");
    const auto events = Type("AT+CGMI" + std::string(5000, 'X') + "\r");
    ASSERT_EQ(events.size(), 2U);
    EXPECT_EQ(events[0].text.size(), CommandInterpreter::kMaxLine);
    EXPECT_EQ(events[1].text, "ERROR");
    EXPECT_EQ(Answer("AT\r"), (Lines{"OK"}));
}

TEST_F(Interpreter, SRegistersReadBackAndS3EndsTheLine) {
    Type("ATE0\r");
    EXPECT_EQ(Answer("ATS3?\r"), (Lines{"013", "OK"}));
    EXPECT_EQ(Answer("ATS3=35\r"), (Lines{"OK"}));
    EXPECT_EQ(Answer("AT+CGMM#"), (Lines{"PhoneSim GSM", "OK"}));
    EXPECT_EQ(Answer("ATZ#"), (Lines{"OK"})); // factory values again, echo included
    EXPECT_EQ(Answer("ATE0\r"), (Lines{"OK"}));
    EXPECT_EQ(Answer("ATS4=13\r"), (Lines{"ERROR"})); // framing stays CR LF
    EXPECT_EQ(Answer("ATS99?\r"), (Lines{"ERROR"}));
}

TEST_F(Interpreter, PhonebookNamesFollowTheCharacterSet) {
    Type("ATE0\r");
    Type("AT+CPBS=\"ME\"\r");
    EXPECT_EQ(Answer("AT+CSCS=\"UCS2\"\r"), (Lines{"OK"}));
    EXPECT_EQ(Answer("AT+CPBR=20\r"),
              (Lines{R"(+CPBR: 20,"112",129,"004300690074007400E0")", "OK"}));
    EXPECT_EQ(Answer("AT+CSCS=\"KOI8\"\r"), (Lines{"ERROR"}));
}

TEST_F(Interpreter, PduModeTakesOnlyHexAndReportsWhatItRefused) {
    Type("ATE0\r");
    EXPECT_EQ(Answer("AT+CMGS=1\r"), (Lines{"> "}));
    const auto events = Type("00 1\r\nZ\x1a");
    ASSERT_EQ(events.size(), 2U);
    EXPECT_EQ(events[0].kind, EventKind::Received);
    EXPECT_EQ(events[0].text, "001Z");
    EXPECT_EQ(events[1].text, "+CMS ERROR: 304");
    EXPECT_EQ(Answer("AT+CMGS=1\r"), (Lines{"> "}));
    const auto sent = Type("0011\x1a");
    ASSERT_EQ(sent.size(), 3U);
    EXPECT_EQ(sent[0].kind, EventKind::Sent);
    EXPECT_EQ(sent[1].text, "+CMGS: 1");
}

TEST_F(Interpreter, WriteStoresTheSubmitInTheWriteMemoryWithoutSendingIt) {
    Type("ATE0\r");
    EXPECT_EQ(Answer("AT+CPMS=\"ME\",\"SM\"\r"), (Lines{"+CPMS: 1,30,3,10,3,10", "OK"}));
    EXPECT_EQ(Answer("AT+CMGW=1\r"), (Lines{"> "}));
    const auto stored = Type("0011\x1a");
    ASSERT_EQ(stored.size(), 3U);
    EXPECT_EQ(stored[0].kind, EventKind::Received); // not sent
    EXPECT_EQ(stored[1].text, "+CMGW: 2");          // the first free index of SM, not ME
    EXPECT_EQ(Answer("AT+CMGW=1,3\r"), (Lines{"> "}));
    EXPECT_EQ(Answer("0011\x1a"), (Lines{"+CMGW: 4", "OK"}));
    EXPECT_EQ(Answer("AT+CPMS=\"SM\"\r"), (Lines{"+CPMS: 5,10,5,10,5,10", "OK"}));
    EXPECT_EQ(Answer("AT+CMGL=2\r"), (Lines{"+CMGL: 2,2,,1", "0011", "OK"}));
    EXPECT_EQ(Answer("AT+CMGW=1,0\r"), (Lines{"+CMS ERROR: 304"})); // a received status
    EXPECT_EQ(Answer("AT+CMGW=2\r"), (Lines{"> "}));
    EXPECT_EQ(Answer("0011\x1a"), (Lines{"+CMS ERROR: 304"})); // shorter than announced
    for (int i = 0; i < 5; ++i) {
        Type("AT+CMGW=1\r");
        Type("0011\x1a");
    }
    EXPECT_EQ(Answer("AT+CMGW=1\r"), (Lines{"> "}));
    EXPECT_EQ(Answer("0011\x1a"), (Lines{"+CMS ERROR: 322"})); // memory full
}

} // namespace

namespace {

TEST_F(Interpreter, ServiceCentreTypeFollowsTheNumberUnlessGiven) {
    Type("ATE0\r");
    EXPECT_EQ(Answer("AT+CSCA=\"0612345678\"\r"), (Lines{"OK"}));
    EXPECT_EQ(Answer("AT+CSCA?\r"), (Lines{R"(+CSCA: "0612345678",129)", "OK"}));
    EXPECT_EQ(Answer("AT+CSCA=\"+393471234567\"\r"), (Lines{"OK"}));
    EXPECT_EQ(Answer("AT+CSCA?\r"), (Lines{R"(+CSCA: "+393471234567",145)", "OK"}));
    EXPECT_EQ(Answer("AT+CSCA=\"+39347\",129\r"), (Lines{"OK"}));
    EXPECT_EQ(Answer("AT+CSCA?\r"), (Lines{R"(+CSCA: "+39347",129)", "OK"}));
    EXPECT_EQ(Answer("AT+CSCA=12345\r"), (Lines{"+CMS ERROR: 302"})); // not quoted
    EXPECT_EQ(Answer("AT+CSCA?\r"), (Lines{R"(+CSCA: "+39347",129)", "OK"}));
}

} // namespace
