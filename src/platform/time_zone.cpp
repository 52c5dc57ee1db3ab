#include "platform/time_zone.h"

#include <ctime>
#include <mutex>

namespace tarnwick::platform {

int StandardTimeZoneOffsetMinutes() {
    // tzset fills the C library's global `timezone` (seconds west of UTC, standard time); the
    // lock keeps two callers from reading it while the other refreshes it.
    static std::mutex zoneLock;
    std::lock_guard lock(zoneLock);
    tzset();
    return static_cast<int>(-timezone / 60);
}

} // namespace tarnwick::platform
