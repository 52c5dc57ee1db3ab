#pragma once
// After a job: does the output hold what the preset and the source promise? A user must never
// take a broken file for a finished one.

#include <cstdint>
#include <string>

namespace tarnwick::cli {

struct OutputExpectation {
    bool video = false;      // the preset makes video and the source has a picture stream
    bool audio = false;      // the source has sound
    int64_t durationMs = -1; // expected length; -1 when the source does not say
    // The same for a source whose clock starts late (a recording's offset) in a container that
    // counts its length from zero, so that it includes the offset: the output starts at zero
    // and lasts only this long. -1 when the source starts at zero.
    int64_t durationWithoutOffsetMs = -1;
};

struct OutputCheck {
    std::string failure; // empty when the output is as expected, else why not
    // The output holds the streams it should, only its length is off: it may be all that a
    // damaged source gave, so it is worth keeping.
    bool onlyTheLength = false;
};

// What to expect from converting the source with the trim (0 = none) of the run. The media
// libraries must be loaded. The source's own description failing gives the empty expectation.
OutputExpectation ExpectationFor(const std::string& source, bool presetMakesVideo,
                                 int32_t trimStartMs, int32_t trimLengthMs);

// Why the output is not as expected ("no video stream", "lasts 1.2 s, 3.0 s expected", ...).
OutputCheck CheckOutput(const std::string& output, const OutputExpectation& expected);

} // namespace tarnwick::cli
