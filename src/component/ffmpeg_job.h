#pragma once
// The job as the component keeps it: the engine job plus its place in the list, the thread
// that runs it, the option records it was set up from and the probe attached to its input.

#include "component/job_list.h"
#include "component/option_records.h"
#include "engine/custom_ffmpeg.h"
#include "probe/av_probe.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <thread>

namespace tarnwick::component {

class TFFmpeg : public engine::TCustomFFmpeg {
public:
    TFFmpeg();
    ~TFFmpeg() override;

    // Position in the component's list; -1 while the job is in no list. Read by any thread.
    std::atomic<int32_t> JobIndex{-1};
    // The thread the job runs on (library log lines from it belong to this job); the default
    // id while it has not run.
    std::atomic<std::thread::id> RunnerThreadId{};
    // Copies of the records the job was set up from (cleared when none was given).
    TInputOptions InputOptions;
    TOutputOptions OutputOptions;
    // Describes the job's input from its opening until the run starts; the run uses the input
    // on its own thread and frees it at its end, so the probe is emptied when the run starts.
    std::unique_ptr<probe::TAVProbe> JobProbe = std::make_unique<probe::TAVProbe>();

    // ---- Run bookkeeping of the owning component, guarded by its EventLock ----
    // The run was started (or its end reported early by a stop before the run).
    bool Launched = false;
    // The component has dispatched the job's terminate event to its end; the job's thread no
    // longer touches the job after that.
    bool Reported = false;
};

} // namespace tarnwick::component
