// The keys kept beside a message table, on both engines: made at the first fill, walked in key
// order, replaced whole, and a fill that fails stores none of its rows.

#include "db/KeyTable.h"

#include "EngineFixture.h"
#include "db/CDaoDatabase.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

class KeyTableTest : public EngineDatabaseTest {
protected:
    // Fills keys from..to (one row each) into the table; what Fill said.
    bool FillRange(std::int64_t from, std::int64_t to, bool replace = false,
                   bool failAtEnd = false) {
        KeyTable keys(&database, "SMS_In_SearchKey");
        return keys.Fill(
            [&](const KeyTable::Add& add) {
                for (std::int64_t key = from; key <= to; ++key)
                    if (!add(key, "text " + std::to_string(key), "+39" + std::to_string(key)))
                        return false;
                return !failAtEnd;
            },
            replace);
    }

    std::vector<std::string> Walked() {
        KeyTable keys(&database, "SMS_In_SearchKey");
        std::vector<std::string> rows;
        while (keys.Next())
            rows.push_back(std::to_string(keys.Key()) + " " + std::string(keys.First()) + " " +
                           std::string(keys.Second()));
        EXPECT_TRUE(keys.ErrorText().empty()) << keys.ErrorText();
        return rows;
    }
};

TELVANE_ON_BOTH_ENGINES(KeyTableTest);

TEST_P(KeyTableTest, NothingIsKeptBeforeTheFirstFill) {
    KeyTable keys(&database, "SMS_In_SearchKey");
    EXPECT_EQ(keys.LastKey(), 0);
    EXPECT_EQ(keys.Count(), 0);
    EXPECT_TRUE(Walked().empty());
}

TEST_P(KeyTableTest, RowsAreWalkedInKeyOrderAcrossBatchesAndReplacedWhole) {
    ASSERT_TRUE(FillRange(3001, 3002));
    ASSERT_TRUE(FillRange(1, 2600)) << "more rows than one batch of either engine";
    KeyTable keys(&database, "SMS_In_SearchKey");
    EXPECT_EQ(keys.LastKey(), 3002);
    EXPECT_EQ(keys.Count(), 2602);
    const std::vector<std::string> rows = Walked();
    ASSERT_EQ(rows.size(), 2602U);
    EXPECT_EQ(rows.front(), "1 text 1 +391");
    EXPECT_EQ(rows[2599], "2600 text 2600 +392600");
    EXPECT_EQ(rows.back(), "3002 text 3002 +393002");

    ASSERT_TRUE(FillRange(7, 8, true));
    EXPECT_EQ(Walked(), (std::vector<std::string>{"7 text 7 +397", "8 text 8 +398"}));
}

TEST_P(KeyTableTest, AFillThatFailsStoresNoneOfItsRows) {
    ASSERT_TRUE(FillRange(1, 2));
    EXPECT_FALSE(FillRange(10, 1200, true, true));
    EXPECT_EQ(Walked(), (std::vector<std::string>{"1 text 1 +391", "2 text 2 +392"}))
        << "the replace went with the failed fill";
}

} // namespace
