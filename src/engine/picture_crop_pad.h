#pragma once
// Cropping and padding of a picture, worked out from the pixel format descriptor.
// Both run on the caller's thread and touch only the pictures they are given.

#include "binding/media_headers.h"
#include "engine/picture_planes.h"

#include <array>

namespace tarnwick::engine {

// Makes `view` show `source` from row `top` and column `left` on: the planes are moved, nothing
// is copied, and the view lives as long as the source's pixels. Returns false for formats that
// cannot be cut that way (hardware, bit-packed, a packed format whose chroma sample the cut would
// split) and for negative offsets.
bool CropPicture(PicturePlanes &view, const PicturePlanes &source, AVPixelFormat format, int top,
                 int left);

// Paints the bands of `target` (width x height in all) in the colour (Y, U, V). With a source,
// whose size is the inner area, the source is copied into the inner area as well; without one
// only the bands are painted. 8-bit planar YUV and grey formats only (alpha is made opaque);
// returns false for any other format or for bands that do not fit.
bool PadPicture(PicturePlanes &target, const PicturePlanes *source, int height, int width,
                AVPixelFormat format, int top, int bottom, int left, int right,
                const std::array<int, 3> &color);

} // namespace tarnwick::engine
