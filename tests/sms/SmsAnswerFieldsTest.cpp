// The message answers' headers and the count answer as real phones write them.

#include "sms/SmsHeader.h"

#include <gtest/gtest.h>

namespace {

TEST(SmsAnswerFields, HeadersOfRealPhones) {
    // gammu tests/at-sms/01.dump: a +CMGR header with an empty alpha field.
    EXPECT_EQ(HeaderFirstField("+CMGR: 1,,78"), 1);
    // gammu tests/at-parser.c (a Motorola): no blank after the colon. The index is 1, not the
    // digits that follow its first character.
    EXPECT_EQ(HeaderIndex("+CMGL:1,0,,26"), 1);
    EXPECT_EQ(HeaderSecondField("+CMGL:1,0,,26"), 0);
    EXPECT_EQ(HeaderIndex("+CMGL:12,3,,26"), 12);
    EXPECT_EQ(HeaderSecondField("+CMGL:12,3,,26"), 3);
    // Blanks around the fields, as some modems pad them.
    EXPECT_EQ(HeaderIndex("+CMGL:  7 , 1 ,,24"), 7);
    EXPECT_EQ(HeaderSecondField("+CMGL:  7 , 1 ,,24"), 1);
    EXPECT_EQ(HeaderFirstField("+CMGR: 2 ,,24"), 2);
    // A status that is no number lists nothing it could be taken for.
    EXPECT_EQ(HeaderFirstField("+CMGR: x,,24"), 0);
    EXPECT_EQ(HeaderSecondField("+CMGL: 3,\"REC READ\",,24"), 0);
}

// "+CMGR: D," is read on the spot: anything else that looks like it is read field by field, and
// must give what it gave before.
TEST(SmsAnswerFields, AOneDigitStatusReadsAsTheFieldsWouldReadIt) {
    for (char digit = '0'; digit <= '9'; ++digit)
        EXPECT_EQ(HeaderFirstField(std::string("+CMGR: ") + digit + ",,24"), digit - '0');
    EXPECT_EQ(HeaderFirstField("+CMGR: 1,"), 1);
    EXPECT_EQ(HeaderFirstField("+CMGL: 3,1,,24"), 3);
    EXPECT_EQ(HeaderFirstField("+CMGR: 12,,24"), 12);
    EXPECT_EQ(HeaderFirstField("+CMGR:  1,,24"), 1);
    EXPECT_EQ(HeaderFirstField("+CMGR: 1 ,,24"), 1);
    EXPECT_EQ(HeaderFirstField("+CMGR: 1"), 0) << "no comma behind";
    EXPECT_EQ(HeaderFirstField("+CMGR: -1,,24"), -1);
    // The first colon counts: here it stands before the one the quick read looks at.
    EXPECT_EQ(HeaderFirstField("ab:cd: 1,,24"), 0);
    EXPECT_EQ(HeaderFirstField("a:cde: 1,,24"), 0);
}

TEST(SmsAnswerFields, CountIsTheFirstFieldTheEditShows) {
    // 3GPP TS 27.005 3.2.2: +CPMS: <used1>,<total1>,<used2>,<total2>,<used3>,<total3>.
    EXPECT_EQ(CountAnswerUsed("+CPMS: 3,20,3,20,3,20"), 3);
    EXPECT_EQ(CountAnswerUsed("+CPMS: 0,50,0,50,0,50"), 0);
    EXPECT_EQ(CountAnswerUsed("+CPMS:12,30,12,30,12,30"), 12);
    EXPECT_EQ(CountAnswerUsed("+CPMS:  4 ,20"), 4);
    // Without a comma the edit is empty, and so is the count.
    EXPECT_EQ(FirstFieldAfterColon("+CPMS: 3"), "");
    EXPECT_EQ(CountAnswerUsed("+CPMS: 3"), 0);
    // The read command's answer names the memory first: no count in it.
    EXPECT_EQ(CountAnswerUsed(R"(+CPMS: "SM",0,50,"SM",0,50,"SM",0,50)"), 0);
    // Not the answer looked for: read as the edit is, from behind the first ':'.
    EXPECT_EQ(CountAnswerUsed("+CMTI: \"SM\",3"), 0);
    EXPECT_EQ(CountAnswerUsed("5,20,5,20"), 5);
}

} // namespace
