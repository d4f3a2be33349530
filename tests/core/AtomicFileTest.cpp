// The whole-file writer on a real temporary folder: what lands on the disk, what is left alone,
// and that no temporary file outlives a write.

#include "core/AtomicFile.h"

#include "common/FileText.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace {

namespace fs = std::filesystem;

class AtomicFileTest : public ::testing::Test {
protected:
    AtomicFileTest() {
        std::string pattern = (fs::temp_directory_path() / "telvane-atomic-XXXXXX").string();
        dir = ::mkdtemp(pattern.data()) != nullptr ? pattern : std::string();
        target = dir + "/out.csv";
    }
    ~AtomicFileTest() override {
        std::error_code ignored;
        fs::remove_all(dir, ignored);
    }

    // The names in the folder: a write that went well or failed leaves only the target, if any.
    std::size_t Entries() const {
        return static_cast<std::size_t>(
            std::distance(fs::directory_iterator(dir), fs::directory_iterator()));
    }

    std::string dir;
    std::string target;
};

TEST_F(AtomicFileTest, ANewFileGetsTheTextAndTheUsualRightsAndNothingElseStays) {
    ASSERT_FALSE(dir.empty());
    const mode_t old = ::umask(022);
    const FileWriteResult result = WriteFileAtomically(target, "a;b\r\n", Overwrite::Refuse);
    ::umask(old);

    ASSERT_TRUE(result.ok) << result.error;
    EXPECT_FALSE(result.existed);
    EXPECT_EQ(FileText(target), "a;b\r\n");
    struct stat info {};
    ASSERT_EQ(::stat(target.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0644u) << "mkstemp's owner-only rights must not stay";
    EXPECT_EQ(Entries(), 1u);
}

TEST_F(AtomicFileTest, AnExistingFileIsKeptUnlessReplacingIsAllowed) {
    ASSERT_TRUE(WriteFileAtomically(target, "old", Overwrite::Refuse).ok);

    const FileWriteResult refused = WriteFileAtomically(target, "new", Overwrite::Refuse);
    EXPECT_FALSE(refused.ok);
    EXPECT_TRUE(refused.existed);
    EXPECT_NE(refused.error.find(target), std::string::npos) << refused.error;
    EXPECT_EQ(FileText(target), "old");

    ASSERT_TRUE(WriteFileAtomically(target, "new", Overwrite::Allow).ok);
    EXPECT_EQ(FileText(target), "new");
    EXPECT_EQ(Entries(), 1u);
}

TEST_F(AtomicFileTest, AFolderThatIsNotThereIsToldAndNothingIsMade) {
    const std::string nowhere = dir + "/missing/out.csv";
    const FileWriteResult result = WriteFileAtomically(nowhere, "x", Overwrite::Allow);
    EXPECT_FALSE(result.ok);
    EXPECT_FALSE(result.existed);
    EXPECT_FALSE(result.error.empty());
    EXPECT_EQ(Entries(), 0u);
}

TEST_F(AtomicFileTest, ReplacingAsksWithThePathAndKeepsTheFileOnNo) {
    ASSERT_TRUE(WriteFileAtomically(target, "old", Overwrite::Refuse).ok);
    const auto write = [this](Overwrite overwrite) {
        return WriteFileAtomically(target, "new", overwrite);
    };
    std::string asked;
    const auto answer = [&asked](bool yes) {
        return [&asked, yes](const std::string& question) {
            asked = question;
            return yes;
        };
    };

    const FileWriteResult kept = SaveAskingToReplace(target, write, answer(false));
    EXPECT_EQ(asked, target + " already exists.\nDo you want to replace it?");
    EXPECT_FALSE(kept.ok);
    EXPECT_TRUE(kept.existed);
    EXPECT_TRUE(kept.error.empty()) << "a refusal is the user's choice, not a failure";
    EXPECT_EQ(FileText(target), "old");

    EXPECT_TRUE(SaveAskingToReplace(target, write, answer(true)).ok);
    EXPECT_EQ(FileText(target), "new");
}

TEST_F(AtomicFileTest, ANewFileIsWrittenWithoutAQuestion) {
    bool asked = false;
    const FileWriteResult result = SaveAskingToReplace(
        target, [this](Overwrite overwrite) { return WriteFileAtomically(target, "x", overwrite); },
        [&asked](const std::string&) { return asked = true; });
    EXPECT_TRUE(result.ok);
    EXPECT_FALSE(asked);
}

} // namespace
