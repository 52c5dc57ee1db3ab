#include "app/core/apply_preset.h"

#include "app/core/preset_choices.h"
#include "app/core/presets.h"
#include "platform/convert.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <limits>

namespace tarnwick::app {
namespace {

using component::TInputOptions;
using component::TOutputOptions;
using platform::IniStore;
using platform::StrToInt;

bool SameText(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) ==
               std::tolower(static_cast<unsigned char>(y));
    });
}

// A whole number that must fit the record's 32-bit field; larger values are as malformed as
// text that is no number.
int32_t CheckedInt32(int64_t value, const std::string& text) {
    if (value < std::numeric_limits<int32_t>::min() || value > std::numeric_limits<int32_t>::max())
        throw platform::EConvertError("'" + text + "' is not a valid integer value");
    return static_cast<int32_t>(value);
}

// Truncation toward zero of a real that may be infinite or out of range (a ratio with a
// zero side): kept inside the 32-bit range so the arithmetic after it stays defined.
int64_t Trunc(double value) {
    if (std::isnan(value)) return 0;
    return static_cast<int64_t>(std::clamp(value, double(std::numeric_limits<int32_t>::min()),
                                           double(std::numeric_limits<int32_t>::max())));
}

int32_t Field(int64_t value) {
    return static_cast<int32_t>(std::clamp<int64_t>(value, std::numeric_limits<int32_t>::min(),
                                                    std::numeric_limits<int32_t>::max()));
}

class PresetReader {
public:
    PresetReader(const IniStore& settings, int presetIndex)
        : settings_(settings), section_(PresetSection(presetIndex)) {}
    std::string operator()(const char* key, const char* defaultValue) const {
        return settings_.ReadString(section_, key, defaultValue);
    }
    std::string H264(TH264Parameter p) const {
        return (*this)(H264Keys[p].Key, H264Keys[p].SettingsDefault);
    }

private:
    const IniStore& settings_;
    std::string section_;
};

void ApplyAudio(const PresetReader& read, TOutputOptions& output) {
    output.AudioCodec = read("paraAudioEncoder", "libfaac");
    if (const std::string channels = read("paraChannel", "2"); channels != "as source")
        output.AudioChannels = StrToInt(channels);
    if (const std::string rate = read("paraSampleRate", "44100"); rate != "as source")
        output.AudioSampleRate = StrToInt(rate);
    if (const std::string rate = read("paraAudioBitRate", "128");
        rate != "as source" && !platform::Trim(rate).empty()) {
        const double bitsPerSecond = platform::StrToFloat(rate) * 1000;
        if (bitsPerSecond > 0)
            output.AudioBitrate =
                CheckedInt32(static_cast<int64_t>(std::min(bitsPerSecond, 1e18)), rate);
    }
    // A missing volume reads as unchanged: the old default of 3 (about 1%) made a section
    // without the key convert to near silence.
    if (const std::string volume = read("paraVolume", "256"); volume != "256")
        output.AudioVolume = StrToInt(volume);
}

// The H.264 parameters: the stored one-line text of the old command-line form, which an
// option text does not apply, followed by the same values as option lines in this library
// generation's names and units, which reach the encoder.
std::string H264Options(const PresetReader& read) {
    const std::string bitExact = read.H264(hpBitExact);
    const std::string level = read.H264(hpLevel);
    const std::string qscale = read.H264(hpQscale);
    const std::string bufferSize = read.H264(hpBufferSize);
    const std::string maxRate = read.H264(hpMaxBitrate);
    const std::string coder = read.H264(hpCoder);
    const bool exact = SameText(bitExact, "true");
    const int32_t levelValue = StrToInt(level);
    const int32_t bufferKBytes = StrToInt(bufferSize);
    const int32_t maxKbits = StrToInt(maxRate);
    const int32_t coderValue = StrToInt(coder);

    std::string text;
    if (exact) text += "-bitexact";
    if (levelValue > 0) text += " -vlevel " + level;
    if (StrToInt(qscale) > 0) text += " -qscale " + qscale;
    if (bufferKBytes > 0) text += " -bufsize " + bufferSize;
    if (maxKbits > 0) text += " -maxrate " + maxRate;
    if (coderValue >= 0) text += " -coder " + coder;

    // Buffer size in kilobytes becomes bits, the maximum rate in kbit/s bits per second; the
    // coder is 0 (CAVLC) or 1 (CABAC); the profile goes by name to the encoder's own option.
    if (exact) text += "\nflags=+bitexact";
    if (levelValue > 0) text += "\nlevel=" + std::to_string(levelValue);
    if (bufferKBytes > 0)
        text += "\nbufsize=" + std::to_string(CheckedInt32(int64_t{bufferKBytes} * 8 * 1024, bufferSize));
    if (maxKbits > 0)
        text += "\nmaxrate=" + std::to_string(CheckedInt32(int64_t{maxKbits} * 1000, maxRate));
    if (coderValue >= 0) text += "\ncoder=" + std::to_string(std::min(coderValue, 1));
    if (const std::string profile = read.H264(hpProfile); H264ProfileNumber(profile))
        text += "\nprofile=" + profile;
    return text;
}

