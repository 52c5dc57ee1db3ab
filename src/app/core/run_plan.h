#pragma once
// Starting a run: one job per checked row, queued in the converter component with the option
// records of the row and the preset. The caller then starts the queue (StartJobs(1)) and shows
// the run's progress; the events' texts come from run_progress.h.

#include "app/core/message_box.h"
#include "app/core/task_row.h"
#include "component/av_converter.h"
#include "platform/ini_store.h"
#include "probe/av_probe.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace tarnwick::app {

struct TRunSetup {
    const platform::IniStore& Settings;
    const platform::IniStore& Presets;
    TMessageBox& Messages;
    // Receives the log lines of the start: each source's information text and the
    // component's last error after each row. May be empty.
    std::function<void(const std::string&)> Log;
    // Called while the component's probe is open on a row's source and holds its first
    // picture, so a preview can show it. May be empty.
    std::function<void(probe::TAVProbe&)> ProbeOpened;
    // Called when a job's output could not be set, with the job and the component's text. The
    // job stays queued (and fails when it runs); a front end that shows no log can still say
    // why. May be empty.
    std::function<void(int32_t job, const std::string& reason)> OutputRefused = {};
};

// Sets the component's log level to llInfo and its thread priority from "priority", clears
// its jobs, and queues one job per checked row in list order: the source opened in the probe
// (the window passes the component's own) for its first picture and closed again after, the
// destination named by BuildOutputFileName with "." and the preset's extension (never one
// that an earlier row of this run already got), the records of MakeRowRecords, AddJob and
// SetJobOutput. Returns the list row of each queued job (RunRows). With no checked row it
// shows "Please select a file by clicking the check box!" and returns an empty list. Raises std::runtime_error with the component's error text when a
// source cannot be opened as a job, and platform::EConvertError for a preset value that does
// not parse; the jobs queued before stay until the next ClearJobs.
std::vector<int32_t> QueueRun(component::TKivAVConverter& converter, probe::TAVProbe& probe,
                              const std::vector<TTaskRow>& rows, int presetIndex,
                              const TRunSetup& setup);

} // namespace tarnwick::app
