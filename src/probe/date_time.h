#pragma once
// Dates as the windows show them: a date-time is a count of days since 1899-12-30 with the
// time of day as the fraction, in local standard time.

#include <cstdint>
#include <string>

namespace tarnwick::probe {

using TDateTime = double;

// The local zone's standard offset from UTC in days, east positive; daylight saving is not
// applied. Any thread.
double LocalTimeZoneOffset();

// Unix seconds (UTC) to a local date-time.
TDateTime UnixTimeToLocal(int64_t seconds);

// The date-time in the pattern: "yyyy" (four-digit year), "yy", "mm"/"m" (month), "dd"/"d",
// "hh"/"h" (24-hour), "nn"/"n" (minutes), "ss"/"s", "zzz"/"z" (milliseconds), letters in
// either case; anything else is copied. A run of one letter pads nothing, a longer run pads
// to two digits (three for milliseconds, four for years from "yyy" on). Empty for a value
// outside the years 1 to 9999 or not a number.
std::string FormatDateTimeText(const std::string& pattern, TDateTime value);

} // namespace tarnwick::probe
