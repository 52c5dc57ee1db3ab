// Crop, pad and deinterlace on real pictures allocated by the libraries.
#include "engine/deinterlace.h"
#include "engine/picture_crop_pad.h"

#include "binding/media_functions.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <functional>

using namespace tarnwick::engine;
using tarnwick::binding::AV;

namespace {

struct FrameDeleter {
    void operator()(AVFrame *frame) const { AV.av_frame_free(&frame); }
};
using FramePtr = std::unique_ptr<AVFrame, FrameDeleter>;

FramePtr MakePicture(AVPixelFormat format, int width, int height) {
    FramePtr frame(AV.av_frame_alloc());
    frame->format = format;
    frame->width = width;
    frame->height = height;
    EXPECT_GE(AV.av_frame_get_buffer(frame.get(), 0), 0);
    return frame;
}

// Fills plane p of an 8-bit planar picture with value(p, x, y).
void FillPlanes(AVFrame &frame, int planes, int chromaShiftX, int chromaShiftY,
                const std::function<int(int, int, int)> &value) {
    for (int p = 0; p < planes; ++p) {
        const int w = p ? -((-frame.width) >> chromaShiftX) : frame.width;
        const int h = p ? -((-frame.height) >> chromaShiftY) : frame.height;
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                frame.data[p][y * frame.linesize[p] + x] = static_cast<uint8_t>(value(p, x, y));
    }
}

int At(const PicturePlanes &picture, int plane, int x, int y) {
    return picture.data[plane][y * picture.linesize[plane] + x];
}

class PictureHelpersTest : public ::testing::Test {
protected:
    void SetUp() override { tarnwick::test::LoadLibrariesOrFail(); }
};

} // namespace

TEST_F(PictureHelpersTest, CropShowsTheInnerPictureWithoutCopying) {
    FramePtr frame = MakePicture(AV_PIX_FMT_YUV420P, 320, 240);
    FillPlanes(*frame, 3, 1, 1, [](int p, int x, int y) { return (x * 3 + y * 7 + p * 50) & 255; });
    PicturePlanes view;
    ASSERT_TRUE(CropPicture(view, PlanesOf(*frame), AV_PIX_FMT_YUV420P, 16, 20));
    for (int p = 0; p < 3; ++p)
        EXPECT_EQ(view.linesize[p], frame->linesize[p]);
    EXPECT_EQ(At(view, 0, 0, 0), (20 * 3 + 16 * 7) & 255);
    EXPECT_EQ(At(view, 0, 5, 9), (25 * 3 + 25 * 7) & 255);
    EXPECT_EQ(At(view, 1, 2, 3), (12 * 3 + 11 * 7 + 50) & 255);
    EXPECT_EQ(At(view, 2, 0, 0), (10 * 3 + 8 * 7 + 100) & 255);

    // Packed RGB moves by three bytes a pixel.
    FramePtr rgb = MakePicture(AV_PIX_FMT_RGB24, 8, 4);
    rgb->data[0][2 * rgb->linesize[0] + 3 * 3 + 1] = 77;
    ASSERT_TRUE(CropPicture(view, PlanesOf(*rgb), AV_PIX_FMT_RGB24, 2, 3));
    EXPECT_EQ(view.data[0][1], 77);
}

TEST_F(PictureHelpersTest, CropRefusesCutsThePixelLayoutCannotTake) {
    FramePtr packed = MakePicture(AV_PIX_FMT_YUYV422, 16, 4);
    FramePtr mono = MakePicture(AV_PIX_FMT_MONOBLACK, 16, 4);
    PicturePlanes view;
    EXPECT_TRUE(CropPicture(view, PlanesOf(*packed), AV_PIX_FMT_YUYV422, 1, 2));
    EXPECT_EQ(view.data[0], packed->data[0] + packed->linesize[0] + 4);
    EXPECT_FALSE(CropPicture(view, PlanesOf(*packed), AV_PIX_FMT_YUYV422, 0, 3));
    EXPECT_FALSE(CropPicture(view, PlanesOf(*mono), AV_PIX_FMT_MONOBLACK, 0, 8));
    EXPECT_FALSE(CropPicture(view, PlanesOf(*packed), AV_PIX_FMT_VAAPI, 0, 0));
    EXPECT_FALSE(CropPicture(view, PlanesOf(*packed), AV_PIX_FMT_YUYV422, -2, 0));
}

