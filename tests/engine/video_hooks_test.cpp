// The frame hooks through real conversions: the custom hook with the job's bitmap and the
// shipped frame-hook module gated by hook time ranges, inspected by decoding the output.
#include "engine/conversion_runner.h"

#include "fixtures/fixture_writer.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <stdexcept>

using namespace tarnwick;
using engine::TCustomFFmpeg;
using fixtures::Picture;
using test::Conversion;

namespace {

fixtures::ClipSpec LosslessClip(int frames) {
    fixtures::ClipSpec spec;
    spec.video = fixtures::VideoSpec{};
    spec.video->codec = "ffv1";
    spec.video->pixelFormat = AV_PIX_FMT_YUV420P;
    spec.video->frameCount = frames;
    return spec;
}

const std::string Lossless = "vcodec=ffv1\npix_fmt=yuv420p\n";

// Red as the pictures carry it: strong V (Cr), low U (Cb).
bool IsRed(const Picture &picture, int x, int y) {
    return picture.At(2, x, y) > 200 && picture.At(1, x, y) < 110;
}

class VideoHooksTest : public ::testing::Test {
protected:
    void SetUp() override { test::LoadLibrariesOrFail(); }
    test::TempFolder folder;
    std::string In() const { return folder.File("in.mkv"); }
    std::string Out() const { return folder.File("out.mkv"); }
};

} // namespace

TEST_F(VideoHooksTest, CustomHookPaintsDiscardsStopsAndSurvivesErrors) {
    enum class Mode { Paint, Discard, StopAfterFirst, Raise };
    struct Case {
        const char *name;
        Mode mode;
        int calls;
        std::vector<bool> painted;
        int errorLines;
    };
    const Case cases[] = {
        {"paint", Mode::Paint, 3, {true, true, true}, 0},
        {"update false discards", Mode::Discard, 3, {false, false, false}, 0},
        {"stop after the first", Mode::StopAfterFirst, 1, {true, false, false}, 0},
        {"raising handler", Mode::Raise, 3, {false, false, false}, 3},
    };
    fixtures::WriteClip(In(), LosslessClip(3));
    const std::vector<Picture> in = fixtures::ReadPictures(In());
    for (const Case &k : cases) {
        SCOPED_TRACE(k.name);
        Conversion c;
        int calls = 0;
        std::vector<int> frameNumbers;
        c.job.CustomHookHandler = [&](TCustomFFmpeg &, platform::Bitmap24 &bitmap,
                                      int32_t frameNumber, int64_t, bool &update, bool &stop) {
            ++calls;
            frameNumbers.push_back(frameNumber);
            EXPECT_EQ(bitmap.Width(), 160);
            EXPECT_EQ(bitmap.Height(), 120);
            for (int y = 10; y < 30; ++y)
                for (int x = 10; x < 30; ++x) {
                    uint8_t *pixel = bitmap.ScanLine(y) + x * 3; // blue, green, red
                    pixel[0] = 0;
                    pixel[1] = 0;
                    pixel[2] = 255;
                }
            if (k.mode == Mode::Discard) update = false;
            if (k.mode == Mode::StopAfterFirst) stop = true;
            if (k.mode == Mode::Raise) throw std::runtime_error("boom");
        };
        c.Input(In());
        c.Output(Out(), Lossless);
        ASSERT_TRUE(c.Run()) << c.Error();
        EXPECT_EQ(calls, k.calls);
        EXPECT_EQ(frameNumbers.front(), 1);
        EXPECT_EQ(c.Count("Error occurs OnCustomHook: boom"), k.errorLines);
        const std::vector<Picture> out = fixtures::ReadPictures(Out());
        ASSERT_EQ(out.size(), 3u);
        for (size_t i = 0; i < out.size(); ++i) {
            EXPECT_EQ(IsRed(out[i], 20, 20), k.painted[i]) << "picture " << i;
            EXPECT_FALSE(IsRed(out[i], 60, 60)) << "picture " << i;
            if (!k.painted[i])
                for (int p = 0; p < 3; ++p)
                    EXPECT_EQ(out[i].planes[p], in[i].planes[p]) << "picture " << i;
        }
    }
}

TEST_F(VideoHooksTest, HookRangesRunTheModuleOnlyInsideThemAndEndAfterTheLast) {
    // Ranges' ends belong to them. The steps stay below the 10 s that counts as a timestamp
    // discontinuity.
    fixtures::ClipSpec spec = LosslessClip(10);
    spec.video->timeBase = AVRational{1, 10};
    spec.video->pts = {0, 90, 150, 200, 250, 290, 350, 400, 450, 500};
    fixtures::WriteClip(In(), spec);

    Conversion c;
    c.Input(In());
    const std::string module = (test::ExecutableFolder() / "boxhook.so").string();
    c.Output(Out(), Lossless + "vsync=0\nvhook=" + module + " 0 0 32 32 FF0000");
    ASSERT_TRUE(c.job.UsingVhook);
    c.job.HookRanges = {{10000000, 20000000}, {30000000, 40000000}};
    ASSERT_TRUE(c.Run()) << c.Error();

    const std::vector<Picture> out = fixtures::ReadPictures(Out());
    ASSERT_EQ(out.size(), 10u);
    const bool expected[] = {false, false, true, true, false, false, true, true, false, false};
    for (size_t i = 0; i < out.size(); ++i) {
        EXPECT_EQ(IsRed(out[i], 8, 8), expected[i]) << "picture " << i;
        EXPECT_FALSE(IsRed(out[i], 80, 80)) << "picture " << i;
    }
    // The first picture after the last range switched the modules off for the run.
    EXPECT_FALSE(c.job.UsingVhook);
    EXPECT_EQ(c.job.HookRangeIndex, 1);
}

TEST_F(VideoHooksTest, BeforeHookAnswersGateTheModule) {
    fixtures::WriteClip(In(), LosslessClip(5));
    Conversion c;
    c.Input(In());
    const std::string module = (test::ExecutableFolder() / "boxhook.so").string();
    c.Output(Out(), Lossless + "vhook=" + module + " 0 0 32 32 FF0000");
    // Continue, ignore, continue, then raise (which stops hooking for the run).
    int call = 0;
    c.job.BeforeHookHandler = [&](TCustomFFmpeg &, int64_t, engine::THookAction &action) {
        ++call;
        if (call == 2)
            action = engine::haIgnore;
        else if (call == 3)
            action = engine::haContinue;
        else if (call == 4)
            throw std::runtime_error("no more");
    };
    ASSERT_TRUE(c.Run()) << c.Error();
    EXPECT_EQ(call, 4);
    EXPECT_EQ(c.Count("Error occurs OnBeforeHook: no more"), 1);
    const std::vector<Picture> out = fixtures::ReadPictures(Out());
    ASSERT_EQ(out.size(), 5u);
    const bool expected[] = {true, false, true, false, false};
    for (size_t i = 0; i < out.size(); ++i)
        EXPECT_EQ(IsRed(out[i], 8, 8), expected[i]) << "picture " << i;
}
