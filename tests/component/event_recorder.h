#pragma once
// Records a component's events, from whatever thread raises them, and lets the test wait
// for them.

#include "component/av_converter.h"

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace tarnwick::test {

// seq orders every recorded event of one recorder.
struct LogEvent {
    uint64_t seq;
    int32_t index;
    component::TLogLevel level;
    std::string message;
    std::thread::id thread;
};

struct TerminateEvent {
    uint64_t seq;
    int32_t index;
    bool finished;
    bool exception;
    std::string message;
    std::thread::id thread;
};

struct ProgressEvent {
    uint64_t seq;
    int32_t index;
    int32_t currentDurationMs;
    int64_t currentSize;
};

class EventRecorder {
public:
    // A recorder that must outlive the component it records (the component's threads call
    // it until the component is gone): declare it before the component, then Attach.
    EventRecorder() = default;
    // Installs OnLog, OnProgress and OnTerminate on the component.
    void Attach(component::TCustomAVConverter& component);

    std::vector<LogEvent> Logs() const;
    std::vector<TerminateEvent> Terminates() const;
    std::vector<ProgressEvent> Progresses() const;
    // Log messages of one job index, in order.
    std::vector<std::string> LogMessagesOf(int32_t index) const;

    // Waits until the predicate over the recorder holds; false after the timeout.
    bool WaitUntil(const std::function<bool()>& condition,
                   std::chrono::milliseconds timeout = std::chrono::seconds(120));
    // The run is over: the final terminate event (index -1) arrived.
    bool RunEnded() const;
    bool WaitForRunEnd(std::chrono::milliseconds timeout = std::chrono::seconds(120));

    // Called by the test's own handlers to add to what is recorded.
    std::function<void(const TerminateEvent&)> AfterTerminate;
    std::function<void(const ProgressEvent&)> AfterProgress;

private:
    mutable std::mutex mutex_;
    std::condition_variable changed_;
    uint64_t changes_ = 0; // also the sequence number of the last event
    std::vector<LogEvent> logs_;
    std::vector<TerminateEvent> terminates_;
    std::vector<ProgressEvent> progresses_;
};

} // namespace tarnwick::test
