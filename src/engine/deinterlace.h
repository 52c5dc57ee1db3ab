#pragma once
// Deinterlacing by a vertical low-pass: the lines of the top field are kept and each line of the
// bottom field is rebuilt from itself and its four vertical neighbours with the weights
// (-1 4 2 4 -1) / 8, which removes the comb of two fields taken at different moments.

#include "binding/media_headers.h"
#include "engine/picture_planes.h"

namespace tarnwick::engine {

// Writes the deinterlaced `source` into `target` (same format and size; the two must not
// overlap). 8-bit planar YUV and grey formats only: returns false, touching nothing, for any
// other format or a size below one pixel.
bool DeinterlacePicture(PicturePlanes &target, const PicturePlanes &source, AVPixelFormat format,
                        int width, int height);

} // namespace tarnwick::engine
