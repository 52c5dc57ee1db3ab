#pragma once
// Work pictures of the video path that the libraries may hold references to.

#include "binding/media_headers.h"

namespace tarnwick::engine {

// Makes `frame` (allocated when null) a picture of the format and size with buffers nobody else
// references, so it can be written at once: kept as it is when it already is one, given new
// buffers (content undefined) when an encoder or filter still holds the old ones or the size or
// format changed. Returns false when the buffers cannot be made.
bool PrepareWritablePicture(AVFrame *&frame, AVPixelFormat format, int width, int height);

} // namespace tarnwick::engine
