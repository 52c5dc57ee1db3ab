#include "engine/picture_planes.h"

#include "binding/media_functions.h"

namespace tarnwick::engine {

using binding::AV;

const AVPixFmtDescriptor *Planar8BitDescriptor(AVPixelFormat format) {
    const AVPixFmtDescriptor *descriptor = AV.av_pix_fmt_desc_get(format);
    if (!descriptor) return nullptr;
    if (descriptor->flags & (AV_PIX_FMT_FLAG_RGB | AV_PIX_FMT_FLAG_PAL | AV_PIX_FMT_FLAG_HWACCEL |
                             AV_PIX_FMT_FLAG_BITSTREAM | AV_PIX_FMT_FLAG_FLOAT))
        return nullptr;
    for (int c = 0; c < descriptor->nb_components; ++c) {
        const AVComponentDescriptor &component = descriptor->comp[c];
        if (component.step != 1 || component.depth != 8 || component.shift != 0) return nullptr;
        for (int other = 0; other < c; ++other)
            if (descriptor->comp[other].plane == component.plane) return nullptr;
    }
    return descriptor;
}

PlaneGeometry ComponentGeometry(const AVPixFmtDescriptor &descriptor, int component) {
    PlaneGeometry geometry{};
    geometry.plane = descriptor.comp[component].plane;
    geometry.chroma = !(descriptor.flags & AV_PIX_FMT_FLAG_RGB) && descriptor.nb_components >= 3 &&
                      (component == 1 || component == 2);
    geometry.alpha =
        (descriptor.flags & AV_PIX_FMT_FLAG_ALPHA) && component == descriptor.nb_components - 1;
    geometry.shiftX = geometry.chroma ? descriptor.log2_chroma_w : 0;
    geometry.shiftY = geometry.chroma ? descriptor.log2_chroma_h : 0;
    return geometry;
}

} // namespace tarnwick::engine
