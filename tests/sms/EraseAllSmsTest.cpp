// What the phone's answers tell the erase: the used positions and the delete-all flag of
// "+CMGD=?" as phones spell them (lists, ranges, blanks), and the slots of "+CPMS:".

#include "sms/EraseAllSms.h"

#include "sms/CSmsReader.h"

#include <gtest/gtest.h>

namespace {

Reply Answer(std::string line) {
    Reply reply;
    reply.result = ReplyResult::Ok;
    reply.lines = {std::move(line)};
    return reply;
}

TEST(EraseAllSmsTest, TheTestAnswerGivesTheUsedPositionsAndWhetherAllGoAtOnce) {
    DeleteOffer offer = ParseDeleteOffer(Answer("+CMGD: (1,4,9),(0-4)"));
    EXPECT_EQ(offer.used, (std::vector<int>{1, 4, 9}));
    EXPECT_TRUE(offer.deleteAll);

    offer = ParseDeleteOffer(Answer("+CMGD: ( 2-4 , 7 ),(0,1,2,3)"));
    EXPECT_EQ(offer.used, (std::vector<int>{2, 3, 4, 7}));
    EXPECT_FALSE(offer.deleteAll) << "no flag 4";

    offer = ParseDeleteOffer(Answer("+CMGD: (),(0-4)"));
    EXPECT_EQ(offer.used, std::vector<int>{}) << "an empty memory, said so";
    EXPECT_TRUE(offer.deleteAll);

    // Older phones give the positions alone: no flag is known to be there.
    offer = ParseDeleteOffer(Answer("+CMGD: (3)"));
    EXPECT_EQ(offer.used, std::vector<int>{3});
    EXPECT_FALSE(offer.deleteAll);

    // A range as wide as a phone's memory is not spelled out beyond the positions ever read.
    offer = ParseDeleteOffer(Answer("+CMGD: (1-100000),(0-4)"));
    ASSERT_TRUE(offer.used.has_value());
    EXPECT_EQ(std::ssize(*offer.used), kSmsIndexLimit);
}

TEST(EraseAllSmsTest, AnAnswerWithoutTheListsTellsNothing) {
    for (const char* line : {"+CMGD: 1,4,9", "OK", "+CMGD:"}) {
        const DeleteOffer offer = ParseDeleteOffer(Answer(line));
        EXPECT_FALSE(offer.used.has_value()) << line;
        EXPECT_FALSE(offer.deleteAll) << line;
    }
    Reply refused = Answer("+CMGD: (1),(0-4)");
    refused.result = ReplyResult::Error;
    EXPECT_FALSE(ParseDeleteOffer(refused).used.has_value()) << "only an OK answer counts";
}

TEST(EraseAllSmsTest, TheCountAnswerGivesTheMemorysSlots) {
    EXPECT_EQ(MemoryCapacity("+CPMS: 3,20,3,20,3,20"), 20);
    EXPECT_EQ(MemoryCapacity("+CPMS: 0, 50"), 50);
    EXPECT_EQ(MemoryCapacity("+CPMS: 3"), std::nullopt);
    EXPECT_EQ(MemoryCapacity("+CMGL: 3,20"), std::nullopt);
}

} // namespace
