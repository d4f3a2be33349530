#include "serial/PortLease.h"

#include <atomic>
#include <gtest/gtest.h>
#include <thread>
#include <utility>
#include <vector>

TEST(PortLease, OneOwnerAtATimeUntilGivenBack) {
    std::atomic<bool> owner{false};
    PortLease first(owner);
    ASSERT_TRUE(first.Held());
    PortLease second(owner);
    EXPECT_FALSE(second.Held());

    PortLease moved = std::move(first);
    EXPECT_TRUE(moved.Held());
    EXPECT_FALSE(first.Held()); // NOLINT(bugprone-use-after-move): the move must empty it
    EXPECT_FALSE(PortLease(owner).Held());

    moved.Release();
    EXPECT_FALSE(owner.load());
    {
        PortLease scoped(owner);
        EXPECT_TRUE(scoped.Held());
    }
    EXPECT_FALSE(owner.load()) << "a destroyed lease gives the port back";
}

TEST(PortLease, RacingTakersGetOneLeaseEachRound) {
    std::atomic<bool> owner{false};
    std::atomic<int> inside{0};
    std::atomic<int> overlaps{0};
    std::atomic<int> taken{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&] {
            for (int i = 0; i < 2000; ++i) {
                PortLease lease(owner);
                if (!lease)
                    continue;
                if (inside.fetch_add(1) != 0)
                    overlaps.fetch_add(1);
                taken.fetch_add(1);
                inside.fetch_sub(1);
            }
        });
    }
    for (auto& thread : threads)
        thread.join();
    EXPECT_EQ(overlaps.load(), 0);
    EXPECT_GT(taken.load(), 0);
    EXPECT_FALSE(owner.load());
}
