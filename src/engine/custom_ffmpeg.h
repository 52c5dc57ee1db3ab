#pragma once
// One conversion job: every setting the option texts write, the tables of opened files and
// maps, and the run entry. Its member functions live in several files by topic.
//
// Threads: options are applied and files opened on the owner's thread; the run happens on the
// job's worker thread (or the caller's thread when not threaded). A job is used by one thread
// at a time, except Stop, which any thread may call.

#include "binding/frame_hooks.h"
#include "binding/media_headers.h"
#include "engine/engine_types.h"
#include "engine/ffmpeg_thread.h"
#include "engine/job_settings.h"
#include "engine/transcode_records.h"
#include "platform/bitmap24.h"
#include "platform/thread_priority.h"

#include <array>
#include <atomic>
#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <list>
#include <set>
#include <limits>
#include <string>
#include <vector>

namespace tarnwick::engine {

class TCustomFFmpeg;

// The five handlers; each is called only when set.
using TBeforeHookHandler = std::function<void(TCustomFFmpeg& job, int64_t pts, THookAction& action)>;
using TCustomHookHandler =
    std::function<void(TCustomFFmpeg& job, platform::Bitmap24& bitmap, int32_t frameNumber,
                       int64_t pts, bool& update, bool& stop)>;
using TLogHandler = std::function<void(TCustomFFmpeg& job, int level, const std::string& text)>;
using TProgressHandler = std::function<void(
    TCustomFFmpeg& job, int32_t frameNumber, int32_t fps, int32_t currentDurationMs, float quality,
    float bitRate, int64_t currentSize, int32_t totalOutputDurationMs)>;
using TTerminateHandler = std::function<void(TCustomFFmpeg& job)>;

inline constexpr int64_t NoTimestamp = std::numeric_limits<int64_t>::min();

class TCustomFFmpeg : public TPendingFileSettings, public TRunSettings {
public:
    TCustomFFmpeg();
    virtual ~TCustomFFmpeg();
    TCustomFFmpeg(const TCustomFFmpeg&) = delete;
    TCustomFFmpeg& operator=(const TCustomFFmpeg&) = delete;

    // ---- Life cycle (job.cpp) ----
    // Only with the media libraries loaded: releases everything, resets the settings and
    // makes the option contexts.
    void Prepare();
    // Settings of groups 2 and 3 to their defaults, counts to 0, hook state to its start.
    // Frees nothing.
    void Reset();
    // Releases the option contexts, files, buffers and hooks. Only with the libraries loaded.
    void FreeJobResources();

    // ---- Run entry (job_run.cpp) ----
    // Returns the suspended worker thread when threaded (the caller starts it), else runs on
    // the calling thread and returns nullptr. Returns nullptr at once when running or done.
    TFFmpegThread* Run(bool threaded, platform::TConvertPriority priority);
    void RunSync();
    void Finish();
    // Any thread: asks the run to end at its next poll; wakes a paused worker thread.
    void Stop();
    void SetVerbose(int level);
    // The run thread calls this at the top of every loop iteration and before every duplicated
    // frame: it waits there while the worker thread is paused.
    void PassPauseGate();

    // The engine's own log line through LogHandler (level -1 ends a run, 0 to 3 ordinary).
    void Log(int level, const std::string& text);
    void LogFormat(int level, const char* format, ...) __attribute__((format(printf, 3, 4)));

    // ---- Tables (job_tables.cpp): refuse an addition past a table's capacity ----
    int AddInputFile(AVFormatContext* context);
    int AddOutputFile(AVFormatContext* context);
    void AddStreamMap(const TStreamMap& map);
    void AddMetaDataMap(const TMetaDataMap& map);

    // ---- Transcode (transcode*.cpp) ----
    void Transcode(AVFormatContext** outputFiles, int outputFileCount, AVFormatContext** inputFiles,
                   int inputFileCount, TStreamMap* streamMaps, int streamMapCount);
    // Close every codec the last run left open (after an error), under the codec lock.
    void CloseRegisteredEncoders();
    void CloseRegisteredDecoders();

