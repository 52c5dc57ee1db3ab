#include "platform/worker_thread.h"

namespace tarnwick::platform {
namespace {
thread_local WorkerThread* currentWorker = nullptr;
}

WorkerThread* CurrentWorkerThread() { return currentWorker; }

WorkerThread::WorkerThread(Body body, TConvertPriority priority)
    : body_(std::move(body)), priority_(priority) {}

WorkerThread::~WorkerThread() {
    if (thread_.joinable()) thread_.join();
}

void WorkerThread::Start() {
    std::lock_guard lock(mutex_);
    if (started_) return;
    started_ = true;
    thread_ = std::thread([this] { Execute(); });
    id_ = thread_.get_id();
    if (freeOnTerminate_) thread_.detach();
}

void WorkerThread::Execute() {
    currentWorker = this;
    ApplyPriorityToCurrentThread(priority_);
    body_(*this);
    currentWorker = nullptr;
    if (freeOnTerminate_) {
        // Nobody joins a self-freeing thread; the handle was detached at Start. Take the
        // lock once so Start has finished with the object before it goes.
        { std::lock_guard lock(mutex_); }
        delete this;
        return;
    }
    std::lock_guard lock(mutex_);
    done_ = true;
    finished_.notify_all();
}

void WorkerThread::Suspend() {
    std::lock_guard lock(mutex_);
    suspended_ = true;
}

void WorkerThread::Resume() {
    std::lock_guard lock(mutex_);
    suspended_ = false;
    resumed_.notify_all();
}

bool WorkerThread::Suspended() const {
    std::lock_guard lock(mutex_);
    return suspended_;
}

void WorkerThread::PassGate() {
    std::unique_lock lock(mutex_);
    if (!suspended_) return;
    waitingAtGate_ = true;
    resumed_.wait(lock, [this] { return !suspended_; });
    waitingAtGate_ = false;
}

bool WorkerThread::WaitingAtGate() const {
    std::lock_guard lock(mutex_);
    return waitingAtGate_;
}

void WorkerThread::WaitFor() {
    std::unique_lock lock(mutex_);
    finished_.wait(lock, [this] { return done_ || !started_; });
}

} // namespace tarnwick::platform
