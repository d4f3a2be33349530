// Files that open and read well but fail later: one the user may not write, one in a folder
// where no journal can be made, one damaged past its first page. None counts as open. Run as
// root, the checks happen in a child that became "nobody", for whom file modes count.

#include "db/CDaoDatabase.h"
#include "db/CDaoSMS_In.h"
#include "db/DbTestFiles.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

// Opens file in a child as "nobody"; the child's exit code is 0 when the open failed for the
// expected reason.
// The folder, not the file: everyone may make files in it.
void OpenToAll(const TempDir& dir) {
    fs::permissions(dir.path, fs::perms::all);
}

int OpenAsNobody(const std::string& file, DbOpenFailure expected) {
    return RunInChild([&file, expected] {
        CDaoDatabase database;
        return DropRoot() && !database.Open(file, true, false) &&
               database.OpenFailure() == expected && !database.OpenErrorText().empty();
    });
}

TEST(StorageFault, AFileTheUserMayNotWriteIsNotOpen) {
    TempDir dir;
    const std::string file = CopyShippedDatabase(dir);
    OpenToAll(dir);
    fs::permissions(file, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    EXPECT_EQ(OpenAsNobody(file, DbOpenFailure::ReadOnly), 0);
    CDaoDatabase database;
    EXPECT_TRUE(database.Open(file, true, true)) << "asked for reading only, it opens";
}

TEST(StorageFault, AFileInAFolderWithoutRoomForAJournalIsNotOpen) {
    TempDir dir;
    const std::string file = CopyShippedDatabase(dir);
    fs::permissions(file, fs::perms::all);
    const fs::perms readAndEnter = fs::perms::owner_read | fs::perms::owner_exec |
                                   fs::perms::group_read | fs::perms::group_exec |
                                   fs::perms::others_read | fs::perms::others_exec;
    fs::permissions(dir.path, readAndEnter);
    EXPECT_EQ(OpenAsNobody(file, DbOpenFailure::ReadOnly), 0);
    fs::permissions(dir.path, fs::perms::owner_all);
}

// A table of many rows whose middle data pages are overwritten: page 1 and the schema are
// sound, so only reading the damaged pages finds out.
std::string DamagedArchive(const TempDir& dir, int rows) {
    const std::string file = CopyShippedDatabase(dir, "damaged.mdb");
    RunSql(file, "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < " +
                     std::to_string(rows) +
                     ") INSERT INTO SMS_In (Messaggio, Mittente) "
                     "SELECT printf('message %d with some text', i), '+39333' FROM n;");
    const auto size = fs::file_size(file);
    std::fstream bytes(file, std::ios::in | std::ios::out | std::ios::binary);
    bytes.seekp(static_cast<std::streamoff>(size / 2 / 4096 * 4096));
    const std::string garbage(3 * 4096, '\x5a');
    bytes.write(garbage.data(), static_cast<std::streamsize>(garbage.size()));
    return file;
}

TEST(StorageFault, AFileDamagedPastItsFirstPageIsNotOpen) {
    TempDir dir;
    const std::string file = DamagedArchive(dir, 10000);
    CDaoDatabase database;
    EXPECT_FALSE(database.Open(file, true, false));
    EXPECT_EQ(database.OpenFailure(), DbOpenFailure::Damaged);
    EXPECT_FALSE(database.OpenErrorText().empty());
}

// Damage that appears while the file is open is met by the walk: it ends early and says why.
TEST(StorageFault, AWalkTheEngineBreaksOffSaysWhy) {
    TempDir dir;
    const std::string file = CopyShippedDatabase(dir);
    RunSql(file, "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < "
                 "60000) INSERT INTO SMS_In (Messaggio, Mittente) "
                 "SELECT printf('message %d with some text to fill pages', i), '+39333' FROM n;");
    CDaoDatabase database;
    ASSERT_TRUE(database.Open(file, true, false));
    {
        // Past the engine's page cache, so the walk reads the damaged pages from the file.
        const auto size = fs::file_size(file);
        std::fstream bytes(file, std::ios::in | std::ios::out | std::ios::binary);
        bytes.seekp(static_cast<std::streamoff>(size * 3 / 4 / 4096 * 4096));
        const std::string garbage(8 * 4096, '\x5a');
        bytes.write(garbage.data(), static_cast<std::streamsize>(garbage.size()));
    }
    CDaoSMS_In in(&database);
    ASSERT_TRUE(in.Open());
    int walked = 0;
    for (; !in.IsEOF(); in.MoveNext())
        ++walked;
    EXPECT_LT(walked, 60000);
    EXPECT_NE(in.ErrorText().find("malformed"), std::string::npos) << in.ErrorText();
}

} // namespace
