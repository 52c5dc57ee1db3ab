#pragma once
// The progress of one running conversion as a line of text.

#include <cstdint>
#include <string>

namespace tarnwick::cli {

struct JobProgress {
    int position = 0;             // 1-based place in the run
    int count = 0;                // files in the run
    std::string name;             // the source file's name
    int32_t mediaMs = 0;          // output time reached
    int32_t totalMs = -1;         // expected output length, -1 unknown
    int64_t sizeBytes = 0;        // output size so far
    double elapsedSeconds = 0;    // wall time since the job started
};

// Percentage of the expected length, 0 to 100, or -1 when the length is unknown.
int ProgressPercent(const JobProgress& progress);
// Media seconds converted per wall-clock second; 0 before anything was converted.
double RealtimeFactor(const JobProgress& progress);
// Seconds left at the current speed, or -1 when it cannot be estimated.
double SecondsLeft(const JobProgress& progress);

// "[2/3] clip.avi  42%  00:00:12  1.3 MiB  3.1x  left 00:00:17"; the name is shortened to fit
// within `width` characters when the line would be longer.
std::string FormatProgressLine(const JobProgress& progress, size_t width);

// "hh:mm:ss" of whole seconds.
std::string ClockText(double seconds);

} // namespace tarnwick::cli