    // ---- Transcode run: setup, loop, packet output, progress (transcode_setup.cpp,
    // transcode_loop.cpp, decode_packet.cpp, packet_output.cpp, progress_report.cpp,
    // codec_registry.cpp). All of it runs on the run thread. ----
    // Decodes one packet of `ist` (or, with no packet, drains its decoder and then the encoders
    // it feeds) and feeds every output stream whose source it is. Returns 0, or -1 when the
    // decoder refused the packet.
    int DecodePacket(TInputStreamRecord& ist, int index, TTranscodeTables& run,
                     const AVPacket* packet);
    // The one way a packet reaches an output file: through the stream's bitstream filters into
    // the muxer. `packet` is in ost.Stream->time_base; its stream index is set here. The packet
    // is consumed (left blank) in every case; raises on a failed write.
    void WritePacket(AVPacket* packet, AVFormatContext* file, TOutputStreamRecord& ost);
    // Sends `frame` (its pts in the encoder's time base; nullptr flushes) to ost.Encoder and
    // writes every packet the encoder gives back now, through WritePacket: timestamps rescaled
    // to the stream's time base, VideoBytes or AudioBytes counted, ost.CodedFrame filled, the
    // encoder's statistics text appended to ost.PassLogFile. Returns the bytes written (0 when
    // the encoder holds the frame back), or the library's negative code when the encoder
    // refused the frame. The frame is not taken: the encoder references its buffers, so make it
    // writable (av_frame_make_writable) before filling it again.
    int EncodeFrame(AVFormatContext* file, TOutputStreamRecord& ost, const AVFrame* frame);
    // ost.AudioFrame set to `samples` samples in the encoder's sample format, channel layout
    // and rate, with writable buffers large enough (grown only; no allocation once they are).
    // Its pts is left to the caller: the stream position ost.SyncOpts of its first sample.
    // Raises "av_frame_get_buffer fail" when the buffers cannot be made.
    AVFrame* AudioEncoderFrame(TOutputStreamRecord& ost, int samples);
    void ProgressReport(TTranscodeTables& run, bool final);
    // One line of per-frame video statistics into the VstatsFileName file.
    void WriteFrameStatistics(AVFormatContext* file, TOutputStreamRecord& ost, int frameSize);
    // The open-codec registry: every codec context the run opened, newest first, so that the
    // run entry can close what an error left open.
    void RegisterEncoder(AVCodecContext* encoder);
    void UnregisterEncoder(AVCodecContext* encoder);
    void RegisterDecoder(AVCodecContext* decoder);
    void UnregisterDecoder(AVCodecContext* decoder);
    // Frees what the run's tables hold (not the codec contexts, which the job owns).
    void ReleaseRun(TTranscodeTables& run);

    // Steps of the run, in the order they happen.
    void SetUpRun(TTranscodeTables& run, const TStreamMap* streamMaps, int streamMapCount);
    void BuildInputTables(TTranscodeTables& run);
    void CheckOutputs(const TTranscodeTables& run, const TStreamMap* streamMaps, int streamMapCount);
    void BuildOutputTable(TTranscodeTables& run, const TStreamMap* streamMaps, int streamMapCount);
    int FindProgramStream(const TTranscodeTables& run, AVMediaType type) const;
    void PrepareOutputStream(TTranscodeTables& run, int n);
    void PrepareStreamCopy(const TTranscodeTables& run, TOutputStreamRecord& ost,
                           const TInputStreamRecord& ist);
    void PrepareEncoding(TOutputStreamRecord& ost, TInputStreamRecord& ist);
    void PrepareVideoResample(TOutputStreamRecord& ost, const TInputStreamRecord& ist);
    // The time base a decoder of this stream counts in: the context's when it has one, else one
    // picture of the stream's frame rate for video, one sample for audio; 0/1 when unknown.
    static AVRational DecoderTimeBase(const TInputStreamRecord& ist);
    void OpenPassLogFile(TOutputStreamRecord& ost, int n);
    void LogStreamMapping(const TTranscodeTables& run);
    void OpenOutputEncoders(TTranscodeTables& run, std::set<std::string>& reportedOptions);
    void OpenInputDecoders(TTranscodeTables& run);
    void ReportUnusedOptions(const AVDictionary* options, const char* kind, const char* name,
                             std::set<std::string>& reportedOptions);
    void ApplyMetaDataMaps(const TTranscodeTables& run);
    void OpenBitstreamFilters(TTranscodeTables& run);
    void WriteHeaders(TTranscodeTables& run, std::set<std::string>& reportedOptions);
    void RunMainLoop(TTranscodeTables& run);
    int ChooseInputFile(const TTranscodeTables& run, double& outputTimeMin) const;
    void CorrectTimestamps(TInputStreamRecord& ist, AVPacket* packet);
    bool InOutputWindow(const TInputStreamRecord& ist) const;
    void CopyPacket(TInputStreamRecord& ist, int index, TTranscodeTables& run,
                    const AVPacket* packet);
    void OutputDecodedFrame(TInputStreamRecord& ist, int index, TTranscodeTables& run,
                            AVFrame* frame);
    int DecodeSubtitle(TInputStreamRecord& ist, int index, TTranscodeTables& run,
                       const AVPacket* packet);
    void DrainEncoders(int index, TTranscodeTables& run);
    void FilterAndMux(AVPacket* packet, AVFormatContext* file, TOutputStreamRecord& ost,
                      size_t first);
    void ReportFilterFailure(const AVBSFContext* filter, int streamIndex,
                             const AVCodecContext* encoder, int code);
    void EndRun(TTranscodeTables& run);

