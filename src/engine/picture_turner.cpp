#include "engine/picture_turner.h"

#include <string>

namespace tarnwick::engine {

namespace {

// The filters that turn pictures so: a transpose followed by mirrors is one of the transpose
// filter's four directions.
std::string TurningChain(const TDisplayOrientation& orientation) {
    if (orientation.Transpose) {
        if (orientation.MirrorHorizontally)
            return orientation.MirrorVertically ? "transpose=dir=clock_flip"
                                                : "transpose=dir=clock";
        return orientation.MirrorVertically ? "transpose=dir=cclock" : "transpose=dir=cclock_flip";
    }
    std::string chain;
    if (orientation.MirrorHorizontally) chain = "hflip";
    if (orientation.MirrorVertically) chain += chain.empty() ? "vflip" : ",vflip";
    return chain;
}

} // namespace

TPictureTurner::TPictureTurner(TDisplayOrientation orientation)
    : graph_(TurningChain(orientation), false) {}

bool TPictureTurner::Turn(AVFrame* picture) {
    // The source takes the picture's references over and leaves it blank for the result.
    return graph_.Push(picture) && graph_.Pull(picture);
}

} // namespace tarnwick::engine
