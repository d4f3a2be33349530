// "Salva copia del DB...": the copy of the open, exclusively held database is a whole SQLite
// file that the sqlite3 tool opens and checks while the original stays locked; the refusals.

#include "db/DatabaseCopy.h"

#include "EngineFixture.h"
#include "db/CDaoDatabase.h"

#include <array>
#include <cstdio>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>

namespace {

// What the sqlite3 command-line tool prints for sql on file (stderr included).
std::string Sqlite3Tool(const std::string& file, const std::string& sql) {
    const std::string command = "sqlite3 -batch '" + file + "' '" + sql + "' 2>&1";
    FILE* pipe = ::popen(command.c_str(), "r");
    if (pipe == nullptr)
        return "popen failed";
    std::string output;
    std::array<char, 256> buffer{};
    while (std::fgets(buffer.data(), buffer.size(), pipe) != nullptr)
        output += buffer.data();
    ::pclose(pipe);
    return output;
}

bool HaveSqlite3Tool() {
    return std::system("sqlite3 -version > /dev/null 2>&1") == 0;
}

class DatabaseCopyTest : public EngineTest {
protected:
    void SetUp() override {
        EngineTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        original = file;
        ASSERT_TRUE(
            Run("INSERT INTO SMS_In (SCA, Mittente, Messaggio) VALUES "
                "('+39', '+39333', 'uno'), ('+39', '+39444', 'due');"
                "INSERT INTO Phonebook (Pos, Nome, Numero) VALUES ('1', 'Mario', '+39333');"));
        ASSERT_TRUE(database.Open(original, true, false)) << database.OpenErrorText();
    }

    std::string original;
    CDaoDatabase database;
};

TELVANE_ON_BOTH_ENGINES(DatabaseCopyTest);

// The copy is SQLite's backup of the open file (a server's is refused: PgDatabaseTest).
class DatabaseFileCopyTest : public DatabaseCopyTest {};

INSTANTIATE_TEST_SUITE_P(File, DatabaseFileCopyTest, ::testing::Values(Engine::Sqlite), EngineName);

TEST_P(DatabaseFileCopyTest, TheCopyOpensInTheSqlite3ToolWhileTheOriginalStaysLocked) {
    if (!HaveSqlite3Tool())
        GTEST_SKIP() << "the sqlite3 tool is not installed (scripts/deps.sh installs it)";
    const std::string copy = dir.File("copia.mdb");
    const FileWriteResult written = SaveDatabaseCopy(database, copy, Overwrite::Refuse);
    ASSERT_TRUE(written.ok) << written.error;

    EXPECT_EQ(Sqlite3Tool(copy, "PRAGMA integrity_check; SELECT count(*) FROM SMS_In; "
                                "SELECT Nome FROM Phonebook;"),
              "ok\n2\nMario\n");
    EXPECT_NE(Sqlite3Tool(original, "SELECT count(*) FROM SMS_In;").find("locked"),
              std::string::npos);
    EXPECT_TRUE(database.IsOpen());
    // The copy is a Telvane database in its own right.
    CDaoDatabase other;
    EXPECT_TRUE(other.Open(copy, true, false));
}

TEST_P(DatabaseFileCopyTest, AnExistingFileIsKeptUnlessReplacingIsAllowed) {
    const std::string copy = dir.File("copia.mdb");
    std::ofstream(copy) << "keep";
    const FileWriteResult refused = SaveDatabaseCopy(database, copy, Overwrite::Refuse);
    EXPECT_FALSE(refused.ok);
    EXPECT_TRUE(refused.existed);
    std::ifstream kept(copy);
    std::string text;
    kept >> text;
    EXPECT_EQ(text, "keep");

    ASSERT_TRUE(SaveDatabaseCopy(database, copy, Overwrite::Allow).ok);
    EXPECT_EQ(QueryCount(copy, "SELECT count(*) FROM SMS_In"), 2);
    int files = 0;
    // The open database keeps its (empty) rollback journal while it holds the file.
    for (const auto& entry : std::filesystem::directory_iterator(dir.path))
        files += entry.path().string().ends_with("-journal") ? 0 : 1;
    EXPECT_EQ(files, 2) << "no temporary file is left behind";
}

TEST_P(DatabaseFileCopyTest, RefusesTheOpenFileItself) {
    const FileWriteResult self = SaveDatabaseCopy(database, original, Overwrite::Allow);
    EXPECT_FALSE(self.ok);
    EXPECT_FALSE(self.error.empty());
    EXPECT_TRUE(database.IsOpen());
}

TEST_P(DatabaseCopyTest, AClosedDatabaseIsRefused) {
    database.Close();
    const FileWriteResult closed = SaveDatabaseCopy(database, dir.File("x.mdb"), Overwrite::Allow);
    EXPECT_FALSE(closed.ok);
    EXPECT_EQ(closed.error, "No database is open");
    EXPECT_FALSE(std::filesystem::exists(dir.File("x.mdb")));
}

} // namespace
