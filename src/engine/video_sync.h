#pragma once
// How many times a picture is written so that the output frame rate keeps in step with the input
// clock: dropped when it comes too early, repeated when pictures are missing.

#include <cstdint>

namespace tarnwick::engine {

struct VideoSyncDecision {
    int count = 1;        // pictures to write: 0 drops, above 1 duplicates
    int64_t syncOpts = 0; // the output position (in encoder time-base units) to go on from
};

// syncTime is the input clock in seconds, timeBase the encoder's time base in seconds, syncOpts
// the output position so far (the pts the next picture gets; it never moves back). method: 0
// off, 1 drop and duplicate, 2 drop and jump, -1 lets the time base decide (syncs only time
// bases coarser than a millisecond, that is frame rates).
VideoSyncDecision DecideVideoSync(double syncTime, double timeBase, int64_t syncOpts, int method);

} // namespace tarnwick::engine
