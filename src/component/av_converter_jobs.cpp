// Creating the jobs: the input of a new job, the output of a job, and what a job keeps.
#include "component/av_converter.h"

#include "component/ffmpeg_job.h"
#include "component/option_application.h"

#include <exception>

namespace tarnwick::component {

namespace {
const char* const NotLoadedText = "The media libraries are not loaded: call LoadLibraries first";
const char* const RunGoingOnText =
    "The jobs are running: a job cannot be added before the run has ended";
} // namespace

int TCustomAVConverter::AddJob(const std::string& inputFileName, TInputOptions* inputOptions) {
    if (!LibrariesLoaded) {
        LastError = NotLoadedText;
        return -1;
    }
    {
        std::lock_guard lock(EventLock);
        if (RunGoingOn()) {
            LastError = RunGoingOnText;
            return -1;
        }
    }
    FreeReportedJobs();
    auto job = std::make_unique<TFFmpeg>();
    job->LogHandler = [this](engine::TCustomFFmpeg& owner, int level, const std::string& text) {
        DoLog(&owner, level, text);
    };
    try {
        job->Prepare();
        job->SetVerbose(EngineLevelOfLogLevel(LogLevel()));
        if (inputOptions) {
            if (inputOptions->FileName.empty()) inputOptions->FileName = inputFileName;
            job->InputOptions = *inputOptions;
            ApplyInputOptions(*job, *inputOptions);
        } else {
            ClearInputOptions(job->InputOptions);
        }
        if (!job->OpenInputFile(inputFileName)) {
            job->LogHandler = nullptr;
            LastError = job->LastErrorText;
            return -1;
        }
        job->JobProbe->AttachContext(job->InputFiles[job->InputFileCount - 1]);
        job->ProgressHandler = [this](engine::TCustomFFmpeg& owner, int32_t frameNumber,
                                      int32_t fps, int32_t currentDurationMs, float quality,
                                      float bitRate, int64_t currentSize,
                                      int32_t totalOutputDurationMs) {
            DoProgress(owner, frameNumber, fps, currentDurationMs, quality, bitRate, currentSize,
                       totalOutputDurationMs);
        };
        job->TerminateHandler = [this](engine::TCustomFFmpeg& owner) { DoTerminate(&owner); };
        std::lock_guard lock(EventLock);
        return Jobs.Add(std::move(job));
    } catch (const std::exception& error) {
        LastError = error.what();
        return -1;
    }
}

bool TCustomAVConverter::SetJobOutput(int index, const std::string& outputFileName,
                                      TOutputOptions* outputOptions) {
    if (!LibrariesLoaded) {
        LastError = NotLoadedText;
        return false;
    }
    TFFmpeg& job = Jobs[index];
    if (job.Launched) {
        LastError = "The job has already been started";
        return false;
    }
    try {
        if (outputOptions) {
            if (outputOptions->FileName.empty()) outputOptions->FileName = outputFileName;
            job.OutputOptions = *outputOptions;
            job.ApplyOptionText(outputOptions->ExtOptions);
            ApplyOutputOptions(job, *outputOptions);
            ApplyTargetOptions(job, *outputOptions);
            if (outputOptions->CustomHook) {
                job.CustomHookHandler = [this](engine::TCustomFFmpeg& owner,
                                               platform::Bitmap24& bitmap, int32_t frameNumber,
                                               int64_t pts, bool& update, bool& stopHook) {
                    DoCustomHook(owner, bitmap, frameNumber, pts, update, stopHook);
                };
            } else if (outputOptions->BeforeHook) {
                job.BeforeHookHandler = [this](engine::TCustomFFmpeg& owner, int64_t pts,
                                               THookAction& action) {
                    DoBeforeHook(owner, pts, action);
                };
            } else {
                ParseHookRanges(job, outputOptions->HookRangesText);
            }
        } else {
            ClearOutputOptions(job.OutputOptions);
        }
        if (job.OpenOutputFile(outputFileName)) return true;
        LastError = job.LastErrorText;
        return false;
    } catch (const std::exception& error) {
        LastError = error.what();
        return false;
    }
}

probe::TAVProbe& TCustomAVConverter::JobProbe(int index) { return *Jobs[index].JobProbe; }

void TCustomAVConverter::GetJobOutputOptions(int index, TOutputOptions& options) const {
    options = Jobs[index].OutputOptions;
}

bool TCustomAVConverter::RunGoingOn() const {
    for (int i = 0; i < JobCount(); ++i) {
        const TFFmpeg& job = Jobs[i];
        if (RunInProgress(job)) return true;
        // Posted on the main thread's timer, or not yet started.
        if (!job.Launched && i < NextJob && Parallel <= 0) return true;
        if (!job.Launched && i >= NextJob && NextJob >= 0 && PendingCount > 0) return true;
    }
    return false;
}

} // namespace tarnwick::component
