#include "engine/deinterlace.h"

#include <algorithm>
#include <cstring>

namespace tarnwick::engine {

namespace {

void DeinterlacePlane(uint8_t *target, int targetStride, const uint8_t *source, int sourceStride,
                      int width, int height) {
    auto row = [&](int y) {
        // Past the edges the nearest line of the same field stands in.
        while (y < 0)
            y += 2;
        while (y >= height)
            y -= 2;
        return source + static_cast<ptrdiff_t>(std::max(y, 0)) * sourceStride;
    };
    for (int y = 0; y < height; ++y) {
        uint8_t *out = target + static_cast<ptrdiff_t>(y) * targetStride;
        if (y % 2 == 0) {
            std::memcpy(out, row(y), width);
            continue;
        }
        const uint8_t *m2 = row(y - 2), *m1 = row(y - 1), *c = row(y), *p1 = row(y + 1),
                      *p2 = row(y + 2);
        for (int x = 0; x < width; ++x) {
            const int value = (-m2[x] + 4 * m1[x] + 2 * c[x] + 4 * p1[x] - p2[x] + 4) >> 3;
            out[x] = static_cast<uint8_t>(std::clamp(value, 0, 255));
        }
    }
}

} // namespace

bool DeinterlacePicture(PicturePlanes &target, const PicturePlanes &source, AVPixelFormat format,
                        int width, int height) {
    const AVPixFmtDescriptor *descriptor = Planar8BitDescriptor(format);
    if (!descriptor || width <= 0 || height <= 0) return false;
    for (int c = 0; c < descriptor->nb_components; ++c) {
        const PlaneGeometry geometry = ComponentGeometry(*descriptor, c);
        DeinterlacePlane(target.data[geometry.plane], target.linesize[geometry.plane],
                         source.data[geometry.plane], source.linesize[geometry.plane],
                         CeilShift(width, geometry.shiftX), CeilShift(height, geometry.shiftY));
    }
    return true;
}

} // namespace tarnwick::engine
