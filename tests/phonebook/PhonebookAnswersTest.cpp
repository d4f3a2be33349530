// The +CPBR answers turned into rows and ranges, on line stores built here, and the text
// helpers they rest on.

#include "phonebook/PhonebookAnswers.h"

#include "phonebook/FakePhonebookForm.h"
#include "phonebook/PhonebookText.h"
#include "serial/serialdata.h"

#include <climits>
#include <gtest/gtest.h>
#include <initializer_list>
#include <thread>

namespace {

void Fill(serialdata& store, std::initializer_list<const char*> lines) {
    for (const char* line : lines)
        AddString(line, store);
}

PhonebookRow Parsed(std::string_view line) {
    return ParsePhonebookLine(line).value_or(PhonebookRow{"<none>", "", "", ""});
}

TEST(PhonebookLineTest, FieldsGoToTheirColumnsWithTheLeadingBlankKept) {
    EXPECT_EQ(Parsed(R"(+CPBR: 7,"+393471234567",145,"Mario Rossi")"),
              (PhonebookRow{" 7", "Mario Rossi", "+393471234567", "145"}));
}

TEST(PhonebookLineTest, CommasInsideTheQuotedNameStayInTheName) {
    EXPECT_EQ(Parsed(R"(+CPBR: 2,"0612345678",129,"Rossi, Mario, jr")")[kNameColumn],
              "Rossi, Mario, jr");
}

TEST(PhonebookLineTest, EmptyQuotedNameStaysTwoQuoteMarks) {
    EXPECT_EQ(Parsed(R"(+CPBR: 3,"555",129,"")")[kNameColumn], "\"\"");
    // A one-character name is stripped: the check is on length only.
    EXPECT_EQ(Parsed(R"(+CPBR: 3,"555",129,"A")")[kNameColumn], "A");
}

TEST(PhonebookLineTest, MissingCommasLeaveOnlyTheFieldsBeforeThem) {
    EXPECT_EQ(Parsed(R"(+CPBR: 4,"555",129)"), (PhonebookRow{" 4", "", "555", ""}));
    EXPECT_EQ(Parsed(R"(+CPBR: 4,"555")"), (PhonebookRow{" 4", "", "", ""}));
    EXPECT_FALSE(ParsePhonebookLine("+CPBR: 4").has_value());
}

TEST(PhonebookLineTest, OnlyLinesBeginningWithTheTagCount) {
    EXPECT_FALSE(ParsePhonebookLine("OK").has_value());
    EXPECT_FALSE(ParsePhonebookLine(R"( +CPBR: 1,"5",129,"x")").has_value());
    EXPECT_FALSE(ParsePhonebookLine("+CPBR").has_value());
    // Upper case only: a lower-case echo is no answer.
    EXPECT_FALSE(ParsePhonebookLine(R"(+cpbr: 1,"5",129,"x")").has_value());
}

TEST(PhonebookRangeTest, BracketsAndDashGiveBothBounds) {
    const PhonebookRange range = ParsePhonebookRange("+CPBR: (1-250),40,14");
    EXPECT_EQ(range.lower, 1);
    EXPECT_EQ(range.upper, 250);
}

TEST(PhonebookRangeTest, MissingPartsKeepTheDefaults) {
    struct Case {
        const char* line;
        int lower;
        int upper;
    };
    for (const Case& c : {Case{"+CPBR: 1-250,40,14", 0, 100}, Case{"+CPBR: (1-250,40,14", 0, 100},
                          Case{"+CPBR: (7),40,14", 7, 100}, Case{"+CPBR: ( 20-30)", 20, 30},
                          Case{"+CPBR: (x-9)", 0, 9}, Case{"+CPBR: (5-)", 5, 0}}) {
        const PhonebookRange range = ParsePhonebookRange(c.line);
        EXPECT_EQ(range.lower, c.lower) << c.line;
        EXPECT_EQ(range.upper, c.upper) << c.line;
    }
}

TEST(PhonebookRangeTest, ComesFromTheFirstStoredLineOnly) {
    serialdata store;
    EXPECT_EQ(ParsePhonebookRange(store).upper, 100); // empty store: defaults
    Fill(store, {"+CPBS: \"SM\"", "+CPBR: (1-250),40,14", "OK"});
    EXPECT_EQ(ParsePhonebookRange(store).upper, 100);
    ClearLines(store);
    Fill(store, {"+CPBR: (1-250),40,14", "OK"});
    EXPECT_EQ(ParsePhonebookRange(store).upper, 250);
}

TEST(PhonebookRangeTest, HugeNumbersSaturateInsteadOfOverflowing) {
    const PhonebookRange range = ParsePhonebookRange("(-99999999999-99999999999)");
    EXPECT_EQ(range.lower, INT_MIN);
    EXPECT_EQ(range.upper, INT_MAX);
}

TEST(AddPhonebookRowsTest, EveryAnswerLineBecomesARowAtTheCounter) {
    serialdata store;
    Fill(store, {R"(+CPBR: 1,"111",129,"Uno")", "noise", R"(+CPBR: 2,"222",145,"Due")", "OK"});
    FakePhonebookForm form;
    AddPhonebookRows(store, form, 1);
    // An empty list: each row is appended, in the order read.
    ASSERT_EQ(form.Rows().size(), 2u);
    EXPECT_EQ(form.Rows()[0][kNameColumn], "Uno");
    EXPECT_EQ(form.Rows()[1][kNameColumn], "Due");

    ClearLines(store);
    Fill(store, {R"(+CPBR: 9,"999",129,"Nove")", "OK"});
    AddPhonebookRows(store, form, 1);
    EXPECT_EQ(form.Rows()[1][kNameColumn], "Nove");
    AddPhonebookRows(store, form, -5); // a negative counter inserts at the top
    EXPECT_EQ(form.Rows()[0][kNameColumn], "Nove");
    EXPECT_EQ(form.Rows().size(), 4u);
}

TEST(AddPhonebookRowsTest, TheFormIsCalledWithTheStoreUnlocked) {
    serialdata store;
    Fill(store, {R"(+CPBR: 1,"111",129,"Uno")"});
    FakePhonebookForm form;
    // A window that needs the store while it inserts (another thread storing a line) must not
    // find it locked: this would deadlock if the walk were still under way.
    bool stored = false;
    form.OnInsert([&](int) {
        std::thread reader([&] {
            stored = store.lock.try_lock();
            if (stored)
                store.lock.unlock();
        });
        reader.join();
    });
    AddPhonebookRows(store, form, 0);
    EXPECT_TRUE(stored);
}

TEST(PhonebookTextTest, StripQuotesTakesThreeToNineHundredNinetyNineCharacters) {
    std::string text = "\"ab\"";
    StripQuotes(text);
    EXPECT_EQ(text, "ab");
    text = "xyz"; // not quote marks: removed all the same
    StripQuotes(text);
    EXPECT_EQ(text, "y");
    text = "\"é\""; // counted in characters, not bytes
    StripQuotes(text);
    EXPECT_EQ(text, "é");
    text = "é\"";
    StripQuotes(text);
    EXPECT_EQ(text, "é\"");
    text = std::string(999, 'q');
    StripQuotes(text);
    EXPECT_EQ(text.size(), 997u);
    text = std::string(1000, 'q');
    StripQuotes(text);
    EXPECT_EQ(text.size(), 1000u);
}

} // namespace
