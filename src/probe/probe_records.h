#pragma once
// The records a probe fills: container facts and one video or audio stream's parameters.
// Texts are zero-terminated byte arrays, cut to fit; every number starts at -1 (the stream
// records) so an unfilled record is recognisable.

#include <cstdint>

namespace tarnwick::probe {

// How a video stream's pictures were taken: whole, or as two fields of alternate lines, one a
// field time after the other (interlaced, as television and camcorders record).
enum TScanType { stUnknown, stProgressive, stTopFieldFirst, stBottomFieldFirst };

struct TAVFormatInfo {
    int64_t StartTime = -1; // µs
    int64_t Duration = -1;  // µs
    int32_t BitRate = -1;   // bit/s, 0 = not available
    int64_t TimeStamp = -1; // seconds since 1970-01-01 UTC, 0 = none
    char Title[512] = {};
    char Author[512] = {};
    char Copyright[512] = {};
    char Comment[512] = {};
    char Album[512] = {};
    int32_t Year = -1;  // 0 = none
    int32_t Track = -1; // 0 = none
    char Genre[32] = {};
};

struct TAVVideoStreamInfo {
    char Language[4] = {};
    char CodecName[32] = {};
    int64_t StartTime = -1; // stream time base; may be the missing-timestamp value
    int64_t StartTimeUs = -1;
    int64_t Duration = -1; // stream time base; may be the missing-timestamp value
    int64_t DurationUs = -1;
    int32_t BitRate = -1;
    int32_t Height = -1;
    int32_t Width = -1;
    float AspectRatio = -1.0f; // display aspect ratio, 0 when the sample aspect is unknown
    int32_t PixelFormat = -1;  // the libraries' pixel format number
    int32_t FrameRateNum = -1; // the stream's real frame rate
    int32_t FrameRateDen = -1;
    // From the stream's field order, else from the last picture the probe decoded of it.
    TScanType ScanType = stUnknown;
};

struct TAVAudioStreamInfo {
    char Language[4] = {};
    char CodecName[32] = {};
    int64_t StartTime = -1;
    int64_t StartTimeUs = -1;
    int64_t Duration = -1;
    int64_t DurationUs = -1;
    int32_t BitRate = -1;
    int32_t Channels = -1;
    int32_t SampleRate = -1;
    int32_t SampleFormat = -1; // the libraries' sample format number
};

} // namespace tarnwick::probe
