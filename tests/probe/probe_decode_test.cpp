#include "binding/log_capture.h"
#include "fixtures/fixture_writer.h"
#include "probe/av_probe.h"
#include "probe/probe_test_support.h"
#include "probe/text_helpers.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace tarnwick;
using namespace tarnwick::probe;

namespace {

constexpr int KeyFrameInterval = 12; // the fixture writer's group of pictures

bool Logged(const test::LibraryLogCapture& log, const std::string& line) {
    const auto lines = log.Lines();
    return std::find(lines.begin(), lines.end(), line) != lines.end();
}

class ProbeDecodeTest : public test::ProbeTest {
protected:
    // Two seconds of numbered 160x120 pictures at 25 frames/s with a tone beside them.
    std::string Clip(double startSeconds = 0, const char* name = "clip.mp4") {
        const std::string path = folder_.File(name);
        fixtures::ClipSpec spec = fixtures::SimpleClip(50, true);
        spec.startSeconds = startSeconds;
        fixtures::WriteClip(path, spec);
        return path;
    }
};

TEST_F(ProbeDecodeTest, SeekThenDecodeGivesTheKeyFrameAtTheTime) {
    // Times count from the start of the file; a clip whose timestamps begin at 1 s must
    // land on the same pictures as one beginning at 0.
    for (double start : {0.0, 1.0}) {
        TAVProbe probe;
        ASSERT_TRUE(probe.Open(Clip(start), ""));
        for (int64_t timeMs : {0, 200, 480, 500, 1000, 1500, 700, 0}) {
            ASSERT_TRUE(probe.Seek(-1, timeMs * 1000));
            platform::Bitmap24& picture = probe.DecodeFrame(-1);
            ASSERT_EQ(picture.Width(), 160);
            ASSERT_EQ(picture.Height(), 120);
            // The library places the seek on the first key frame at or after the time.
            const int64_t keyFrameMs = KeyFrameInterval * 40;
            const auto key =
                static_cast<int>((timeMs + keyFrameMs - 1) / keyFrameMs * KeyFrameInterval);
            EXPECT_EQ(test::DrawnFrameNumber(picture), key) << "start " << start << ", " << timeMs;
            // Without a seek the next call steps on by one picture.
            EXPECT_EQ(test::DrawnFrameNumber(probe.DecodeFrame(-1)), key + 1);
            EXPECT_TRUE(test::SamePicture(probe.LastPicture(), picture));
        }
    }
}

TEST_F(ProbeDecodeTest, NegativeTimesGoBackToTheBeginning) {
    TAVProbe probe;
    ASSERT_TRUE(probe.Open(Clip(1.0), ""));
    probe.Seek(-1, 1500000);
    EXPECT_EQ(test::DrawnFrameNumber(probe.DecodeFrame(0)), 48);
    probe.Seek(-1, -5000000);
    EXPECT_EQ(test::DrawnFrameNumber(probe.DecodeFrame(0)), 0);
    // The audio stream as the seek's stream works the same way.
    probe.Seek(1, 1000000);
    EXPECT_EQ(test::DrawnFrameNumber(probe.DecodeFrame(0)), 36);
}

TEST_F(ProbeDecodeTest, AfterTheLastKeyFrameTheOneBeforeServes) {
    TAVProbe probe;
    ASSERT_TRUE(probe.Open(Clip(), ""));
    probe.Seek(-1, 300000);
    probe.DecodeFrame(-1); // the file now stands at picture 13
    ASSERT_TRUE(probe.Seek(-1, 1950000));
    EXPECT_EQ(test::DrawnFrameNumber(probe.DecodeFrame(-1)), 48);
}

TEST_F(ProbeDecodeTest, PastTheEndIsBlackAndKeepsTheLastPicture) {
    TAVProbe probe;
    ASSERT_TRUE(probe.Open(Clip(), ""));
    probe.Seek(-1, 1900000); // the last key frame, 48, then 49
    EXPECT_EQ(test::DrawnFrameNumber(probe.DecodeFrame(-1)), 48);
    EXPECT_EQ(test::DrawnFrameNumber(probe.DecodeFrame(-1)), 49);
    test::LibraryLogCapture log;
    for (int call = 0; call < 2; ++call) {
        platform::Bitmap24& picture = probe.DecodeFrame(-1);
        EXPECT_EQ(picture.Width(), 160);
        EXPECT_EQ(picture.Height(), 120);
        EXPECT_TRUE(test::AllBlack(picture));
    }
    EXPECT_TRUE(Logged(log, "stream eof reached.\n"));
    EXPECT_FALSE(test::AllBlack(probe.LastPicture()));
    EXPECT_EQ(test::DrawnFrameNumber(probe.LastPicture()), 49);
    // After the end a seek makes the decoder usable again.
    probe.Seek(-1, 0);
    EXPECT_EQ(test::DrawnFrameNumber(probe.DecodeFrame(-1)), 0);

    // The last picture survives Close; the work picture does not.
    probe.Close();
    EXPECT_EQ(probe.WorkPicture()->Width(), 0);
    EXPECT_EQ(test::DrawnFrameNumber(probe.LastPicture()), 0);
    EXPECT_EQ(probe.DecoderContext(), nullptr);
    EXPECT_EQ(probe.ScaleContext(), nullptr);
    EXPECT_EQ(probe.PictureBufferSize(), 0);
}

TEST_F(ProbeDecodeTest, APortraitPhoneClipDecodesAsItIsDisplayed) {
    const std::string path = folder_.File("portrait.mp4");
    fixtures::WriteClip(path, fixtures::PortraitPhoneClip(3));
    TAVProbe probe;
    ASSERT_TRUE(probe.Open(path, ""));
    probe.Seek(-1, 0);
    const platform::Bitmap24& picture = probe.DecodeFrame(-1);
    ASSERT_EQ(picture.Width(), 720);
    ASSERT_EQ(picture.Height(), 1280);
    EXPECT_TRUE(test::SamePicture(probe.LastPicture(), picture));
    // The stored top left (white) and top right (red) marks, turned a quarter clockwise.
    const auto colour = [&picture](int x, int y) {
        const uint8_t* bgr = picture.ScanLine(y) + 3 * x;
        if (bgr[0] > 200 && bgr[1] > 200 && bgr[2] > 200) return "white";
        if (bgr[2] > 180 && bgr[1] < 100 && bgr[0] < 100) return "red";
        return "other";
    };
    EXPECT_STREQ(colour(630, 160), "white");
    EXPECT_STREQ(colour(630, 1120), "red");
    EXPECT_STREQ(colour(90, 160), "other");
    EXPECT_STREQ(colour(90, 1120), "other");
    // Past the end the black picture has the displayed size too.
    probe.DecodeFrame(-1);
    probe.DecodeFrame(-1);
    const platform::Bitmap24& end = probe.DecodeFrame(-1);
    EXPECT_EQ(end.Width(), 720);
    EXPECT_EQ(end.Height(), 1280);
    EXPECT_TRUE(test::AllBlack(end));
}

TEST_F(ProbeDecodeTest, StillPictureDecodesOnceAndThenRepeatsWithoutReading) {
    const std::string path = folder_.File("picture.png");
    fixtures::ClipSpec spec = fixtures::SimpleClip(1, false);
    spec.video->width = 96;
    spec.video->height = 64;
    fixtures::WriteClip(path, spec);
    TAVProbe probe;
    ASSERT_TRUE(probe.Open(path, ""));
    {
        test::LibraryLogCapture log;
        EXPECT_TRUE(probe.Seek(-1, 1000000));
        EXPECT_TRUE(Logged(log, "\"image2\" format cannot to be seeked.\n"));
    }
    platform::Bitmap24& first = probe.DecodeFrame(-1);
    ASSERT_EQ(first.Width(), 96);
    ASSERT_EQ(first.Height(), 64);
    EXPECT_FALSE(test::AllBlack(first));
    EXPECT_EQ(test::DrawnFrameNumber(first), 0);
    EXPECT_TRUE(probe.LastWasStillImage());
    platform::Bitmap24 kept(first.Width(), first.Height());
    std::copy(first.Bits(), first.Bits() + first.Stride() * first.Height(), kept.Bits());
    // Reading on would meet the end of the file and give black.
    test::LibraryLogCapture log;
    for (int call = 0; call < 3; ++call) {
        probe.Seek(-1, 0);
        platform::Bitmap24& again = probe.DecodeFrame(-1);
        EXPECT_EQ(&again, &first);
        EXPECT_TRUE(test::SamePicture(again, kept));
    }
    EXPECT_FALSE(Logged(log, "stream eof reached.\n"));
}

TEST_F(ProbeDecodeTest, PictureAlreadyInBgrIsCopiedWithoutConversion) {
    const std::string path = folder_.File("picture.bmp");
    fixtures::ClipSpec spec = fixtures::SimpleClip(1, false);
    spec.video->width = 90; // rows of 270 bytes: the bitmap's rows are padded to 272
    spec.video->pixelFormat = AV_PIX_FMT_BGR24;
    fixtures::WriteClip(path, spec);
    TAVProbe probe;
    ASSERT_TRUE(probe.Open(path, ""));
    platform::Bitmap24& picture = probe.DecodeFrame(-1);
    ASSERT_EQ(picture.Width(), 90);
    EXPECT_FALSE(test::AllBlack(picture));
    EXPECT_EQ(test::DrawnFrameNumber(picture), 0);
    EXPECT_EQ(probe.ScaleContext(), nullptr);
    EXPECT_EQ(probe.PictureBufferSize(), 0);
}

TEST_F(ProbeDecodeTest, NothingToDecodeGivesAnEmptyPicture) {
    const std::string path = Clip();
    TAVProbe probe;
    struct Case {
        int stream;
        std::string line;
    };
    {
        test::LibraryLogCapture log;
        EXPECT_EQ(probe.DecodeFrame(-1).Width(), 0);
        EXPECT_TRUE(Logged(log, "file not loaded.\n"));
        EXPECT_FALSE(probe.Seek(-1, 0));
        EXPECT_EQ(probe.LastError(), "file not loaded.");
    }
    ASSERT_TRUE(probe.Open(path, ""));
    probe.Seek(-1, 0);
    ASSERT_EQ(probe.DecodeFrame(-1).Width(), 160);
    for (const Case& c :
         {Case{1, "stream #1 is not video stream.\n"}, Case{2, "stream index #2 is invalid.\n"}}) {
        test::LibraryLogCapture log;
        platform::Bitmap24& picture = probe.DecodeFrame(c.stream);
        EXPECT_EQ(picture.Width(), 0) << c.stream;
        EXPECT_EQ(picture.Height(), 0) << c.stream;
        EXPECT_TRUE(Logged(log, c.line)) << c.stream;
    }
    test::LibraryLogCapture log;
    EXPECT_FALSE(probe.Seek(2, 0));
    EXPECT_TRUE(Logged(log, "stream index #2 is invalid.\n"));

    // A file without video.
    const std::string tone = folder_.File("tone.m4a");
    fixtures::ClipSpec spec;
    spec.audio = fixtures::AudioSpec{};
    fixtures::WriteClip(tone, spec);
    ASSERT_TRUE(probe.Open(tone, ""));
    EXPECT_EQ(probe.DecodeFrame(-1).Width(), 0);
    EXPECT_TRUE(Logged(log, "no video stream.\n"));
    EXPECT_TRUE(probe.Seek(-1, 500000)); // the audio stream is chosen
}

TEST_F(ProbeDecodeTest, StreamWithoutADecoderRaises) {
    // A clip whose video names a four-character code no decoder knows.
    const std::string patched = Clip(0, "unknown.avi");
    ASSERT_GT(fixtures::ReplaceInFile(patched, "FMP4", "ZZZZ"), 0);

    TAVProbe probe;
    ASSERT_TRUE(probe.Open(patched, "")) << probe.LastError();
    ASSERT_EQ(probe.FirstVideoStream(), 0);
    probe.Seek(-1, 0);
    EXPECT_EQ(test::RaisedText([&] { probe.DecodeFrame(-1); }),
              "Unsupported codec (id=0) for input file stream #0");
    EXPECT_EQ(probe.DecoderContext(), nullptr);
    EXPECT_EQ(probe.StreamCount(), 2); // still loaded
}

TEST_F(ProbeDecodeTest, InterlacingIsKnownFromTheStreamOrFromADecodedPicture) {
    struct Case {
        const char* file;
        const char* codec;
        bool interlaced;
        TScanType beforeDecoding, afterDecoding;
    };
    const Case cases[] = {
        // A television recording's stream says its field order.
        {"recording.ts", "mpeg2video", true, stTopFieldFirst, stTopFieldFirst},
        {"progressive.ts", "mpeg2video", false, stProgressive, stProgressive},
        // A camcorder's DV file says it only in its pictures.
        {"camcorder.dv", "dvvideo", true, stUnknown, stTopFieldFirst},
        {"clip.avi", "mpeg4", false, stUnknown, stProgressive},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        fixtures::ClipSpec spec;
        spec.video = fixtures::VideoSpec{};
        spec.video->codec = c.codec;
        spec.video->width = 720;
        spec.video->height = 576;
        spec.video->pixelFormat = AV_PIX_FMT_YUV420P;
        spec.video->interlaced = c.interlaced;
        spec.video->frameCount = 3;
        const std::string path = folder_.File(c.file);
        fixtures::WriteClip(path, spec);

        TAVProbe probe;
        ASSERT_TRUE(probe.Open(path, "")) << probe.LastError();
        EXPECT_EQ(probe.ScanType(0), c.beforeDecoding);
        probe.DecodeFrame(0);
        EXPECT_EQ(probe.ScanType(0), c.afterDecoding);
        TAVVideoStreamInfo info;
        probe.GetVideoStreamInfo(0, info);
        EXPECT_EQ(info.ScanType, c.afterDecoding);
        const std::string said = ScanTypeText(c.afterDecoding);
        EXPECT_NE(probe.InfoText().find("tb(r), Interlaced: " + said + ","), std::string::npos)
            << probe.InfoText();
        // Another stream of the file, or the next file, knows nothing of that picture.
        probe.Close();
        ASSERT_TRUE(probe.Open(path, ""));
        EXPECT_EQ(probe.ScanType(0), c.beforeDecoding);
    }
}

} // namespace
