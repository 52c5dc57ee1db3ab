// The video path through real conversions of generated clips, inspected by decoding the output:
// frame-rate sync, frame limit, crop, pad and scale, the filter graph and deinterlacing.
#include "engine/conversion_runner.h"

#include "fixtures/fixture_writer.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numeric>

using namespace tarnwick;
using fixtures::Picture;
using test::Conversion;

namespace {

// Pictures at the given times, in units of `timeBase`.
fixtures::ClipSpec TimedClip(std::vector<int64_t> pts, AVRational timeBase) {
    fixtures::ClipSpec spec;
    spec.video = fixtures::VideoSpec{};
    spec.video->frameCount = static_cast<int>(pts.size());
    spec.video->timeBase = timeBase;
    spec.video->frameRate = AVRational{timeBase.den, timeBase.num};
    spec.video->pts = std::move(pts);
    return spec;
}

// A lossless 320x240 clip, so that pixels can be compared exactly.
fixtures::ClipSpec LosslessClip(int frames = 3) {
    fixtures::ClipSpec spec;
    spec.video = fixtures::VideoSpec{};
    spec.video->codec = "ffv1";
    spec.video->width = 320;
    spec.video->height = 240;
    spec.video->pixelFormat = AV_PIX_FMT_YUV420P;
    spec.video->frameCount = frames;
    return spec;
}

const std::string Lossless = "vcodec=ffv1\npix_fmt=yuv420p\n";

// Checks that `out` shows `in` moved by (dx, dy) inside the rectangle of `out` that starts at
// (x0, y0) and is w x h.
void ExpectShows(const Picture& out, const Picture& in, int x0, int y0, int w, int h, int dx,
                 int dy) {
    for (int p = 0; p < 3; ++p)
        for (int y = y0; y < y0 + h; ++y)
            for (int x = x0; x < x0 + w; ++x)
                ASSERT_EQ(out.At(p, x, y), in.At(p, x + dx, y + dy))
                    << "plane " << p << " at " << x << "," << y;
}

// Checks that everything of `out` outside the rectangle has the colour.
void ExpectBorders(const Picture& out, int x0, int y0, int w, int h,
                   const std::array<int, 3>& color) {
    for (int p = 0; p < 3; ++p)
        for (int y = 0; y < out.height; ++y)
            for (int x = 0; x < out.width; ++x) {
                if (x >= x0 && x < x0 + w && y >= y0 && y < y0 + h) continue;
                ASSERT_EQ(out.At(p, x, y), color[p]) << "plane " << p << " at " << x << "," << y;
            }
}

class VideoPathTest : public ::testing::Test {
protected:
    void SetUp() override { test::LoadLibrariesOrFail(); }
    test::TempFolder folder;
    std::string In(const std::string& name = "in.mkv") const { return folder.File(name); }
    std::string Out(const std::string& name = "out.mkv") const { return folder.File(name); }
};

} // namespace

TEST_F(VideoPathTest, PicturesThreeIntervalsApartAreRepeatedToFillTheGaps) {
    fixtures::WriteClip(In(), TimedClip({0, 3, 6, 9, 12}, {1, 25}));
    Conversion c;
    c.Input(In());
    c.Output(Out(), "r=25\nvsync=1");
    c.job.Verbose = 3; // the drop and dup lines
    ASSERT_TRUE(c.Run()) << c.Error();

    // A picture is written once and then repeated up to the next one's time.
    EXPECT_EQ(fixtures::ReadFrameNumbers(Out()),
              (std::vector<int>{0, 1, 1, 2, 2, 2, 3, 3, 3, 4, 4, 4}));
    EXPECT_EQ(c.job.FramesDuplicated, 7);
    EXPECT_EQ(c.job.FramesDropped, 0);
    EXPECT_EQ(c.Count("*** 1 dup!"), 1);
    EXPECT_EQ(c.Count("*** 2 dup!"), 3);
}

