// The sync arithmetic of the video and audio paths and the volume scaling of decoded samples.
#include "engine/audio_sync.h"
#include "engine/audio_volume.h"
#include "engine/video_sync.h"

#include "binding/media_functions.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace tarnwick::engine;
using tarnwick::binding::AV;

TEST(VideoSyncTest, DropsDuplicatesOrFollowsTheInputClock) {
    struct Case {
        const char *name;
        double syncTime, timeBase;
        int64_t syncOpts;
        int method;
        int count;
        int64_t newSyncOpts;
    };
    const double frame = 1.0 / 25;
    const Case cases[] = {
        {"on time", 4 * frame, frame, 4, 1, 1, 4},
        {"three intervals after the last", 3 * frame, frame, 1, 1, 2, 1},
        {"1.1 intervals late is still one", 5.1 * frame, frame, 4, 1, 1, 4},
        {"more than 1.1 early drops", 2.8 * frame, frame, 4, 1, 0, 4},
        {"1.1 early is kept", 2.95 * frame, frame, 4, 1, 1, 4},
        {"method 2 jumps instead of duplicating", 9 * frame, frame, 4, 2, 1, 9},
        {"method 2 still drops", 2 * frame, frame, 4, 2, 0, 4},
        {"automatic on a frame rate", 7 * frame, frame, 4, -1, 3, 4},
        {"automatic on 1/90000 follows the clock", 1.5, 1.0 / 90000, 10, -1, 1, 135000},
        {"off follows the clock", 0.5, frame, 3, 0, 1, 12},
        {"ties round to even", 2.5 * frame, frame, 0, 0, 1, 2},
        {"off never moves back", 2 * frame, frame, 5, 0, 1, 5},
        {"method 2 never moves back", 4.2 * frame, frame, 5, 2, 1, 5},
    };
    for (const Case &c : cases) {
        const VideoSyncDecision d = DecideVideoSync(c.syncTime, c.timeBase, c.syncOpts, c.method);
        EXPECT_EQ(d.count, c.count) << c.name;
        EXPECT_EQ(d.syncOpts, c.newSyncOpts) << c.name;
    }
}

TEST(AudioSyncTest, InsertsDiscardsOrStretchesAboveTheThresholds) {
    using Action = AudioSyncDecision::Action;
    struct Case {
        const char *name;
        double lateSeconds; // how far the input clock is ahead of the output position
        bool isStart;
        int method;
        int chunk;
        Action action;
        int64_t samples;
        int compensation;
        bool clearIsStart;
    };
    const Case cases[] = {
        {"first chunk half a second late", 0.5, true, 1, 1024, Action::Insert, 22050, 0, true},
        {"later small drift left alone", 0.05, false, 1, 1024, Action::None, 0, 0, false},
        {"drift above the threshold", 0.2, false, 1, 1024, Action::Insert, 8820, 0, true},
        {"silence cut at the byte limit", 1.0, true, 1, 1024, Action::Insert, 32768 - 1024, 0,
         false},
        {"input ahead discards", -0.01, true, 1, 1024, Action::Discard, 441, 0, true},
        {"discard at most the chunk", -0.1, true, 1, 1024, Action::Discard, 1024, 0, false},
        {"40 samples never corrected", 40.0 / 44100, true, 100, 1024, Action::None, 0, 0, false},
        {"80 samples compensated", 80.0 / 44100, false, 100, 1024, Action::Compensate, 0, 80,
         false},
        {"300 samples clamped to 100", 300.0 / 44100, false, 100, 1024, Action::Compensate, 0, 100,
         false},
        {"behind by 300 clamped to -100", -300.0 / 44100, false, 100, 1024, Action::Compensate, 0,
         -100, false},
    };
    for (const Case &c : cases) {
        AudioSyncInput input;
        input.encoderRate = input.decoderRate = 44100;
        input.syncOpts = 441000;
        input.queuedSamples = 1000;
        input.syncTime = (441000 + 1000) / 44100.0 + c.lateSeconds;
        input.isStart = c.isStart;
        input.method = c.method;
        input.chunkSamples = c.chunk;
        input.decoderFrameBytes = 4; // 16-bit stereo
        const AudioSyncDecision d = DecideAudioSync(input);
        EXPECT_EQ(d.action, c.action) << c.name;
        if (c.action == Action::Insert || c.action == Action::Discard) {
            EXPECT_NEAR(double(d.samples), double(c.samples), 1) << c.name;
            EXPECT_EQ(d.clearIsStart, c.clearIsStart) << c.name;
        }
        EXPECT_EQ(d.compensation, c.compensation) << c.name;
    }
}

