#include "platform/time_zone.h"

#include <ctime>

namespace tarnwick::platform {

int LocalStandardOffsetSeconds() {
    // tzset fills `timezone` with the standard offset in seconds west of UTC; reading the zone
    // again on every call follows a changed TZ.
    tzset();
    return static_cast<int>(-timezone);
}

} // namespace tarnwick::platform
