#include "app/core/preference_rules.h"

#include "app/core/app_paths.h"
#include "app/core/settings_keys.h"

#include <algorithm>

namespace tarnwick::app {

TPreferences ReadPreferences(const platform::IniStore& settings, const TPreferences& shown) {
    TPreferences values = shown;
    values.SnapshotFolder = ReadSnapshotFolder(settings);
    const TSnapshotSettings stored = ReadSnapshotSettings(settings);
    values.FullSize = values.FullSize || stored.FullSize == 1;
    values.SmallSize = values.SmallSize || stored.SmallSize == 1;
    values.Bmp = values.Bmp || stored.Bmp == 1;
    values.Jpg = values.Jpg || stored.Jpg == 1;
    values.Quality = std::clamp(stored.JpegQuality, MinimumQuality, MaximumQuality);
    const int priority = ReadPriority(settings);
    values.Priority = priority >= 0 && priority <= 3 ? priority : -1;
    return values;
}

TPreferences DefaultPreferences() {
    TPreferences values;
    values.SnapshotFolder = DefaultOutputFolder();
    values.Bmp = true;
    values.Jpg = false;
    values.FullSize = true;
    values.SmallSize = false;
    values.Priority = 1;
    values.Quality = 20;
    return values;
}

bool WritePreferences(const platform::IniStore& settings, const TPreferences& values) {
    const bool folder = WriteSnapshotFolder(
        settings, values.SnapshotFolder.empty() ? DefaultOutputFolder() : values.SnapshotFolder);
    const bool snapshots = WriteSnapshotSettings(
        settings, {values.FullSize, values.SmallSize, values.Bmp, values.Jpg, values.Quality});
    const bool priority = WritePriority(settings, values.Priority);
    return folder && snapshots && priority;
}

} // namespace tarnwick::app
