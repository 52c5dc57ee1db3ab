#pragma once
// Adding files to the task list: every chosen path is probed through a job of the converter
// component, which is removed again at once; what opened becomes a row. The window shows the
// open dialog and appends the rows; the decisions are all here.

#include "app/core/message_box.h"
#include "app/core/task_row.h"
#include "component/av_converter.h"
#include "platform/ini_store.h"

#include <functional>
#include <string>
#include <vector>

namespace tarnwick::app {

// Where the add loop reports. Each function is called on the caller's thread.
struct TAddSink {
    // Whether a row's caption is exactly the path (case-sensitive).
    std::function<bool(const std::string& path)> IsListed;
    // One line for the log memo.
    std::function<void(const std::string& line)> Log;
    // A probed file: append its row (checked) with this record.
    std::function<void(const TlvFilesRecord& record)> Added;
};

// Loads the media libraries from "LibAV" beside the executable, with versioned names (once
// loaded, later calls return at once). On failure logs the component's error text and
// answers false.
bool LoadLibrariesForAdding(component::TKivAVConverter& converter,
                            const std::function<void(const std::string&)>& log);

// Only a regular file (or a link to one) is probed: a folder, a vanished path, a pipe or a
// device is skipped without a word. A pipe or a device would never end the probe's read.
bool IsAddableFile(const std::string& path);

// The add loop over the paths of one open-dialog selection, in their order. Clears the
// component's jobs and reads the preset's extension first; then for each path k: skipped
// when it is not an addable file or already listed; else its destination is named (with
// "_ipod." and the extension), a job probes it, and either "", "***File open error: " and the
// component's reason, "" are logged, or "", the information text, the duration in whole
// seconds and the size in bytes are logged and the row is added with BatchIndex k. The probe
// job is removed each time. Raises what the component or the settings raise; rows added
// before stay.
void AddFiles(component::TKivAVConverter& converter, const std::vector<std::string>& paths,
              int presetIndex, const platform::IniStore& settings,
              const platform::IniStore& presets, TMessageBox& messages, const TAddSink& sink);

} // namespace tarnwick::app
