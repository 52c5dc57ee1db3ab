#include "app/core/settings_keys.h"

#include "app/core/app_paths.h"

#include <utility>

namespace tarnwick::app {

std::string ReadOutputFolder(const IniStore& settings) {
    return settings.ReadString(SettingsSection, "OutPutDir", DefaultOutputFolder());
}
void WriteOutputFolder(const IniStore& settings, const std::string& folder) {
    settings.WriteString(SettingsSection, "OutPutDir", folder);
}

int ReadOutputFormat(const IniStore& settings) {
    return settings.ReadInteger(SettingsSection, "OutPutFormat", 0);
}
void WriteOutputFormat(const IniStore& settings, int presetIndex) {
    settings.WriteInteger(SettingsSection, "OutPutFormat", presetIndex);
}

int ReadSkinIndexAtStart(const IniStore& settings) {
    return settings.ReadInteger(SettingsSection, "skinIndex", 0);
}
int ReadSkinIndexForMenu(const IniStore& settings) {
    return settings.ReadInteger(SettingsSection, "skinIndex", 1);
}
void WriteSkinIndex(const IniStore& settings, int themeIndex) {
    settings.WriteInteger(SettingsSection, "skinIndex", themeIndex);
}

int ReadPriority(const IniStore& settings) {
    return settings.ReadInteger(SettingsSection, "priority", 1);
}
bool WritePriority(const IniStore& settings, int priority) {
    return settings.WriteInteger(SettingsSection, "priority", priority);
}

std::optional<platform::TConvertPriority> ConvertPriorityFromSetting(int priority) {
    switch (priority) {
    case 0: return platform::tpIdle;
    case 1: return platform::tpNormal;
    case 2: return platform::tpLower;
    case 3: return platform::tpLowest;
    default: return std::nullopt;
    }
}

std::string ReadSnapshotFolder(const IniStore& settings) {
    return settings.ReadString(SettingsSection, "SnapOutPutDir", DefaultOutputFolder());
}
bool WriteSnapshotFolder(const IniStore& settings, const std::string& folder) {
    return settings.WriteString(SettingsSection, "SnapOutPutDir", folder);
}

TSnapshotSettings ReadSnapshotSettings(const IniStore& settings) {
    TSnapshotSettings values;
    values.FullSize = settings.ReadInteger(SettingsSection, "snapFullSize", 1);
    values.SmallSize = settings.ReadInteger(SettingsSection, "snapSmallSize", 1);
    values.Bmp = settings.ReadInteger(SettingsSection, "snapBmp", 1);
    values.Jpg = settings.ReadInteger(SettingsSection, "snapJpg", 1);
    values.JpegQuality = settings.ReadInteger(SettingsSection, "jpgCmp", 30);
    return values;
}

bool WriteSnapshotSettings(const IniStore& settings, const TSnapshotSettings& values) {
    const std::pair<const char*, int> switches[] = {{"snapBmp", values.Bmp},
                                                    {"snapJpg", values.Jpg},
                                                    {"snapFullSize", values.FullSize},
                                                    {"snapSmallSize", values.SmallSize}};
    bool written = true;
    for (const auto& [key, value] : switches)
        written = settings.WriteInteger(SettingsSection, key, value) && written;
    if (values.JpegQuality > 0)
        written = settings.WriteInteger(SettingsSection, "jpgCmp", values.JpegQuality) && written;
    return written;
}

} // namespace tarnwick::app
