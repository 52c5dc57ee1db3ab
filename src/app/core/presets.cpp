#include "app/core/presets.h"

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

constexpr std::array<std::string_view, plCount> ListKeys = {
    "VideoSize",    "VideoBitRate", "FrameRate",   "VideoEncoder", "AudioBitRate",
    "SampleRate",   "AudioEncoder", "Channel",     "Volume"};

} // namespace

const std::array<std::string_view, PresetCount>& PresetNames() {
    static constexpr std::array<std::string_view, PresetCount> names = {
        "iPod Video MPEG-4 (*.mp4)",
        "iPod Video H.264  (*.mp4)",
        "iPod (320 x 240) MPEG-4 Excellent (*.mp4)",
        "iPod (320 x 240) MPEG-4 Normal (*.mp4)",
        "iPod (320 x 240) MPEG-4 Mini (*.mp4)",
        "Apple TV MPEG-4 High 480P (640 x 480) (*.mp4)",
        "Apple TV MPEG-4 Low  480P (640 x 480) (*.mp4)",
        "Apple TV MPEG-4 Normal 480P (640 x 480) (*.mp4)",
        "iPod Touch MPEG-4 Excellent (*.mp4)",
        "iPod Touch MPEG-4 (480 x 320) (*.mp4)",
        "iPod Touch MPEG-4 (320 x 240) (*.mp4)",
        "iPod Touch MPEG-4 Wide Screen (*.mp4)",
        "iPhone MPEG-4 Extra Video (*.mp4)",
        "iPhone MPEG-4 Wide Screen (*.mp4)",
        "Apple H.264 (320 x 240) (*.mp4)",
        "Apple H.264 480P (640 x 480)  (*.mp4)",
        "Apple H.264 720p (1280 x 720) (*.mp4)",
        "M4A MPEG-4 Audio (*.m4a)",
        "M4V MPEG-4 Video (*.m4v)",
        "MP3 MPEG Layer-3 Audio (*.mp3)",
        "AAC Advenced Audio Codec (*.aac)",
    };
    return names;
}

void FillPresetList(std::vector<std::string>& items) {
    for (const std::string_view name : PresetNames()) items.emplace_back(name);
}

std::string PresetSection(int presetIndex) { return "formatInfo" + std::to_string(presetIndex); }

std::string ReadPresetFileExt(const IniStore& presets, int presetIndex) {
    return presets.ReadString(PresetSection(presetIndex), "FileExt", "mp4");
}

std::string ReadPresetFormat(const IniStore& presets, int presetIndex) {
    return presets.ReadString(PresetSection(presetIndex), "Format", "null");
}

std::optional<std::string> ForceableFormat(std::string_view format) {
    static constexpr std::string_view forceable[] = {"ipod", "3gp", "3g2", "avi",
                                                     "psp",  "mov", "vcd", "flv"};
    for (const std::string_view name : forceable)
        if (SameText(format, name)) return std::string(format);
    return std::nullopt;
}

std::string_view PresetListKey(TPresetList list) { return ListKeys[list]; }
std::string PresetIndexKey(TPresetList list) {
    std::string key(1, 'i');
    return key.append(ListKeys[list]);
}

TValueList ParseValueList(std::string_view text, bool emptyMeansNull) {
    TValueList list;
    if (text == "null" || (emptyMeansNull && text.empty())) return list;
    std::string item;
    for (const char c : text) {
        if (c == ',') {
            list.Items.push_back(std::move(item));
            item.clear();
        } else {
            item.push_back(c);
        }
    }
    list.Items.push_back(std::move(item));
    list.Enabled = true;
    return list;
}

std::array<TValueList, plCount> ReadValueLists(const IniStore& presets, int presetIndex) {
    std::array<TValueList, plCount> lists;
    const std::string section = PresetSection(presetIndex);
    for (int i = 0; i < plCount; ++i) {
        const auto list = static_cast<TPresetList>(i);
        lists[i] = ParseValueList(presets.ReadString(section, PresetListKey(list), "null"),
                                  list >= plVideoEncoder);
    }
    return lists;
}

namespace {

TListIndexes ReadIndexes(const IniStore& file, int presetIndex) {
    TListIndexes indexes{};
    const std::string section = PresetSection(presetIndex);
    for (int i = 0; i < plCount; ++i)
        indexes[i] = file.ReadInteger(section, PresetIndexKey(static_cast<TPresetList>(i)), 0);
    return indexes;
}

} // namespace

TListIndexes ReadFactoryChoices(const IniStore& presets, int presetIndex) {
    return ReadIndexes(presets, presetIndex);
}

TListIndexes ReadSavedChoices(const IniStore& settings, int presetIndex) {
    return ReadIndexes(settings, presetIndex);
}

} // namespace tarnwick::app
