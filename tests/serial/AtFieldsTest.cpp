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

TEST(AtFields, HugeNumbersSaturate) {
    AtFields fields("+X: 99999999999999999999,-99999999999999999999");
    ASSERT_TRUE(fields.Begin("+X:"));
    EXPECT_EQ(fields.NextNumber(), INT_MAX);
    EXPECT_EQ(fields.NextNumber(), INT_MIN);
}

} // namespace
