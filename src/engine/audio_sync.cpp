#include "engine/audio_sync.h"

#include <algorithm>
#include <cmath>

namespace tarnwick::engine {

AudioSyncDecision DecideAudioSync(const AudioSyncInput &input) {
    using Action = AudioSyncDecision::Action;
    AudioSyncDecision decision;
    const double delta = input.syncTime * input.encoderRate - static_cast<double>(input.syncOpts) -
                         static_cast<double>(input.queuedSamples);
    decision.delta = delta;
    if (std::fabs(delta) <= 50) return decision;

    if (input.isStart || std::fabs(delta) > input.driftThreshold * input.encoderRate) {
        const double idelta = delta * input.decoderRate / input.encoderRate;
        const int64_t sampleDelta = static_cast<int64_t>(std::trunc(idelta));
        if (sampleDelta < 0) {
            decision.action = Action::Discard;
            decision.samples = std::min<int64_t>(-sampleDelta, input.chunkSamples);
            decision.clearIsStart = decision.samples < input.chunkSamples;
            return decision;
        }
        decision.action = Action::Insert;
        decision.samples = sampleDelta;
        decision.clearIsStart = true;
        const int64_t frameBytes = std::max(input.decoderFrameBytes, 1);
        if ((sampleDelta + input.chunkSamples) * frameBytes > MaxSilenceBytes) {
            decision.samples =
                std::max<int64_t>(MaxSilenceBytes / frameBytes - input.chunkSamples, 0);
            decision.clearIsStart = false;
        }
        return decision;
    }
    if (input.method > 1) {
        decision.action = Action::Compensate;
        const double truncated = std::trunc(delta);
        decision.compensation =
            static_cast<int>(std::clamp(truncated, -double(input.method), double(input.method)));
    }
    return decision;
}

} // namespace tarnwick::engine