TEST_F(PictureHelpersTest, PadPaintsTheBandsAndCopiesTheSourceInside) {
    const std::array<int, 3> color{16, 200, 60};
    FramePtr source = MakePicture(AV_PIX_FMT_YUV420P, 24, 14);
    FillPlanes(*source, 3, 1, 1, [](int p, int x, int y) { return 100 + p + x + y; });
    FramePtr target = MakePicture(AV_PIX_FMT_YUV420P, 40, 30);
    PicturePlanes planes = PlanesOf(*target);
    const PicturePlanes sourcePlanes = PlanesOf(*source);
    ASSERT_TRUE(PadPicture(planes, &sourcePlanes, 30, 40, AV_PIX_FMT_YUV420P, 8, 8, 8, 8, color));

    for (int p = 0; p < 3; ++p) {
        const int w = p ? 20 : 40, h = p ? 15 : 30, band = p ? 4 : 8;
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                const bool inside = x >= band && x < w - band && y >= band && y < h - band;
                const int expected = inside ? 100 + p + (x - band) + (y - band) : color[p];
                ASSERT_EQ(At(planes, p, x, y), expected)
                    << "plane " << p << " at " << x << "," << y;
            }
    }
}

TEST_F(PictureHelpersTest, PadWithoutSourceLeavesTheInnerAreaAlone) {
    FramePtr target = MakePicture(AV_PIX_FMT_YUV444P, 12, 10);
    FillPlanes(*target, 3, 0, 0, [](int, int, int) { return 7; });
    PicturePlanes planes = PlanesOf(*target);
    ASSERT_TRUE(PadPicture(planes, nullptr, 10, 12, AV_PIX_FMT_YUV444P, 2, 0, 0, 4, {1, 2, 3}));
    EXPECT_EQ(At(planes, 0, 5, 1), 1);  // top band
    EXPECT_EQ(At(planes, 2, 10, 5), 3); // right band
    EXPECT_EQ(At(planes, 1, 0, 9), 7);  // inner area, bottom-left corner
    EXPECT_EQ(At(planes, 1, 7, 2), 7);

    EXPECT_FALSE(PadPicture(planes, nullptr, 10, 12, AV_PIX_FMT_RGB24, 2, 0, 0, 0, {1, 2, 3}));
    EXPECT_FALSE(PadPicture(planes, nullptr, 10, 12, AV_PIX_FMT_NV12, 2, 0, 0, 0, {1, 2, 3}));
    EXPECT_FALSE(PadPicture(planes, nullptr, 10, 12, AV_PIX_FMT_YUV444P, 6, 6, 0, 0, {1, 2, 3}));
}

TEST_F(PictureHelpersTest, DeinterlaceRemovesTheCombAndKeepsSmoothPictures) {
    FramePtr combed = MakePicture(AV_PIX_FMT_YUV420P, 32, 16);
    FillPlanes(*combed, 3, 1, 1, [](int, int, int y) { return y % 2 ? 40 : 200; });
    FramePtr ramp = MakePicture(AV_PIX_FMT_YUV420P, 32, 16);
    FillPlanes(*ramp, 3, 1, 1, [](int, int x, int y) { return 20 + 10 * y + x; });
    FramePtr out = MakePicture(AV_PIX_FMT_YUV420P, 32, 16);
    PicturePlanes target = PlanesOf(*out);

    ASSERT_TRUE(DeinterlacePicture(target, PlanesOf(*combed), AV_PIX_FMT_YUV420P, 32, 16));
    for (int p = 0; p < 3; ++p)
        for (int y = 0; y < (p ? 8 : 16); ++y)
            ASSERT_EQ(At(target, p, 3, y), 200) << p << "," << y;

    ASSERT_TRUE(DeinterlacePicture(target, PlanesOf(*ramp), AV_PIX_FMT_YUV420P, 32, 16));
    for (int y = 2; y < 14; ++y)
        ASSERT_EQ(At(target, 0, 5, y), 20 + 10 * y + 5) << y;

    EXPECT_FALSE(DeinterlacePicture(target, PlanesOf(*ramp), AV_PIX_FMT_RGB24, 32, 16));
}
