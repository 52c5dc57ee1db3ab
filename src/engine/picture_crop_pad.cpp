#include "engine/picture_crop_pad.h"

#include "binding/media_functions.h"

#include <algorithm>
#include <cstring>

namespace tarnwick::engine {

using binding::AV;

bool CropPicture(PicturePlanes &view, const PicturePlanes &source, AVPixelFormat format, int top,
                 int left) {
    const AVPixFmtDescriptor *descriptor = AV.av_pix_fmt_desc_get(format);
    if (!descriptor || top < 0 || left < 0) return false;
    if (descriptor->flags & (AV_PIX_FMT_FLAG_HWACCEL | AV_PIX_FMT_FLAG_BITSTREAM)) return false;

    view = source;
    for (int plane = 0; plane < 4; ++plane) {
        // The first component of a plane decides its subsampling and bytes per pixel; a plane
        // without components (the palette) stays as it is.
        int first = -1;
        bool mixesLumaAndChroma = false;
        for (int c = 0; c < descriptor->nb_components; ++c) {
            if (descriptor->comp[c].plane != plane) continue;
            if (first < 0)
                first = c;
            else if (ComponentGeometry(*descriptor, c).chroma !=
                     ComponentGeometry(*descriptor, first).chroma)
                mixesLumaAndChroma = true;
        }
        if (first < 0) continue;
        // Packed subsampled formats share one chroma sample between neighbours: a cut through
        // such a pair would swap the meaning of the bytes.
        if (mixesLumaAndChroma && (left % (1 << descriptor->log2_chroma_w) != 0 ||
                                   top % (1 << descriptor->log2_chroma_h) != 0))
            return false;
        const PlaneGeometry geometry = ComponentGeometry(*descriptor, first);
        view.data[plane] =
            source.data[plane] +
            static_cast<ptrdiff_t>(top >> geometry.shiftY) * source.linesize[plane] +
            static_cast<ptrdiff_t>(left >> geometry.shiftX) * descriptor->comp[first].step;
    }
    return true;
}

bool PadPicture(PicturePlanes &target, const PicturePlanes *source, int height, int width,
                AVPixelFormat format, int top, int bottom, int left, int right,
                const std::array<int, 3> &color) {
    const AVPixFmtDescriptor *descriptor = Planar8BitDescriptor(format);
    if (!descriptor || width <= 0 || height <= 0) return false;
    if (top < 0 || bottom < 0 || left < 0 || right < 0 || top + bottom > height ||
        left + right > width)
        return false;

    for (int c = 0; c < descriptor->nb_components; ++c) {
        const PlaneGeometry geometry = ComponentGeometry(*descriptor, c);
        const int plane = geometry.plane;
        const int value = geometry.alpha ? 255 : std::clamp(color[std::min(c, 2)], 0, 255);
        const int planeWidth = CeilShift(width, geometry.shiftX);
        const int planeHeight = CeilShift(height, geometry.shiftY);
        const int bandLeft = left >> geometry.shiftX, bandRight = right >> geometry.shiftX;
        const int bandTop = top >> geometry.shiftY, bandBottom = bottom >> geometry.shiftY;
        const int innerWidth = planeWidth - bandLeft - bandRight;
        const int innerHeight = planeHeight - bandTop - bandBottom;
        // The source rounds its own chroma size; never read past it.
        const int sourceWidth =
            std::min(innerWidth, CeilShift(width - left - right, geometry.shiftX));
        const int sourceHeight =
            std::min(innerHeight, CeilShift(height - top - bottom, geometry.shiftY));

        for (int y = 0; y < planeHeight; ++y) {
            uint8_t *row = target.data[plane] + static_cast<ptrdiff_t>(y) * target.linesize[plane];
            const int innerRow = y - bandTop;
            if (innerRow < 0 || innerRow >= innerHeight) {
                std::memset(row, value, planeWidth);
                continue;
            }
            std::memset(row, value, bandLeft);
            std::memset(row + planeWidth - bandRight, value, bandRight);
            if (source && innerRow < sourceHeight)
                std::memmove(row + bandLeft,
                             source->data[plane] +
                                 static_cast<ptrdiff_t>(innerRow) * source->linesize[plane],
                             sourceWidth);
        }
    }
    return true;
}

} // namespace tarnwick::engine
