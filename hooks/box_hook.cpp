// Frame-hook module that paints a filled box on every picture it is given.
// Arguments: X Y WIDTH HEIGHT [RRGGBB]   (pixels from the top-left corner; colour in hex,
// default ff0000). Works on 8-bit planar YUV pictures and on packed RGB24 / BGR24.

#include "binding/frame_hook_api.h"

extern "C" {
#include <libavutil/pixfmt.h>
}

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>

namespace {

constexpr int kYuv420p = AV_PIX_FMT_YUV420P, kYuvj420p = AV_PIX_FMT_YUVJ420P;
constexpr int kYuv422p = AV_PIX_FMT_YUV422P, kYuvj422p = AV_PIX_FMT_YUVJ422P;
constexpr int kYuv444p = AV_PIX_FMT_YUV444P, kYuvj444p = AV_PIX_FMT_YUVJ444P;
constexpr int kRgb24 = AV_PIX_FMT_RGB24, kBgr24 = AV_PIX_FMT_BGR24;

struct Box {
    int x, y, width, height;
    unsigned char r, g, b;
    unsigned char yy, u, v;
};

bool ParseInt(const char* text, int& value) {
    char* end = nullptr;
    const long parsed = std::strtol(text, &end, 10);
    if (end == text || *end != '\0' || parsed < 0 || parsed > 100000) return false;
    value = static_cast<int>(parsed);
    return true;
}

unsigned char Clamp(int v) { return static_cast<unsigned char>(std::clamp(v, 0, 255)); }

void PaintPlane(unsigned char* plane, int linesize, int x0, int y0, int x1, int y1,
                unsigned char value) {
    for (int y = y0; y < y1; ++y) std::memset(plane + y * linesize + x0, value, x1 - x0);
}

} // namespace

extern "C" {

int Configure(void** context, int argc, char* argv[]) {
    if (argc < 5 || argc > 6) return -1;
    Box box{};
    if (!ParseInt(argv[1], box.x) || !ParseInt(argv[2], box.y) || !ParseInt(argv[3], box.width) ||
        !ParseInt(argv[4], box.height))
        return -1;
    unsigned long rgb = 0xff0000;
    if (argc == 6) {
        char* end = nullptr;
        rgb = std::strtoul(argv[5], &end, 16);
        if (end == argv[5] || *end != '\0' || rgb > 0xffffff) return -1;
    }
    box.r = static_cast<unsigned char>(rgb >> 16);
    box.g = static_cast<unsigned char>(rgb >> 8);
    box.b = static_cast<unsigned char>(rgb);
    // Studio-range BT.601, the matrix the library assumes for these formats.
    box.yy = Clamp((66 * box.r + 129 * box.g + 25 * box.b + 128) / 256 + 16);
    box.u = Clamp((-38 * box.r - 74 * box.g + 112 * box.b + 128) / 256 + 128);
    box.v = Clamp((112 * box.r - 94 * box.g - 18 * box.b + 128) / 256 + 128);
    auto* stored = new (std::nothrow) Box(box);
    if (!stored) return -1;
    *context = stored;
    return 0;
}

void Process(void* context, FrameHookPicture* picture, int pixelFormat, int width, int height,
             int64_t) {
    const Box& box = *static_cast<Box*>(context);
    const int x0 = std::min(box.x, width), y0 = std::min(box.y, height);
    const int x1 = std::min(box.x + box.width, width), y1 = std::min(box.y + box.height, height);
    if (x0 >= x1 || y0 >= y1) return;
    switch (pixelFormat) {
    case kYuv420p: case kYuvj420p: case kYuv422p: case kYuvj422p: case kYuv444p: case kYuvj444p: {
        const int sx = (pixelFormat == kYuv444p || pixelFormat == kYuvj444p) ? 0 : 1;
        const int sy = (pixelFormat == kYuv420p || pixelFormat == kYuvj420p) ? 1 : 0;
        PaintPlane(picture->data[0], picture->linesize[0], x0, y0, x1, y1, box.yy);
        const int cx0 = x0 >> sx, cy0 = y0 >> sy;
        const int cx1 = (x1 + sx) >> sx, cy1 = (y1 + sy) >> sy;
        PaintPlane(picture->data[1], picture->linesize[1], cx0, cy0, cx1, cy1, box.u);
        PaintPlane(picture->data[2], picture->linesize[2], cx0, cy0, cx1, cy1, box.v);
        break;
    }
    case kRgb24: case kBgr24: {
        const bool bgr = pixelFormat == kBgr24;
        for (int y = y0; y < y1; ++y) {
            unsigned char* p = picture->data[0] + y * picture->linesize[0] + x0 * 3;
            for (int x = x0; x < x1; ++x, p += 3) {
                p[0] = bgr ? box.b : box.r;
                p[1] = box.g;
                p[2] = bgr ? box.r : box.b;
            }
        }
        break;
    }
    default:
        break;
    }
}

void Release(void* context) { delete static_cast<Box*>(context); }

}
