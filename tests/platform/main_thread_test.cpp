#include "platform/main_thread.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

using namespace tarnwick::platform;
using namespace std::chrono_literals;

TEST(MainThreadTest, RecordsTheMainThread) {
    EXPECT_TRUE(IsMainThread());
    bool otherIsMain = true;
    std::thread([&] { otherIsMain = IsMainThread(); }).join();
    EXPECT_FALSE(otherIsMain);
}

TEST(RunLoopSchedulerTest, RunsPostedWorkInDueOrderOnTheLoopThread) {
    RunLoopScheduler loop;
    std::vector<int> order;
    loop.Post([&] { order.push_back(2); }, 60ms);
    loop.Post([&] { order.push_back(1); });
    std::thread poster([&] { loop.Post([&] { order.push_back(3); }, 120ms); });
    poster.join();
    ASSERT_TRUE(loop.RunUntil([&] { return order.size() == 3; }, 10s));
    EXPECT_EQ(order, (std::vector<int>{1, 2, 3}));
}

TEST(RunLoopSchedulerTest, DelayedWorkWaitsForItsTime) {
    RunLoopScheduler loop;
    bool ran = false;
    loop.Post([&] { ran = true; }, 10s);
    EXPECT_EQ(loop.RunPending(), 0);
    EXPECT_FALSE(loop.RunUntil([&] { return ran; }, 50ms));
}
