#pragma once
// Volume scaling of decoded audio. The volume is in 256ths (256 leaves the sound as it is,
// 512 doubles it); integer samples are rounded and clamped to their range, floating-point
// samples are scaled by the same factor.

#include "binding/media_headers.h"

namespace tarnwick::engine {

// Scales every sample of the planes in place. For packed formats pass one plane holding
// samples x channels values; for planar formats one plane per channel.
void ScaleSamples(uint8_t *const *planes, int planeCount, int valuesPerPlane, AVSampleFormat format,
                  int volume);

// Scales a decoded frame in place, making its buffers writable first. Returns false when they
// cannot be made writable (the frame is then unchanged).
bool ApplyAudioVolume(AVFrame &frame, int volume);

} // namespace tarnwick::engine
