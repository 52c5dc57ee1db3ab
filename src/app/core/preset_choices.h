#pragma once
// The settings dialog's OK: turning the nine selected list items of a preset into the values
// the settings file keeps for it, which the run later reads (see ApplyPreset).

#include "app/core/presets.h"

#include <optional>
#include <string>
#include <string_view>

namespace tarnwick::app {

struct TListChoice {
    int32_t Index = -1; // position in the list, -1 when nothing is selected
    std::string Text;   // the selected item, empty when nothing is selected
};
using TPresetChoices = std::array<TListChoice, plCount>;

// The choice at a position of a list; nothing selected when the position is outside it.
TListChoice ChoiceAt(const TValueList& list, int32_t index);

// Writes, in this order: "settings"/"OutPutFormat"; in the preset's settings section
// "Description" (the preset's name) and the nine index keys; "paraVideoSize",
// "paraVideoBitRate", "paraFrameRate" as selected; "paraVideoEncoder" by VideoEncoderSetting,
// and for "h264" the encoder parameters copied from the presets file; "paraSampleRate",
// "paraAudioBitRate" as selected, "paraChannel", "paraVolume" and "paraAudioEncoder" by their
// tables. A value a table does not know writes nothing and leaves the previous value.
// Raises platform::EConvertError at the first number that does not parse (an H.264 parameter
// or the volume); what was written before it stays written.
void WritePresetChoices(const IniStore& settings, const IniStore& presets, int presetIndex,
                        const TPresetChoices& choices);

// The tables of the writer. The encoder texts compare without regard to case, the channel
// texts exactly.
std::optional<std::string> VideoEncoderSetting(std::string_view selected);
std::optional<std::string> AudioEncoderSetting(std::string_view selected);
std::optional<std::string> ChannelSetting(std::string_view selected);
// "p%" with p one of 25, 50, 75, 100, 125, 150, 175, 200, 250, 300, 350, 400 gives p x 256 / 100
// ("100%" gives "256"); other percentages and an empty text give nothing; a text whose part
// before its last character is not a whole number raises platform::EConvertError.
std::optional<std::string> VolumeSetting(std::string_view selected);

// The H.264 encoder parameters a preset carries, with the presets file's defaults.
struct TH264Key {
    const char* Key;
    const char* PresetsDefault;
    const char* SettingsDefault; // the default when the run reads the settings file
};
inline constexpr TH264Key H264Keys[] = {
    {"paraBitExact", "True", "True"},   {"paraMaxBitrate", "1500", "1500"},
    {"paraBufferSize", "128", "128"},   {"paraLevel", "13", "13"},
    {"paraQscale", "25", "25"},         {"paraGop", "250", "250"},
    {"paraCoder", "1", "0"},            {"paraProfile", "baseline", "baseline"},
};
// Index of each parameter in H264Keys.
enum TH264Parameter {
    hpBitExact,
    hpMaxBitrate,
    hpBufferSize,
    hpLevel,
    hpQscale,
    hpGop,
    hpCoder,
    hpProfile
};

// The profile names "paraProfile" may hold ("baseline", "main", "high", any case) and the
// profile numbers of the H.264 standard they stand for; nothing for other texts.
std::optional<int> H264ProfileNumber(std::string_view name);

} // namespace tarnwick::app
