#pragma once
// Routes the media libraries' log reports to every live converter component: filtered by
// level, assembled into whole lines per thread, prefixed with the name and address of the
// library object that speaks, and raised as OnLog for the job running on the reporting thread.
//
// Locks, in the only order anything takes them: the process-wide component list, then a
// component's EventLock, then the (innermost) lock of the pending line texts.

#include <cstdarg>
#include <string>
#include <thread>

namespace tarnwick::component {

class TCustomAVConverter;

// Size of the text one report is assembled in, pending start of the line included.
inline constexpr int LogBufferSize = 2048;

// The process-wide list of live components. A component adds itself when it is created and
// removes itself when it is destroyed; any thread.
void RegisterComponent(TCustomAVConverter& component);
void UnregisterComponent(TCustomAVConverter& component);

// The libraries' log callback (av_log_set_callback). Any thread.
void LogCallback(void* object, int level, const char* format, va_list args);

// Raises the component's OnLog for the first of its jobs that runs on the thread, or with no
// job when none does. The level is on the engine's scale.
void DoLogForThread(TCustomAVConverter& component, std::thread::id threadId, int level,
                    const std::string& line);

// Forgets every pending start of a line, of all threads.
void ClearLogLines();

} // namespace tarnwick::component
