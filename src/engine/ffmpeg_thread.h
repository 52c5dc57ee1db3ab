#pragma once

#include "platform/worker_thread.h"

namespace tarnwick::engine {

class TCustomFFmpeg;

// The worker thread of one job: created suspended by TCustomFFmpeg::Run, started by the
// caller, frees itself when the run has finished.
class TFFmpegThread : public platform::WorkerThread {
public:
    TFFmpegThread(TCustomFFmpeg& job, platform::TConvertPriority priority);
    TCustomFFmpeg& Job() const { return job_; }

private:
    TCustomFFmpeg& job_;
};

} // namespace tarnwick::engine
