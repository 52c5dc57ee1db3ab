// Trims through real conversions: the output starts at the start point in picture and sound
// whatever the key-frame interval, and lasts exactly the trimmed length.
#include "engine/conversion_runner.h"

#include "fixtures/fixture_writer.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace tarnwick;
using test::Conversion;

namespace {

constexpr AVRational Ntsc{30000, 1001};
constexpr double NtscFrame = 1001.0 / 30000;
constexpr double AudioFrame = 1024.0 / 44100; // one AAC frame

// Five seconds at 29.97 fps with a key frame every two seconds and B-frames between, and sound
// that is silent except for a short tone starting exactly with the pictures numbered in
// `markerFrames`: each such picture and its tone are one marker.
fixtures::ClipSpec MarkerClip(const std::vector<int>& markerFrames, AVRational rate = Ntsc) {
    fixtures::ClipSpec spec;
    spec.video = fixtures::VideoSpec{};
    spec.video->frameRate = rate;
    spec.video->frameCount = static_cast<int>(std::lround(5 * av_q2d(rate)));
    spec.video->gopSize = static_cast<int>(std::lround(2 * av_q2d(rate)));
    spec.video->maxBFrames = 2;
    spec.audio = fixtures::AudioSpec{};
    spec.audio->durationSeconds = 5;
    spec.audio->amplitude = 0.8;
    for (const int frame : markerFrames)
        spec.audio->burstStarts.push_back(frame / av_q2d(rate));
    return spec;
}

// Output time of the picture that carries `number`; -1 when the output lacks it.
double PictureTime(const std::vector<fixtures::NumberedPicture>& pictures, int number) {
    const auto found = std::find_if(pictures.begin(), pictures.end(),
                                    [&](const auto& picture) { return picture.number == number; });
    return found == pictures.end() ? -1 : found->seconds;
}

class TrimSyncTest : public ::testing::Test {
protected:
    void SetUp() override { test::LoadLibrariesOrFail(); }
    test::TempFolder folder;
    std::string In() const { return folder.File("in.mp4"); }
};

} // namespace

TEST_F(TrimSyncTest, PictureAndSoundStartAtTheStartPoint) {
    // Both start points lie between key frames; the marker follows each by about half a second.
    struct Case {
        double start;
        int marker;
    };
    const Case cases[] = {{1.0, 45}, {2.5, 90}};
    fixtures::WriteClip(In(), MarkerClip({45, 90}));
    for (const Case& k : cases) {
        SCOPED_TRACE("start " + std::to_string(k.start));
        const std::string out = folder.File("out.mp4");
        Conversion c;
        c.Input(In(), "ss=" + std::to_string(k.start));
        c.Output(out, "t=2\nvcodec=mpeg4\nacodec=aac");
        ASSERT_TRUE(c.Run()) << c.Error();

        const double expected = k.marker * NtscFrame - k.start;
        const double picture = PictureTime(fixtures::ReadNumberedPictures(out), k.marker);
        const double sound = fixtures::ReadAudioOnset(out, 0.3, 0.1);
        EXPECT_NEAR(picture, expected, NtscFrame);
        EXPECT_NEAR(sound, expected, AudioFrame);
        EXPECT_NEAR(picture, sound, NtscFrame);
        // Nothing from before the start point: the pictures begin with the first one after it.
        EXPECT_EQ(fixtures::ReadFrameNumber(out, 0),
                  static_cast<int>(std::ceil(k.start / NtscFrame)));
    }
}

TEST_F(TrimSyncTest, TrimmedLengthsAreExact) {
    // Three seconds at 29.97 fps are 90 pictures (the last starts at 2.969 s), however the
    // source's pictures fall; the sound lasts the same to within one of its frames.
    struct Case {
        const char* name;
        AVRational sourceRate;
        double start;
    };
    const Case cases[] = {
        {"29.97 fps source", Ntsc, 1.0},
        {"25 fps source", {25, 1}, 1.0},
        {"25 fps source from its start", {25, 1}, 0},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        fixtures::WriteClip(In(), MarkerClip({}, k.sourceRate));
        const std::string out = folder.File("out.mp4");
        Conversion c;
        c.Input(In(), k.start > 0 ? "ss=" + std::to_string(k.start) : "");
        c.Output(out, "t=3\nvcodec=mpeg4\nr=29.97\nacodec=aac");
        ASSERT_TRUE(c.Run()) << c.Error();
        const fixtures::FileInfo info = fixtures::ReadFileInfo(out);
        ASSERT_NE(info.First(AVMEDIA_TYPE_VIDEO), nullptr);
        ASSERT_NE(info.First(AVMEDIA_TYPE_AUDIO), nullptr);
        EXPECT_EQ(info.First(AVMEDIA_TYPE_VIDEO)->frameCount, 90);
        EXPECT_NEAR(static_cast<double>(info.First(AVMEDIA_TYPE_AUDIO)->sampleCount) / 44100, 3.0,
                    AudioFrame);
    }
}

TEST_F(TrimSyncTest, SoundOnlyOutputsDropTheSoundBeforeTheStartPoint) {
    fixtures::WriteClip(In(), MarkerClip({45}));
    const std::string out = folder.File("out.m4a");
    Conversion c;
    c.Input(In(), "vn=1\nss=1");
    c.Output(out, "t=2\nacodec=aac");
    ASSERT_TRUE(c.Run()) << c.Error();
    EXPECT_NEAR(fixtures::ReadAudioOnset(out, 0.3, 0.1), 45 * NtscFrame - 1.0, AudioFrame);
    const fixtures::FileInfo info = fixtures::ReadFileInfo(out);
    ASSERT_NE(info.First(AVMEDIA_TYPE_AUDIO), nullptr);
    EXPECT_NEAR(static_cast<double>(info.First(AVMEDIA_TYPE_AUDIO)->sampleCount) / 44100, 2.0,
                AudioFrame);
}
