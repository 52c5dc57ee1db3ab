// The audio path through real conversions of generated clips, inspected by decoding the output:
// channel and rate conversion, the sync against the input clock, encoder framing, volume.
#include "engine/conversion_runner.h"

#include "fixtures/fixture_writer.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

using namespace tarnwick;
using test::Conversion;

namespace {

fixtures::ClipSpec Tone(int rate, int channels, double seconds, int frameSamples = 0) {
    fixtures::ClipSpec spec;
    spec.audio = fixtures::AudioSpec{};
    spec.audio->codec = "pcm_s16le";
    spec.audio->sampleRate = rate;
    spec.audio->channels = channels;
    spec.audio->durationSeconds = seconds;
    spec.audio->frameSamples = frameSamples;
    return spec;
}

fixtures::StreamInfo Audio(const fixtures::FileInfo &info) {
    const fixtures::StreamInfo *audio = info.First(AVMEDIA_TYPE_AUDIO);
    if (!audio) throw std::runtime_error("no audio stream");
    return *audio;
}

// The number after `key` in the line, e.g. "compensation:" in the drift line.
int NumberAfter(const std::string &line, const std::string &key) {
    const size_t at = line.find(key);
    return at == std::string::npos ? 0 : std::atoi(line.c_str() + at + key.size());
}

class AudioPathTest : public ::testing::Test {
protected:
    void SetUp() override { test::LoadLibrariesOrFail(); }
    test::TempFolder folder;
    std::string In(const std::string &name = "in.wav") const { return folder.File(name); }
    std::string Out(const std::string &name = "out.wav") const { return folder.File(name); }
};

} // namespace

TEST_F(AudioPathTest, ConvertsRateAndChannelCount) {
    struct Case {
        const char *name;
        int rate, channels;
        std::string options;
    };
    const Case cases[] = {
        {"48000 Hz stereo to 44100 Hz", 48000, 2, "ar=44100\nac=2"},
        {"6 channels to 2", 44100, 6, "ar=44100\nac=2"},
        {"mono to stereo", 44100, 1, "ar=44100\nac=2"},
    };
    for (const Case &k : cases) {
        SCOPED_TRACE(k.name);
        fixtures::WriteClip(In(), Tone(k.rate, k.channels, 1.0));
        Conversion c;
        c.Input(In());
        c.Output(Out("out.m4a"), "acodec=aac\n" + k.options);
        ASSERT_TRUE(c.Run()) << c.Error();
        const fixtures::StreamInfo audio = Audio(fixtures::ReadFileInfo(Out("out.m4a")));
        EXPECT_EQ(audio.codecId, AV_CODEC_ID_AAC);
        EXPECT_EQ(audio.sampleRate, 44100);
        EXPECT_EQ(audio.channels, 2);
        EXPECT_NEAR(audio.durationSeconds, 1.0, 1024.0 / 44100);
        EXPECT_NEAR(static_cast<double>(audio.sampleCount), 44100, 1024);
        EXPECT_GT(fixtures::ReadAudioRms(Out("out.m4a"), 0.2, 0.8), 0.1);
    }
}

TEST_F(AudioPathTest, SyncAddsSilenceForALateStartAndLeavesSmallDriftAlone) {
    // The input clock starts half a second late, then runs 2.5 % fast: 0.05 s over 2 s.
    fixtures::WriteClip(In(), Tone(44100, 2, 2.0));
    Conversion c;
    c.Input(In(), "itsoffset=0.5\nitsscale=0:1.025");
    c.Output(Out(), "acodec=pcm_s16le\nar=44100\nac=2\nasync=1");
    c.job.Verbose = 3; // the sync lines
    ASSERT_TRUE(c.Run()) << c.Error();

    ASSERT_EQ(c.CountStartingWith("adding "), 1);
    ASSERT_EQ(c.CountStartingWith("discarding "), 0);
    for (const auto &[level, line] : c.logs)
        if (line.rfind("adding ", 0) == 0) {
            EXPECT_EQ(level, 1);
            EXPECT_NEAR(NumberAfter(line, "adding "), 0.5125 * 44100, 2) << line;
            EXPECT_NE(line.find(" audio samples of silence"), std::string::npos) << line;
        }
    EXPECT_LT(fixtures::ReadAudioRms(Out(), 0.0, 0.5), 0.001);
    EXPECT_NEAR(fixtures::ReadAudioRms(Out(), 0.6, 2.4), 0.5 / std::sqrt(2.0), 0.02);
    EXPECT_NEAR(static_cast<double>(Audio(fixtures::ReadFileInfo(Out())).sampleCount),
                (0.5125 + 2.0) * 44100, 2);
}

