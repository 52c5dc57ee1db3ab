// Starting, stopping, pausing and resuming the jobs, and the event dispatchers.
#include "component/av_converter.h"

#include "component/do_terminate_thread.h"
#include "component/ffmpeg_job.h"

#include <chrono>
#include <stdexcept>

namespace tarnwick::component {

void TCustomAVConverter::StartJobs(int parallel) {
    if (parallel <= 0 && JobCount() > 0 && !scheduler_)
        throw std::logic_error("Running jobs on the main thread needs a main-thread scheduler");
    FreeReportedJobs();
    ClearLog();
    std::lock_guard lock(EventLock);
    NextJob = 0;
    FinishedCount = 0;
    Parallel = parallel;
    PendingCount = JobCount();
    if (Parallel <= 0) {
        StartNext();
        return;
    }
    for (int i = 0; i < Parallel && PendingCount > 0; ++i)
        StartNext();
}

void TCustomAVConverter::StartNext() {
    if (PendingCount <= 0) return;
    --PendingCount;
    // Taken before the job runs: a job that ends at once starts the next one from inside
    // RunJob, which must see the following index.
    const int index = NextJob++;
    if (Parallel > 0) {
        RunJob(index);
        return;
    }
    std::weak_ptr<int> alive = lifeToken_;
    scheduler_->Post(
        [this, alive, index] {
            if (!alive.expired()) RunJob(index);
        },
        std::chrono::milliseconds(100));
}

void TCustomAVConverter::RunJob(int index) {
    TFFmpeg* job = nullptr;
    {
        std::lock_guard lock(EventLock);
        if (index < 0 || index >= JobCount()) return;
        job = &Jobs[index];
        // Stopped before its timer came, or started already.
        if (job->Launched) return;
        job->Launched = true;
        job->JobProbe->Close();
        job->ProgressIntervalUs = static_cast<int64_t>(ProgressInterval()) * 1000;
        job->SetVerbose(EngineLevelOfLogLevel(LogLevel()));
        if (Parallel > 0) {
            engine::TFFmpegThread* thread = job->Run(true, ThreadPriority());
            if (!thread) {
                job->RunnerThreadId = std::thread::id();
                return;
            }
            // The thread cannot end before it has reported through DoTerminate, which waits
            // for EventLock, so it is alive here; and its library lines are looked up under
            // EventLock too, so none is attributed before its id is set.
            thread->Start();
            job->RunnerThreadId = thread->Id();
            return;
        }
        job->RunnerThreadId = std::this_thread::get_id();
    }
    // Runs to its end here, on the main thread.
    job->Run(false, ThreadPriority());
}

void TCustomAVConverter::DetachEventHandlers() {
    // Under EventLock: a log, progress or terminate handler still running ends first.
    std::lock_guard lock(EventLock);
    eventsDetached_ = true;
}

void TCustomAVConverter::StopJobs() {
    std::lock_guard lock(EventLock);
    PendingCount = 0;
    for (int i = 0; i < JobCount(); ++i) {
        TFFmpeg& job = Jobs[i];
        if (RunInProgress(job)) {
            job.Stop();
        } else if (!job.Launched) {
            job.Launched = true;
            TDoTerminateThread::Launch(job);
        }
    }
}

// A worker thread stays alive while EventLock is held: it must pass DoTerminate to end.
void TCustomAVConverter::PauseJobs() {
    std::lock_guard lock(EventLock);
    for (int i = 0; i < JobCount(); ++i)
        if (engine::TFFmpegThread* thread = Jobs[i].WorkerThread.load();
            thread && !thread->Suspended())
            thread->Suspend();
}

void TCustomAVConverter::ResumeJobs() {
    std::lock_guard lock(EventLock);
    for (int i = 0; i < JobCount(); ++i)
        if (engine::TFFmpegThread* thread = Jobs[i].WorkerThread.load();
            thread && thread->Suspended())
            thread->Resume();
}

void TCustomAVConverter::DoBeforeHook(engine::TCustomFFmpeg& job, int64_t pts,
                                      THookAction& hookAction) {
    auto& owned = dynamic_cast<TFFmpeg&>(job);
    if (Raising(OnBeforeHook)) OnBeforeHook(owned.JobIndex, pts, hookAction);
}

void TCustomAVConverter::DoCustomHook(engine::TCustomFFmpeg& job, platform::Bitmap24& bitmap,
                                      int32_t frameNumber, int64_t pts, bool& update,
                                      bool& stopHook) {
    auto& owned = dynamic_cast<TFFmpeg&>(job);
    if (Raising(OnCustomHook))
        OnCustomHook(owned.JobIndex, bitmap, frameNumber, pts, update, stopHook);
}

void TCustomAVConverter::DoLog(engine::TCustomFFmpeg* job, int level, const std::string& text) {
    std::lock_guard lock(EventLock);
    const int32_t index = job ? dynamic_cast<TFFmpeg&>(*job).JobIndex.load() : -1;
    if (Raising(OnLog)) OnLog(index, LogLevelOfEngineLevel(level), text);
}

void TCustomAVConverter::DoProgress(engine::TCustomFFmpeg& job, int32_t frameNumber, int32_t fps,
                                    int32_t currentDurationMs, float quality, float bitRate,
                                    int64_t currentSize, int32_t totalOutputDurationMs) {
    std::lock_guard lock(EventLock);
    auto& owned = dynamic_cast<TFFmpeg&>(job);
    if (Raising(OnProgress))
        OnProgress(owned.JobIndex, frameNumber, fps, currentDurationMs, quality, bitRate,
                   currentSize, totalOutputDurationMs);
}

void TCustomAVConverter::DoTerminate(engine::TCustomFFmpeg* job) {
    std::lock_guard lock(EventLock);
    if (!job) {
        if (Raising(OnTerminate)) OnTerminate(-1, true, false, std::string());
        ClearLog();
        return;
    }
    auto& owned = dynamic_cast<TFFmpeg&>(*job);
    // A job taken out of the list during its run only needs to say that it is done.
    if (owned.JobIndex >= 0) {
        if (Raising(OnTerminate))
            OnTerminate(owned.JobIndex, owned.Finished, owned.ExceptionRaised,
                        owned.ExceptionMessage);
        ++FinishedCount;
        if (PendingCount > 0) {
            StartNext();
        } else if (FinishedCount >= JobCount()) {
            if (Raising(OnTerminate)) OnTerminate(-1, true, false, std::string());
            ClearLog();
        }
    }
    owned.Reported = true;
    jobReported_.notify_all();
}

} // namespace tarnwick::component
