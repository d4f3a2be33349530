// The database closed and replaced on one thread while a record set works on another, as when
// "Apri nuovo DB..." meets a read that looks up names or a log load that archives: the other
// thread's record set must go on unharmed, and its rows must reach the file it opened.
#include "db/CDaoDatabase.h"
#include "db/CDaoSMS_In.h"
#include "db/DbTestFiles.h"

#include <atomic>
#include <gtest/gtest.h>
#include <thread>

namespace {

TEST(DatabaseCloseThread, CloseAndReopenLeaveARecordsetOfAnotherThreadWorking) {
    TempDir dir;
    const std::string first = CopyShippedDatabase(dir, "first.mdb");
    const std::string second = CopyShippedDatabase(dir, "second.mdb");
    CDaoDatabase database;
    ASSERT_TRUE(database.Open(first, true, false));

    constexpr int kRowsAfterClose = 50;
    std::atomic<bool> opened{false};
    std::atomic<bool> closed{false};
    std::atomic<int> failures{0};
    std::atomic<int> appended{0};
    std::thread worker([&] {
        CDaoSMS_In in(&database);
        if (!in.Open()) {
            ++failures;
            opened = true;
            return;
        }
        opened = true;
        // Appends and walks go on while the other thread closes and reopens, and after it.
        for (int after = 0; after < kRowsAfterClose;) {
            in.AddNew();
            in.Messaggio = "row";
            if (!in.Update() || !in.MoveFirst())
                ++failures;
            ++appended;
            if (closed)
                ++after;
        }
        in.Close();
    });
    while (!opened)
        std::this_thread::yield();
    EXPECT_TRUE(database.IsOpen());
    database.Close();
    EXPECT_FALSE(database.IsOpen());
    EXPECT_TRUE(database.Open(second, true, false)) << "another file opens meanwhile";
    closed = true;
    worker.join();

    EXPECT_EQ(failures, 0);
    EXPECT_EQ(QueryCount(first, "SELECT count(*) FROM SMS_In WHERE Messaggio = 'row'"),
              appended.load())
        << "every row went to the file the record set opened";
    database.Close();
    EXPECT_EQ(QueryCount(second, "SELECT count(*) FROM SMS_In WHERE Messaggio = 'row'"), 0);
}

TEST(DatabaseCloseThread, CloseStillClosesTheCallingThreadsOwnRecordsets) {
    TempDir dir;
    CDaoDatabase database;
    ASSERT_TRUE(database.Open(CopyShippedDatabase(dir), true, false));
    CDaoSMS_In mine(&database);
    ASSERT_TRUE(mine.Open());
    std::atomic<bool> theirsOpen{false};
    std::atomic<bool> release{false};
    std::thread other([&] {
        CDaoSMS_In theirs(&database);
        theirsOpen = theirs.Open();
        while (!release)
            std::this_thread::yield();
        theirsOpen = theirs.IsOpen();
    });
    while (!theirsOpen)
        std::this_thread::yield();
    database.Close();
    EXPECT_FALSE(mine.IsOpen());
    release = true;
    other.join();
    EXPECT_TRUE(theirsOpen) << "left to the thread that opened it";
}

} // namespace