    // ---- Video path (video_*.cpp) ----
    // Deinterlace and frame hooks on a decoded picture; may point its planes at a processed copy.
    void PreprocessPicture(TInputStreamRecord& ist, AVFrame* picture);
    // Syncs, crops, pads, scales and encodes `picture` (the decoder's or the graph's) for one
    // re-encoded video output; returns the encoded size of the last frame written, 0 for none.
    int VideoOutput(AVFormatContext* file, TOutputStreamRecord& ost, TInputStreamRecord& ist,
                    AVFrame* picture);
    // Builds ist's filter graph towards ost's encoder; 0, or -1 with FilterErrorText set.
    int ConfigureFilters(TInputStreamRecord& ist, TOutputStreamRecord& ost);
    // Pushes a waiting ist.FilterFrame into the graph, then takes one picture from its sink
    // into ist.FilterPicture, sets ist.Pts from it and makes `picture` show it: 1; -1 when the
    // graph has no picture ready.
    int PullFilteredPicture(TInputStreamRecord& ist, AVFrame* picture);

    // ---- Audio path (audio_*.cpp) ----
    // One decoded chunk (`samples`: the decoder's format, layout and rate, volume applied;
    // ist.Pts is the time of its first sample) for one re-encoded audio output.
    void AudioOutput(AVFormatContext* file, TOutputStreamRecord& ost, TInputStreamRecord& ist,
                     AVFrame* samples);

    // ---- Subtitle path (subtitle_*.cpp) ----
    // `pts` in ist.Stream->time_base (AV_NOPTS_VALUE when the packet had none).
    void WriteSubtitle(AVFormatContext* file, TOutputStreamRecord& ost, int64_t pts,
                       AVSubtitle* subtitle, TInputStreamRecord& ist);

    // ======== 1. File and map tables ========
    std::array<AVFormatContext*, MaxFiles> InputFiles{};
    int32_t InputFileCount = 0;
    std::array<int64_t, MaxFiles> InputTsOffset{};
    std::array<std::array<double, MaxStreamsPerFile>, MaxFiles> InputTsScale{};
    std::array<AVFormatContext*, MaxFiles> OutputFiles{};
    int32_t OutputFileCount = 0;
    std::array<TStreamMap, MaxStreamMaps> StreamMaps{};
    int32_t StreamMapCount = 0;
    std::array<TMetaDataMap, MaxMetaDataMaps> MetaDataMaps{};
    int32_t MetaDataMapCount = 0;
    std::array<std::array<BitstreamFilterChain, MaxStreamsPerFile>, MaxFiles> BitstreamFilterTable{};
    // This library generation keeps no codec context inside a stream: the job owns one decoder
    // context per input stream (made at input opening) and one encoder context per output
    // stream (made at stream creation), indexed like the files' streams.
    std::array<std::vector<AVCodecContext*>, MaxFiles> InputCodecContexts{};
    std::array<std::vector<AVCodecContext*>, MaxFiles> OutputCodecContexts{};

    // ======== 4. Library option contexts (made by Prepare) ========
    std::array<AVCodecContext*, MediaTypeCount> CodecOptions{};
    AVFormatContext* FormatOptions = nullptr;
    SwsContext* ScalerOptions = nullptr;
    std::vector<std::string> OptionNames;
    // Options that no generic context knows but an encoder (per media type) or the muxer of this
    // library generation takes privately; handed over when that encoder or muxer opens.
    std::array<AVDictionary*, MediaTypeCount> EncoderPrivateOptions{};
    AVDictionary* MuxerPrivateOptions = nullptr;

    // ======== 5. Run state ========
    bool Running = false;
    std::atomic<bool> StopRequested{false};
    bool Finished = false;
    bool Terminated = false;
    bool ExceptionRaised = false;
    std::string ExceptionMessage;
    std::string LastErrorText;
    int32_t TotalOutputDurationMs = -1;
    int64_t ProgressIntervalUs = 500000;
    std::atomic<TFFmpegThread*> WorkerThread{nullptr};

    // ======== 6. Handlers ========
    TBeforeHookHandler BeforeHookHandler;
    TCustomHookHandler CustomHookHandler;
    TLogHandler LogHandler;
    TProgressHandler ProgressHandler;
    TTerminateHandler TerminateHandler;

    // ======== Hook state of the video path ========
    int32_t HookFrameNumber = 0;
    THookAction HookAction = haContinue;
    std::vector<uint8_t> HookBuffer;
    platform::Bitmap24* HookBitmap = nullptr;
    int32_t HookBitmapBitsPerPixel = 24;
    AVPixelFormat HookRgbPixFmt = AV_PIX_FMT_BGR24;
    std::vector<uint8_t> RgbBuffer;
    SwsContext* ToRgbContext = nullptr;
    SwsContext* FromRgbContext = nullptr;
    std::string FilterErrorText;
    int32_t FramesDuplicated = 0;
    int32_t FramesDropped = 0;

    // ======== Transcode run state (counters for the progress report, codec registry) ========
    int64_t TimerStart = 0; // av_gettime when the main loop starts
    int64_t VideoBytes = 0; // video packet bytes produced (encoded or copied)
    int64_t AudioBytes = 0;
    int64_t GlobalHeaderBytes = 0; // sum of the encoders' extra data sizes
    std::array<int32_t, 52> QpHistogramCounts{};
    std::list<AVCodecContext*> OpenEncoders;
    std::list<AVCodecContext*> OpenDecoders;

};

} // namespace tarnwick::engine
