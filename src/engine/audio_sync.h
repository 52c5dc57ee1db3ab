#pragma once
// Keeping audio in step with the input clock: the decision for one decoded chunk, in samples.

#include <cstdint>

namespace tarnwick::engine {

// Silence is added at most up to this many bytes of decoder samples (silence and chunk
// together) per chunk; the rest follows with the next chunks.
inline constexpr int64_t MaxSilenceBytes = 131072;

struct AudioSyncInput {
    double syncTime = 0; // input clock, seconds
    int encoderRate = 0;
    int decoderRate = 0;
    int64_t syncOpts = 0;      // encoder samples written so far
    int64_t queuedSamples = 0; // encoder samples waiting (FIFO, resampler)
    bool isStart = false;
    double driftThreshold = 0.1; // seconds
    int method = 0;              // 1 insert or discard; above 1 also stretch by up to this much
    int chunkSamples = 0;        // decoder samples in the chunk
    int decoderFrameBytes = 0;   // bytes of one decoder sample over all channels
};

struct AudioSyncDecision {
    enum class Action { None, Discard, Insert, Compensate };
    Action action = Action::None;
    double delta = 0;          // encoder samples the output is behind (negative: ahead)
    int64_t samples = 0;       // decoder samples to discard or to insert as silence
    int compensation = 0;      // encoder samples the resampler is asked to stretch by
    bool clearIsStart = false; // the correction fitted in whole
};

// method must not be 0. At 50 samples or less nothing is corrected.
AudioSyncDecision DecideAudioSync(const AudioSyncInput &input);

} // namespace tarnwick::engine
