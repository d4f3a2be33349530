// telvane-cli queue: a bound insert into the outbox of the file --db names, the text from the
// word or standard input, an older file given the table, and refusals that store nothing.

#include "cli/CliTestSetup.h"

#include <gtest/gtest.h>

namespace {

class ServeQueueTest : public ::testing::Test, public CliTestBase {};

TEST_F(ServeQueueTest, StoresTheMessageAsGivenAndPrintsItsId) {
    const CliResult first = Cli({"queue", "--to", "+393331234567", "--", "it's -- 'quoted'; 50%"});
    ASSERT_EQ(first.status, 0) << first.err;
    const CliResult second = Cli({"queue", "--report", "--to", "+39", "-"}, "from stdin\n");
    ASSERT_EQ(second.status, 0) << second.err;
    EXPECT_EQ(SplitLines(first.out), (Lines{"1"}));
    EXPECT_EQ(SplitLines(second.out), (Lines{"2"}));
    EXPECT_EQ(QueryCount(database, "SELECT count(*) FROM SMS_Outbox WHERE ID = 1 AND "
                                   "Recipient = '+393331234567' AND "
                                   "Text = 'it''s -- ''quoted''; 50%' AND State = 'new' AND "
                                   "Tries = 0 AND Options = ''"),
              1);
    EXPECT_EQ(QueryCount(database, "SELECT count(*) FROM SMS_Outbox WHERE ID = 2 AND "
                                   "Text = 'from stdin' AND Options = '--report'"),
              1);
}

TEST_F(ServeQueueTest, AnOlderFileGetsTheTableAndItsIndex) {
    const std::string index =
        "SELECT count(*) FROM sqlite_master WHERE type = 'index' AND tbl_name = 'SMS_Outbox' "
        "AND sql LIKE '%(State, ID)%'";
    EXPECT_EQ(QueryCount(database, index), 1) << "the shipped file has it";
    ASSERT_TRUE(RunSql(database, "DROP TABLE SMS_Outbox;"));
    const CliResult queued = Cli({"queue", "--to", "+39", "hello"});
    EXPECT_EQ(queued.status, 0) << queued.err;
    EXPECT_EQ(QueryCount(database, "SELECT count(*) FROM SMS_Outbox WHERE Text = 'hello'"), 1);
    EXPECT_EQ(QueryCount(database, index), 1) << "made at the first write";
}

TEST_F(ServeQueueTest, RefusalsStoreNothing) {
    const CliResult noRecipient = Cli({"queue", "hello"});
    EXPECT_EQ(noRecipient.status, 2);
    EXPECT_NE(noRecipient.err.find("queue needs --to NUMBER"), std::string::npos)
        << noRecipient.err;
    const CliResult missing = Cli({"--db", "absent.mdb", "queue", "--to", "+39", "hello"});
    EXPECT_EQ(missing.status, 1);
    EXPECT_FALSE(std::filesystem::exists(dir.File("absent.mdb"))) << "never created";
    EXPECT_EQ(Cli({"queue", "--to", "+39", "--keep", "hello"}).status, 2)
        << "a serve option is refused";
    EXPECT_EQ(QueryCount(database, "SELECT count(*) FROM SMS_Outbox"), 0);
}

} // namespace
