#include "platform/worker_thread.h"

#include "support/test_support.h"

#include <gtest/gtest.h>

#include <atomic>

using namespace tarnwick::platform;
using tarnwick::test::WaitFor;

TEST(WorkerThreadTest, CreatedSuspendedRunsOnlyAfterStart) {
    std::atomic<bool> ran{false};
    WorkerThread thread([&](WorkerThread&) { ran = true; });
    EXPECT_FALSE(thread.Started());
    EXPECT_FALSE(ran.load());
    thread.Start();
    thread.WaitFor();
    EXPECT_TRUE(ran.load());
}

TEST(WorkerThreadTest, PauseHoldsTheBodyAtItsGateUntilResumed) {
    std::atomic<int> iterations{0};
    std::atomic<bool> quit{false};
    WorkerThread thread([&](WorkerThread& self) {
        while (!quit) {
            self.PassGate();
            ++iterations;
        }
    });
    thread.Start();
    ASSERT_TRUE(WaitFor([&] { return iterations.load() > 10; }));
    thread.Suspend();
    EXPECT_TRUE(thread.Suspended());
    ASSERT_TRUE(WaitFor([&] { return thread.WaitingAtGate(); }));
    const int held = iterations.load();
    // Nothing moves while it is held: watch a bounded window for any change.
    EXPECT_FALSE(WaitFor([&] { return iterations.load() != held; }, std::chrono::milliseconds(200)));
    EXPECT_TRUE(thread.WaitingAtGate());
    thread.Resume();
    ASSERT_TRUE(WaitFor([&] { return iterations.load() > held + 10; }));
    quit = true;
    thread.WaitFor();
}

TEST(WorkerThreadTest, FreesItselfWhenAsked) {
    std::atomic<bool> done{false};
    auto* thread = new WorkerThread([&](WorkerThread&) { done = true; });
    thread->SetFreeOnTerminate(true);
    thread->Start();
    // The sanitizer tree reports a leak if the object did not delete itself.
    ASSERT_TRUE(WaitFor([&] { return done.load(); }));
}

TEST(WorkerThreadTest, PrioritiesApplyToTheWorkerAlone) {
    for (auto priority : {tpLower, tpLowest, tpIdle}) {
        std::atomic<bool> applied{false};
        WorkerThread thread([&](WorkerThread&) { applied = ApplyPriorityToCurrentThread(priority); },
                            tpNormal);
        thread.Start();
        thread.WaitFor();
        EXPECT_TRUE(applied.load()) << priority;
    }
}