void ApplyVideoCodec(const std::string& encoder, const PresetReader& read,
                     TOutputOptions& output) {
    static constexpr std::string_view sameName[] = {
        "libxvid", "mpeg1video", "mpeg2video", "msmpeg4", "msmpeg4v1", "msmpeg4v2",
        "huffyuv", "dvvideo",    "rawvideo",   "h263p",   "h263",      "rv10",
        "rv20",    "ljpeg",      "mjpeg",      "svq1",    "zlib"};
    if (encoder == "mpeg4") {
        output.VideoCodec = "mpeg4";
        output.VideoTag = "DIVX";
    } else if (std::find(std::begin(sameName), std::end(sameName), encoder) != std::end(sameName)) {
        output.VideoCodec = encoder;
    } else if (encoder == "libx264") {
        output.VideoCodec = "libx264";
        output.Gop = StrToInt(read.H264(hpGop));
        output.ExtOptions = H264Options(read);
    }
}

struct TargetSize {
    int32_t width = 0;
    int32_t height = 0;
};

TargetSize ReadTargetSize(const std::string& text, const TOutputOptions& output,
                          const TSourceFacts& source) {
    if (text == "as source") return {source.Width, source.Height};
    TargetSize target;
    const size_t x = text.find('x');
    if (x != std::string::npos && x >= 1) {
        target.width = StrToInt(text.substr(0, x));
        target.height = StrToInt(text.substr(x + 1));
    }
    // H.263 takes only its five picture sizes.
    static constexpr std::string_view h263Sizes = "704x576,352x288,176x144,160x120,128x96";
    if (SameText(output.VideoCodec, "h263") &&
        (text.empty() || h263Sizes.find(text) == std::string_view::npos)) {
        if (target.width > 352) target = {704, 576};
        else if (target.width > 176) target = {352, 288};
    }
    return target;
}

std::string SizeText(int64_t width, int64_t height, char separator) {
    return std::to_string(width) + separator + std::to_string(height);
}

// The letter-box fit of a W x H picture into TW x TH: the picture is scaled to the largest
// size of its own shape and the rest is padded with bands. The frame size includes the crop
// bands because the engine takes them off the frame size it holds.
class LetterBox {
public:
    LetterBox(int64_t w, int64_t h, const TargetSize& target, TOutputOptions& output)
        : w_(w), h_(h), tw_(target.width), th_(target.height), out_(output) {}

