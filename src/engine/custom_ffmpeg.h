#pragma once
// One conversion job: every setting the option texts write, the tables of opened files and
// maps, and the run entry. Its member functions live in several files by topic.
//
// Threads: options are applied and files opened on the owner's thread; the run happens on the
// job's worker thread (or the caller's thread when not threaded). A job is used by one thread
// at a time, except Stop, which any thread may call.

#include "binding/frame_hooks.h"
#include "binding/media_headers.h"
#include "binding/scaler_buffer.h"
#include "engine/engine_types.h"
#include "engine/ffmpeg_thread.h"
#include "engine/job_settings.h"
#include "engine/output_file_origin.h"
#include "engine/sample_buffer.h"
#include "engine/transcode_records.h"
#include "platform/bitmap24.h"
#include "platform/thread_priority.h"

#include <array>
#include <atomic>
#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <deque>
#include <functional>
#include <limits>
#include <list>
#include <set>
#include <string>
#include <vector>

namespace tarnwick::engine {

class TCustomFFmpeg;

// The five handlers; each is called only when set.
using TBeforeHookHandler =
    std::function<void(TCustomFFmpeg& job, int64_t pts, THookAction& action)>;
using TCustomHookHandler =
    std::function<void(TCustomFFmpeg& job, platform::Bitmap24& bitmap, int32_t frameNumber,
                       int64_t pts, bool& update, bool& stop)>;
using TLogHandler = std::function<void(TCustomFFmpeg& job, int level, const std::string& text)>;
using TProgressHandler = std::function<void(TCustomFFmpeg& job, int32_t frameNumber, int32_t fps,
                                            int32_t currentDurationMs, float quality, float bitRate,
                                            int64_t currentSize, int32_t totalOutputDurationMs)>;
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
    // After a run that raised: removes every output file it created and empties every regular
    // file it overwrote. Whatever part was written (a header, some packets, no trailer) cannot
    // be told from a finished file. Devices, pipes and links are left alone.
    void DiscardOutputFiles();
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

    // ---- Option text (option_dispatcher.cpp) ----
    // Splits the text into name=value lines and dispatches each in order. An error ends the
    // text at that line; earlier lines stay applied.
    void ApplyOptionText(const std::string& text);
    // Looks the name up (exactly, case-sensitively) and performs its action; unknown names go
    // to SetGenericOption. Raises FFMpegException or platform::EConvertError.
    void DispatchOption(const std::string& name, const std::string& value);
    void IgnoreOption(const std::string& name);
    [[noreturn]] void RefuseOption(const std::string& name);

    // ---- Option value handlers (options_*.cpp); each raises FFMpegException ----
    // Formats (options_formats.cpp)
    void SetFormat(const std::string& value);
    void SetInputFormat(const std::string& value);
    void SetOutputFormat(const std::string& value);
    // Library options by name (options_generic.cpp). Returns whether a generic context or an
    // encoder's or muxer's private options took the name.
    bool SetGenericOption(const std::string& name, const std::string& value);
    bool SetGenericIntOption(const std::string& name, int32_t value);
    // Copies every option set on source (a codec option context: CodecOptionNames of its type;
    // else OptionNames) to target when the option's flags hold all bits of `flags`
    // (AV_OPT_FLAG_*). Both are objects with an AVClass.
    void ApplyContextOptions(void* target, void* source, int flags);
    void SetBitRate(const std::string& name, const std::string& value);
    // Private options kept for an encoder of the media type or for the muxer.
    // The caller owns the returned copy (pass it to avcodec_open2 / avformat_write_header,
    // then to ReportUnusedPrivateOptions, then free it).
    AVDictionary* CopyEncoderPrivateOptions(int mediaType) const;
    AVDictionary* CopyMuxerPrivateOptions() const;
    // Logs each option left in `leftover` as not used by `consumer`, once per name and job.
    void ReportUnusedPrivateOptions(const AVDictionary* leftover, const std::string& consumer);
    // Maps and times (options_maps_times.cpp)
    void SetStreamMap(const std::string& value);
    void SetMetaDataMap(const std::string& value);
    void SetRecordingTime(const std::string& name, const std::string& value);
    void SetRecordingTimeMs(int32_t ms);
    void SetStartTime(const std::string& name, const std::string& value);
    void SetStartTimeUs(int64_t us);
    void SetInputTsOffset(const std::string& name, const std::string& value);
    void SetRecTimestamp(const std::string& name, const std::string& value);
    void SetInputTsScale(const std::string& value);
    // Metadata: an empty value leaves the field as it was.
    void SetTitle(const std::string& value);
    void SetAuthor(const std::string& value);
    void SetCopyright(const std::string& value);
    void SetComment(const std::string& value);
    void SetGenre(const std::string& value);
    void SetAlbum(const std::string& value);
    // Picture and sound formats (options_picture.cpp)
    void SetFrameRate(const std::string& value);
    void SetFrameSize(const std::string& value);
    void SetAspect(const std::string& value);
    void SetPixFmt(const std::string& value);
    void SetSampleFmt(const std::string& value);
    // Crops shrink the current frame size, so they follow the input opening or "s".
    void SetCropTop(int32_t value);
    void SetCropBottom(int32_t value);
    void SetCropLeft(int32_t value);
    void SetCropRight(int32_t value);
    void SetPadTop(int32_t value);
    void SetPadBottom(int32_t value);
    void SetPadLeft(int32_t value);
    void SetPadRight(int32_t value);
    // Red in the lowest byte, then green, then blue.
    void SetPadColor(int32_t color);
    // Codecs, tags, quantisers, statistics, hooks, filters (options_codecs.cpp)
    void SetVideoCodec(const std::string& value);
    void SetAudioCodec(const std::string& value);
    void SetSubtitleCodec(const std::string& value);
    void SetVideoTag(const std::string& value);
    void SetAudioTag(const std::string& value);
    void SetQScale(const std::string& value);
    void SetPass(int32_t value);
    void SetIntraMatrix(const std::string& value);
    void SetInterMatrix(const std::string& value);
    void SetVstats();
    void SetVstatsFile(const std::string& value);
    void AddVideoHook(const std::string& value);
    void AddBitstreamFilter(const std::string& name, const std::string& value);
    void SetProgramId(int32_t value);

