#pragma once
// The texts of the file information dialog, from a probe opened on the file and the probe of
// a job that opened the same file.

#include "probe/av_probe.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace tarnwick::app {

struct TFileInfoTexts {
    std::string SourceName; // "File Name:"
    std::string FileLength; // "Duration:"
    std::string Format;     // the container's short name
    std::string Resolution; // "720x576"
    std::string BitRate;    // bit/s, 0 when the library does not know it
    std::string FrameRate;  // "29.97"
    std::string TotalFrames;
    std::string AudioFormat; // the codec as the information text names it
    std::string AudioBitRate;
    std::string SampleRate;
    std::string Channels;
};

// The audio codec named in a probe's information text: what follows the first "Audio: " up to
// the next comma. Empty when the text has no "Audio:" or no comma after it.
std::string AudioCodecOfInfoText(std::string_view infoText);
// A frame rate with two decimals ("29.97"); empty when the rate is unknown.
std::string FrameRateText(int32_t numerator, int32_t denominator);
// The pictures a stream of that rate holds over the duration, rounded; empty when either is
// unknown.
std::string TotalFramesText(int64_t durationUs, int32_t numerator, int32_t denominator);

// Everything the dialog shows. `probe` is open on the file; `jobProbe` describes the job's
// input of the same file, whose stream parameters fill the boxes. A file without video shows
// nothing at all; one without sound leaves the audio boxes empty.
TFileInfoTexts DescribeFileInfo(probe::TAVProbe& probe, probe::TAVProbe& jobProbe);

} // namespace tarnwick::app