    void Fit() {
        const double rw = double(w_) / double(tw_);
        const double rh = double(h_) / double(th_);
        if (tw_ <= w_ && th_ >= h_) ByWidth(rw);
        if (tw_ >= w_ && th_ <= h_) ByHeight(rh);
        if ((tw_ >= w_ && th_ >= h_) || (tw_ <= w_ && th_ <= h_)) {
            if (rw > rh) ByWidth(rw);
            else if (rw < rh) ByHeight(rh);
            else Exact();
        }
        if (tw_ == w_ && th_ == h_) SameSize();
    }

private:
    void ByWidth(double r) {
        const int64_t s = Trunc(double(h_) / r) / 2 * 2;
        const int64_t d = th_ - s;
        out_.PadTop = out_.PadBottom = Field(d / 4 * 2);
        const int64_t scaled = (s + d - 2 * int64_t{out_.PadTop}) / 2 * 2;
        out_.FrameSize = SizeText(tw_ + out_.CropLeft + out_.CropRight,
                                  scaled + out_.CropTop + out_.CropBottom, 'x');
        out_.FrameAspect = SizeText(tw_, th_, ':');
    }
    void ByHeight(double r) {
        const int64_t s = Trunc(double(w_) / r) / 2 * 2;
        const int64_t d = tw_ - s;
        out_.PadLeft = out_.PadRight = Field(d / 4 * 2);
        const int64_t scaled = (s + d - 2 * int64_t{out_.PadLeft}) / 2 * 2;
        out_.FrameSize = SizeText(scaled + out_.CropLeft + out_.CropRight,
                                  th_ + out_.CropTop + out_.CropBottom, 'x');
        out_.FrameAspect = SizeText(tw_, th_, ':');
    }
    void Exact() {
        out_.FrameSize = SizeText(tw_, th_, 'x');
        out_.FrameAspect = SizeText(tw_, th_, ':');
    }
    // The source size kept: the cropped-off lines come back as bands, shared evenly between
    // opposite sides.
    void SameSize() {
        out_.FrameSize = SizeText(w_, h_, 'x');
        out_.FrameAspect = SizeText(w_, h_, ':');
        auto grow = [](int32_t& pad, int32_t crop) {
            if (crop > 0) pad = Field((int64_t{pad} + crop) / 2 * 2);
        };
        grow(out_.PadTop, out_.CropTop);
        grow(out_.PadBottom, out_.CropBottom);
        grow(out_.PadLeft, out_.CropLeft);
        grow(out_.PadRight, out_.CropRight);
        out_.PadLeft = out_.PadRight = Field((int64_t{out_.PadLeft} + out_.PadRight) / 4 * 2);
        out_.PadTop = out_.PadBottom = Field((int64_t{out_.PadTop} + out_.PadBottom) / 4 * 2);
    }

    int64_t w_, h_, tw_, th_;
    TOutputOptions& out_;
};

} // namespace

void ApplyPreset(const IniStore& settings, const IniStore& presets, const std::string& zoomMode,
                 int presetIndex, TOutputOptions& output, const TSourceFacts& source,
                 TInputOptions& input) {
    const PresetReader read(settings, presetIndex);
    const std::string encoder = read("paraVideoEncoder", "");
    if (platform::Trim(encoder).empty()) {
        ApplyAudio(read, output);
        input.ExtOptions = "vn=1";
        return;
    }
    ApplyVideoCodec(encoder, read, output);
    // Players show every picture whole: two fields a field time apart would show each moving
    // edge twice, and the scaler would blend them.
    output.AdaptiveDeinterlace = source.Interlaced;

    if (const std::string rate = read("paraVideoBitRate", "512"); rate != "as source")
        output.VideoBitrate = CheckedInt32(int64_t{StrToInt(rate)} * 1000, rate);
    else
        output.VideoBitrate = source.VideoBitRate;
    if (const std::string rate = read("paraFrameRate", "29.97"); rate != "as source")
        output.FrameRate = rate;
    if (const auto format = ForceableFormat(ReadPresetFormat(presets, presetIndex)))
        output.ForceFormat = *format;

    int64_t width = source.Width;
    int64_t height = source.Height;
    const TargetSize target = ReadTargetSize(read("paraVideoSize", "null"), output, source);
    for (int32_t* crop : {&output.CropTop, &output.CropBottom, &output.CropLeft, &output.CropRight})
        if (*crop == -1) *crop = 0;
    if (zoomMode == "ylbox") {
        height -= std::max(output.CropTop, 0) + std::max(output.CropBottom, 0);
        width -= std::max(output.CropLeft, 0) + std::max(output.CropRight, 0);
    }
    // Without a picture there is nothing to fit (the ratios would be undefined); the source
    // then has no video the size could apply to.
    if (zoomMode == "lbox" && source.Width > 0 && source.Height > 0)
        LetterBox(width, height, target, output).Fit();

    ApplyAudio(read, output);
    output.PadColor = 0;
}

} // namespace tarnwick::app
