#include "app/core/preset_choices.h"

#include "app/core/settings_keys.h"
#include "platform/convert.h"

#include <algorithm>
#include <cctype>

namespace tarnwick::app {
namespace {

bool SameText(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) ==
               std::tolower(static_cast<unsigned char>(y));
    });
}

struct TextMapping {
    std::string_view selected;
    std::string_view written;
};

std::optional<std::string> LookUp(std::initializer_list<TextMapping> table,
                                  std::string_view selected) {
    for (const auto& entry : table)
        if (SameText(entry.selected, selected)) return std::string(entry.written);
    return std::nullopt;
}

void CopyH264Parameters(const IniStore& settings, const IniStore& presets,
                        const std::string& section) {
    auto read = [&](TH264Parameter p) {
        return presets.ReadString(section, H264Keys[p].Key, H264Keys[p].PresetsDefault);
    };
    auto write = [&](TH264Parameter p, const std::string& value) {
        settings.WriteString(section, H264Keys[p].Key, value);
    };
    if (const std::string bitExact = read(hpBitExact); SameText(bitExact, "true"))
        write(hpBitExact, bitExact);
    for (const TH264Parameter p : {hpMaxBitrate, hpBufferSize, hpLevel, hpQscale, hpGop})
        if (const std::string value = read(p); platform::StrToInt(value) > 0) write(p, value);
    const std::string coder = read(hpCoder);
    write(hpCoder, platform::StrToInt(coder) >= 1 ? coder : "1");
    if (const std::string profile = read(hpProfile); H264ProfileNumber(profile))
        write(hpProfile, profile);
}

} // namespace

TListChoice ChoiceAt(const TValueList& list, int32_t index) {
    if (index < 0 || static_cast<size_t>(index) >= list.Items.size()) return {};
    return {index, list.Items[static_cast<size_t>(index)]};
}

std::optional<std::string> VideoEncoderSetting(std::string_view selected) {
    if (auto mapped = LookUp({{"mpeg-4", "mpeg4"}, {"xvid", "libxvid"}, {"h264", "libx264"}},
                             selected))
        return mapped;
    static constexpr std::string_view sameName[] = {
        "3gp",     "3g2",        "mov",        "wmv1",      "wmv2",       "wmv3",
        "flv",     "swf",        "msmpeg4",    "msmpeg4v1", "msmpeg4v2",  "mpeg1video",
        "mpeg2video", "h263",    "h263p",      "rawvideo",  "rv10",       "rv20",
        "dvvideo", "huffyuv",    "ljpeg",      "mjpeg",     "svq1",       "zlib"};
    for (const std::string_view name : sameName)
        if (SameText(name, selected)) return std::string(selected);
    return std::nullopt;
}

std::optional<std::string> AudioEncoderSetting(std::string_view selected) {
    return LookUp({{"mp3", "libmp3lame"},
                   {"mp2", "mp2"},
                   {"aac", "libfaac"},
                   {"ac-3", "ac3"},
                   {"flac", "flac"},
                   {"amr_nb", "libamr_nb"},
                   {"pcm_s16", "pcm_s16le"},
                   {"pcm_u16", "pcm_u16le"},
                   {"pcm_alaw", "pcm_alaw"},
                   {"pcm_mulaw ", "pcm_mulaw"},
                   {"adpcm_ms", "adpcm_ms"},
                   {"adpcm_ima_wav", "adpcm_ima_wav"},
                   {"wma1", "wmav1"},
                   {"wma2", "wmav2"}},
                  selected);
}

std::optional<std::string> ChannelSetting(std::string_view selected) {
    if (selected == "as source") return "as source";
    if (selected == "mono 1 channel") return "1";
    if (selected == "stereo 2 channels") return "2";
    return std::nullopt;
}

std::optional<std::string> VolumeSetting(std::string_view selected) {
    // Nothing selected: there is no percentage to convert, so nothing is written.
    if (selected.empty()) return std::nullopt;
    const int percent = platform::StrToInt(selected.substr(0, selected.size() - 1));
    static constexpr int known[] = {25, 50, 75, 100, 125, 150, 175, 200, 250, 300, 350, 400};
    if (std::find(std::begin(known), std::end(known), percent) == std::end(known))
        return std::nullopt;
    return std::to_string(percent * 256 / 100);
}

std::optional<int> H264ProfileNumber(std::string_view name) {
    if (SameText(name, "baseline")) return 66;
    if (SameText(name, "main")) return 77;
    if (SameText(name, "high")) return 100;
    return std::nullopt;
}

void WritePresetChoices(const IniStore& settings, const IniStore& presets, int presetIndex,
                        const TPresetChoices& choices) {
    const std::string section = PresetSection(presetIndex);
    auto text = [&choices](TPresetList list) -> const std::string& { return choices[list].Text; };
    auto writeMapped = [&](const char* key, const std::optional<std::string>& value) {
        if (value) settings.WriteString(section, key, *value);
    };

    WriteOutputFormat(settings, presetIndex);
    if (presetIndex >= 0 && presetIndex < PresetCount)
        settings.WriteString(section, "Description", PresetNames()[presetIndex]);
    for (int i = 0; i < plCount; ++i)
        settings.WriteInteger(section, PresetIndexKey(static_cast<TPresetList>(i)),
                              choices[i].Index);

    settings.WriteString(section, "paraVideoSize", text(plVideoSize));
    settings.WriteString(section, "paraVideoBitRate", text(plVideoBitRate));
    settings.WriteString(section, "paraFrameRate", text(plFrameRate));
    writeMapped("paraVideoEncoder", VideoEncoderSetting(text(plVideoEncoder)));
    if (SameText(text(plVideoEncoder), "h264")) CopyH264Parameters(settings, presets, section);

    settings.WriteString(section, "paraSampleRate", text(plSampleRate));
    settings.WriteString(section, "paraAudioBitRate", text(plAudioBitRate));
    writeMapped("paraChannel", ChannelSetting(text(plChannel)));
    writeMapped("paraVolume", VolumeSetting(text(plVolume)));
    writeMapped("paraAudioEncoder", AudioEncoderSetting(text(plAudioEncoder)));
}

} // namespace tarnwick::app
