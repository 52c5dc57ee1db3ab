#include "engine/custom_ffmpeg.h"

#include "binding/frame_hooks.h"
#include "binding/media_libraries.h"

#include <chrono>
#include <thread>

namespace tarnwick::engine {

using binding::AV;

TCustomFFmpeg::TCustomFFmpeg() { Reset(); }

TCustomFFmpeg::~TCustomFFmpeg() {
    Stop();
    // A running worker clears WorkerThread in Finish; give it about a second.
    for (int i = 0; i < 10 && WorkerThread.load() != nullptr; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    FreeJobResources();
}

void TCustomFFmpeg::Reset() {
    static_cast<TPendingFileSettings&>(*this) = TPendingFileSettings{};
    static_cast<TRunSettings&>(*this) = TRunSettings{};
    InputFileCount = 0;
    OutputFileCount = 0;
    StreamMapCount = 0;
    MetaDataMapCount = 0;
    ExceptionRaised = false;
    HookFrameNumber = 0;
    HookAction = haContinue;
    HookRgbPixFmt = AV_PIX_FMT_BGR24;
    HookBitmapBitsPerPixel = 24;
    HookBitmap = nullptr;
    ToRgbContext = nullptr;
    FromRgbContext = nullptr;
    FilterErrorText.clear();
    FramesDuplicated = 0;
    FramesDropped = 0;
}

void TCustomFFmpeg::Prepare() {
    if (!binding::MediaLibrariesLoaded()) return;
    FreeJobResources();
    Reset();
    Running = false;
    StopRequested = false;
    Finished = false;
    Terminated = false;
    TotalOutputDurationMs = -1;
    for (int type = 0; type < MediaTypeCount; ++type) {
        // Contexts without a codec carry every generic option with its default; the media
        // type selects which options apply to them.
        AVCodecContext* context = AV.avcodec_alloc_context3(nullptr);
        if (context) context->codec_type = static_cast<AVMediaType>(type);
        CodecOptions[type] = context;
    }
    FormatOptions = AV.avformat_alloc_context();
    ScalerOptions = AV.sws_alloc_context();
    if (ScalerOptions) {
        AV.av_opt_set_int(ScalerOptions, "srcw", 16, 0);
        AV.av_opt_set_int(ScalerOptions, "srch", 16, 0);
        AV.av_opt_set_int(ScalerOptions, "dstw", 16, 0);
        AV.av_opt_set_int(ScalerOptions, "dsth", 16, 0);
        AV.av_opt_set_int(ScalerOptions, "sws_flags", SwsFlags, 0);
    }
}

void TCustomFFmpeg::FreeJobResources() {
    if (!binding::MediaLibrariesLoaded()) return;

    for (auto& context : CodecOptions) AV.avcodec_free_context(&context);
    if (FormatOptions) {
        AV.avformat_free_context(FormatOptions);
        FormatOptions = nullptr;
    }
    if (ScalerOptions) {
        AV.sws_freeContext(ScalerOptions);
        ScalerOptions = nullptr;
    }
    for (auto& dictionary : EncoderPrivateOptions) AV.av_dict_free(&dictionary);
    AV.av_dict_free(&MuxerPrivateOptions);

    for (int i = 0; i < OutputFileCount; ++i) ReleaseOutputFile(i);
    OutputFileCount = 0;

    for (int i = 0; i < InputFileCount; ++i) {
        for (AVCodecContext*& decoder : InputCodecContexts[i]) AV.avcodec_free_context(&decoder);
        InputCodecContexts[i].clear();
        InputRateEmulation[i] = false;
        InputCutBeforeStart[i] = false;
        if (InputFiles[i]) AV.avformat_close_input(&InputFiles[i]);
    }
    InputFileCount = 0;

    IntraMatrix.clear();
    InterMatrix.clear();
    if (VstatsFile) {
        std::fclose(VstatsFile);
        VstatsFile = nullptr;
    }
    VstatsFileName.clear();
    OptionNames.clear();
    for (auto& names : CodecOptionNames)
        names.clear();
    VideoCodecName.clear();
    AudioCodecName.clear();
    SubtitleCodecName.clear();
    VideoStandard.clear();
    RcOverride.clear();
    AudioLanguage.clear();
    SubtitleLanguage.clear();

    AV.av_freep(&BitBuffer);
    binding::ReleaseFrameHooks(FrameHookList);
    delete HookBitmap;
    HookBitmap = nullptr;
    AV.av_frame_free(&HookBuffer);
    RgbBuffer.Release();
    ReleaseMediaPathBuffers();
    AV.sws_freeContext(ToRgbContext);
    ToRgbContext = nullptr;
    AV.sws_freeContext(FromRgbContext);
    FromRgbContext = nullptr;
}

} // namespace tarnwick::engine
