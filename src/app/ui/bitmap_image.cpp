#include "app/ui/bitmap_image.h"

#include <cstring>
#include <mutex>

namespace tarnwick::ui {

QImage ImageFromBitmap(const platform::Bitmap24& bitmap) {
    std::lock_guard lock(bitmap.CanvasLock());
    if (bitmap.Width() <= 0 || bitmap.Height() <= 0) return {};
    // The bitmap's bytes are blue, green, red: the image format of that byte order.
    return QImage(bitmap.Bits(), bitmap.Width(), bitmap.Height(), bitmap.Stride(),
                  QImage::Format_BGR888)
        .copy();
}

void CopyImageToBitmap(const QImage& image, platform::Bitmap24& bitmap) {
    const QImage source = image.convertToFormat(QImage::Format_BGR888);
    std::lock_guard lock(bitmap.CanvasLock());
    bitmap.SetSize(source.width(), source.height());
    const auto rowBytes = static_cast<size_t>(source.width()) * 3;
    for (int y = 0; y < source.height(); ++y)
        std::memcpy(bitmap.ScanLine(y), source.constScanLine(y), rowBytes);
}

} // namespace tarnwick::ui
