#pragma once
// A thread that is created suspended, started later, can be paused and resumed from outside
// and may free itself when its body returns.

#include "platform/thread_priority.h"

#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

namespace tarnwick::platform {

class WorkerThread {
public:
    using Body = std::function<void(WorkerThread&)>;

    // Created suspended: the body runs only after Start.
    explicit WorkerThread(Body body, TConvertPriority priority = tpNormal);
    // Joins a started thread that does not free itself. Must not be called from the thread.
    virtual ~WorkerThread();
    WorkerThread(const WorkerThread&) = delete;
    WorkerThread& operator=(const WorkerThread&) = delete;

    // When set before Start, the object deletes itself after the body returns; the owner must
    // then no longer touch it once the body may have finished.
    void SetFreeOnTerminate(bool value) { freeOnTerminate_ = value; }
    void SetPriority(TConvertPriority priority) { priority_ = priority; }
    TConvertPriority Priority() const { return priority_; }

    // Starts the body. A second call does nothing.
    void Start();

    // Pausing is a gate: the body calls PassGate at points where it may be held, and waits
    // there while the thread is suspended. Any thread may call Suspend and Resume.
    void Suspend();
    void Resume();
    bool Suspended() const;
    void PassGate();
    // True while the body is held at its gate.
    bool WaitingAtGate() const;

    // Waits until the body has returned (only for threads that do not free themselves).
    void WaitFor();
    bool Started() const { return started_; }
    std::thread::id Id() const { return id_; }

private:
    void Execute();

    Body body_;
    TConvertPriority priority_;
    bool freeOnTerminate_ = false;
    bool started_ = false;
    std::thread thread_;
    std::thread::id id_;
    mutable std::mutex mutex_;
    std::condition_variable resumed_;
    bool suspended_ = false;
    bool waitingAtGate_ = false;
    bool done_ = false;
    std::condition_variable finished_;
};

// The worker thread the calling code runs on, or nullptr on any other thread.
WorkerThread* CurrentWorkerThread();

} // namespace tarnwick::platform
