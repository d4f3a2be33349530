// "Copy SMS to database" into a database that cannot take the rows: the copy stores all rows or
// none, and the success box comes only after the rows are stored.

#include "db/CDaoDatabase.h"
#include "sms/CopySmsToDatabase.h"
#include "sms/SmsTestSetup.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <unistd.h>

namespace {

using Texts = std::vector<std::string>;

const SmsRow kInRow{"1",      "IN",          "READ",  "Ciao Mondo", "07/03/01", "14:05.09 (4)",
                    "+39333", "Mario Rossi", "+39335"};
const SmsRow kOutRow{"2", "OUT", "SENT", "abc", "", "", "--", "", "+12345678901"};

class CopyOnFullDiskTest : public ::testing::Test, public SmsTestBase {
protected:
    // 10,000 rows, as a long read of a phone gives: more than the file has room for.
    void ListManyRows() {
        std::vector<SmsRow> rows;
        for (int i = 0; i < 10000; ++i)
            rows.push_back(i % 5 == 0 ? kOutRow : kInRow);
        form.InsertSmsRows(0, rows);
    }

    void ExpectNothingStored() {
        database.Close();
        EXPECT_EQ(QueryCount(databaseFile, "SELECT count(*) FROM SMS_In"), 0);
        EXPECT_EQ(QueryCount(databaseFile, "SELECT count(*) FROM SMS_Out"), 0);
        EXPECT_TRUE(IntegrityOk(databaseFile));
    }
};

TEST_F(CopyOnFullDiskTest, AFullDiskStoresNothingAndSaysWhyWithoutTheSuccessBox) {
    database.Close();
    const FullDisk full;
    ASSERT_TRUE(database.Open(databaseFile, true, false)) << "a full disk still opens";
    ListManyRows();
    OnCopySmsToDatabase(context);
    EXPECT_EQ(sink.Texts(), Texts{"Nothing was stored in the database: database or disk is full"});
    EXPECT_EQ(sink.Requests().at(0).icon, BoxIcon::Error);
    ExpectNothingStored();
}

// The rows fit the engine's cache; only the commit at the close finds the disk full.
TEST_F(CopyOnFullDiskTest, ACommitThatFailsStoresNothingAndSaysWhyWithoutTheSuccessBox) {
    database.Close();
    const auto size = static_cast<long long>(std::filesystem::file_size(databaseFile));
    const int child = RunInChild([this, size] {
        LimitFileSize(size + 4096);
        if (!database.Open(databaseFile, true, false))
            return false;
        ListManyRows();
        OnCopySmsToDatabase(context);
        return sink.Texts() == Texts{"Nothing was stored in the database: disk I/O error"};
    });
    EXPECT_EQ(child, 0);
    ExpectNothingStored();
}

// A file can be made read-only under a program only by its mode: the program's open file stays
// writable (and its journal stays open in exclusive mode), so the copy is stored and says so.
TEST_F(CopyOnFullDiskTest, AFileMadeReadOnlyWhileOpenStillTakesTheCopy) {
    database.Close();
    std::filesystem::permissions(dir.path, std::filesystem::perms::all);
    const std::filesystem::path folder = dir.path / "own";
    std::filesystem::create_directory(folder);
    const std::string file = (folder / "telvane.mdb").string();
    std::filesystem::copy_file(databaseFile, file);
    if (geteuid() == 0) {
        ASSERT_EQ(chown(folder.c_str(), 65534, 65534), 0);
        ASSERT_EQ(chown(file.c_str(), 65534, 65534), 0);
    }
    const int child = RunInChild([this, &folder, &file] {
        if (!DropRoot() || !database.Open(file, true, false))
            return false;
        std::filesystem::permissions(file, std::filesystem::perms::owner_read);
        std::filesystem::permissions(folder, std::filesystem::perms::owner_read |
                                                 std::filesystem::perms::owner_exec);
        form.InsertSmsRows(0, {kInRow, kOutRow});
        OnCopySmsToDatabase(context);
        database.Close();
        return sink.Texts() == Texts{"SMS succesfully copied to database"};
    });
    EXPECT_EQ(child, 0);
    EXPECT_EQ(QueryCount(file, "SELECT count(*) FROM SMS_In"), 1);
    EXPECT_EQ(QueryCount(file, "SELECT count(*) FROM SMS_Out"), 1);
}

} // namespace
