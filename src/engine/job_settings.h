#pragma once
// The settings of a job that its reset returns to their defaults: the pending per-file
// settings (consumed by the next input file or output stream) and the settings of the run.

#include "binding/frame_hooks.h"
#include "binding/media_headers.h"
#include "engine/engine_types.h"

#include <array>
#include <cstdint>
#include <cstdio>
#include <limits>
#include <string>
#include <vector>

namespace tarnwick::engine {

// A bitstream filter chain as named by the options; the transcode makes the filter contexts.
using BitstreamFilterChain = std::vector<const AVBitStreamFilter*>;

struct TPendingFileSettings {
    const AVInputFormat* ForcedInputFormat = nullptr;
    const AVOutputFormat* ForcedOutputFormat = nullptr;
    int32_t FrameWidth = 0;
    int32_t FrameHeight = 0;
    float FrameAspectRatio = 0;
    AVRational FrameRate{0, 0};
    int32_t FramePixFmt = -1;
    int32_t AudioSampleFmt = -1;
    int32_t PadTop = 0, PadBottom = 0, PadLeft = 0, PadRight = 0;
    std::array<int32_t, 3> PadColor{16, 128, 128}; // Y, U, V
    int32_t CropTop = 0, CropBottom = 0, CropLeft = 0, CropRight = 0;
    std::array<int32_t, 4> MaxFrames{2147483647, 2147483647, 2147483647, 2147483647}; // video, audio, data, subtitle
    float VideoQScale = 0;
    std::vector<uint16_t> IntraMatrix; // empty: none; else 64 coefficients
    std::vector<uint16_t> InterMatrix;
    std::string RcOverride;
    bool VideoDisable = false;
    int32_t VideoDiscard = 0;
    std::string VideoCodecName;
    uint32_t VideoCodecTag = 0;
    bool SameQuality = false;
    bool DoDeinterlace = false;
    // Pictures flagged interlaced pass a motion-adaptive deinterlacer before anything else sees
    // them, one picture out for each picture in; progressive ones pass untouched.
    bool AdaptiveDeinterlace = false;
    int32_t TopFieldFirst = -1;
    int32_t MeThreshold = 0;
    int32_t IntraDcPrecision = 8;
    bool LoopInput = false;
    int32_t LoopOutput = -1;
    bool QpHistogram = false;
    std::string VideoFilters;
    bool UsingFilters = false;
    bool IntraOnly = false;
    int32_t AudioSampleRate = 44100;
    float AudioQScale = -99999.0f;
    bool AudioDisable = false;
    int32_t AudioChannels = 2;
    std::string AudioCodecName;
    uint32_t AudioCodecTag = 0;
    std::string AudioLanguage;
    bool SubtitleDisable = false;
    std::string SubtitleCodecName;
    std::string SubtitleLanguage;
    bool AudioStreamCopy = false, VideoStreamCopy = false, SubtitleStreamCopy = false;
    BitstreamFilterChain VideoBitstreamFilters, AudioBitstreamFilters, SubtitleBitstreamFilters;
    int32_t VideoChannel = 0;
    std::string VideoStandard;
    bool RateEmulation = false;
    int32_t ProgramId = 0;

};

struct TRunSettings {
    int64_t RecordingTime = std::numeric_limits<int64_t>::max();
    int64_t StartTime = 0;
    int64_t InputTsOffsetOption = 0;
    int64_t RecTimestamp = 0;
    std::string Title, Author, Copyright, Comment, Genre, Album;
    int32_t Year = 0, Track = 0;
    int64_t LimitFileSize = 0;
    float MuxPreload = 0.5f;
    float MuxMaxDelay = 0.7f;
    bool DoHexDump = false, DoPktDump = false, DoPsnr = false;
    int32_t DoPass = 0;
    std::string PassLogFileName;
    int32_t VideoSyncMethod = -1;
    int32_t AudioSyncMethod = 0;
    float AudioDriftThreshold = 0.1f;
    bool CopyTs = false;
    bool Shortest = false;
    int32_t VideoGlobalHeader = 0;
    std::string VstatsFileName;
    FILE* VstatsFile = nullptr;
    int32_t AudioVolume = 256;
    bool ExitOnError = false;
    bool UsingVhook = false;
    binding::FrameHookList FrameHookList;
    int32_t Verbose = 1;
    // 0 lets each codec use one thread per core.
    int32_t ThreadCount = 0;
    bool InputSync = false;
    bool PgmyuvCompatibility = false;
    float DtsDeltaThreshold = 10.0f;
    int32_t SwsFlags = SWS_BICUBIC;
    int32_t BitBufferSize = 262144;
    uint8_t* BitBuffer = nullptr;
    std::vector<THookRange> HookRanges;
    int32_t HookRangeIndex = 0;

};

} // namespace tarnwick::engine
