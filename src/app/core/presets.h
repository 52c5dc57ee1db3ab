#pragma once
// The 21 built-in output formats and the two files behind each: the shipped presets file
// (container, extension, the values the settings dialog offers and its factory choices) and
// the user's settings file (the choices made and the encoder values derived from them). Both
// use one section per preset, "formatInfo" followed by its index.

#include "platform/ini_store.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tarnwick::app {

using platform::IniStore;

inline constexpr int PresetCount = 21;

// The display names, index = preset index. Nothing parses them.
const std::array<std::string_view, PresetCount>& PresetNames();
// Appends the 21 names to a list of items (the format combo boxes).
void FillPresetList(std::vector<std::string>& items);

// "formatInfo" followed by the index.
std::string PresetSection(int presetIndex);

// Presets file: the extension without the dot (default "mp4") and the container (default
// "null"; honoured only when one of ForceableFormats).
std::string ReadPresetFileExt(const IniStore& presets, int presetIndex);
std::string ReadPresetFormat(const IniStore& presets, int presetIndex);
// The container when it is one the program may force ("ipod", "3gp", "3g2", "avi", "psp",
// "mov", "vcd", "flv", any case), as read; nothing otherwise.
std::optional<std::string> ForceableFormat(std::string_view format);

// The nine lists of the settings dialog, in the order they are read.
enum TPresetList {
    plVideoSize,
    plVideoBitRate,
    plFrameRate,
    plVideoEncoder,
    plAudioBitRate,
    plSampleRate,
    plAudioEncoder,
    plChannel,
    plVolume,
    plCount
};
// "VideoSize" ... "Volume": the list keys of the presets file.
std::string_view PresetListKey(TPresetList list);
// "iVideoSize" ... "iVolume": the index keys (factory choice, user choice).
std::string PresetIndexKey(TPresetList list);

struct TValueList {
    std::vector<std::string> Items;
    bool Enabled = false;
};
// Splits a list text at every ","; a trailing "," gives an empty last item. "null" gives a
// disabled empty list, and so does an empty text when emptyMeansNull is set (the last six
// lists, "VideoEncoder" and those after it, are read that way).
TValueList ParseValueList(std::string_view text, bool emptyMeansNull);
// The nine lists of a preset, read from the presets file (missing keys read "null").
std::array<TValueList, plCount> ReadValueLists(const IniStore& presets, int presetIndex);

using TListIndexes = std::array<int32_t, plCount>;
// The factory choices of the presets file, default 0: what "Default" selects.
TListIndexes ReadFactoryChoices(const IniStore& presets, int presetIndex);
// The user's choices from the settings file, default 0: what the dialog selects at show.
TListIndexes ReadSavedChoices(const IniStore& settings, int presetIndex);

} // namespace tarnwick::app
