#pragma once
// The main thread's identity and the scheduler that runs work on it.

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace tarnwick::platform {

// The id of the thread that ran the program's static initialisation, i.e. the main thread.
std::thread::id MainThreadId();
bool IsMainThread();

// Runs functions on the main thread, optionally after a delay (one-shot timers). Post may be
// called from any thread; the functions run in the order of their due times, then posting.
class MainThreadScheduler {
public:
    virtual ~MainThreadScheduler() = default;
    virtual void Post(std::function<void()> work,
                      std::chrono::milliseconds delay = std::chrono::milliseconds(0)) = 0;
};

// A small run loop for tests and the command line: the owner's thread calls Run... to execute
// what was posted.
class RunLoopScheduler : public MainThreadScheduler {
public:
    void Post(std::function<void()> work,
              std::chrono::milliseconds delay = std::chrono::milliseconds(0)) override;

    // Runs due work until the predicate holds (checked after every item) or the timeout
    // passes. Returns whether the predicate held.
    bool RunUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout);
    // Runs everything that is due now and returns the number of items run.
    int RunPending();
    // Wakes a thread waiting in RunUntil so it re-checks its predicate.
    void Wake();

private:
    struct Item {
        std::chrono::steady_clock::time_point due;
        unsigned long long order;
        std::function<void()> work;
    };
    bool TakeDue(std::function<void()>& work);

    std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<Item> items_;
    unsigned long long nextOrder_ = 0;
};

} // namespace tarnwick::platform
