// The pixel format an encoder gets is chosen from what the encoder and the profile asked of it
// can hold, whatever the source's format, and the pictures are converted on the way. Picture
// sequence outputs need a frame number in their name.
#include "engine/conversion_runner.h"

#include "fixtures/fixture_writer.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <numeric>

using namespace tarnwick;
using test::Conversion;

namespace {

// A lossless clip in the given format, so that the format is the source's only peculiarity.
fixtures::ClipSpec ClipIn(AVPixelFormat format, int frames = 5) {
    fixtures::ClipSpec spec;
    spec.video = fixtures::VideoSpec{};
    spec.video->codec = "ffv1";
    spec.video->pixelFormat = format;
    spec.video->frameCount = frames;
    return spec;
}

std::vector<int> Numbers(int count) {
    std::vector<int> numbers(count);
    std::iota(numbers.begin(), numbers.end(), 0);
    return numbers;
}

class EncoderFormatsTest : public ::testing::Test {
protected:
    void SetUp() override { test::LoadLibrariesOrFail(); }
    test::TempFolder folder;
    std::string In() const { return folder.File("in.mkv"); }
};

} // namespace

TEST_F(EncoderFormatsTest, EverySourceFormatReachesTheEncoderInAFormatItAndItsProfileHold) {
    struct Case {
        const char* name;
        AVPixelFormat source;
        std::string options;
        const char* output;
        AVPixelFormat expected;
        int profile; // H.264 profile number without its constraint flags; 0 for other codecs
    };
    const Case cases[] = {
        {"10-bit to H.264 Baseline", AV_PIX_FMT_YUV420P10LE, "vcodec=libx264\nprofile=baseline",
         "out.mp4", AV_PIX_FMT_YUV420P, FF_PROFILE_H264_BASELINE},
        {"4:2:2 to H.264 Main", AV_PIX_FMT_YUV422P, "vcodec=libx264\nprofile=main", "out.mp4",
         AV_PIX_FMT_YUV420P, FF_PROFILE_H264_MAIN},
        {"10-bit 4:4:4 to H.264 High 4:2:2", AV_PIX_FMT_YUV444P10LE,
         "vcodec=libx264\nprofile=high422", "out.mp4", AV_PIX_FMT_YUV422P10LE,
         FF_PROFILE_H264_HIGH_422},
        {"RGB to H.264 Main", AV_PIX_FMT_BGR0, "vcodec=libx264\nprofile=main", "out.mp4",
         AV_PIX_FMT_YUV420P, FF_PROFILE_H264_MAIN},
        {"10-bit to H.264 without a profile keeps its depth", AV_PIX_FMT_YUV420P10LE,
         "vcodec=libx264", "out.mp4", AV_PIX_FMT_YUV420P10LE, FF_PROFILE_H264_HIGH_10},
        {"4:4:4 to MPEG-4", AV_PIX_FMT_YUV444P, "vcodec=mpeg4", "out.mp4", AV_PIX_FMT_YUV420P, 0},
        {"4:2:0 to MJPEG takes full range", AV_PIX_FMT_YUV420P, "vcodec=mjpeg", "out.avi",
         AV_PIX_FMT_YUVJ420P, 0},
        {"4:4:4 to MJPEG keeps its chroma", AV_PIX_FMT_YUV444P, "vcodec=mjpeg", "out.avi",
         AV_PIX_FMT_YUVJ444P, 0},
        {"4:2:0 to a .mjpeg stream", AV_PIX_FMT_YUV420P, "", "out.mjpeg", AV_PIX_FMT_YUVJ420P, 0},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        fixtures::WriteClip(In(), ClipIn(k.source));
        const std::string out = folder.File(k.output);
        Conversion c;
        c.Input(In());
        c.Output(out, k.options);
        ASSERT_TRUE(c.Run()) << c.Error();
        const fixtures::FileInfo info = fixtures::ReadFileInfo(out, false);
        const fixtures::StreamInfo* video = info.First(AVMEDIA_TYPE_VIDEO);
        ASSERT_NE(video, nullptr);
        EXPECT_EQ(video->pixelFormat, k.expected) << av_get_pix_fmt_name(video->pixelFormat);
        if (k.profile) {
            EXPECT_EQ(video->profile & ~FF_PROFILE_H264_CONSTRAINED, k.profile);
        }
        EXPECT_EQ(fixtures::ReadFrameNumbers(out), Numbers(5));
    }
}

TEST_F(EncoderFormatsTest, APictureSequenceWritesOneNumberedPicturePerFrame) {
    fixtures::WriteClip(In(), ClipIn(AV_PIX_FMT_YUV420P, 3));
    Conversion c;
    c.Input(In());
    c.Output(folder.File("picture%02d.jpg"));
    ASSERT_TRUE(c.Run()) << c.Error();
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        const std::string picture = folder.File("picture0" + std::to_string(i + 1) + ".jpg");
        const fixtures::FileInfo info = fixtures::ReadFileInfo(picture, false);
        ASSERT_NE(info.First(AVMEDIA_TYPE_VIDEO), nullptr);
        EXPECT_EQ(info.First(AVMEDIA_TYPE_VIDEO)->pixelFormat, AV_PIX_FMT_YUVJ420P);
        EXPECT_EQ(fixtures::ReadFrameNumber(picture, 0), i);
    }
    EXPECT_FALSE(std::filesystem::exists(folder.File("picture04.jpg")));
}

TEST_F(EncoderFormatsTest, APictureOutputWithoutAFrameNumberIsRefusedAndLeavesNothing) {
    fixtures::WriteClip(In(), ClipIn(AV_PIX_FMT_YUV420P, 3));
    const std::string out = folder.File("picture.jpg");
    Conversion c;
    c.Input(In());
    EXPECT_FALSE(c.job.OpenOutputFile(out));
    EXPECT_EQ(c.job.LastErrorText, out + ": Incorrect image filename syntax.\r\n"
                                         "Use '%d' to specify the image number:\r\n"
                                         "  for img1.jpg, img2.jpg, ..., use 'img%d.jpg';\r\n"
                                         "  for img001.jpg, img002.jpg, ..., use 'img%03d.jpg'.");
    EXPECT_EQ(c.job.OutputFileCount, 0);
    c.job.FreeJobResources();
    EXPECT_FALSE(std::filesystem::exists(out));
}
