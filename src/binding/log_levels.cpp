#include "binding/log_levels.h"

#include "binding/media_headers.h"

#include <atomic>

namespace tarnwick::binding {
namespace {
std::atomic<int> defaultLogLevel{AV_LOG_INFO};
}

int EngineToLibraryLogLevel(int engineLevel) {
    if (engineLevel < 0) return AV_LOG_QUIET;
    switch (engineLevel) {
    case 0: return AV_LOG_ERROR;
    case 1: return AV_LOG_INFO;
    case 2: return AV_LOG_DEBUG;
    default: return AV_LOG_TRACE;
    }
}

int LibraryToEngineLogLevel(int libraryLevel) {
    if (libraryLevel < AV_LOG_PANIC) return -1;
    if (libraryLevel <= AV_LOG_ERROR) return 0;
    if (libraryLevel <= AV_LOG_INFO) return 1;
    if (libraryLevel <= AV_LOG_DEBUG) return 2;
    return 3;
}

int DefaultLogLevel() { return defaultLogLevel.load(); }
void SetDefaultLogLevel(int libraryLevel) { defaultLogLevel.store(libraryLevel); }

} // namespace tarnwick::binding
