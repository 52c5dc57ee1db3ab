#include "engine/custom_ffmpeg.h"

#include "binding/media_libraries.h"
#include "fixtures/fixture_writer.h"
#include "platform/ffmpeg_exception.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace tarnwick::engine;
using tarnwick::binding::AV;
using tarnwick::platform::FFMpegException;
namespace fx = tarnwick::fixtures;

namespace {

class TargetTest : public ::testing::Test {
protected:
    void SetUp() override {
        tarnwick::test::LoadLibrariesOrFail();
        job.Prepare();
        job.SetVerbose(0); // the library stays quiet ...
        job.Verbose = 1;   // ... while the job reports its assumptions
        job.LogHandler = [this](TCustomFFmpeg&, int, const std::string& text) {
            logs.push_back(text);
        };
    }

    void OpenInput(AVRational rate) {
        fx::ClipSpec spec = fx::SimpleClip(3, false);
        spec.video->frameRate = rate;
        const std::string path = folder.File("in.mkv");
        fx::WriteClip(path, spec);
        ASSERT_TRUE(job.OpenInputFile(path)) << job.LastErrorText;
        logs.clear();
    }

    int64_t CodecOption(int type, const char* name) const {
        int64_t value = 0;
        EXPECT_GE(AV.av_opt_get_int(job.CodecOptions[type], name, 0, &value), 0) << name;
        return value;
    }

    bool Logged(const std::string& line) const {
        return std::find(logs.begin(), logs.end(), line) != logs.end();
    }

    tarnwick::test::TempFolder folder;
    TCustomFFmpeg job;
    std::vector<std::string> logs;
};

struct TargetCase {
    AVRational inputRate; // {0, 0}: no input
    const char* target;
    int width, height;
    AVRational frameRate;
    const char* assumed; // the "Assuming %s for target." norm, or nullptr for none
    int pixFmt;          // -1: not checked
};

class TargetCases : public TargetTest, public ::testing::WithParamInterface<TargetCase> {};

TEST_P(TargetCases, SizeRateAndNorm) {
    const TargetCase& c = GetParam();
    if (c.inputRate.den) OpenInput(c.inputRate);
    job.SetTarget(c.target);
    EXPECT_EQ(job.FrameWidth, c.width);
    EXPECT_EQ(job.FrameHeight, c.height);
    EXPECT_EQ(av_cmp_q(job.FrameRate, c.frameRate), 0)
        << job.FrameRate.num << "/" << job.FrameRate.den;
    const size_t assumptions = std::count_if(logs.begin(), logs.end(), [](const std::string& line) {
        return line.find("for target.") != std::string::npos;
    });
    EXPECT_EQ(assumptions, c.assumed ? 1u : 0u);
    if (c.assumed) {
        EXPECT_TRUE(Logged(std::string("Assuming ") + c.assumed + " for target."));
    }
    if (c.pixFmt >= 0) {
        EXPECT_EQ(job.FramePixFmt, c.pixFmt);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Targets, TargetCases,
    ::testing::Values(
        TargetCase{{30000, 1001}, "pal-vcd", 352, 288, {25, 1}, nullptr, -1},
        TargetCase{{30000, 1001}, " vcd ", 352, 240, {30000, 1001}, "NTSC", -1},
        TargetCase{{25, 1}, "svcd", 480, 576, {25, 1}, "PAL", -1},
        TargetCase{{12, 1}, "dvd", 720, 480, {30000, 1001}, "NTSC", -1},
        TargetCase{{0, 0}, "film-dv", 720, 480, {24000, 1001}, nullptr, AV_PIX_FMT_YUV411P},
        TargetCase{{0, 0}, "pal-dv", 720, 576, {25, 1}, nullptr, AV_PIX_FMT_YUV420P},
        TargetCase{{0, 0}, "ntsc-dv50", 720, 480, {30000, 1001}, nullptr, AV_PIX_FMT_YUV422P}));

TEST_F(TargetTest, VcdSettingsReachTheCodecAndMuxerOptions) {
    OpenInput({25, 1});
    job.SetTarget("vcd");
    EXPECT_EQ(job.VideoCodecName, "mpeg1video");
    EXPECT_EQ(job.AudioCodecName, "mp2");
    ASSERT_NE(job.ForcedOutputFormat, nullptr);
    EXPECT_STREQ(job.ForcedOutputFormat->name, "vcd");
    EXPECT_EQ(CodecOption(AVMEDIA_TYPE_VIDEO, "g"), 15);
    EXPECT_EQ(CodecOption(AVMEDIA_TYPE_VIDEO, "b"), 1150000);
    EXPECT_EQ(CodecOption(AVMEDIA_TYPE_VIDEO, "maxrate"), 1150000);
    EXPECT_EQ(CodecOption(AVMEDIA_TYPE_VIDEO, "bufsize"), 327680);
    EXPECT_EQ(CodecOption(AVMEDIA_TYPE_AUDIO, "b"), 224000);
    EXPECT_EQ(job.AudioSampleRate, 44100);
    EXPECT_EQ(job.AudioChannels, 2);
    EXPECT_FLOAT_EQ(job.MuxPreload, 0.44f);
    // The input's aspect is known, so none is assumed.
    EXPECT_FLOAT_EQ(job.FrameAspectRatio, 160.0f / 120.0f);
    EXPECT_FALSE(Logged("Assuming 4:3 for aspect ratio"));
}

TEST_F(TargetTest, DvdKeepsAReadAspectAndAssumesWideWithoutOne) {
    OpenInput({25, 1});
    job.ApplyTarget("dvd", "pal", "pal");
    EXPECT_FLOAT_EQ(job.FrameAspectRatio, 4.0f / 3.0f);
    EXPECT_FALSE(Logged("Assuming 16:9 for aspect ratio"));
    EXPECT_EQ(job.AudioCodecName, "ac3");
    EXPECT_EQ(job.AudioSampleRate, 48000);

    TCustomFFmpeg bare;
    bare.Prepare();
    std::vector<std::string> bareLogs;
    bare.LogHandler = [&](TCustomFFmpeg&, int, const std::string& text) { bareLogs.push_back(text); };
    bare.AudioChannels = 1;
    bare.ApplyTarget("dvd", "ntsc", "pal");
    EXPECT_FLOAT_EQ(bare.FrameAspectRatio, 16.0f / 9.0f);
    EXPECT_EQ(bareLogs, std::vector<std::string>{"Assuming 16:9 for aspect ratio"});
    EXPECT_EQ(bare.AudioChannels, 2);
}

TEST_F(TargetTest, RefusedTargets) {
    struct Case {
        const char* target;
        const char* error;
    };
    // Without an input the frame rate is unknown: the automatic norm fails before the type is
    // looked at; with a norm given, the type is.
    for (const Case& c : {Case{"vcd", "frame_rate is invalid."}, Case{"cd", "frame_rate is invalid."},
                          Case{"pal-cd", "Unknown target type"}}) {
        try {
            job.SetTarget(c.target);
            ADD_FAILURE() << c.target << " was accepted";
        } catch (const FFMpegException& error) {
            EXPECT_STREQ(error.what(), c.error) << c.target;
        }
    }
}

} // namespace
