#pragma once
// After a job: does the output hold what the preset and the source promise? A user must never
// take a broken file for a finished one.

#include <cstdint>
#include <string>

namespace tarnwick::cli {

struct OutputExpectation {
    bool video = false;       // the preset makes video and the source has a picture stream
    bool audio = false;       // the source has sound
    int64_t durationMs = -1;  // expected length; -1 when the source does not say
};

// What to expect from converting the source with the trim (0 = none) of the run. The media
// libraries must be loaded. The source's own description failing gives the empty expectation.
OutputExpectation ExpectationFor(const std::string& source, bool presetMakesVideo,
                                 int32_t trimStartMs, int32_t trimLengthMs);

// Empty when the output is as expected, else why not ("no video stream", "lasts 1.2 s, 3.0 s
// expected", ...).
std::string CheckOutput(const std::string& output, const OutputExpectation& expected);

} // namespace tarnwick::cli
