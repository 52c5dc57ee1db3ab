#include "component/av_converter.h"

#include "binding/log_levels.h"
#include "binding/media_libraries.h"
#include "component/ffmpeg_job.h"
#include "component/log_routing.h"

#include <stdexcept>

namespace tarnwick::component {

using binding::AV;

TLogLevel LogLevelOfEngineLevel(int engineLevel) {
    if (engineLevel < 0) return llQuiet;
    if (engineLevel > 3) return llAll;
    return static_cast<TLogLevel>(engineLevel + 1);
}

TCustomAVConverter::TCustomAVConverter(platform::MainThreadScheduler* scheduler)
    : scheduler_(scheduler) {
    RegisterComponent(*this);
}

TCustomAVConverter::~TCustomAVConverter() {
    UnregisterComponent(*this);
    // An event in progress ends first.
    { std::lock_guard lock(EventLock); }
    std::vector<std::unique_ptr<TFFmpeg>> jobs;
    {
        std::lock_guard lock(EventLock);
        PendingCount = 0;
        lifeToken_.reset();
        jobs = Jobs.ExtractAll();
    }
    DisposeJobs(std::move(jobs));
    // Jobs still running were told to stop; their threads use them until they have reported.
    std::vector<std::unique_ptr<TFFmpeg>> retired;
    {
        std::unique_lock lock(EventLock);
        jobReported_.wait(lock, [this] {
            for (const auto& job : retiredJobs_)
                if (!job->Reported) return false;
            return true;
        });
        retired = std::move(retiredJobs_);
    }
}

void TCustomAVConverter::SetLogLevel(TLogLevel value) {
    logLevel_ = value;
    if (!binding::AVUtilLoaded()) return;
    AV.av_log_set_level(binding::EngineToLibraryLogLevel(EngineLevelOfLogLevel(value)));
    binding::SetDefaultLogLevel(AV.av_log_get_level());
}

void TCustomAVConverter::SetProgressInterval(int32_t value) {
    progressInterval_ = value <= 100 ? 100 : value;
}

bool TCustomAVConverter::LoadLibraries(const std::string& folder, bool useVersionedNames) {
    if (!binding::LoadMediaLibraries(folder, useVersionedNames)) {
        LastError = binding::LastLoadError();
        return false;
    }
    AV.av_log_set_callback(LogCallback);
    LibrariesLoaded = true;
    SetLogLevel(LogLevel());
    return true;
}

void TCustomAVConverter::ClearJobs() {
    std::vector<std::unique_ptr<TFFmpeg>> jobs;
    {
        std::lock_guard lock(EventLock);
        // The run's counters go with its jobs: left behind, the next list would look like
        // part of a run still going, and jobs added to it would be refused.
        PendingCount = 0;
        NextJob = -1;
        FinishedCount = 0;
        Parallel = 0;
        // A timer posted for the next job of the current run must not start a job added later.
        lifeToken_ = std::make_shared<int>(0);
        jobs = Jobs.ExtractAll();
    }
    DisposeJobs(std::move(jobs));
    LastError.clear();
}

void TCustomAVConverter::RemoveJob(int index) {
    std::vector<std::unique_ptr<TFFmpeg>> jobs;
    {
        std::lock_guard lock(EventLock);
        if (RunGoingOn())
            throw std::logic_error("The jobs are running: a job cannot be removed before the "
                                   "run has ended");
        jobs.push_back(Jobs.Extract(index));
    }
    DisposeJobs(std::move(jobs));
}

void TCustomAVConverter::DisposeJobs(std::vector<std::unique_ptr<TFFmpeg>> jobs) {
    {
        std::lock_guard lock(EventLock);
        for (auto& job : jobs) {
            if (!RunInProgress(*job)) continue;
            job->Stop();
            retiredJobs_.push_back(std::move(job));
        }
    }
    // The others are freed here, outside the lock: freeing may log through the libraries.
    jobs.clear();
    FreeReportedJobs();
}

void TCustomAVConverter::FreeReportedJobs() {
    std::vector<std::unique_ptr<TFFmpeg>> reported;
    {
        std::lock_guard lock(EventLock);
        for (auto& job : retiredJobs_)
            if (job->Reported) reported.push_back(std::move(job));
        std::erase(retiredJobs_, nullptr);
    }
}

bool TCustomAVConverter::RunInProgress(const TFFmpeg& job) { return job.Launched && !job.Reported; }

void TCustomAVConverter::ClearLog() { ClearLogLines(); }

} // namespace tarnwick::component
