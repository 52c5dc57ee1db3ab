#include "platform/main_thread.h"

#include <algorithm>

namespace tarnwick::platform {
namespace {
const std::thread::id mainThreadId = std::this_thread::get_id();
}

std::thread::id MainThreadId() { return mainThreadId; }
bool IsMainThread() { return std::this_thread::get_id() == mainThreadId; }

void RunLoopScheduler::Post(std::function<void()> work, std::chrono::milliseconds delay) {
    std::lock_guard lock(mutex_);
    items_.push_back({std::chrono::steady_clock::now() + delay, nextOrder_++, std::move(work)});
    changed_.notify_all();
}

void RunLoopScheduler::Wake() {
    std::lock_guard lock(mutex_);
    changed_.notify_all();
}

bool RunLoopScheduler::TakeDue(std::function<void()>& work) {
    const auto now = std::chrono::steady_clock::now();
    auto best = items_.end();
    for (auto it = items_.begin(); it != items_.end(); ++it) {
        if (it->due > now) continue;
        if (best == items_.end() || it->due < best->due ||
            (it->due == best->due && it->order < best->order))
            best = it;
    }
    if (best == items_.end()) return false;
    work = std::move(best->work);
    items_.erase(best);
    return true;
}

int RunLoopScheduler::RunPending() {
    int count = 0;
    for (;;) {
        std::function<void()> work;
        {
            std::lock_guard lock(mutex_);
            if (!TakeDue(work)) return count;
        }
        work();
        ++count;
    }
}

bool RunLoopScheduler::RunUntil(const std::function<bool()>& done,
                                std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        RunPending();
        if (done()) return true;
        std::unique_lock lock(mutex_);
        auto wakeAt = deadline;
        for (const auto& item : items_) wakeAt = std::min(wakeAt, item.due);
        if (std::chrono::steady_clock::now() >= deadline) return done();
        // A short upper bound keeps predicates that change without a Wake responsive.
        changed_.wait_until(lock, std::min(wakeAt, std::chrono::steady_clock::now() +
                                                       std::chrono::milliseconds(20)));
    }
}

} // namespace tarnwick::platform
