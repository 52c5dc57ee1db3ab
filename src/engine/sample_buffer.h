#pragma once
// A growing block of memory for audio samples, laid out as planes for whatever format and
// channel count the current use needs (resampler output, silence followed by the input). Owned
// by the job; it only grows.

#include "binding/media_headers.h"

#include <vector>

namespace tarnwick::engine {

struct TSampleBuffer {
    uint8_t *Memory = nullptr;
    int Bytes = 0;
    std::vector<uint8_t *> Planes; // one per channel for planar formats, else one
    int Capacity = 0;              // samples per channel the planes hold
};

// Lays the planes out for the format and channel count with room for at least `samples`
// samples, growing the memory (to at least `minimumBytes`) when it is too small; the content is
// kept only when nothing grows. False when it cannot be allocated.
bool EnsureSampleBuffer(TSampleBuffer &buffer, AVSampleFormat format, int channels, int samples,
                        int minimumBytes = 0);
void FreeSampleBuffer(TSampleBuffer &buffer);

} // namespace tarnwick::engine
