// The real telvane-cli serve sharing its database: queue, archive and the sqlite3 shell use the
// file while it runs; while another program holds the file exclusively (as the window does) or
// the disk is full, new messages stay on the phone, the refusal is logged once, and they are
// archived once the file takes rows again.

#include "cli/ServeTestSetup.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <sqlite3.h>
#include <sys/mount.h>
#include <unistd.h>

namespace {

class ServeDatabaseTest : public ServeTest {
protected:
    std::size_t Listings() const { return Starting(phone->Received(), "AT+CMGL").size(); }
};

TEST_F(ServeDatabaseTest, QueueArchiveAndTheSqliteShellUseTheFileWhileTheServiceRuns) {
    Phone(Sms(1, 1, kHelloPdu));
    CliProcess serve = Serve({});
    ASSERT_TRUE(serve.Start());
    ASSERT_TRUE(WaitForCommand("AT+CNMI=2,1,0,1,0"));
    std::filesystem::create_directories(dir.File("other/config"));
    CliProcess archive(dir.File("other"), {"--db", database, "archive"});
    const CliResult listed = archive.Run();
    EXPECT_EQ(listed.status, 0) << listed.err;
    EXPECT_NE(listed.out.find("hello"), std::string::npos) << listed.out;
    CliProcess queue(dir.File("other"), {"--db", database, "queue", "--to", "+39", "queued"});
    const CliResult queued = queue.Run();
    EXPECT_EQ(queued.status, 0) << queued.err;
    const std::string shell = "sqlite3 -cmd '.timeout 5000' " + database +
                              " \"INSERT INTO SMS_Outbox (Recipient, Text) VALUES ('+39', "
                              "'from the shell');\"";
    EXPECT_EQ(std::system(shell.c_str()), 0);
    EXPECT_TRUE(WaitForCount("SELECT count(*) FROM SMS_Outbox WHERE State = 'sent'", 2, 30));
    const CliResult result = Stop(serve);
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(phone->SentPdus().size(), 2u) << result.err;
}

TEST_F(ServeDatabaseTest, WhileTheFileIsHeldExclusivelyNewMessagesStayOnThePhone) {
    Phone("capacity SM 10\n");
    CliProcess serve = Serve({});
    ASSERT_TRUE(serve.Start());
    ASSERT_TRUE(WaitForCommand("AT+CNMI=2,1,0,1,0"));
    // Held as the window holds it: no other connection reads or writes until it closes.
    sqlite3* holder = nullptr;
    ASSERT_EQ(sqlite3_open(database.c_str(), &holder), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(holder, "PRAGMA locking_mode = EXCLUSIVE; BEGIN EXCLUSIVE; COMMIT;",
                           nullptr, nullptr, nullptr),
              SQLITE_OK);
    ASSERT_TRUE(phone->Arrive(kHelloPdu));
    const bool refused = WaitForLog("not archived, left on the phone");
    const std::size_t listed = Listings();
    ASSERT_TRUE(phone->Arrive(kHelloEarlierPdu));
    // Tried again, and again refused.
    const bool retried =
        phone->WaitForTranscript([&](const auto&) { return Listings() >= listed + 2; }, 60000);
    const Lines erasedWhileHeld = Starting(phone->Received(), "AT+CMGD");
    sqlite3_close(holder);
    EXPECT_TRUE(refused) << FileText("stderr");
    EXPECT_TRUE(retried) << FileText("stderr");
    EXPECT_TRUE(erasedWhileHeld.empty()) << "nothing erased that is not archived";
    EXPECT_TRUE(WaitForCount("SELECT count(*) FROM SMS_In", 2, 60)) << FileText("stderr");
    ASSERT_TRUE(WaitForCommand("AT+CMGD=2"));
    const CliResult result = Stop(serve);
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(LogCount("not archived, left on the phone"), 1u) << "told once: " << result.err;
    EXPECT_EQ(LogCount("the database takes messages again"), 1u) << result.err;
}

// A small file system of its own, filled up while the service runs.
class ServeFullDiskTest : public ServeDatabaseTest {
protected:
    void SetUp() override {
        mountPoint = dir.File("small");
        std::filesystem::create_directories(mountPoint);
        if (mount("tmpfs", mountPoint.c_str(), "tmpfs", 0, "size=256k") != 0)
            GTEST_SKIP() << "no tmpfs to be mounted here (" << std::strerror(errno)
                         << "): needs root or CAP_SYS_ADMIN";
        mounted = true;
        smallDatabase = mountPoint + "/telvane.mdb";
        std::filesystem::copy_file(database, smallDatabase);
    }
    void TearDown() override {
        if (mounted)
            umount2(mountPoint.c_str(), MNT_DETACH);
    }

    // Writes a filler until the file system has no room left.
    void Fill() const {
        std::ofstream filler(mountPoint + "/filler", std::ios::binary);
        const std::string block(4096, 'x');
        for (int i = 0; i < 1000 && filler.write(block.data(), block.size()) && filler.flush();
             ++i) {
        }
    }

    std::string mountPoint;
    std::string smallDatabase;
    bool mounted = false;
};

TEST_F(ServeFullDiskTest, AFullDiskErasesNothingAndTheMessageIsArchivedOnceThereIsRoom) {
    Phone("capacity SM 10\n");
    CliProcess serve = Serve({"--db", smallDatabase});
    ASSERT_TRUE(serve.Start());
    ASSERT_TRUE(WaitForCommand("AT+CNMI=2,1,0,1,0"));
    Fill();
    ASSERT_TRUE(phone->Arrive(kHelloPdu));
    ASSERT_TRUE(WaitForLog("not archived, left on the phone")) << FileText("stderr");
    EXPECT_TRUE(Starting(phone->Received(), "AT+CMGD").empty());
    EXPECT_EQ(QueryCount(smallDatabase, "SELECT count(*) FROM SMS_In"), 0);
    std::filesystem::remove(mountPoint + "/filler");
    EXPECT_TRUE(Eventually(
        [&] { return QueryCount(smallDatabase, "SELECT count(*) FROM SMS_In") == 1; }, 60));
    EXPECT_TRUE(WaitForCommand("AT+CMGD=1"));
    const CliResult result = Stop(serve);
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_NE(result.err.find("full"), std::string::npos) << result.err;
}

} // namespace
