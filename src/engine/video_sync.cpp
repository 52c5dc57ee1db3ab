#include "engine/video_sync.h"

#include <algorithm>
#include <climits>
#include <cmath>

namespace tarnwick::engine {

VideoSyncDecision DecideVideoSync(double syncTime, double timeBase, int64_t syncOpts, int method) {
    VideoSyncDecision decision;
    decision.syncOpts = syncOpts;
    // lrint rounds half to even under the default rounding mode. Where the position follows the
    // clock it never moves back: encoders refuse a picture whose pts does not increase.
    const double position = syncTime / timeBase;
    if (method > 0 || (method != 0 && timeBase > 0.001)) {
        const double vdelta = position - static_cast<double>(syncOpts);
        if (vdelta < -1.1)
            decision.count = 0;
        else if (method == 2)
            decision.syncOpts = std::max<int64_t>(syncOpts, std::llrint(position));
        else if (vdelta > 1.1)
            decision.count = static_cast<int>(std::lrint(std::min(vdelta, double{INT_MAX})));
    } else {
        decision.syncOpts = std::max<int64_t>(syncOpts, std::llrint(position));
    }
    return decision;
}

} // namespace tarnwick::engine