TEST(AudioSyncTest, SilenceIsCountedInDecoderSamplesAndBytes) {
    AudioSyncInput input;
    input.encoderRate = 44100;
    input.decoderRate = 48000;
    input.syncTime = 0.25;
    input.isStart = true;
    input.method = 1;
    input.chunkSamples = 1024;
    input.decoderFrameBytes = 4;
    AudioSyncDecision d = DecideAudioSync(input);
    EXPECT_EQ(d.action, AudioSyncDecision::Action::Insert);
    EXPECT_EQ(d.samples, 12000); // a quarter second at the decoder's rate
    EXPECT_TRUE(d.clearIsStart);
    // Planar float stereo takes eight bytes a sample: the same lag no longer fits whole.
    input.syncTime = 0.4;
    input.decoderFrameBytes = 8;
    d = DecideAudioSync(input);
    EXPECT_EQ(d.samples, 131072 / 8 - 1024);
    EXPECT_FALSE(d.clearIsStart);
}

namespace {

class VolumeTest : public ::testing::Test {
protected:
    void SetUp() override { tarnwick::test::LoadLibrariesOrFail(); }
};

} // namespace

TEST_F(VolumeTest, ScalesEverySampleFormatAndClampsIntegers) {
    struct Case {
        AVSampleFormat format;
        double in[3];
        double out[3];
    };
    const Case cases[] = {
        {AV_SAMPLE_FMT_S16, {1000, 16384, -16384}, {2000, 32767, -32768}},
        {AV_SAMPLE_FMT_S16P, {-3, 20000, 7}, {-6, 32767, 14}},
        {AV_SAMPLE_FMT_U8, {128, 200, 64}, {128, 255, 0}},
        {AV_SAMPLE_FMT_S32, {65536, 1500000000, -1500000000}, {131072, 2147483647, -2147483648.0}},
        {AV_SAMPLE_FMT_FLT, {0.25, -0.5, 0.75}, {0.5, -1.0, 1.5}},
        {AV_SAMPLE_FMT_FLTP, {0.125, 0.0, -0.25}, {0.25, 0.0, -0.5}},
        {AV_SAMPLE_FMT_DBL, {0.1, 0.2, -0.3}, {0.2, 0.4, -0.6}},
    };
    for (const Case &c : cases) {
        AVFrame *frame = AV.av_frame_alloc();
        frame->format = c.format;
        frame->nb_samples = 3;
        AV.av_channel_layout_default(&frame->ch_layout, 2);
        ASSERT_GE(AV.av_frame_get_buffer(frame, 0), 0);
        const bool planar = AV.av_sample_fmt_is_planar(c.format);
        const int bytes = AV.av_get_bytes_per_sample(c.format);
        // Sample i of channel ch, wherever the format keeps it.
        auto slot = [&](int ch, int i) {
            return planar ? frame->extended_data[ch] + i * bytes
                          : frame->extended_data[0] + (i * 2 + ch) * bytes;
        };
        auto put = [&](uint8_t *p, double v) {
            switch (AV.av_get_packed_sample_fmt(c.format)) {
            case AV_SAMPLE_FMT_S16: {
                int16_t s = int16_t(v);
                std::memcpy(p, &s, 2);
                break;
            }
            case AV_SAMPLE_FMT_U8:
                *p = uint8_t(v);
                break;
            case AV_SAMPLE_FMT_S32: {
                int32_t s = int32_t(v);
                std::memcpy(p, &s, 4);
                break;
            }
            case AV_SAMPLE_FMT_FLT: {
                float s = float(v);
                std::memcpy(p, &s, 4);
                break;
            }
            default:
                std::memcpy(p, &v, 8);
                break;
            }
        };
        auto get = [&](const uint8_t *p) -> double {
            switch (AV.av_get_packed_sample_fmt(c.format)) {
            case AV_SAMPLE_FMT_S16: {
                int16_t s;
                std::memcpy(&s, p, 2);
                return s;
            }
            case AV_SAMPLE_FMT_U8:
                return *p;
            case AV_SAMPLE_FMT_S32: {
                int32_t s;
                std::memcpy(&s, p, 4);
                return s;
            }
            case AV_SAMPLE_FMT_FLT: {
                float s;
                std::memcpy(&s, p, 4);
                return s;
            }
            default: {
                double s;
                std::memcpy(&s, p, 8);
                return s;
            }
            }
        };
        for (int ch = 0; ch < 2; ++ch)
            for (int i = 0; i < 3; ++i)
                put(slot(ch, i), c.in[i]);
        ASSERT_TRUE(ApplyAudioVolume(*frame, 512));
        for (int ch = 0; ch < 2; ++ch)
            for (int i = 0; i < 3; ++i)
                EXPECT_NEAR(get(slot(ch, i)), c.out[i], 1e-6)
                    << AV.av_get_sample_fmt_name(c.format) << " channel " << ch << " sample " << i;
        AV.av_frame_free(&frame);
    }
}

TEST_F(VolumeTest, RoundsHalfUpInSixteenBitSteps) {
    int16_t samples[4] = {1, 3, -1, 255};
    uint8_t *plane = reinterpret_cast<uint8_t *>(samples);
    ScaleSamples(&plane, 1, 4, AV_SAMPLE_FMT_S16, 128); // halve: (v * 128 + 128) >> 8
    EXPECT_EQ(samples[0], 1);
    EXPECT_EQ(samples[1], 2);
    EXPECT_EQ(samples[2], 0);
    EXPECT_EQ(samples[3], 128);
}
