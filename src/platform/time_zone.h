#pragma once
// The local time zone as the rest of the program needs it.

namespace tarnwick::platform {

// Seconds east of UTC of the local zone's standard time (daylight saving not included), as
// the TZ environment variable or the system's zone says at the moment of the call.
int LocalStandardOffsetSeconds();

} // namespace tarnwick::platform
