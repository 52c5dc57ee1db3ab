#pragma once
// The preferences dialog's values: the snapshot folder, sizes, formats and JPEG quality, and
// the work priority, as the settings file keeps them.

#include "platform/ini_store.h"

#include <string>

namespace tarnwick::app {

struct TPreferences {
    std::string SnapshotFolder;
    bool FullSize = true;
    bool SmallSize = true;
    bool Bmp = true;
    bool Jpg = true;
    int Quality = 30; // JPEG quality, 1..100
    int Priority = 1; // 0 "Idle", 1 "Normal", 2 "Lower", 3 "Lowest"; -1 none chosen
};

inline constexpr int MinimumQuality = 1;
inline constexpr int MaximumQuality = 100;

// The stored values over what the dialog shows: a size or format box is ticked when its key
// reads 1 and otherwise keeps its state (showing never unticks a box). The quality is brought
// into 1..100; a priority outside 0..3 chooses none.
TPreferences ReadPreferences(const platform::IniStore& settings, const TPreferences& shown);

// "&Default": the default folder, BMP at full size only, quality 20, "Normal".
TPreferences DefaultPreferences();

// "&Ok": writes "snapOutPutDir" (the default folder when the line is empty), "snapBmp",
// "snapJpg", "snapFullSize", "snapSmallSize", "jpgCmp" (when above 0) and "priority", in that
// order. False when the settings file could not be written.
bool WritePreferences(const platform::IniStore& settings, const TPreferences& values);

// A box the user unticked is ticked again when its partner is not ticked: at least one size
// and one format stay chosen.
inline bool KeepOneTicked(bool clickedTicked, bool partnerTicked) {
    return clickedTicked || !partnerTicked;
}

} // namespace tarnwick::app
