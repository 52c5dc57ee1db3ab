#pragma once
// A 24-bit picture in blue-green-red byte order, top row first, with a lock standing for the
// canvas lock: whoever draws on it or reads it while another thread may, holds the lock.

#include <cstdint>
#include <mutex>
#include <vector>

namespace tarnwick::platform {

class Bitmap24 {
public:
    Bitmap24() = default;
    Bitmap24(int width, int height) { SetSize(width, height); }

    // Resizes; the content is undefined afterwards. Storage only grows.
    void SetSize(int width, int height);
    int Width() const { return width_; }
    int Height() const { return height_; }
    // Bytes from one row to the next (width * 3 rounded up to 4, as a device bitmap has).
    int Stride() const { return stride_; }
    uint8_t* ScanLine(int row) { return pixels_.data() + static_cast<size_t>(row) * stride_; }
    const uint8_t* ScanLine(int row) const {
        return pixels_.data() + static_cast<size_t>(row) * stride_;
    }
    uint8_t* Bits() { return pixels_.data(); }
    const uint8_t* Bits() const { return pixels_.data(); }
    void Fill(uint8_t blue, uint8_t green, uint8_t red);
    // Takes the other picture's size and pixels (not its lock; the caller holds whatever
    // locks the two pictures need).
    void Assign(const Bitmap24& other);

    std::mutex& CanvasLock() const { return canvasLock_; }

private:
    int width_ = 0;
    int height_ = 0;
    int stride_ = 0;
    std::vector<uint8_t> pixels_;
    mutable std::mutex canvasLock_;
};

} // namespace tarnwick::platform
