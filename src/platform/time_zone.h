#pragma once
// The local time zone's standard offset from UTC, as the system's zone rules give it (TZ or
// /etc/localtime). Daylight saving never enters: a date shown or stored with this offset
// does not jump twice a year.

namespace tarnwick::platform {

// Minutes east of UTC of the local zone's standard time (Berlin 60, New York -300). Reads the
// zone afresh on every call, so a changed TZ takes effect. Any thread.
int StandardTimeZoneOffsetMinutes();

} // namespace tarnwick::platform
