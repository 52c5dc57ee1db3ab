#pragma once
// The keys of the "settings" section of the user's settings file, each with its reader's
// default. Every call opens the file (see platform::IniStore); nothing is kept here.

#include "platform/ini_store.h"
#include "platform/thread_priority.h"

#include <optional>
#include <string>

namespace tarnwick::app {

using platform::IniStore;

inline constexpr const char* SettingsSection = "settings";

// "OutPutDir": the output folder; default DefaultOutputFolder().
std::string ReadOutputFolder(const IniStore& settings);
void WriteOutputFolder(const IniStore& settings, const std::string& folder);

// "OutPutFormat": the selected preset index; default 0.
int ReadOutputFormat(const IniStore& settings);
void WriteOutputFormat(const IniStore& settings, int presetIndex);

// "skinIndex": the colour theme. The main window starts with default 0; the Skin menu ticks
// its entry with default 1.
int ReadSkinIndexAtStart(const IniStore& settings);
int ReadSkinIndexForMenu(const IniStore& settings);
void WriteSkinIndex(const IniStore& settings, int themeIndex);

// "priority": 0..3; default 1.
int ReadPriority(const IniStore& settings);
bool WritePriority(const IniStore& settings, int priority);
// The worker priority a "priority" value stands for: 0 tpIdle, 1 tpNormal, 2 tpLower,
// 3 tpLowest; nothing for other values (the caller keeps its current priority).
std::optional<platform::TConvertPriority> ConvertPriorityFromSetting(int priority);

// "SnapOutPutDir": the snapshot folder; default DefaultOutputFolder().
std::string ReadSnapshotFolder(const IniStore& settings);
bool WriteSnapshotFolder(const IniStore& settings, const std::string& folder);

// The snapshot switches as stored: a file is written only when both of its switches read
// exactly 1.
struct TSnapshotSettings {
    int FullSize = 1;     // "snapFullSize"
    int SmallSize = 1;    // "snapSmallSize"
    int Bmp = 1;          // "snapBmp"
    int Jpg = 1;          // "snapJpg"
    int JpegQuality = 30; // "jpgCmp", 1..100
};
TSnapshotSettings ReadSnapshotSettings(const IniStore& settings);
// Writes "snapBmp", "snapJpg", "snapFullSize", "snapSmallSize" and, when above 0, "jpgCmp".
// The writers answer false when the settings file could not be written.
bool WriteSnapshotSettings(const IniStore& settings, const TSnapshotSettings& values);

} // namespace tarnwick::app
