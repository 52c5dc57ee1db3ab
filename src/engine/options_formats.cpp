// Forced container formats for the next input and output.

#include "engine/custom_ffmpeg.h"

#include "binding/media_libraries.h"
#include "platform/ffmpeg_exception.h"

namespace tarnwick::engine {

using binding::AV;
using platform::FFMpegException;

namespace {

// "pgmyuv" is read and written by the image sequence format in its compatibility mode.
std::string ResolveFormatName(TCustomFFmpeg& job, const std::string& value) {
    if (value != "pgmyuv") return value;
    job.PgmyuvCompatibility = true;
    job.Log(1, "pgmyuv format is deprecated, use image2");
    return "image2";
}

} // namespace

void TCustomFFmpeg::SetFormat(const std::string& value) {
    if (value.empty()) return;
    const std::string name = ResolveFormatName(*this, value);
    ForcedInputFormat = AV.av_find_input_format(name.c_str());
    ForcedOutputFormat = AV.av_guess_format(name.c_str(), nullptr, nullptr);
    if (!ForcedInputFormat && !ForcedOutputFormat)
        throw FFMpegException("Unknown input or output format: " + name);
}

void TCustomFFmpeg::SetInputFormat(const std::string& value) {
    if (value.empty()) return;
    const std::string name = ResolveFormatName(*this, value);
    ForcedInputFormat = AV.av_find_input_format(name.c_str());
    if (!ForcedInputFormat) throw FFMpegException("Unknown input format: " + name);
}

void TCustomFFmpeg::SetOutputFormat(const std::string& value) {
    if (value.empty()) return;
    const std::string name = ResolveFormatName(*this, value);
    ForcedOutputFormat = AV.av_guess_format(name.c_str(), nullptr, nullptr);
    if (!ForcedOutputFormat) throw FFMpegException("Unknown output format: " + name);
}

} // namespace tarnwick::engine
