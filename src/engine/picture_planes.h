#pragma once
// A picture as four plane pointers and four line sizes, the layout the libraries, the frame-hook
// modules and the crop, pad and deinterlace helpers share. It owns nothing.

#include "binding/media_headers.h"

#include <cstdint>

namespace tarnwick::engine {

struct PicturePlanes {
    uint8_t *data[4]{};
    int linesize[4]{};
};

inline PicturePlanes PlanesOf(const AVFrame &frame) {
    PicturePlanes planes;
    for (int i = 0; i < 4; ++i) {
        planes.data[i] = frame.data[i];
        planes.linesize[i] = frame.linesize[i];
    }
    return planes;
}

// Where one component of a planar format lives and how far it is subsampled.
struct PlaneGeometry {
    int plane;
    int shiftX;
    int shiftY;
    bool chroma;
    bool alpha;
};

// The descriptor of an 8-bit planar YUV or grey format (one byte per sample, each component in a
// plane of its own), or nullptr for any other format.
const AVPixFmtDescriptor *Planar8BitDescriptor(AVPixelFormat format);
PlaneGeometry ComponentGeometry(const AVPixFmtDescriptor &descriptor, int component);

inline int CeilShift(int value, int shift) { return -((-value) >> shift); }

} // namespace tarnwick::engine
