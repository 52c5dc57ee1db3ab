#pragma once
// Reports the end of a job that was stopped before it ran: its body is the job's Finish, so
// the job's terminate event comes from this short-lived thread. Runs at idle priority and
// frees itself when done.

#include "engine/custom_ffmpeg.h"
#include "platform/worker_thread.h"

namespace tarnwick::component {

class TDoTerminateThread : public platform::WorkerThread {
public:
    // Creates and starts the thread; the object deletes itself after the body. The job must
    // outlive the body.
    static void Launch(engine::TCustomFFmpeg& job);

private:
    explicit TDoTerminateThread(engine::TCustomFFmpeg& job);
};

} // namespace tarnwick::component
