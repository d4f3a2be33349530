// The archive's search without a window: folding for search, and which rows match.

#include "archive/ArchiveSearch.h"

#include "archive/SearchFold.h"

#include <gtest/gtest.h>

namespace {

SmsRow Row(std::string text, std::string sender, std::string name) {
    SmsRow row;
    row[kSmsTextColumn] = std::move(text);
    row[kSmsSenderColumn] = std::move(sender);
    row[kSmsNameColumn] = std::move(name);
    row[kSmsScaColumn] = "+393359609600"; // never searched
    return row;
}

TEST(SearchFoldTest, FoldsCaseAndAccentsOfLatinGreekAndCyrillicLetters) {
    EXPECT_EQ(FoldForSearch("Città"), "citta");
    EXPECT_EQ(FoldForSearch("CITTÀ PERCHÉ Ñandú"), "citta perche nandu");
    EXPECT_EQ(FoldForSearch("Straße Œuvre Łódź Ångström"), "strasse oeuvre lodz angstrom");
    EXPECT_EQ(FoldForSearch("ΆΘΗΝΑ"), "αθηνα");
    EXPECT_EQ(FoldForSearch("МОСКВА Ёлка"), "москва елка");
    // Digits, signs and characters without a folding stay; broken UTF-8 becomes U+FFFD.
    EXPECT_EQ(FoldForSearch("+39 333/1%"), "+39 333/1%");
    EXPECT_EQ(FoldForSearch("日本"), "日本");
    EXPECT_EQ(FoldForSearch("a\xff"), "a\xef\xbf\xbd");
}

TEST(ArchiveSearchTest, FindsTextNumberAndNameButNotOtherColumnsOrAcrossFields) {
    ArchiveSearch search;
    const std::vector<SmsRow> rows = {Row("Arrivo in città alle 8", "+39333111", "Mario"),
                                      Row("Nothing here", "+39999", ""),
                                      Row("Ciao", "+39555", "Ölaf Citta")};
    search.Index(rows);
    EXPECT_EQ(search.RowCount(), 3);
    EXPECT_EQ(search.Matching(""), (std::vector<int>{0, 1, 2}));
    EXPECT_EQ(search.Matching("CITTA"), (std::vector<int>{0, 2}));
    EXPECT_EQ(search.Matching("olaf"), (std::vector<int>{2}));
    EXPECT_EQ(search.Matching("999"), (std::vector<int>{1}));
    EXPECT_EQ(search.Matching("mario"), (std::vector<int>{0}));
    EXPECT_TRUE(search.Matching("3359609600").empty()); // the service centre is not searched
    EXPECT_TRUE(search.Matching("8+39").empty());       // no match runs from text into number
    EXPECT_TRUE(search.Matching(std::string_view("8\0+", 3)).empty());
    // A row matching twice is listed once.
    EXPECT_EQ(search.Matching("i"), (std::vector<int>{0, 1, 2}));
}

TEST(ArchiveSearchTest, IndexReplacesTheRowsBefore) {
    ArchiveSearch search;
    search.Index(std::vector<SmsRow>{Row("uno", "1", ""), Row("due", "2", "")});
    search.Index(std::vector<SmsRow>{Row("tre", "3", "")});
    EXPECT_EQ(search.RowCount(), 1);
    EXPECT_TRUE(search.Matching("uno").empty());
    EXPECT_EQ(search.Matching("tre"), (std::vector<int>{0}));
}

// The walk from one hit's row to the next: rows far apart, next to each other, the first and the
// last, hits in every field, beside a row-by-row check of each.
TEST(ArchiveSearchTest, EveryRowHoldingTheTextIsFoundOnceWhereverTheHitsFall) {
    std::vector<SmsRow> rows;
    for (int at = 0; at < 5000; ++at) {
        const bool hit = at == 0 || at == 4999 || (at > 100 && at < 140) || at % 997 == 3;
        rows.push_back(Row(hit && at % 2 == 0 ? "xq xq" : "testo " + std::to_string(at),
                           hit && at % 2 == 1 ? "+39xq" : "+39", at == 2500 ? "Xq" : ""));
    }
    ArchiveSearch search;
    search.Index(rows);
    std::vector<int> expected;
    for (int at = 0; at < 5000; ++at) {
        const SmsRow& row = rows[static_cast<std::size_t>(at)];
        if (FoldForSearch(row[kSmsTextColumn] + "|" + row[kSmsSenderColumn] + "|" +
                          row[kSmsNameColumn])
                .find("xq") != std::string::npos)
            expected.push_back(at);
    }
    ASSERT_GT(expected.size(), 45U);
    EXPECT_EQ(search.Matching("XQ"), expected);
}

} // namespace
