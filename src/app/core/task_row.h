#pragma once
// The record of one task-list row: the source file and the per-file edits that the run turns
// into the job's options. Lives exactly as long as its row; nothing of it is stored on disk.

#include <cstdint>
#include <string>

namespace tarnwick::app {

struct TlvFilesRecord {
    int32_t BatchIndex = 0;  // position in the selection the file came with (0-based)
    std::string SourceFile;  // full path; equals the row caption
    std::string DestFile;    // destination computed when the row was added
    int32_t DurationSec = 0; // source duration in whole seconds
    int32_t TrimStart = 0;   // ms; 0 = from the beginning
    int32_t TrimLength = 0;  // ms; 0 = to the end
    // Picture fit: "lbox" (letter box), "cent", "full", "orig"; the run also knows "ylbox".
    std::string ZoomMode = "lbox";
    int32_t CropTop = 0; // crop bands in source pixels, even
    int32_t CropLeft = 0;
    int32_t CropBottom = 0;
    int32_t CropRight = 0;
};

// A row as the run sees it: its record and whether its box is checked.
struct TTaskRow {
    TlvFilesRecord Record;
    bool Checked = true;
};

} // namespace tarnwick::app
