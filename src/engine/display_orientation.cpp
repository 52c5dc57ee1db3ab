#include "engine/display_orientation.h"

#include "binding/media_functions.h"

#include <cstdlib>

namespace tarnwick::engine {

using binding::AV;

// The matrix maps a source point (p, q), top left origin, to (a p + c q, b p + d q) before its
// translation. Without a transpose a and d carry the turn: a negative one mirrors its axis.
// With one, the source's q becomes the new x (scaled by c) and p the new y (scaled by b).
TDisplayOrientation OrientationOfMatrix(const int32_t matrix[9]) {
    const int64_t a = matrix[0], b = matrix[1], c = matrix[3], d = matrix[4];
    TDisplayOrientation orientation;
    if (std::llabs(a) + std::llabs(d) >= std::llabs(b) + std::llabs(c)) {
        orientation.MirrorHorizontally = a < 0;
        orientation.MirrorVertically = d < 0;
    } else {
        orientation.Transpose = true;
        orientation.MirrorHorizontally = c < 0;
        orientation.MirrorVertically = b < 0;
    }
    return orientation;
}

TDisplayOrientation StreamOrientation(const AVStream& stream) {
    size_t size = 0;
    const uint8_t* matrix = AV.av_stream_get_side_data(&stream, AV_PKT_DATA_DISPLAYMATRIX, &size);
    if (!matrix || size < 9 * sizeof(int32_t)) return {};
    return OrientationOfMatrix(reinterpret_cast<const int32_t*>(matrix));
}

} // namespace tarnwick::engine