    // ---- Input opening (input.cpp, codec_lookup.cpp) ----
    // Opens `fileName` with the pending input settings, reads its stream information, seeks to
    // StartTime, makes one decoder context per stream into InputCodecContexts[file] (made from
    // the stream's parameters for the stream's decoder, not opened), copies the input's picture
    // and sound parameters into the pending fields and registers the file. False: nothing was
    // added, LastErrorText says why. Raises only for a stream of an invalid media type.
    bool OpenInputFile(const std::string& fileName);
    // Whether some input holds a video, an audio, a subtitle stream.
    void CheckInputStreamTypes(bool& hasVideo, bool& hasAudio, bool& hasSubtitle);
    // An empty name gives AV_CODEC_ID_NONE and true. Otherwise the encoder or decoder of that
    // name ("libfaac" and "libamr_nb" stand for the encoders this library has instead); false
    // with LastErrorText "Unknown %s '%s'" or "Invalid %s type '%s'". `codec` (optional)
    // receives the codec found.
    bool FindCodecId(const std::string& name, AVMediaType type, bool encoder, AVCodecID& id,
                     const AVCodec** codec = nullptr);

    // ---- Output opening (output.cpp, output_streams.cpp) ----
    // Finds the muxer, creates the wanted streams with their encoder contexts, copies the
    // metadata and opens the file for writing. False: LastErrorText says why, nothing stays.
    //
    // State of an output after success, which the transcode relies on:
    // - OutputFiles[i] is made by avformat_alloc_output_context2 (muxer private data with its
    //   defaults); unless the muxer has AVFMT_NOFILE, pb is open (avio_open2, writing). The
    //   header is NOT written: the transcode writes it with CopyMuxerPrivateOptions(). The
    //   format options are applied, max_delay is set, and the muxer's private "preload" (mpeg)
    //   and "loop" (gif) are set on priv_data.
    // - Stream j of the file has OutputCodecContexts[i][j]; OutputStreamCopy[i][j] tells a copy.
    //   A copy's context has no codec (codec_type and, for video, sample_aspect_ratio set).
    //   An encoding stream's context is avcodec_alloc_context3(encoder) (codec set, nullptr
    //   when the library has no encoder for the guessed id, codec_id set either way) with the
    //   generic options applied and: video: width/height (padded), time_base (1/frame rate,
    //   snapped to the encoder's list), framerate, sample_aspect_ratio, pix_fmt, gop_size,
    //   flags (QSCALE with global_quality in lambda, PSNR, PASS1/2, GLOBAL_HEADER),
    //   matrices, rc_override, rc_initial_buffer_occupancy, intra_dc_precision, thread_count,
    //   codec_tag; audio: sample_rate, time_base 1/sample_rate, ch_layout (AudioChannels),
    //   sample_fmt, flags/global_quality, thread_count, codec_tag; subtitle: codec only. It is
    //   not opened. A codec tag the container cannot store is already dropped (see
    //   codec_tags.h; apply the same to copied streams).
    // - The stream's codecpar holds the context's parameters (avcodec_parameters_from_context)
    //   and its metadata the language; the muxer may still change stream time bases at header
    //   time. BitstreamFilterTable[i][j] holds the stream's bitstream filter chain.
    bool OpenOutputFile(const std::string& fileName);
    // Add one stream (and its encoder context) to `output`, which is OutputFiles[i] or the
    // output being opened; raise FFMpegException on failure.
    void NewVideoStream(AVFormatContext* output);
    void NewAudioStream(AVFormatContext* output);
    void NewSubtitleStream(AVFormatContext* output);
    // "newvideo", "newaudio", "newsubtitle": a stream for the last output.
    void AddVideoStreamToLastOutput();
    void AddAudioStreamToLastOutput();
    void AddSubtitleStreamToLastOutput();
    // Whether the filter text names a filter that changes the picture size.
    static bool HasResizingFilter(const std::string& filters);
    // Closes output i's file (deleting it when empty) and frees its encoder contexts and
    // context; the table entry becomes nullptr. The count is the caller's business.
    void ReleaseOutputFile(int index);

