#pragma once
// How a stream's pictures are meant to be shown. Phones and some cameras store pictures as the
// sensor sees them and put a display matrix beside the stream that tells players to turn them
// (a portrait clip is a landscape picture with "turn by 90 degrees") or to mirror them. The
// engine and the probe show pictures the way players do, so they turn them first.

#include "binding/media_headers.h"

#include <cstdint>

namespace tarnwick::engine {

// A quarter turn and mirror: the picture's rows and columns are swapped first (a transpose),
// then it is mirrored left to right, then top to bottom. These three cover every quarter turn
// with or without a mirror.
struct TDisplayOrientation {
    bool Transpose = false;
    bool MirrorHorizontally = false;
    bool MirrorVertically = false;

    bool Upright() const { return !Transpose && !MirrorHorizontally && !MirrorVertically; }
};

// The orientation the matrix (nine values laid out as libavutil/display.h describes) asks for,
// taken to the nearest quarter turn; upright for a matrix without a turn or mirror, and for
// one that maps everything to a point.
TDisplayOrientation OrientationOfMatrix(const int32_t matrix[9]);

// The orientation of the stream's display matrix; upright when it has none.
TDisplayOrientation StreamOrientation(const AVStream& stream);

} // namespace tarnwick::engine
