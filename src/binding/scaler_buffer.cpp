#include "binding/scaler_buffer.h"

#include "binding/media_functions.h"

#include <climits>

namespace tarnwick::binding {

namespace {

// Wider than the widest vector store of the scaler.
constexpr int RowAlignment = 64;
constexpr int TailPadding = 64;

} // namespace

bool ScalerPictureBuffer::Prepare(int pixelFormat, int width, int height, uint8_t* planes[4],
                                  int lineSizes[4]) {
    const auto format = static_cast<AVPixelFormat>(pixelFormat);
    const int pictureSize = AV.av_image_get_buffer_size(format, width, height, RowAlignment);
    if (pictureSize <= 0 || pictureSize > INT_MAX - TailPadding) return false;
    const int size = pictureSize + TailPadding;
    if (size > size_) {
        Release();
        data_ = static_cast<uint8_t*>(AV.av_malloc(size));
        if (!data_) return false;
        size_ = size;
    }
    return AV.av_image_fill_arrays(planes, lineSizes, data_, format, width, height, RowAlignment) >=
           0;
}

void ScalerPictureBuffer::Release() {
    if (data_) AV.av_free(data_);
    data_ = nullptr;
    size_ = 0;
}

} // namespace tarnwick::binding
