// Codec names and tags, quantisers, passes and matrices, the statistics file, frame hooks,
// bitstream filters and the program to keep.

#include "engine/custom_ffmpeg.h"

#include "binding/media_libraries.h"
#include "platform/convert.h"
#include "platform/executable_folder.h"
#include "platform/ffmpeg_exception.h"

#include <cctype>
#include <cstring>
#include <ctime>

namespace tarnwick::engine {

using binding::AV;
using platform::FFMpegException;

namespace {

void SetCodec(const std::string& value, std::string& codecName, bool& streamCopy) {
    if (value.empty()) return;
    codecName.clear();
    if (value == "copy") streamCopy = true;
    else codecName = value;
}

// Four characters, the first in the lowest byte.
void SetTag(const std::string& value, const char* kind, uint32_t& tag) {
    if (value.empty()) return;
    if (value.size() != 4)
        throw FFMpegException(std::string(kind) + " tag parameter must be 4 chars");
    tag = 0;
    for (int i = 3; i >= 0; --i) tag = (tag << 8) | static_cast<unsigned char>(value[i]);
}

// The integer at the start of the text, read as far as it goes; 0 when there is none.
int32_t LeadingInteger(const char* text) {
    size_t length = 0;
    while (text[length] == ' ') ++length;
    if (text[length] == '+' || text[length] == '-') ++length;
    bool hex = false;
    if (text[length] == '$') {
        hex = true;
        ++length;
    } else if (text[length] == '0' && (text[length + 1] == 'x' || text[length + 1] == 'X')) {
        hex = true;
        length += 2;
    }
    while (hex ? std::isxdigit(static_cast<unsigned char>(text[length]))
               : std::isdigit(static_cast<unsigned char>(text[length])))
        ++length;
    try {
        return platform::StrToInt(std::string_view(text, length));
    } catch (const platform::EConvertError&) {
        return 0;
    }
}

// 64 comma-separated coefficients of 1 to 255; text after the 64th is ignored.
void SetMatrix(const std::string& value, std::vector<uint16_t>& matrix) {
    matrix.assign(64, 0);
    const char* position = value.c_str();
    for (int i = 0; i < 64; ++i) {
        const int32_t coefficient = LeadingInteger(position);
        // The encoders divide by every coefficient and write each in 8 bits.
        if (coefficient < 1 || coefficient > 255)
            throw FFMpegException("Invalid coefficient " + std::to_string(coefficient) +
                                  " in matrix \"" + value + "\" at coeff " + std::to_string(i) +
                                  " (allowed 1 to 255)");
        matrix[i] = static_cast<uint16_t>(coefficient);
        if (i == 63) break;
        const char* comma = std::strchr(position, ',');
        if (!comma)
            throw FFMpegException("Syntax error in matrix \"" + value + "\" at coeff " +
                                  std::to_string(i));
        position = comma + 1;
    }
}

// Frame-hook modules take at most 63 arguments after their file name.
constexpr int MaxHookArguments = 64;

} // namespace

void TCustomFFmpeg::SetVideoCodec(const std::string& value) {
    SetCodec(value, VideoCodecName, VideoStreamCopy);
}
void TCustomFFmpeg::SetAudioCodec(const std::string& value) {
    SetCodec(value, AudioCodecName, AudioStreamCopy);
}
void TCustomFFmpeg::SetSubtitleCodec(const std::string& value) {
    SetCodec(value, SubtitleCodecName, SubtitleStreamCopy);
}

void TCustomFFmpeg::SetVideoTag(const std::string& value) { SetTag(value, "video", VideoCodecTag); }
void TCustomFFmpeg::SetAudioTag(const std::string& value) { SetTag(value, "audio", AudioCodecTag); }

void TCustomFFmpeg::SetQScale(const std::string& value) {
    const double scale = platform::StrToFloat(value);
    if (!(scale > 0 && scale <= 255)) throw FFMpegException("qscale must be > 0.0 and <= 255");
    VideoQScale = static_cast<float>(scale);
}

void TCustomFFmpeg::SetPass(int32_t value) {
    if (value != 1 && value != 2) throw FFMpegException("pass number can be only 1 or 2");
    DoPass = value;
}

void TCustomFFmpeg::SetIntraMatrix(const std::string& value) { SetMatrix(value, IntraMatrix); }
void TCustomFFmpeg::SetInterMatrix(const std::string& value) { SetMatrix(value, InterMatrix); }

void TCustomFFmpeg::SetVstats() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char clock[16];
    std::strftime(clock, sizeof clock, "%H%M%S", &local);
    VstatsFileName = platform::ExecutableFolder() + "vstats_" + clock + ".log";
}

void TCustomFFmpeg::SetVstatsFile(const std::string& value) { VstatsFileName = value; }

void TCustomFFmpeg::AddVideoHook(const std::string& value) {
    // The arguments stay alive with the job: a module may keep pointers into them.
    std::string& text = VideoHookArgumentTexts.emplace_back(value);
    const char* separators = value.find('|') != std::string::npos ? "|" : " ";
    char* arguments[MaxHookArguments] = {};
    int count = 0;
    char* state = nullptr;
    for (char* token = strtok_r(text.data(), separators, &state); token;
         token = strtok_r(nullptr, separators, &state)) {
        if (count == MaxHookArguments)
            throw FFMpegException("Failed to add video hook function: " + value +
                                  " (more than 63 arguments)");
        arguments[count++] = token;
    }
    if (binding::AddFrameHook(FrameHookList, count, arguments) != 0)
        throw FFMpegException("Failed to add video hook function: " + value);
    UsingVhook = true;
}

void TCustomFFmpeg::AddBitstreamFilter(const std::string& name, const std::string& value) {
    if (value.empty() || value[0] == '=') return;
    const std::string filterName = value.substr(0, value.find('='));
    const AVBitStreamFilter* filter = AV.av_bsf_get_by_name(filterName.c_str());
    if (!filter) throw FFMpegException("Unknown bitstream filter " + platform::Trim(value));
    BitstreamFilterChain& chain = name.starts_with("v")   ? VideoBitstreamFilters
                                  : name.starts_with("a") ? AudioBitstreamFilters
                                                          : SubtitleBitstreamFilters;
    chain.push_back(filter);
}

void TCustomFFmpeg::SetProgramId(int32_t value) {
    if (value >= 0) ProgramId = value;
}

} // namespace tarnwick::engine
