#pragma once
// Between the toolkit-free 24-bit bitmap and the toolkit's image. Both copy: the bitmap may be
// drawn on by a worker thread, the image is the window thread's.

#include "platform/bitmap24.h"

#include <QImage>

namespace tarnwick::ui {

// A copy of the bitmap (taken under its canvas lock); a null image for an empty bitmap.
QImage ImageFromBitmap(const platform::Bitmap24& bitmap);

// Sizes the bitmap to the image and copies its pixels (under the bitmap's canvas lock).
void CopyImageToBitmap(const QImage& image, platform::Bitmap24& bitmap);

} // namespace tarnwick::ui
