// Frame rate, size, aspect, pixel and sample formats, crops, pads and the pad colour.

#include "engine/custom_ffmpeg.h"

#include "binding/media_libraries.h"
#include "platform/convert.h"
#include "platform/ffmpeg_exception.h"

#include <cmath>

namespace tarnwick::engine {

using binding::AV;
using platform::FFMpegException;

namespace {

// A number too large for the ratio counts as malformed too.
float DecimalOrZero(const std::string& text) {
    try {
        const auto value = static_cast<float>(platform::StrToFloat(text));
        return std::isfinite(value) ? value : 0;
    } catch (const platform::EConvertError&) {
        return 0;
    }
}

int32_t IntegerOrZero(const std::string& text) {
    try {
        return platform::StrToInt(text);
    } catch (const platform::EConvertError&) {
        return 0;
    }
}

void CheckEven(int32_t value, const char* side, const char* kind) {
    if (value % 2 != 0)
        throw FFMpegException(std::string(side) + " " + kind + " size must be a multiple of 2");
}

const char* const VerticalCropMessage =
    "Vertical crop dimensions are outside the range of the original image.\n"
    "Remember to crop first and scale second.";
const char* const HorizontalCropMessage =
    "Horizontal crop dimensions are outside the range of the original image.\n"
    "Remember to crop first and scale second.";

// A crop band of `value` lines or columns taken from `frameExtent`.
void Crop(int32_t value, const char* side, const char* rangeMessage, int32_t& band,
          int32_t& frameExtent) {
    if (value < 0) return;
    CheckEven(value, side, "crop");
    // A band of nothing fits any frame, also the empty one of an input without pictures (a
    // sound file given a video preset, whose output then has sound alone).
    if (value > 0 && value >= frameExtent) throw FFMpegException(rangeMessage);
    band = value;
    frameExtent -= value;
}

void Pad(int32_t value, const char* side, int32_t& band) {
    if (value < 0) return;
    CheckEven(value, side, "pad");
    band = value;
}

int32_t FloorDiv(int32_t numerator, int32_t denominator) {
    int32_t quotient = numerator / denominator;
    if ((numerator % denominator != 0) && ((numerator < 0) != (denominator < 0))) --quotient;
    return quotient;
}

} // namespace

void TCustomFFmpeg::SetFrameRate(const std::string& value) {
    if (value.empty()) return;
    AVRational rate{0, 0};
    if (AV.av_parse_video_rate(&rate, value.c_str()) < 0)
        throw FFMpegException("Incorrect frame rate");
    FrameRate = rate;
}

void TCustomFFmpeg::SetFrameSize(const std::string& value) {
    if (value.empty()) return;
    int width = 0, height = 0;
    if (AV.av_parse_video_size(&width, &height, value.c_str()) < 0)
        throw FFMpegException("Incorrect frame size");
    // Stored before the check: an odd size stays as given.
    FrameWidth = width;
    FrameHeight = height;
    if (width % 2 != 0 || height % 2 != 0)
        throw FFMpegException("Frame size must be a multiple of 2");
}

void TCustomFFmpeg::SetAspect(const std::string& value) {
    if (value.empty()) return;
    float ratio = 0;
    const size_t colon = value.find(':');
    if (colon == std::string::npos) {
        ratio = DecimalOrZero(value);
    } else {
        const int32_t x = IntegerOrZero(value.substr(0, colon));
        const int32_t y = IntegerOrZero(value.substr(colon + 1));
        ratio = y > 0 ? static_cast<float>(x) / static_cast<float>(y) : 0;
    }
    if (ratio == 0) throw FFMpegException("Incorrect aspect ratio specification.");
    FrameAspectRatio = ratio;
}

void TCustomFFmpeg::SetPixFmt(const std::string& value) {
    if (value != "list") {
        FramePixFmt = AV.av_get_pix_fmt(value.c_str());
        return;
    }
    if (!LogHandler) return;
    char line[128];
    Log(1, platform::Trim(AV.av_get_pix_fmt_string(line, sizeof line, AV_PIX_FMT_NONE)));
    for (int i = 0; AV.av_pix_fmt_desc_get(static_cast<AVPixelFormat>(i)); ++i)
        Log(1, platform::Trim(AV.av_get_pix_fmt_string(line, sizeof line,
                                                       static_cast<AVPixelFormat>(i))));
}

void TCustomFFmpeg::SetSampleFmt(const std::string& value) {
    if (value != "list") {
        AudioSampleFmt = AV.av_get_sample_fmt(value.c_str());
        return;
    }
    if (!LogHandler) return;
    char line[128];
    Log(1, platform::Trim(AV.av_get_sample_fmt_string(line, sizeof line, AV_SAMPLE_FMT_NONE)));
    for (int format = 0; AV.av_get_sample_fmt_name(static_cast<AVSampleFormat>(format)); ++format)
        Log(1, platform::Trim(AV.av_get_sample_fmt_string(line, sizeof line,
                                                          static_cast<AVSampleFormat>(format))));
}

void TCustomFFmpeg::SetCropTop(int32_t value) {
    Crop(value, "Top", VerticalCropMessage, CropTop, FrameHeight);
}
void TCustomFFmpeg::SetCropBottom(int32_t value) {
    Crop(value, "Bottom", VerticalCropMessage, CropBottom, FrameHeight);
}
void TCustomFFmpeg::SetCropLeft(int32_t value) {
    Crop(value, "Left", HorizontalCropMessage, CropLeft, FrameWidth);
}
void TCustomFFmpeg::SetCropRight(int32_t value) {
    Crop(value, "Right", HorizontalCropMessage, CropRight, FrameWidth);
}

void TCustomFFmpeg::SetPadTop(int32_t value) { Pad(value, "Top", PadTop); }
void TCustomFFmpeg::SetPadBottom(int32_t value) { Pad(value, "Bottom", PadBottom); }
void TCustomFFmpeg::SetPadLeft(int32_t value) { Pad(value, "Left", PadLeft); }
void TCustomFFmpeg::SetPadRight(int32_t value) { Pad(value, "Right", PadRight); }

void TCustomFFmpeg::SetPadColor(int32_t color) {
    const int32_t r = color & 0xff;
    const int32_t g = (color >> 8) & 0xff;
    const int32_t b = (color >> 16) & 0xff;
    // Full-range weights times 1024, rounded; the divisions round down.
    PadColor[0] = FloorDiv(307 * r + 602 * g + 117 * b + 512, 1024);
    PadColor[1] = FloorDiv(-173 * r - 340 * g + 512 * b + 511, 1024) + 128;
    PadColor[2] = FloorDiv(512 * r - 429 * g - 84 * b + 511, 1024) + 128;
}

} // namespace tarnwick::engine
