#include "component/event_recorder.h"

namespace tarnwick::test {

void EventRecorder::Attach(component::TCustomAVConverter& component) {
    component.OnLog = [this](int32_t index, component::TLogLevel level, const std::string& msg) {
        std::lock_guard lock(mutex_);
        logs_.push_back({++changes_, index, level, msg, std::this_thread::get_id()});
        changed_.notify_all();
    };
    component.OnTerminate = [this](int32_t index, bool finished, bool exception,
                                   const std::string& message) {
        TerminateEvent event;
        {
            std::lock_guard lock(mutex_);
            event = {++changes_, index, finished, exception, message, std::this_thread::get_id()};
            terminates_.push_back(event);
        }
        if (AfterTerminate) AfterTerminate(event);
        std::lock_guard lock(mutex_);
        ++changes_;
        changed_.notify_all();
    };
    component.OnProgress = [this](int32_t index, int32_t, int32_t, int32_t currentDuration, float,
                                  float, int64_t currentSize, int32_t) {
        ProgressEvent event;
        {
            std::lock_guard lock(mutex_);
            event = {++changes_, index, currentDuration, currentSize};
            progresses_.push_back(event);
        }
        if (AfterProgress) AfterProgress(event);
        std::lock_guard lock(mutex_);
        ++changes_;
        changed_.notify_all();
    };
}

std::vector<LogEvent> EventRecorder::Logs() const {
    std::lock_guard lock(mutex_);
    return logs_;
}

std::vector<TerminateEvent> EventRecorder::Terminates() const {
    std::lock_guard lock(mutex_);
    return terminates_;
}

std::vector<ProgressEvent> EventRecorder::Progresses() const {
    std::lock_guard lock(mutex_);
    return progresses_;
}

std::vector<std::string> EventRecorder::LogMessagesOf(int32_t index) const {
    std::lock_guard lock(mutex_);
    std::vector<std::string> messages;
    for (const auto& event : logs_)
        if (event.index == index) messages.push_back(event.message);
    return messages;
}

bool EventRecorder::WaitUntil(const std::function<bool()>& condition,
                              std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        uint64_t seen;
        {
            std::lock_guard lock(mutex_);
            seen = changes_;
        }
        if (condition()) return true;
        std::unique_lock lock(mutex_);
        if (!changed_.wait_until(lock, deadline, [&] { return changes_ != seen; })) {
            lock.unlock();
            return condition();
        }
    }
}

bool EventRecorder::RunEnded() const {
    std::lock_guard lock(mutex_);
    return !terminates_.empty() && terminates_.back().index == -1;
}

bool EventRecorder::WaitForRunEnd(std::chrono::milliseconds timeout) {
    return WaitUntil([this] { return RunEnded(); }, timeout);
}

} // namespace tarnwick::test
