#include "serial/AtFields.h"

#include <gtest/gtest.h>

namespace {

TEST(AtFields, ReadsNumbersStringsTokensAndEmptyFieldsInOrder) {
    AtFields fields(R"(+CMGL: 12, 1,"Bob" ,24,07913,,-5)");
    ASSERT_TRUE(fields.Begin("+CMGL:"));
    EXPECT_EQ(fields.NextNumber(), 12);
    EXPECT_EQ(fields.NextNumber(), 1);
    EXPECT_EQ(fields.NextString(), "Bob");
    EXPECT_EQ(fields.NextNumber(), 24);
    EXPECT_EQ(fields.NextToken(), "07913");
    EXPECT_EQ(fields.NextToken(), "") << "an empty field between two commas";
    EXPECT_EQ(fields.NextNumber(), -5);
    EXPECT_TRUE(fields.AtEnd());
    EXPECT_FALSE(fields.NextNumber().has_value());
    EXPECT_FALSE(fields.NextToken().has_value());
}

TEST(AtFields, AFieldOfTheWrongKindFailsAndLeavesThePositionAlone) {
    AtFields fields(R"(+CSCA: "+3162400",145)");
    ASSERT_TRUE(fields.Begin("+CSCA:"));
    EXPECT_FALSE(fields.NextNumber().has_value());
    EXPECT_FALSE(fields.NextToken().has_value()) << "a quoted field is no token";
    EXPECT_EQ(fields.NextString(), "+3162400");
    EXPECT_FALSE(fields.NextString().has_value());
    EXPECT_EQ(fields.NextNumber(), 145);

    AtFields open(R"(+CSCA: "never closed)");
    ASSERT_TRUE(open.Begin("+CSCA:"));
    EXPECT_FALSE(open.NextString().has_value());
    EXPECT_TRUE(open.Skip()) << "an unclosed string is the rest of the line";
    EXPECT_TRUE(open.AtEnd());
}

TEST(AtFields, PrefixMustBeginTheLineExactly) {
    EXPECT_FALSE(AtFields(" +CPMS: 1").Begin("+CPMS:"));
    EXPECT_FALSE(AtFields("+cpms: 1").Begin("+CPMS:"));
    EXPECT_FALSE(AtFields("+CPMS").Begin("+CPMS:"));
}

TEST(AtFields, ListsOfRangesAndTheFieldsBehindThem) {
    AtFields fields(R"(+CPBR: (1-250),40,14)");
    ASSERT_TRUE(fields.Begin("+CPBR:"));
    ASSERT_TRUE(fields.OpenList());
    const auto range = fields.NextRange();
    ASSERT_TRUE(range.has_value());
    EXPECT_EQ(range->lower, 1);
    EXPECT_EQ(range->upper, 250);
    EXPECT_TRUE(fields.CloseList());
    EXPECT_EQ(fields.NextNumber(), 40);
    EXPECT_EQ(fields.NextNumber(), 14);

    AtFields mixed(R"(+CPMS: ("SM","ME"),(0-3,5),7)");
    ASSERT_TRUE(mixed.Begin("+CPMS:"));
    ASSERT_TRUE(mixed.OpenList());
    EXPECT_EQ(mixed.NextString(), "SM");
    EXPECT_EQ(mixed.NextString(), "ME");
    EXPECT_TRUE(mixed.CloseList());
    ASSERT_TRUE(mixed.OpenList());
    EXPECT_EQ(mixed.NextRange()->upper, 3);
    const auto lone = mixed.NextRange();
    ASSERT_TRUE(lone.has_value());
    EXPECT_EQ(lone->lower, 5);
    EXPECT_EQ(lone->upper, 5);
    EXPECT_TRUE(mixed.CloseList());
    EXPECT_EQ(mixed.NextNumber(), 7);
}

TEST(AtFields, SkipStepsOverAnyFieldWholeListsIncluded) {
    AtFields fields(R"(+CMGS: (1,2),"a,b",x,9)");
    ASSERT_TRUE(fields.Begin("+CMGS:"));
    EXPECT_TRUE(fields.Skip());
    EXPECT_TRUE(fields.Skip()) << "the comma inside the quotes is part of the string";
    EXPECT_TRUE(fields.Skip());
    EXPECT_EQ(fields.NextNumber(), 9);
    EXPECT_FALSE(fields.Skip());
}

TEST(AtFields, RawFieldsAsSentAndTheCommaThatEndsThem) {
    // No Begin: the blank before the first field is part of it.
    AtFields fields(R"( 7,"Rossi, Mario" ,(1-3),abc ,,"open)");
    EXPECT_EQ(fields.NextRaw(), " 7");
    EXPECT_TRUE(fields.CommaBehind());
    EXPECT_EQ(fields.NextRaw(), R"("Rossi, Mario")");
    EXPECT_TRUE(fields.CommaBehind());
    EXPECT_EQ(fields.NextRaw(), "(1-3)");
    EXPECT_EQ(fields.NextRaw(), "abc");
    EXPECT_EQ(fields.NextRaw(), "");
    EXPECT_TRUE(fields.CommaBehind());
    EXPECT_EQ(fields.NextRaw(), R"("open)"); // never closed: the rest of the line
    EXPECT_FALSE(fields.CommaBehind());
    EXPECT_EQ(fields.NextRaw(), std::nullopt);

    AtFields cut("+CPBR: 4,\"555\"");
    ASSERT_TRUE(cut.Begin("+CPBR:"));
    EXPECT_EQ(cut.NextNumber(), 4);
    EXPECT_TRUE(cut.CommaBehind());
    EXPECT_EQ(cut.NextString(), "555");
    EXPECT_FALSE(cut.CommaBehind()) << "a line cut short";

    // A NUL byte from a noisy line is a character of its field, not the end of the line.
    using namespace std::string_view_literals;
    AtFields noisy("+CMGL: 1\0x,2"sv);
    ASSERT_TRUE(noisy.Begin("+CMGL:"));
    EXPECT_EQ(noisy.NextRaw(), "1\0x"sv);
    EXPECT_TRUE(noisy.CommaBehind());
    EXPECT_EQ(noisy.NextNumber(), 2);
}

TEST(AtFields, RangesTellALoneNumberAndTakePaddedDashes) {
    AtFields fields("(7),( 1 - 50 ),(5-),(3-3)");
    ASSERT_TRUE(fields.OpenList());
    const auto lone = fields.NextRange();
    ASSERT_TRUE(lone.has_value());
    EXPECT_TRUE(lone->single);
    EXPECT_TRUE(fields.CloseList());
    ASSERT_TRUE(fields.OpenList());
    const auto padded = fields.NextRange();
    ASSERT_TRUE(padded.has_value());
    EXPECT_EQ(padded->lower, 1);
    EXPECT_EQ(padded->upper, 50);
    EXPECT_FALSE(padded->single);
    EXPECT_TRUE(fields.CloseList());
    ASSERT_TRUE(fields.OpenList());
    EXPECT_EQ(fields.NextRange(), std::nullopt) << "a dash without its upper bound";
    EXPECT_EQ(fields.Rest(), "5-),(3-3)");
    ASSERT_TRUE(fields.Skip());
    ASSERT_TRUE(fields.CloseList());
    ASSERT_TRUE(fields.OpenList());
    EXPECT_FALSE(fields.NextRange()->single);
}

TEST(AtFields, HugeNumbersSaturate) {
    AtFields fields("+X: 99999999999999999999,-99999999999999999999");
    ASSERT_TRUE(fields.Begin("+X:"));
    EXPECT_EQ(fields.NextNumber(), INT_MAX);
    EXPECT_EQ(fields.NextNumber(), INT_MIN);
}

} // namespace