TEST_F(AudioPathTest, StretchingIsClampedAndSmallDriftNeverCorrected) {
    struct Case {
        const char *name;
        std::string scale;
        bool compensates;
    };
    const Case cases[] = {
        {"drift of some hundred samples", "1.025", true},
        {"drift of 40 samples", "1.000453", false},
    };
    fixtures::WriteClip(In(), Tone(44100, 2, 2.0));
    for (const Case &k : cases) {
        SCOPED_TRACE(k.name);
        Conversion c;
        c.Input(In(), "itsoffset=0.5\nitsscale=0:" + k.scale);
        c.Output(Out(), "acodec=pcm_s16le\nar=44100\nac=2\nasync=100");
        c.job.Verbose = 3;
        ASSERT_TRUE(c.Run()) << c.Error();
        EXPECT_EQ(c.CountStartingWith("adding "), 1);
        const std::string prefix = "compensating audio timestamp drift:";
        int clamped = 0;
        for (const auto &entry : c.logs) {
            const std::string &line = entry.second;
            if (line.rfind(prefix, 0) != 0) continue;
            const int compensation = NumberAfter(line, "compensation:");
            EXPECT_LE(std::abs(compensation), 100) << line;
            EXPECT_GT(std::abs(compensation), 50) << line;
            EXPECT_NE(line.find(" in:44100"), std::string::npos) << line;
            if (compensation == 100) ++clamped;
        }
        if (k.compensates) {
            EXPECT_GT(clamped, 0);
        } else {
            EXPECT_EQ(c.CountStartingWith(prefix), 0);
        }
    }
}

TEST_F(AudioPathTest, EncoderFramesAreCutFromTheChunks) {
    // 1000-sample chunks in; MP3 takes exactly 1152 a frame, PCM each chunk as it is.
    fixtures::WriteClip(In("in.mkv"), Tone(44100, 2, 1.0, 1000));
    const fixtures::StreamInfo input = Audio(fixtures::ReadFileInfo(In("in.mkv")));
    ASSERT_EQ(input.frameCount, 45);
    {
        Conversion c;
        c.Input(In("in.mkv"));
        c.Output(Out("out.mp3"), "acodec=libmp3lame\nar=44100\nac=2");
        ASSERT_TRUE(c.Run()) << c.Error();
        const fixtures::StreamInfo mp3 = Audio(fixtures::ReadFileInfo(Out("out.mp3")));
        EXPECT_EQ(mp3.codecId, AV_CODEC_ID_MP3);
        EXPECT_NEAR(static_cast<double>(mp3.sampleCount), 44100, 1152);
        EXPECT_NEAR(fixtures::ReadAudioRms(Out("out.mp3"), 0.2, 0.8), 0.5 / std::sqrt(2.0), 0.03);
    }
    {
        Conversion c;
        c.Input(In("in.mkv"));
        c.Output(Out("out.mkv"), "acodec=pcm_s16le\nar=44100\nac=2");
        ASSERT_TRUE(c.Run()) << c.Error();
        const fixtures::StreamInfo pcm = Audio(fixtures::ReadFileInfo(Out("out.mkv")));
        EXPECT_EQ(pcm.frameCount, input.frameCount);
        EXPECT_EQ(pcm.sampleCount, 44100);
    }
}

TEST_F(AudioPathTest, VolumeScalesSamplesAndClampsAtFullScale) {
    fixtures::WriteClip(In(), Tone(44100, 2, 1.0));
    const double original = fixtures::ReadAudioRms(In(), 0.1, 0.9);
    ASSERT_NEAR(original, 0.5 / std::sqrt(2.0), 0.01);
    struct Case {
        int volume;
        double low, high;
    };
    // Doubling a half-scale tone just reaches full scale; four times clips it hard, far below
    // the unclamped 1.41.
    for (const Case &k :
         {Case{512, 2 * original - 0.01, 2 * original + 0.01}, Case{1024, 0.8, 0.95},
          Case{128, original / 2 - 0.01, original / 2 + 0.01}}) {
        SCOPED_TRACE(k.volume);
        Conversion c;
        c.Input(In());
        c.Output(Out(), "acodec=pcm_s16le\nvol=" + std::to_string(k.volume));
        ASSERT_TRUE(c.Run()) << c.Error();
        const double rms = fixtures::ReadAudioRms(Out(), 0.1, 0.9);
        EXPECT_GE(rms, k.low);
        EXPECT_LE(rms, k.high);
    }
}

TEST_F(AudioPathTest, FiveOneMixedToStereoNeverClips) {
    // Every channel at full scale, each with a tone of its own: left alone, the mix of front,
    // centre and surround adds up to more than twice full scale. Normalised it comes near full
    // scale without passing it: in float samples, which keep what passes, and through MP3,
    // whose decoder does not clip either.
    fixtures::ClipSpec spec;
    spec.audio = fixtures::AudioSpec{};
    spec.audio->channels = 6;
    spec.audio->amplitude = 1.0;
    spec.audio->toneStepHz = 110;
    spec.audio->bitRate = 6 * 128000;
    fixtures::WriteClip(In("in.m4a"), spec);
    ASSERT_EQ(Audio(fixtures::ReadFileInfo(In("in.m4a"), false)).channels, 6);
    struct Case {
        const char* output;
        const char* codec;
    };
    for (const Case& k : {Case{"out.mkv", "pcm_f32le"}, Case{"out.mp3", "libmp3lame"}}) {
        SCOPED_TRACE(k.output);
        Conversion c;
        c.Input(In("in.m4a"));
        c.Output(Out(k.output), std::string("acodec=") + k.codec + "\nac=2\nab=128000");
        ASSERT_TRUE(c.Run()) << c.Error();
        const double peak = fixtures::ReadAudioPeak(Out(k.output));
        EXPECT_LT(peak, 1.0);
        EXPECT_GT(peak, 0.8); // the tones are there, only not clipped
    }
}
