#include "serial/TaskRunner.h"

#include "common/RecordingMessageSink.h"
#include "serial/CModemSession.h"
#include "serial/FakeSessionParts.h"

#include <atomic>
#include <gtest/gtest.h>

namespace {

class TaskRunnerTest : public ::testing::Test {
protected:
    RecordingMessageSink sink;
    FakeWaiter waiter;
    RecordingForm form;
    CModemSession session{sink, waiter, form};
};

// A task started the moment the port is free must find nothing of the last task's end to come:
// the flags are cleared and the end reported while the port is still held.
TEST_F(TaskRunnerTest, FlagsAreClearedAndTheEndReportedBeforeThePortIsFree) {
    CTaskRunner runner(session);
    bool busyInWork = false;
    bool portHeldAtEnd = false;
    int flagsAtEnd = -1;
    bool portFreeAfter = false;
    ASSERT_TRUE(runner.Start(
        [&](std::stop_token) {
            busyInWork = session.busy == 1;
            session.stopRequest = 3;
        },
        TaskFlags{true},
        [&] {
            portHeldAtEnd = session.PortTaken();
            flagsAtEnd = session.busy + session.stopRequest;
        },
        [&] { portFreeAfter = !session.PortTaken(); }));
    runner.Join();
    EXPECT_TRUE(busyInWork);
    EXPECT_TRUE(portHeldAtEnd);
    EXPECT_EQ(flagsAtEnd, 0);
    EXPECT_TRUE(portFreeAfter);
    EXPECT_FALSE(runner.Running());
}

TEST_F(TaskRunnerTest, OtherTasksLeaveTheStopBitsAndAStartWhileThePortIsHeldIsRefused) {
    CTaskRunner runner(session);
    session.stopRequest = 3; // asked while no read runs: stays for the next read
    ASSERT_TRUE(runner.Start([](std::stop_token) {}));
    runner.Join();
    EXPECT_EQ(session.stopRequest, 3);

    const PortLease held = session.TakePort();
    bool ran = false;
    EXPECT_FALSE(runner.Start([&](std::stop_token) { ran = true; }, TaskFlags{true}));
    runner.Join();
    EXPECT_FALSE(ran);
    EXPECT_EQ(session.busy, 0) << "a refused read leaves busy alone";
}

TEST_F(TaskRunnerTest, DestructionStopsTheTaskThroughItsToken) {
    std::atomic<bool> started{false};
    std::atomic<bool> stopped{false};
    {
        CTaskRunner runner(session);
        ASSERT_TRUE(runner.Start([&](std::stop_token token) {
            started = true;
            while (!token.stop_requested())
                std::this_thread::yield();
            stopped = true;
        }));
        while (!started)
            std::this_thread::yield();
    }
    EXPECT_TRUE(stopped);
    EXPECT_FALSE(session.PortTaken());
}

} // namespace
