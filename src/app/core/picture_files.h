#pragma once
// Encoding 24-bit pictures as BMP and JPEG files in memory. The caller keeps the picture
// unchanged while it is encoded (holding its CanvasLock when another thread may draw on it).

#include "platform/bitmap24.h"

#include <cstdint>
#include <vector>

namespace tarnwick::app {

// A Windows bitmap file: 14-byte file header, 40-byte information header, 24 bits per pixel,
// rows bottom-up, each padded to a multiple of 4 bytes.
std::vector<uint8_t> EncodeBmp(const platform::Bitmap24& picture);

// A baseline JPEG at the quality (clamped to 1..100). Raises std::runtime_error with the
// library's message when the picture cannot be encoded (for example when it is empty).
std::vector<uint8_t> EncodeJpeg(const platform::Bitmap24& picture, int quality);

} // namespace tarnwick::app
