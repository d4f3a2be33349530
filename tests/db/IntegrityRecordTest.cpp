// The full check at open is skipped only for a file unchanged since it passed: a file damaged
// after a clean open is refused at the next one, and a record made right after a change is not
// trusted. The record goes to a cache folder of the test's own.

#include "db/IntegrityRecord.h"

#include "db/CDaoDatabase.h"
#include "db/DbTestFiles.h"

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

namespace fs = std::filesystem;

namespace {

class IntegrityRecordTest : public ::testing::Test {
protected:
    void SetUp() override {
        const char* old = std::getenv("XDG_CACHE_HOME");
        saved = old != nullptr ? std::optional<std::string>(old) : std::nullopt;
        setenv("XDG_CACHE_HOME", dir.File("cache").c_str(), 1);
    }
    void TearDown() override {
        if (saved)
            setenv("XDG_CACHE_HOME", saved->c_str(), 1);
        else
            unsetenv("XDG_CACHE_HOME");
    }

    // An archive of many pages, last written an hour ago.
    std::string SettledArchive(const std::string& name) {
        const std::string file = CopyShippedDatabase(dir, name);
        RunSql(file, "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < "
                     "10000) INSERT INTO SMS_In (Messaggio, Mittente) "
                     "SELECT printf('message %d with some text', i), '+39333' FROM n;");
        fs::last_write_time(file, fs::file_time_type::clock::now() - std::chrono::hours(1));
        return file;
    }

    static void DamageMiddlePages(const std::string& file) {
        std::fstream bytes(file, std::ios::in | std::ios::out | std::ios::binary);
        bytes.seekp(static_cast<std::streamoff>(fs::file_size(file) / 2 / 4096 * 4096));
        const std::string garbage(3 * 4096, '\x5a');
        bytes.write(garbage.data(), static_cast<std::streamsize>(garbage.size()));
    }

    TempDir dir;
    std::optional<std::string> saved;
};

TEST_F(IntegrityRecordTest, AFileDamagedAfterACleanOpenIsRefusedAtTheNext) {
    const std::string file = SettledArchive("archive.mdb");
    EXPECT_FALSE(CheckedCleanAsIs(file));
    {
        CDaoDatabase database;
        ASSERT_TRUE(database.Open(file, true, false));
    }
    EXPECT_TRUE(CheckedCleanAsIs(file)) << "the clean check is remembered";
    DamageMiddlePages(file);
    EXPECT_FALSE(CheckedCleanAsIs(file));
    CDaoDatabase database;
    EXPECT_FALSE(database.Open(file, true, false));
    EXPECT_EQ(database.OpenFailure(), DbOpenFailure::Damaged);
}

TEST_F(IntegrityRecordTest, ACheckRightAfterAChangeIsNotTrustedAndEachFileHasItsOwn) {
    const std::string settled = SettledArchive("settled.mdb");
    const std::string fresh = CopyShippedDatabase(dir, "fresh.mdb"); // written just now
    for (const std::string& file : {settled, fresh}) {
        CDaoDatabase database;
        ASSERT_TRUE(database.Open(file, true, true));
    }
    EXPECT_TRUE(CheckedCleanAsIs(settled));
    // Its modification could share the clock's tick with a change not yet made.
    EXPECT_FALSE(CheckedCleanAsIs(fresh));
    // A rewrite by another program moves the change counter and the time.
    ASSERT_TRUE(RunSql(settled, "INSERT INTO SMS_In (Messaggio) VALUES ('later')"));
    EXPECT_FALSE(CheckedCleanAsIs(settled));
}

TEST_F(IntegrityRecordTest, WithoutACacheFolderEveryOpenChecks) {
    const std::string file = SettledArchive("archive.mdb");
    unsetenv("XDG_CACHE_HOME");
    const char* home = std::getenv("HOME");
    const std::string savedHome = home != nullptr ? home : "";
    unsetenv("HOME");
    {
        CDaoDatabase database;
        ASSERT_TRUE(database.Open(file, true, false));
    }
    EXPECT_FALSE(CheckedCleanAsIs(file));
    if (!savedHome.empty())
        setenv("HOME", savedHome.c_str(), 1);
}

} // namespace
