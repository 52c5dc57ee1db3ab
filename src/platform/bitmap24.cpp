#include "platform/bitmap24.h"

#include <cstring>

namespace tarnwick::platform {

void Bitmap24::SetSize(int width, int height) {
    if (width < 0) width = 0;
    if (height < 0) height = 0;
    width_ = width;
    height_ = height;
    stride_ = (width * 3 + 3) & ~3;
    const size_t needed = static_cast<size_t>(stride_) * height;
    if (pixels_.size() < needed) pixels_.resize(needed);
}

void Bitmap24::Fill(uint8_t blue, uint8_t green, uint8_t red) {
    for (int y = 0; y < height_; ++y) {
        uint8_t* row = ScanLine(y);
        for (int x = 0; x < width_; ++x) {
            row[x * 3] = blue;
            row[x * 3 + 1] = green;
            row[x * 3 + 2] = red;
        }
    }
}

void Bitmap24::Assign(const Bitmap24& other) {
    if (&other == this) return;
    SetSize(other.width_, other.height_);
    if (!pixels_.empty())
        std::memcpy(pixels_.data(), other.pixels_.data(), static_cast<size_t>(stride_) * height_);
}

} // namespace tarnwick::platform
