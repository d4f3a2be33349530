#include "tools/phonesim/Fixture.h"

#include "tools/SimFixtures.h"
#include "tools/phonesim/PduText.h"

#include <fstream>
#include <gtest/gtest.h>

using namespace simtest;

namespace {

TEST(Fixture, ParsesEveryDirectiveAndKeepsQuotedCommasAndHashes) {
    Fixture fixture;
    std::string error;
    ASSERT_TRUE(ParseFixture(
        SmallPhone() + "reply AT+CMGF=0 +CMS ERROR: 500|OK\nreply AT+X\nsilent\n", fixture, error))
        << error;
    EXPECT_EQ(fixture.smsSm.capacity, 10);
    EXPECT_EQ(fixture.smsMe.capacity, 30);
    ASSERT_EQ(fixture.smsSm.messages.size(), 3U);
    EXPECT_EQ(fixture.smsSm.messages.at(3).stat, SmsStat::RecUnread);
    EXPECT_EQ(fixture.smsSm.messages.at(7).pdu, kSubmit);
    EXPECT_EQ(fixture.smsMe.messages.at(2).pdu, kDeliverUnread); // comment after the PDU cut off
    EXPECT_EQ(fixture.phonebookSm.entries.at(3).name, "Rossi, Mario");
    EXPECT_EQ(fixture.phonebookSm.entries.at(4).name, "Casa #2");
    EXPECT_EQ(fixture.phonebookSm.entries.at(1).type, 145);
    EXPECT_EQ(fixture.phonebookMe.last, 20);
    ASSERT_EQ(fixture.replies.size(), 2U);
    EXPECT_EQ(fixture.replies[0].prefix, "AT+CMGF=0");
    EXPECT_EQ(fixture.replies[0].lines, (std::vector<std::string>{"+CMS ERROR: 500", "OK"}));
    EXPECT_TRUE(fixture.replies[1].lines.empty());
    EXPECT_TRUE(fixture.silent);
}

TEST(Fixture, RefusesFaultsNamingTheLine) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"\n\nsms SM 1 4 " + kDeliverRead, "line 3: stat"},
        {"sms SM 1 0 " + kDeliverRead + "0", "line 1: PDU"}, // odd number of digits
        {"sms SM 1 0 0791447700090010", "line 1: PDU"},      // SCA field but no TPDU
        {"sms SM 1 0 " + kDeliverRead + "\nsms SM 1 0 " + kSubmit,
         "line 2: message index used twice"},
        {"sms SM 0 0 " + kSubmit, "line 1: bad message index"},
        {"sms SM 12 0 " + kSubmit + "\ncapacity SM 11", "beyond the capacity of SM"},
        {"phonebook ME 5 129 \"12\" \"x\"\nrange ME 6 9", "outside the range of ME"},
        {"phonebook SM 1 129 \"12\" \"0123456789012345678901234567890\"", "line 1: name"},
        {"phonebook SM 1 129 \"+39 347\" \"x\"", "line 1: number"},
        {"phonebook SM 1 129 \"12\" \"unterminated", "line 1: name"},
        {"range SM 9 3", "line 1: range"},
        {"capacity ME 0", "line 1: capacity"},
        {"silent please", "line 1: unexpected text"},
        {"sms", "line 1: memory"},
        {"reply", "line 1: reply needs"},
        {"bogus 1", "line 1: unknown directive \"bogus\""},
    };
    for (const auto& [text, message] : cases) {
        Fixture fixture;
        std::string error;
        EXPECT_FALSE(ParseFixture(text, fixture, error)) << text;
        EXPECT_NE(error.find(message), std::string::npos) << text << " gave: " << error;
    }
}

TEST(Fixture, ShippedSampleHoldsMessagesOnBothMemoriesAndADozenEntries) {
    std::ifstream in(TELVANE_SOURCE_DIR "/tools/phonesim/sample.fixture");
    const std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    Fixture fixture;
    std::string error;
    ASSERT_TRUE(ParseFixture(text, fixture, error)) << error;
    EXPECT_EQ(fixture.smsSm.messages.size(), 3U);
    EXPECT_EQ(fixture.smsMe.messages.size(), 3U);
    EXPECT_EQ(fixture.phonebookSm.entries.size(), 12U);
    EXPECT_FALSE(fixture.silent);
    EXPECT_TRUE(fixture.replies.empty());
}

TEST(PduText, TpduLengthCountsOctetsAfterTheScaField) {
    EXPECT_EQ(TpduLength(kDeliverRead), 42);
    EXPECT_EQ(TpduLength("00" + kSubmitTpdu), 29);
    EXPECT_EQ(TpduLength("0011"), 1);
    EXPECT_EQ(TpduLength("00"), 0);
    EXPECT_EQ(TpduLength(""), -1);
    EXPECT_EQ(TpduLength("0G11"), -1);
    EXPECT_EQ(TpduLength("07914477"), -1); // SCA field longer than the text
    EXPECT_EQ(TpduType(kSubmit), 1);
    EXPECT_EQ(TpduType(kDeliverRead), 0);
    EXPECT_EQ(TpduType("00"), -1);
}

} // namespace