TEST_F(VideoPathTest, SyncMethodsOnGapsAndOnEarlyPictures) {
    struct Case {
        const char* name;
        std::vector<int64_t> pts; // at 1/50 s
        std::string options;
        bool duplicates;
        bool drops;
    };
    std::vector<int64_t> gaps{0, 6, 12, 18, 24}; // three 25 fps intervals apart
    std::vector<int64_t> dense(20);              // 50 pictures a second
    std::iota(dense.begin(), dense.end(), 0);
    const Case cases[] = {
        {"vsync 1 drops early pictures", dense, "r=25\nvsync=1", false, true},
        {"vsync 2 never duplicates", gaps, "r=25\nvsync=2", false, false},
        {"vsync 2 still drops", dense, "r=25\nvsync=2", false, true},
        // 1/90000 is no frame rate: the automatic setting follows the input clock.
        {"automatic, 1/90000, gaps", gaps, "vcodec=ffv1\nr=90000\nvsync=-1", false, false},
        {"automatic, 1/90000, dense", dense, "vcodec=ffv1\nr=90000\nvsync=-1", false, false},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        fixtures::WriteClip(In(), TimedClip(k.pts, {1, 50}));
        Conversion c;
        c.Input(In());
        c.Output(Out(), k.options);
        c.job.Verbose = 3;
        ASSERT_TRUE(c.Run()) << c.Error();
        const std::vector<int> numbers = fixtures::ReadFrameNumbers(Out());
        const int input = static_cast<int>(k.pts.size());
        EXPECT_EQ(c.job.FramesDuplicated, 0);
        EXPECT_EQ(c.CountStartingWith("*** "), c.job.FramesDropped);
        if (k.drops) {
            EXPECT_GT(c.job.FramesDropped, 0);
        } else {
            EXPECT_EQ(c.job.FramesDropped, 0);
        }
        EXPECT_EQ(static_cast<int>(numbers.size()), input - c.job.FramesDropped);
        for (size_t i = 1; i < numbers.size(); ++i)
            EXPECT_LT(numbers[i - 1], numbers[i]);
        if (!k.drops) {
            // Without repeats the pictures keep the input's times.
            const fixtures::FileInfo info = fixtures::ReadFileInfo(Out());
            const fixtures::StreamInfo* video = info.First(AVMEDIA_TYPE_VIDEO);
            ASSERT_NE(video, nullptr);
            ASSERT_EQ(video->frameSeconds.size(), k.pts.size());
            for (size_t i = 0; i < k.pts.size(); ++i)
                EXPECT_NEAR(video->frameSeconds[i] - video->frameSeconds[0],
                            (k.pts[i] - k.pts[0]) / 50.0, 0.002);
        }
    }
}

TEST_F(VideoPathTest, FrameLimitCutsARunOfRepeats) {
    std::vector<int64_t> pts(99);
    std::iota(pts.begin(), pts.end(), 0);
    pts.push_back(101); // picture 99 would be written twice
    pts.push_back(102);
    fixtures::WriteClip(In(), TimedClip(pts, {1, 25}));
    Conversion c;
    c.Input(In());
    c.Output(Out(), "r=25\nvsync=1\nvframes=100");
    ASSERT_TRUE(c.Run()) << c.Error();
    const std::vector<int> numbers = fixtures::ReadFrameNumbers(Out());
    ASSERT_EQ(numbers.size(), 100u);
    EXPECT_EQ(numbers[98], 98);
    EXPECT_EQ(numbers[99], 99);
}

TEST_F(VideoPathTest, CropShowsTheInnerPicture) {
    fixtures::WriteClip(In(), LosslessClip());
    Conversion c;
    c.Input(In());
    c.Output(Out(), Lossless + "croptop=16\ncropbottom=16\ncropleft=16\ncropright=16");
    ASSERT_TRUE(c.Run()) << c.Error();
    const std::vector<Picture> in = fixtures::ReadPictures(In());
    const std::vector<Picture> out = fixtures::ReadPictures(Out());
    ASSERT_EQ(out.size(), in.size());
    for (size_t i = 0; i < out.size(); ++i) {
        ASSERT_EQ(out[i].width, 288);
        ASSERT_EQ(out[i].height, 208);
        ExpectShows(out[i], in[i], 0, 0, 288, 208, 16, 16);
    }
}

TEST_F(VideoPathTest, PadsPaintTheBordersInThePadColour) {
    fixtures::WriteClip(In(), LosslessClip());
    Conversion c;
    c.Input(In());
    c.Output(Out(), Lossless + "padcolor=0xA05020\npadtop=8\npadbottom=8\npadleft=8\npadright=8");
    ASSERT_TRUE(c.Run()) << c.Error();
    const std::array<int, 3> color = c.job.PadColor;
    ASSERT_NE(color, (std::array<int, 3>{16, 128, 128})); // the option took effect
    const std::vector<Picture> in = fixtures::ReadPictures(In());
    const std::vector<Picture> out = fixtures::ReadPictures(Out());
    ASSERT_EQ(out.size(), in.size());
    for (size_t i = 0; i < out.size(); ++i) {
        ASSERT_EQ(out[i].width, 336);
        ASSERT_EQ(out[i].height, 256);
        ExpectBorders(out[i], 8, 8, 320, 240, color);
        ExpectShows(out[i], in[i], 8, 8, 320, 240, -8, -8);
    }
}

TEST_F(VideoPathTest, CropThenScaleThenPadInOneRun) {
    fixtures::WriteClip(In(), LosslessClip(2));
    Conversion c;
    c.Input(In());
    c.Output(Out(), Lossless + "croptop=16\ncropbottom=16\ncropleft=16\ncropright=16\ns=160x120\n"
                               "padtop=8\npadbottom=8\npadleft=8\npadright=8");
    ASSERT_TRUE(c.Run()) << c.Error();
    const std::vector<Picture> in = fixtures::ReadPictures(In());
    const std::vector<Picture> out = fixtures::ReadPictures(Out());
    ASSERT_EQ(out.size(), in.size());
    for (size_t i = 0; i < out.size(); ++i) {
        ASSERT_EQ(out[i].width, 176);
        ASSERT_EQ(out[i].height, 136);
        ExpectBorders(out[i], 8, 8, 160, 120, c.job.PadColor);
        // The inner area is the cropped picture at half size: compare mean brightness.
        double inner = 0, source = 0;
        for (int y = 0; y < 120; ++y)
            for (int x = 0; x < 160; ++x)
                inner += out[i].At(0, x + 8, y + 8);
        for (int y = 16; y < 224; ++y)
            for (int x = 16; x < 304; ++x)
                source += in[i].At(0, x, y);
        EXPECT_NEAR(inner / (160 * 120), source / (288 * 208), 3.0);
    }
}

