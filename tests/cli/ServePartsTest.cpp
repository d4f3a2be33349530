// The service's collector of long messages: parts in any order handed on once, joined in part
// order; a part seen again is not counted twice; an incomplete message after its time-out with
// what came; messages of one sender told apart by their reference. What the reports of a long
// message's parts say of the whole message.

#include "cli/ServeInbox.h"
#include "cli/ServeOutbox.h"
#include "pdu/StatusReport.h"

#include <gtest/gtest.h>

namespace {

using Clock = PartCollector::Clock;

SmsRecord Part(int part, int parts, int reference, const std::string& text,
               const std::string& sender = "+39333") {
    SmsRecord record;
    record.number = sender;
    record.text = text;
    record.time = "2026-12-09T10:00:00+01:00";
    record.part = part;
    record.parts = parts;
    record.reference = reference;
    return record;
}

TEST(ServePartsTest, PartsInAnyOrderAreJoinedOnceAllAreIn) {
    PartCollector collector(std::chrono::minutes(10));
    const Clock::time_point now = Clock::now();
    EXPECT_FALSE(collector.Add(Part(3, 3, 7, "three"), 13, now));
    EXPECT_FALSE(collector.Add(Part(1, 3, 7, "one "), 11, now));
    EXPECT_FALSE(collector.Add(Part(1, 3, 7, "one "), 11, now)) << "a part seen again";
    EXPECT_FALSE(collector.Add(Part(1, 3, 8, "other "), 21, now)) << "another reference";
    const std::optional<HookMessage> joined = collector.Add(Part(2, 3, 7, "two "), 12, now);
    ASSERT_TRUE(joined);
    EXPECT_EQ(joined->text, "one two three");
    EXPECT_EQ(joined->parts, 3);
    EXPECT_EQ(joined->partsExpected, 3);
    EXPECT_EQ(joined->archiveId, 11) << "the first part's row";
    EXPECT_EQ(collector.Pending(), 1u);
}

TEST(ServePartsTest, AnIncompleteMessageIsHandedOnAfterItsTimeOutWithWhatCame) {
    PartCollector collector(std::chrono::minutes(10));
    const Clock::time_point start = Clock::now();
    EXPECT_FALSE(collector.Add(Part(2, 3, 7, "two"), 12, start));
    EXPECT_TRUE(collector.Expired(start + std::chrono::minutes(9)).empty());
    const std::vector<HookMessage> expired = collector.Expired(start + std::chrono::minutes(10));
    ASSERT_EQ(expired.size(), 1u);
    EXPECT_EQ(expired[0].text, "two");
    EXPECT_EQ(expired[0].parts, 1);
    EXPECT_EQ(expired[0].partsExpected, 3);
    EXPECT_EQ(collector.Pending(), 0u);
    SmsRecord whole;
    whole.text = "short";
    const std::optional<HookMessage> single = collector.Add(whole, 5, start);
    ASSERT_TRUE(single) << "a message of one part goes at once";
    EXPECT_EQ(single->text, "short");
}

DeliveryRecord Reported(int part, int parts, std::optional<int> status) {
    DeliveryRecord record;
    record.part = part;
    record.parts = parts;
    record.status = status;
    record.statusText = status ? delivery_status_text(*status) : "";
    return record;
}

TEST(ServePartsTest, ALongMessageIsDeliveredOnlyWhenEveryPartIs) {
    EXPECT_EQ(MessageDelivery({Reported(1, 1, 0x46)}), "failed: validity period expired");
    EXPECT_EQ(
        MessageDelivery({Reported(1, 3, 0), Reported(2, 3, std::nullopt), Reported(3, 3, 0x01)}),
        "2 of 3 parts delivered");
    EXPECT_EQ(MessageDelivery({Reported(1, 2, 0), Reported(2, 2, 0x21)}), "1 of 2 parts delivered")
        << "a centre still trying is not done";
    EXPECT_EQ(MessageDelivery({Reported(1, 3, 0), Reported(2, 3, 0x41), Reported(3, 3, 0)}),
              "part 2 of 3: failed: incompatible destination");
    EXPECT_EQ(MessageDelivery({Reported(1, 2, 0), Reported(2, 2, 0x02)}), "delivered");
}

} // namespace
