#include "db/CViewDatabase.h"

#include "db/DbTestFiles.h"

#include <deque>
#include <fstream>
#include <gtest/gtest.h>
#include <unistd.h>

namespace {

// Answers from queues (No and Cancel when empty) and records every box as one line.
class FakeDialogs final : public IDatabaseDialogs {
public:
    bool AskYesNo(const std::string& text, const std::string& caption) override {
        shown.push_back("ask:" + text + "|" + caption);
        return Next(yesNo, false);
    }
    std::optional<std::string> ChooseFileToOpen(const OpenFileRequest& request) override {
        shown.push_back("choose:" + request.defaultExtension + "|" + request.fileName + "|" +
                        request.filter);
        return Next(files, std::optional<std::string>());
    }
    void ShowInformation(const std::string& text, const std::string& caption) override {
        shown.push_back("info:" + text + "|" + caption);
    }
    void ShowStatus(const std::string& text) override { shown.push_back("status:" + text); }

    std::deque<bool> yesNo;
    std::deque<std::optional<std::string>> files;
    std::vector<std::string> shown;

private:
    template <class T> static T Next(std::deque<T>& answers, T fallback) {
        if (answers.empty())
            return fallback;
        T answer = answers.front();
        answers.pop_front();
        return answer;
    }
};

const std::string kQuestion = "ask:Cannot open DB, do you want to select another file ?|Question";
const std::string kChooser = "choose:.MDB|Telvane|Access files (*.mdb)|*.mdb|All files|*.*||";

bool OpenableElsewhere(const std::string& file) {
    CDaoDatabase other;
    return other.Open(file, true, false);
}

// The start: "telvane.mdb" of the current directory.
class WorkingDirectory {
public:
    explicit WorkingDirectory(const std::filesystem::path& dir)
        : previous(std::filesystem::current_path()) {
        std::filesystem::current_path(dir);
    }
    ~WorkingDirectory() {
        std::error_code ignored;
        std::filesystem::current_path(previous, ignored);
    }
    WorkingDirectory(const WorkingDirectory&) = delete;
    WorkingDirectory& operator=(const WorkingDirectory&) = delete;

private:
    std::filesystem::path previous;
};

TEST(CViewDatabase, StartOpensTelvaneMdbOfTheWorkingDirectory) {
    TempDir dir;
    CopyShippedDatabase(dir);
    WorkingDirectory inDir(dir.path);
    FakeDialogs dialogs;
    CViewDatabase view(dialogs);
    EXPECT_EQ(view.OpenDatabase(), 0);
    EXPECT_TRUE(view.database.IsOpen());
    EXPECT_TRUE(dialogs.shown.empty());
}

TEST(CViewDatabase, MissingFileAsksOnceAndNoLeavesItClosed) {
    TempDir dir;
    WorkingDirectory inDir(dir.path);
    FakeDialogs dialogs;
    CViewDatabase view(dialogs);
    EXPECT_NE(view.OpenDatabase(), 0);
    EXPECT_FALSE(view.database.IsOpen());
    EXPECT_EQ(dialogs.shown, std::vector<std::string>{kQuestion});
    EXPECT_FALSE(std::filesystem::exists(dir.File("telvane.mdb")));
}

// As "nobody" (file modes do not bind root), in a child.
TEST(CViewDatabase, AReadOnlyFileIsNotOpenAndTheStatusBarSaysSo) {
    TempDir dir;
    const std::string file = CopyShippedDatabase(dir);
    std::filesystem::permissions(dir.path, std::filesystem::perms::all);
    std::filesystem::permissions(file, std::filesystem::perms::owner_read |
                                           std::filesystem::perms::group_read |
                                           std::filesystem::perms::others_read);
    FakeDialogs dialogs;
    CViewDatabase view(dialogs);
    view.databasePath = file;
    const int child = RunInChild([&view, &dialogs, &file] {
        return DropRoot() && view.OpenDatabase() != 0 && !view.database.IsOpen() &&
               dialogs.shown ==
                   std::vector<std::string>{"status:Database is read-only: " + file, kQuestion};
    });
    EXPECT_EQ(child, 0);
}

TEST(CViewDatabase, ADamagedFileIsNotOpenAndTheStatusBarSaysSo) {
    TempDir dir;
    const std::string file = CopyShippedDatabase(dir);
    RunSql(file, "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < "
                 "5000) INSERT INTO SMS_In (Messaggio) SELECT printf('text %d', i) FROM n;");
    {
        std::fstream bytes(file, std::ios::in | std::ios::out | std::ios::binary);
        bytes.seekp(
            static_cast<std::streamoff>(std::filesystem::file_size(file) / 2 / 4096 * 4096));
        const std::string garbage(2 * 4096, '\x5a');
        bytes.write(garbage.data(), static_cast<std::streamsize>(garbage.size()));
    }
    FakeDialogs dialogs;
    CViewDatabase view(dialogs);
    view.databasePath = file;
    EXPECT_NE(view.OpenDatabase(), 0);
    ASSERT_EQ(dialogs.shown.size(), 2u);
    EXPECT_TRUE(dialogs.shown[0].starts_with("status:Database is damaged: " + file + " ("))
        << dialogs.shown[0];
    EXPECT_EQ(dialogs.shown[1], kQuestion);
}

TEST(CViewDatabase, YesThenCancelLeavesItClosed) {
    TempDir dir;
    FakeDialogs dialogs;
    dialogs.yesNo = {true};
    CViewDatabase view(dialogs);
    view.databasePath = dir.File("missing.mdb");
    EXPECT_NE(view.OpenDatabase(), 0);
    EXPECT_EQ(dialogs.shown, (std::vector<std::string>{kQuestion, kChooser}));
    EXPECT_EQ(view.databasePath, dir.File("missing.mdb"));
}

TEST(CViewDatabase, EachFailedChoiceAsksAgainUntilAFileOpens) {
    TempDir dir;
    const std::string good = CopyShippedDatabase(dir, "good.mdb");
    FakeDialogs dialogs;
    dialogs.yesNo = {true, true};
    dialogs.files = {dir.File("missing.mdb"), good};
    CViewDatabase view(dialogs);
    view.databasePath = dir.File("telvane.mdb");
    EXPECT_EQ(view.OpenDatabase(), 0);
    EXPECT_TRUE(view.database.IsOpen());
    EXPECT_EQ(view.databasePath, good);
    EXPECT_EQ(dialogs.shown, (std::vector<std::string>{kQuestion, kChooser, kQuestion, kChooser,
                                                       "info:Opened database:" + good + "|Info"}));
}

TEST(CViewDatabase, SelectClosesThePreviousFileAndOpensTheChosenOne) {
    TempDir dir;
    const std::string first = CopyShippedDatabase(dir, "first.mdb");
    const std::string second = CopyShippedDatabase(dir, "second.mdb");
    FakeDialogs dialogs;
    CViewDatabase view(dialogs);
    view.databasePath = first;
    ASSERT_EQ(view.OpenDatabase(), 0);
    EXPECT_FALSE(OpenableElsewhere(first));

    dialogs.files = {second};
    view.SelectDatabase();
    EXPECT_TRUE(view.database.IsOpen());
    EXPECT_EQ(view.databasePath, second);
    EXPECT_TRUE(OpenableElsewhere(first));
    EXPECT_FALSE(OpenableElsewhere(second));
    EXPECT_EQ(dialogs.shown,
              (std::vector<std::string>{kChooser, "info:Opened database:" + second + "|Info"}));
}

TEST(CViewDatabase, SelectCancelledChangesNothing) {
    TempDir dir;
    const std::string first = CopyShippedDatabase(dir, "first.mdb");
    FakeDialogs dialogs;
    CViewDatabase view(dialogs);
    view.databasePath = first;
    ASSERT_EQ(view.OpenDatabase(), 0);
    view.SelectDatabase();
    EXPECT_TRUE(view.database.IsOpen());
    EXPECT_EQ(view.databasePath, first);
    EXPECT_EQ(dialogs.shown, std::vector<std::string>{kChooser});
}

TEST(CViewDatabase, SelectingABadFileLeavesNoDatabaseAfterNo) {
    TempDir dir;
    const std::string first = CopyShippedDatabase(dir, "first.mdb");
    FakeDialogs dialogs;
    CViewDatabase view(dialogs);
    view.databasePath = first;
    ASSERT_EQ(view.OpenDatabase(), 0);
    dialogs.files = {dir.File("missing.mdb")};
    view.SelectDatabase();
    EXPECT_FALSE(view.database.IsOpen());
    EXPECT_EQ(dialogs.shown, (std::vector<std::string>{kChooser, kQuestion}));
    view.CloseDatabase();
    EXPECT_TRUE(OpenableElsewhere(first));
}

TEST(CViewDatabase, AFileAnotherTelvaneHoldsIsToldAsSuch) {
    TempDir dir;
    const std::string file = CopyShippedDatabase(dir);
    CDaoDatabase first;
    ASSERT_TRUE(first.Open(file, true, false));
    WorkingDirectory inDir(dir.path);
    FakeDialogs dialogs;
    CViewDatabase view(dialogs);
    EXPECT_EQ(view.OpenDatabase(), 1);
    EXPECT_FALSE(view.database.IsOpen());
    const std::string held = "Another Telvane holds the database telvane.mdb: close that window "
                             "first, or choose another file";
    EXPECT_EQ(dialogs.shown,
              (std::vector<std::string>{"status:" + held, "info:" + held + "|Info", kQuestion}));
}

} // namespace