TEST_F(VideoPathTest, FiltersMirrorAndResize) {
    fixtures::WriteClip(In(), LosslessClip(2));
    const std::vector<Picture> in = fixtures::ReadPictures(In());
    {
        Conversion c;
        c.Input(In());
        c.Output(Out(), Lossless + "vfilters=hflip");
        ASSERT_TRUE(c.Run()) << c.Error();
        const std::vector<Picture> out = fixtures::ReadPictures(Out());
        ASSERT_EQ(out.size(), in.size());
        for (size_t i = 0; i < out.size(); ++i)
            for (int p = 0; p < 3; ++p)
                for (int y = 0; y < 240; ++y)
                    for (int x = 0; x < 320; ++x)
                        ASSERT_EQ(out[i].At(p, x, y), in[i].At(p, 319 - x, y)) << x << "," << y;
    }
    {
        Conversion c;
        c.Input(In());
        c.Output(Out("scaled.mkv"), Lossless + "vfilters=scale=160:120");
        ASSERT_TRUE(c.Run()) << c.Error();
        const fixtures::FileInfo info = fixtures::ReadFileInfo(Out("scaled.mkv"));
        const fixtures::StreamInfo* video = info.First(AVMEDIA_TYPE_VIDEO);
        ASSERT_NE(video, nullptr);
        EXPECT_EQ(video->width, 160);
        EXPECT_EQ(video->height, 120);
        EXPECT_EQ(video->frameCount, 2);
    }
}

TEST_F(VideoPathTest, PicturesAFilterHoldsBackComeOutAtTheEndOfTheInput) {
    fixtures::WriteClip(In(), LosslessClip(5));
    const struct {
        const char* filters;
        std::vector<int> numbers;
    } cases[] = {
        {"reverse", {4, 3, 2, 1, 0}},
        {"tpad=stop=2:stop_mode=clone", {0, 1, 2, 3, 4, 4, 4}},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(k.filters);
        Conversion c;
        c.Input(In());
        c.Output(Out(), Lossless + "vfilters=" + k.filters);
        ASSERT_TRUE(c.Run()) << c.Error();
        EXPECT_EQ(fixtures::ReadFrameNumbers(Out()), k.numbers);
    }
}

TEST_F(VideoPathTest, APadWithAFilterThatResizesFailsWithThePadMessage) {
    fixtures::WriteClip(In(), LosslessClip(2));
    Conversion c;
    c.Input(In());
    // "pad" is not among the names the output checks know to resize; the graph finds it out.
    c.Output(Out(), Lossless + "vfilters=pad=iw+16:ih+16\npadtop=8");
    EXPECT_FALSE(c.Run());
    EXPECT_EQ(c.Error(), "Error opening filters: Cannot enable pad options and the filters which "
                         "resize frame at the same time. (crop, rotate, scale, transpose, etc.)");
}

TEST_F(VideoPathTest, DeinterlaceRunsOnPlanarPicturesAndPassesOthersOn) {
    fixtures::ClipSpec interlaced = LosslessClip(4);
    interlaced.video->interlaced = true;
    fixtures::WriteClip(In(), interlaced);
    {
        Conversion c;
        c.Input(In());
        c.Output(Out(), Lossless + "deinterlace=1");
        ASSERT_TRUE(c.Run()) << c.Error();
        EXPECT_EQ(c.Count("Deinterlacing failed."), 0);
        EXPECT_EQ(fixtures::ReadFrameNumbers(Out()), (std::vector<int>{0, 1, 2, 3}));
    }
    // Packed RGB pictures cannot be deinterlaced: each is logged and goes on unchanged.
    fixtures::ClipSpec rgb = LosslessClip(2);
    rgb.video->codec = "rawvideo";
    rgb.video->pixelFormat = AV_PIX_FMT_RGB24;
    fixtures::WriteClip(In("rgb.nut"), rgb);
    Conversion c;
    c.Input(In("rgb.nut"));
    c.Output(Out("rgb_out.nut"), "vcodec=rawvideo\npix_fmt=rgb24\ndeinterlace=1");
    ASSERT_TRUE(c.Run()) << c.Error();
    EXPECT_EQ(c.Count("Deinterlacing failed."), 2);
    const std::vector<Picture> in = fixtures::ReadPictures(In("rgb.nut"));
    const std::vector<Picture> out = fixtures::ReadPictures(Out("rgb_out.nut"));
    ASSERT_EQ(out.size(), in.size());
    for (size_t i = 0; i < out.size(); ++i)
        EXPECT_EQ(out[i].planes[0], in[i].planes[0]);
}
