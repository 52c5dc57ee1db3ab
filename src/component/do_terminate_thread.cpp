#include "component/do_terminate_thread.h"

namespace tarnwick::component {

TDoTerminateThread::TDoTerminateThread(engine::TCustomFFmpeg& job)
    : platform::WorkerThread([&job](platform::WorkerThread&) { job.Finish(); }, platform::tpIdle) {}

void TDoTerminateThread::Launch(engine::TCustomFFmpeg& job) {
    auto* thread = new TDoTerminateThread(job);
    thread->SetFreeOnTerminate(true);
    thread->Start();
}

} // namespace tarnwick::component
