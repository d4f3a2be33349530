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

TEST(PhonebookLineTest, EntriesOfRealPhones) {
    // gammu tests/at-parser.c: a date and a time behind an empty name; a Motorola under UCS2
    // with its name in unquoted hex; an e-mail address in the number field.
    EXPECT_EQ(Parsed(R"(+CPBR: 1,"+60122256476",145,"","08/07/04","17:24:55")"),
              (PhonebookRow{" 1", "\"\"", "+60122256476", "145"}));
    EXPECT_EQ(Parsed(R"(+CPBR: 419,"030450566735",129,56697263686F77)"),
              (PhonebookRow{" 419", "56697263686F77", "030450566735", "129"}));
    EXPECT_EQ(Parsed(R"(+CPBR: 212,"mlaubner@web.de",128,"004D0061")")[kNumberColumn],
              "mlaubner@web.de");
    // 3GPP TS 27.007 8.12: <hidden> and the other later fields follow the name.
    EXPECT_EQ(Parsed(R"(+CPBR: 5,"+421903219222",145,"John/1",0)"),
              (PhonebookRow{" 5", "John/1", "+421903219222", "145"}));
    // The Huawei-style log above.
    EXPECT_EQ(Parsed(R"(+CPBR: 34,"+33678047133",145,"Sabine")")[kNameColumn], "Sabine");
    // No blank after the colon: the position is as sent.
    EXPECT_EQ(Parsed(R"(+CPBR:8,"555",129,"x")")[kPosColumn], "8");
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
                          Case{"+CPBR: (x-9)", 0, 100}, Case{"+CPBR: (5-)", 0, 100},
                          Case{"+CPBR: (1-250,40,14)", 0, 100}}) {
        const PhonebookRange range = ParsePhonebookRange(c.line);
        EXPECT_EQ(range.lower, c.lower) << c.line;
        EXPECT_EQ(range.upper, c.upper) << c.line;
    }
}

TEST(PhonebookRangeTest, RangesOfRealPhones) {
    struct Case {
        const char* line;
        int lower;
        int upper;
    };
    // gammu tests/at-parser.c (a Motorola, with fields of its own behind the lengths); a
    // Huawei-style log in a public AT parser's tests; then the same written without the blank
    // and with padded brackets.
    for (const Case& c :
         {Case{"+CPBR: (1-250),50,14,,,,40,20", 1, 250}, Case{"+CPBR: (1-250),24,30", 1, 250},
          Case{"+CPBR:(0-499),32,16", 0, 499}, Case{"+CPBR: ( 1 - 50 ),24,30", 1, 50}}) {
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

TEST(AddPhonebookRowsTest, TheValuesGiveTheListsOrderWithoutAList) {
    // What a list fed at the counters shows is what PhonebookListRows builds from the values:
    // later lines of one answer above the earlier ones, a counter below 0 at the top, one past
    // the end appended.
    FakePhonebookForm form;
    std::vector<PhonebookReadEntry> entries;
    const auto answer = [&](int counter, std::initializer_list<const char*> lines) {
        serialdata store;
        Fill(store, lines);
        for (const PhonebookRow& row : AddPhonebookRows(store, form, counter))
            entries.push_back({counter, row});
    };
    answer(-2, {R"(+CPBR: 1,"1",129,"a")", R"(+CPBR: 2,"2",129,"b")"});
    answer(1, {R"(+CPBR: 3,"3",129,"c")", R"(+CPBR: 4,"4",129,"d")", R"(+CPBR: 5,"5",129,"e")"});
    answer(9, {R"(+CPBR: 6,"6",129,"f")", "OK"});
    ASSERT_EQ(entries.size(), 6u);
    EXPECT_EQ(PhonebookListRows(entries), form.Rows());
    std::string order;
    for (const PhonebookRow& row : form.Rows())
        order += row[kNameColumn];
    EXPECT_EQ(order, "bedcaf");
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
