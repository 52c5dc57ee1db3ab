#pragma once
// A picture buffer the scaler writes into. The scaler's vector code stores whole blocks of
// pixels, past the end of a row and past the last row: a packed buffer of the picture's exact
// size is overrun by narrow pictures. Here every row has an aligned length, the buffer is
// aligned for vector stores, and room follows the last row.

#include <cstdint>

namespace tarnwick::binding {

class ScalerPictureBuffer {
public:
    ScalerPictureBuffer() = default;
    ~ScalerPictureBuffer() { Release(); }
    ScalerPictureBuffer(const ScalerPictureBuffer&) = delete;
    ScalerPictureBuffer& operator=(const ScalerPictureBuffer&) = delete;

    // Lays a picture of the format (the libraries' pixel format number) and size over the
    // buffer, which grows when it is too small (and is kept otherwise). False, with the planes
    // untouched, when the picture cannot be laid out or the memory cannot be had.
    bool Prepare(int pixelFormat, int width, int height, uint8_t* planes[4], int lineSizes[4]);
    void Release();

    const uint8_t* Data() const { return data_; }
    int Size() const { return size_; }

private:
    uint8_t* data_ = nullptr;
    int size_ = 0;
};

} // namespace tarnwick::binding
