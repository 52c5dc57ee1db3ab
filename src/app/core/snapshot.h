#pragma once
// Saving the previewed picture as snapshot files.

#include "app/core/message_box.h"
#include "platform/bitmap24.h"
#include "platform/ini_store.h"

#include <string>
#include <vector>

namespace tarnwick::app {

// Writes "Snapshot_full.bmp", "Snapshot_small.bmp", "Snapshot_full.jpg" and
// "Snapshot_small.jpg" into the snapshot folder (UsableFolder of "SnapOutPutDir"), each only
// when both of its switches in the settings read exactly 1; JPEG files at the quality
// "jpgCmp". `full` is the decoded picture at its own size, `small` the preview box's picture.
// An empty picture writes nothing. Existing files are replaced whole. Returns the paths
// written, in the order above; raises std::runtime_error ("Cannot create file ...") when a
// file cannot be written.
std::vector<std::string> SaveSnapshots(const platform::IniStore& settings,
                                       const platform::Bitmap24& full,
                                       const platform::Bitmap24& small, TMessageBox& messages);

} // namespace tarnwick::app
