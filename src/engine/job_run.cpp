#include "engine/custom_ffmpeg.h"

#include "binding/log_levels.h"
#include "binding/media_libraries.h"
#include "engine/output_file_origin.h"
#include "platform/ffmpeg_exception.h"

#include <exception>

namespace tarnwick::engine {

using binding::AV;

TFFmpegThread::TFFmpegThread(TCustomFFmpeg& job, platform::TConvertPriority priority)
    : platform::WorkerThread([&job](platform::WorkerThread&) { job.RunSync(); }, priority),
      job_(job) {}

TFFmpegThread* TCustomFFmpeg::Run(bool threaded, platform::TConvertPriority priority) {
    if (Running || Terminated) return nullptr;
    const char* refusal = nullptr;
    if (OutputFileCount <= 0) refusal = "Must supply at least one output file";
    else if (InputFileCount == 0) refusal = "Must supply at least one input file";
    if (refusal) {
        FreeJobResources();
        Log(-1, refusal);
        ExceptionRaised = true;
        ExceptionMessage = refusal;
        Finish();
        return nullptr;
    }
    Running = true;
    StopRequested = false;
    Finished = false;
    Terminated = false;
    if (!threaded) {
        RunSync();
        return nullptr;
    }
    auto* thread = new TFFmpegThread(*this, priority);
    thread->SetFreeOnTerminate(true);
    WorkerThread = thread;
    return thread;
}

void TCustomFFmpeg::RunSync() {
    Finished = false;
    try {
        Transcode(OutputFiles.data(), OutputFileCount, InputFiles.data(), InputFileCount,
                  StreamMaps.data(), StreamMapCount);
    } catch (const std::exception& error) {
        DiscardOutputFiles();
        Log(-1, error.what());
        ExceptionRaised = true;
        ExceptionMessage = error.what();
    }
    CloseRegisteredEncoders();
    CloseRegisteredDecoders();
    FreeJobResources();
    Finish();
}

void TCustomFFmpeg::DiscardOutputFiles() {
    for (int i = 0; i < OutputFileCount; ++i) {
        AVFormatContext* output = OutputFiles[i];
        // A format without a file of its own (picture series, devices) names no single file.
        if (!output || !output->url || !output->oformat || (output->oformat->flags & AVFMT_NOFILE))
            continue;
        // Closed first: what it still buffers would land in the file after it was emptied.
        if (output->pb) AV.avio_closep(&output->pb);
        switch (DiscardUnfinishedOutput(OutputFileOrigins[i], output->url)) {
        case TDiscardResult::Removed:
            LogFormat(0, "Removed the unfinished output '%s'", output->url);
            break;
        case TDiscardResult::Emptied:
            LogFormat(0, "Emptied the unfinished output '%s'", output->url);
            break;
        case TDiscardResult::Kept: break;
        }
    }
}

void TCustomFFmpeg::Finish() {
    Running = false;
    Terminated = true;
    WorkerThread = nullptr;
    if (TerminateHandler) TerminateHandler(*this);
}

void TCustomFFmpeg::Stop() {
    StopRequested = true;
    if (TFFmpegThread* thread = WorkerThread.load(); thread && thread->Suspended()) thread->Resume();
}

void TCustomFFmpeg::SetVerbose(int level) {
    Verbose = level;
    const int libraryLevel = binding::EngineToLibraryLogLevel(level);
    if (binding::AVUtilLoaded()) AV.av_log_set_level(libraryLevel);
    binding::SetDefaultLogLevel(libraryLevel);
}

void TCustomFFmpeg::PassPauseGate() {
    if (TFFmpegThread* thread = WorkerThread.load()) thread->PassGate();
}

void TCustomFFmpeg::Log(int level, const std::string& text) {
    if (LogHandler) LogHandler(*this, level, text);
}

void TCustomFFmpeg::LogFormat(int level, const char* format, ...) {
    char buffer[1024];
    va_list args;
    va_start(args, format);
    std::vsnprintf(buffer, sizeof buffer, format, args);
    va_end(args);
    Log(level, buffer);
}

} // namespace tarnwick::engine