    // ---- Target presets (targets.cpp) ----
    // Type "vcd", "svcd", "dvd", "dv" or "dv50"; norm "pal", "ntsc", "film" or anything else
    // for the choice by frame rate, falling back on `defaultNorm`. Raises FFMpegException.
    void ApplyTarget(const std::string& type, const std::string& norm,
                     const std::string& defaultNorm);
    // "target": "[pal-|ntsc-|film-]type".
    void SetTarget(const std::string& value);

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
    void CheckOutputs(const TTranscodeTables& run, const TStreamMap* streamMaps,
                      int streamMapCount);
    void BuildOutputTable(TTranscodeTables& run, const TStreamMap* streamMaps, int streamMapCount);
    int FindProgramStream(const TTranscodeTables& run, AVMediaType type) const;
    void PrepareOutputStream(TTranscodeTables& run, int n);
    void PrepareStreamCopy(const TTranscodeTables& run, TOutputStreamRecord& ost,
                           const TInputStreamRecord& ist);
    void PrepareEncoding(TOutputStreamRecord& ost, TInputStreamRecord& ist);
    // The turner and the picture size, format and aspect of a decoded video stream, once.
    void PrepareUprightPictures(TInputStreamRecord& ist);
    // The stream's motion-adaptive deinterlacer when the job asks for one, once.
    void PrepareDeinterlacer(TInputStreamRecord& ist);
    void PrepareVideoResample(TOutputStreamRecord& ost, const TInputStreamRecord& ist);
    static void GiveSubtitleHeader(AVCodecContext* encoder, const AVCodecParameters* source);
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
    // Copied packets and subtitles: whether the data at ist.Pts lies between the start time and
    // the end of the recording time.
    bool InOutputWindow(const TInputStreamRecord& ist) const;
    // Decoded pictures and sound: whether the data at ist.Pts lies before the output's start.
    bool BeforeOutputStart(const TInputStreamRecord& ist) const;
    void CopyPacket(TInputStreamRecord& ist, int index, TTranscodeTables& run,
                    const AVPacket* packet);
    void OutputDecodedFrame(TInputStreamRecord& ist, int index, TTranscodeTables& run,
                            AVFrame* frame);
    // One picture of the stream at ist.Pts, deinterlaced when the job asks for it: turned,
    // pre-processed, filtered and handed to the encoders.
    void OutputPicture(TInputStreamRecord& ist, int index, TTranscodeTables& run, AVFrame* picture);
    // Every picture the deinterlacer has ready, through OutputPicture; `picture` is the blank
    // frame they arrive in.
    void OutputDeinterlacedPictures(TInputStreamRecord& ist, int index, TTranscodeTables& run,
                                    AVFrame* picture);
    // Waits until the stream's next frame is due by its real time (rate emulation).
    void EmulateRate(TInputStreamRecord& ist);
    // Hands one frame (a decoded one, or a picture of the graph) to every re-encoded output
    // of the stream.
    void FeedEncoders(int index, TTranscodeTables& run, TInputStreamRecord& ist, AVFrame* frame);
    // At the end of the input: the pictures the stream's filter graph still holds.
    void FlushFilterGraph(TInputStreamRecord& ist, int index, TTranscodeTables& run);
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

