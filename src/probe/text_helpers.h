#pragma once
// Small text helpers of the probe and the windows: durations, file sizes, token splitting.

#include "platform/next_token.h"
#include "probe/probe_records.h"

#include <cstdint>
#include <string>

namespace tarnwick::probe {

// "hh:mm:ss.zzz" of a time in µs; hours are not wrapped at 24, division truncates toward zero
// (3723456789 gives "01:02:03.456").
std::string FormatDuration(int64_t us);

// "%.2f GB" above 1073741824 bytes, "%.2f MB" above 1048576, "%.2f KB" above 1024, else
// "%d Byte" (1024 gives "1024 Byte", 1025 "1.00 KB").
std::string FormatFileSize(int64_t size);

// Seconds and microseconds of a signed µs time as "s.uuuuuu" ("-0.021333" for -21333).
std::string FormatSecondsMicro(int64_t us);

// The size in bytes of the file (its name made absolute first); -1 when it does not exist or
// is not a regular file that can be examined.
int64_t GetFileSizeOnDisk(const std::string& fileName);

// Whether a stream is interlaced, as the information texts say it: "top field first",
// "bottom field first", "no", or empty when it is not known.
std::string ScanTypeText(TScanType scanType);

using platform::NextToken;

} // namespace tarnwick::probe
