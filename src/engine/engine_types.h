#pragma once
// Small types shared by the engine and the layers above it.

#include <cstdint>

namespace tarnwick::engine {

// Answer of the before-hook handler: hook this picture, skip it, or stop hooking for the run.
enum THookAction { haContinue = 0, haIgnore = 1, haStop = 2 };

// Capacities of the job's tables; adding past them is refused with an FFMpegException.
inline constexpr int MaxFiles = 20;
inline constexpr int MaxStreamsPerFile = 20;
inline constexpr int MaxStreamMaps = 400;
inline constexpr int MaxMetaDataMaps = 20;

// Media type numbers of the libraries: 0 video, 1 audio, 2 data, 3 subtitle, 4 attachment.
inline constexpr int MediaTypeCount = 5;

struct TStreamMap {
    int32_t FileIndex = 0;
    int32_t StreamIndex = 0;
    int32_t SyncFileIndex = 0;
    int32_t SyncStreamIndex = 0;
};

struct TMetaDataMap {
    int32_t OutFile = 0;
    int32_t InFile = 0;
};

struct THookRange {
    int64_t StartUs = 0;
    int64_t EndUs = 0;
};

} // namespace tarnwick::engine