    // Encoder samples given to the stream's audio path and not yet encoded (FIFO, resampler).
    static int64_t QueuedAudioSamples(const TOutputStreamRecord& ost);

    // At the end of input: encodes what waits in the resampler and the FIFO (a short last frame
    // where the encoder allows one, else padded with silence to a whole frame), then drains the
    // encoder's delayed packets.
    void DrainAudioOutput(AVFormatContext* file, TOutputStreamRecord& ost);

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
    std::array<std::array<BitstreamFilterChain, MaxStreamsPerFile>, MaxFiles>
        BitstreamFilterTable{};
    // This library generation keeps no codec context inside a stream: the job owns one decoder
    // context per input stream (made at input opening) and one encoder context per output
    // stream (made at stream creation), indexed like the files' streams.
    std::array<std::vector<AVCodecContext*>, MaxFiles> InputCodecContexts{};
    std::array<std::vector<AVCodecContext*>, MaxFiles> OutputCodecContexts{};

    // ======== Opened files: what the library generation keeps outside its contexts ========
    // Per output file: what its path named before the job opened it (output_file_origin.h).
    std::array<TOutputFileOrigin, MaxFiles> OutputFileOrigins{};
    // Per output file and stream: the stream is copied, not encoded.
    std::array<std::vector<bool>, MaxFiles> OutputStreamCopy{};
    // Per input file: "re" was given for it (feed no faster than real time).
    std::array<bool, MaxFiles> InputRateEmulation{};
    // Per input file: it was opened at a start time. Its clock then counts from that point, and
    // what it decodes from before it (the seek lands on the key frame before) is not output.
    std::array<bool, MaxFiles> InputCutBeforeStart{};

    // ======== 4. Library option contexts (made by Prepare) ========
    std::array<AVCodecContext*, MediaTypeCount> CodecOptions{};
    AVFormatContext* FormatOptions = nullptr;
    SwsContext* ScalerOptions = nullptr;
    std::vector<std::string> OptionNames;
    // Per media type: the names set on that type's codec option context, which are all that
    // ApplyContextOptions copies from it. A name set for one type alone (the video's "b") must
    // not carry the other contexts' defaults to their encoders.
    std::array<std::vector<std::string>, MediaTypeCount> CodecOptionNames;
    // Options that no generic context knows but an encoder (per media type) or the muxer of this
    // library generation takes privately; handed over when that encoder or muxer opens.
    std::array<AVDictionary*, MediaTypeCount> EncoderPrivateOptions{};
    AVDictionary* MuxerPrivateOptions = nullptr;

    // ======== Option handler state ========
    // The texts the frame-hook arguments point into; a module may keep those pointers.
    std::deque<std::string> VideoHookArgumentTexts;
    // Private options already reported as not used.
    std::set<std::string> ReportedUnusedOptions;

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
    // Working copy of the decoded picture (deinterlaced, hooked); a picture with buffers of its
    // own, since the encoders and filters that take it may keep references to them.
    AVFrame* HookBuffer = nullptr;
    platform::Bitmap24* HookBitmap = nullptr;
    int32_t HookBitmapBitsPerPixel = 24;
    AVPixelFormat HookRgbPixFmt = AV_PIX_FMT_BGR24;
    binding::ScalerPictureBuffer RgbBuffer;
    SwsContext* ToRgbContext = nullptr;
    SwsContext* FromRgbContext = nullptr;
    std::string FilterErrorText;
    int32_t FramesDuplicated = 0;
    int32_t FramesDropped = 0;

    // ======== Work buffers of the video, audio and subtitle paths (made at first need, kept
    // for later runs of the job, released by FreeJobResources) ========
    AVFrame* VideoEncodeFrame = nullptr;     // the picture handed to a video encoder, per frame
    TSampleBuffer AudioBuf;                  // resampler or sample-format converter output
    TSampleBuffer SilenceBuffer;             // silence followed by a chunk, when the sync adds some
    uint8_t* SubtitleEncodeBuffer = nullptr; // SubtitleEncodeBufferSize bytes
    static constexpr int SubtitleEncodeBufferSize = 65536;
    void ReleaseMediaPathBuffers();

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
