#pragma once
// The converter component: a list of engine jobs, run one after another on the main thread
// or several at a time on worker threads, reported through five events.
//
// Threads: every operation is called on the owner's thread (the main thread), except
// StopJobs, PauseJobs and ResumeJobs, which event handlers may call too. The events of a job
// are raised on the thread that runs it. OnLog, OnProgress and OnTerminate are raised under
// EventLock: their handlers must not call into the media libraries (a library log line from
// another thread holds the component list while it waits for EventLock). Set the handlers
// before the run starts; the component must not be destroyed from its own handlers.

#include "component/component_types.h"
#include "component/job_list.h"
#include "component/option_records.h"
#include "platform/main_thread.h"
#include "platform/thread_priority.h"
#include "probe/av_probe.h"

#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace tarnwick::engine {
class TCustomFFmpeg;
}

namespace tarnwick::component {

class TCustomAVConverter {
public:
    // The scheduler runs the jobs of StartJobs(0) on the main thread; a component that only
    // probes may go without one.
    explicit TCustomAVConverter(platform::MainThreadScheduler* scheduler = nullptr);
    virtual ~TCustomAVConverter();
    TCustomAVConverter(const TCustomAVConverter&) = delete;
    TCustomAVConverter& operator=(const TCustomAVConverter&) = delete;

    // ---- Properties ----
    std::string About;
    // Failure text of the last failed LoadLibraries, AddJob or SetJobOutput.
    std::string LastError;
    TLogLevel LogLevel() const { return logLevel_; }
    void SetLogLevel(TLogLevel value);
    int32_t ProgressInterval() const { return progressInterval_; }
    // Values of 100 ms or less store 100.
    void SetProgressInterval(int32_t value);
    platform::TConvertPriority ThreadPriority() const { return threadPriority_; }
    void SetThreadPriority(platform::TConvertPriority value) { threadPriority_ = value; }
    std::string GetVersion() const { return "2.2a"; }
    void SetMainThreadScheduler(platform::MainThreadScheduler* scheduler) {
        scheduler_ = scheduler;
    }

    // The probe the application's windows use for their own files (owner's thread only).
    probe::TAVProbe Probe;

    // ---- Events (called only when set) ----
    TBeforeHookEvent OnBeforeHook;
    TCustomHookEvent OnCustomHook;
    TLogEvent OnLog;
    TProgressEvent OnProgress;
    TTerminateEvent OnTerminate;

    // ---- Operations ----
    // Loads the media libraries from the folder (see binding::LoadMediaLibraries), installs the
    // library log routing and sets the libraries' level from LogLevel.
    bool LoadLibraries(const std::string& folder, bool useVersionedNames);
    // Creates a job and opens its input, with the record applied first when one is given (an
    // empty FileName in the caller's record is filled with inputFileName). Returns the job's
    // index, or -1 with LastError; a failed job is discarded. Refused while a run goes on: the
    // run counts the jobs it started with.
    int AddJob(const std::string& inputFileName, TInputOptions* inputOptions);
    // Applies the record (when given; an empty FileName is filled in) and opens the job's
    // output. False with LastError; the job stays in the list either way. An index outside the
    // list raises std::out_of_range.
    bool SetJobOutput(int index, const std::string& outputFileName, TOutputOptions* outputOptions);
    // The probe attached to the job's input (empty once the job has started).
    probe::TAVProbe& JobProbe(int index);
    // Copies the output record the job was set up from.
    void GetJobOutputOptions(int index, TOutputOptions& options) const;
    int JobCount() const { return Jobs.Count(); }
    // Raises no event from now on (for a window that closes while jobs may still report): the
    // handlers stay set but are not called. A log, progress or terminate handler that is
    // running has returned when this returns; a hook handler may still be finishing on its
    // job's thread.
    void DetachEventHandlers();
    // Stops every job that runs; a job not started yet reports its end (AFinished false) from
    // a short-lived thread. No further job starts.
    void StopJobs();
    // Holds every worker thread at its next pause point / lets it go on. Jobs that run on the
    // main thread are not affected.
    void PauseJobs();
    void ResumeJobs();
    // Runs the jobs: with parallel <= 0 one after another on the main thread, each 100 ms after
    // the previous one ended; otherwise up to parallel at a time on worker threads.
    void StartJobs(int parallel);
    // Frees every job. A job whose run is still going is stopped and freed once it has
    // reported its end; it raises no further event.
    void ClearJobs();
    // Frees the job at the index (as ClearJobs does) and renumbers the later ones. While a run
    // goes on it raises std::logic_error and changes nothing (the run starts jobs by their
    // index); ClearJobs ends a run at any time.
    void RemoveJob(int index);
    void ClearLog();

    // ---- Event dispatchers, called by the jobs through their handlers ----
    virtual void DoBeforeHook(engine::TCustomFFmpeg& job, int64_t pts, THookAction& hookAction);
    virtual void DoCustomHook(engine::TCustomFFmpeg& job, platform::Bitmap24& bitmap,
                              int32_t frameNumber, int64_t pts, bool& update, bool& stopHook);
    virtual void DoLog(engine::TCustomFFmpeg* job, int level, const std::string& text);
    virtual void DoProgress(engine::TCustomFFmpeg& job, int32_t frameNumber, int32_t fps,
                            int32_t currentDurationMs, float quality, float bitRate,
                            int64_t currentSize, int32_t totalOutputDurationMs);
    virtual void DoTerminate(engine::TCustomFFmpeg* job);

protected:
    // Run machinery; callers hold EventLock for StartNext.
    void StartNext();
    void RunJob(int index);

    TFFmpegList Jobs;
    std::recursive_mutex EventLock;
    int32_t NextJob = -1;
    int32_t Parallel = 0;
    int32_t FinishedCount = 0;
    int32_t PendingCount = 0;
    // Set once this component's LoadLibraries has succeeded.
    bool LibrariesLoaded = false;

private:
    friend void DoLogForThread(TCustomAVConverter&, std::thread::id, int, const std::string&);

    // Frees the jobs now, or, for a job whose run is still going, stops it and keeps it until
    // it has reported its end. Call without EventLock.
    void DisposeJobs(std::vector<std::unique_ptr<TFFmpeg>> jobs);
    // Frees the kept jobs that have reported their end.
    void FreeReportedJobs();
    static bool RunInProgress(const TFFmpeg& job);
    // A job runs or has yet to report, waits for its timer, or waits for its turn. Call with
    // EventLock.
    bool RunGoingOn() const;

    // The events' handlers are called only when set and not detached.
    template <typename Handler> bool Raising(const Handler& handler) const {
        return handler && !eventsDetached_;
    }

    std::atomic<bool> eventsDetached_{false};
    std::atomic<TLogLevel> logLevel_{llInfo};
    std::atomic<int32_t> progressInterval_{500};
    std::atomic<platform::TConvertPriority> threadPriority_{platform::tpNormal};
    platform::MainThreadScheduler* scheduler_ = nullptr;
    // Jobs taken out of the list while their run was still going (guarded by EventLock).
    std::vector<std::unique_ptr<TFFmpeg>> retiredJobs_;
    std::condition_variable_any jobReported_;
    // Posted timers hold a weak reference: they do nothing once the component is gone.
    std::shared_ptr<int> lifeToken_ = std::make_shared<int>(0);
};

// The published component.
class TKivAVConverter : public TCustomAVConverter {
public:
    using TCustomAVConverter::TCustomAVConverter;
};

} // namespace tarnwick::component
