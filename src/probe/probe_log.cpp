#include "probe/probe_log.h"

#include "binding/log_levels.h"
#include "binding/media_libraries.h"

#include <cstdarg>

namespace tarnwick::probe {

void ProbeLog(int engineLevel, const char* format, ...) {
    // Before the libraries are loaded there is no log to write to; the caller's answer stands.
    if (!binding::AVUtilLoaded()) return;
    va_list args;
    va_start(args, format);
    binding::AV.av_vlog(nullptr, binding::EngineToLibraryLogLevel(engineLevel), format, args);
    va_end(args);
}

} // namespace tarnwick::probe
