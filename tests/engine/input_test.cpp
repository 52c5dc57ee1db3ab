#include "engine/custom_ffmpeg.h"

#include "binding/media_libraries.h"
#include "fixtures/fixture_writer.h"
#include "platform/ffmpeg_exception.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <fstream>

using namespace tarnwick::engine;
using tarnwick::binding::AV;
namespace fx = tarnwick::fixtures;

namespace {

class InputTest : public ::testing::Test {
protected:
    void SetUp() override {
        tarnwick::test::LoadLibrariesOrFail();
        job.Prepare();
        job.SetVerbose(0); // keep the stream dumps out of the test output
    }

    std::string Clip(const std::string& name, const fx::ClipSpec& spec) {
        const std::string path = folder.File(name);
        fx::WriteClip(path, spec);
        return path;
    }

    tarnwick::test::TempFolder folder;
    TCustomFFmpeg job;
};

TEST_F(InputTest, OpenFailuresLeaveNoInputAndSayWhy) {
    const std::string missing = folder.File("missing.avi");
    const std::string garbage = folder.File("garbage.avi");
    fx::WriteGarbageFile(garbage);
    const std::string clip = Clip("clip.mp4", fx::SimpleClip(5));
    // A recognised file whose index is cut off.
    const std::string broken = Clip("broken.mp4", fx::SimpleClip(5));
    fx::TruncateFile(broken, 0.5);
    struct Case {
        std::string file, videoCodec, audioCodec, subtitleCodec, error;
    };
    const Case cases[] = {
        {missing, "", "", "", missing + ": no such file or directory"},
        {garbage, "", "", "", garbage + ": Unknown format"},
        {broken, "", "", "", broken + ": Error while parsing header"},
        {clip, "mp3", "", "", "Invalid decoder type 'mp3'"},
        {clip, "", "nosuchcodec", "", "Unknown decoder 'nosuchcodec'"},
        {clip, "", "", "h264", "Invalid decoder type 'h264'"},
    };
    for (const Case& c : cases) {
        job.VideoCodecName = c.videoCodec;
        job.AudioCodecName = c.audioCodec;
        job.SubtitleCodecName = c.subtitleCodec;
        job.RateEmulation = true;
        EXPECT_FALSE(job.OpenInputFile(c.file)) << c.error;
        EXPECT_EQ(job.LastErrorText, c.error);
        EXPECT_EQ(job.InputFileCount, 0);
        // The per-file settings are consumed by the failed attempt too.
        EXPECT_TRUE(job.VideoCodecName.empty() && job.AudioCodecName.empty() &&
                    job.SubtitleCodecName.empty());
        EXPECT_FALSE(job.RateEmulation);
    }
}

TEST_F(InputTest, StartTimeSeeksPastTheInputsOwnStart) {
    fx::ClipSpec spec;
    spec.video = fx::VideoSpec{};
    spec.video->width = 64;
    spec.video->height = 48;
    spec.video->frameRate = {2, 1};
    spec.video->frameCount = 26; // 13 s, key frames every 6 s
    spec.video->timeBase = {1, 1000};
    spec.startSeconds = 1.5;
    const std::string path = Clip("late.mkv", spec);

    for (const bool copyTs : {false, true}) {
        TCustomFFmpeg local;
        local.Prepare();
        local.SetVerbose(0);
        local.StartTime = 10000000;
        local.InputTsOffsetOption = 250000;
        local.CopyTs = copyTs;
        ASSERT_TRUE(local.OpenInputFile(path)) << local.LastErrorText;
        EXPECT_EQ(local.StartTime, 0);
        EXPECT_EQ(local.InputTsOffset[0], copyTs ? 250000 : 250000 - 11500000);
        // The seek went backwards to the key frame at or before 11.5 s.
        AVPacket* packet = AV.av_packet_alloc();
        ASSERT_GE(AV.av_read_frame(local.InputFiles[0], packet), 0);
        const double seconds = packet->pts * av_q2d(local.InputFiles[0]->streams[0]->time_base);
        EXPECT_GE(seconds, 7.0);
        EXPECT_LE(seconds, 11.5);
        AV.av_packet_free(&packet);
    }
}

TEST_F(InputTest, PendingFieldsDescribeTheInput) {
    struct Case {
        AVRational sampleAspect;
        float aspect;
    };
    for (const Case& c : {Case{{1, 1}, 1.3333334f}, Case{{0, 1}, 1.3333334f}, Case{{2, 1}, 2.6666667f}}) {
        fx::ClipSpec spec = fx::SimpleClip(5);
        spec.video->width = 320;
        spec.video->height = 240;
        spec.video->sampleAspect = c.sampleAspect;
        spec.audio->sampleRate = 22050;
        spec.audio->channels = 1;
        const std::string path = Clip("pic.mkv", spec);
        TCustomFFmpeg local;
        local.Prepare();
        local.SetVerbose(0);
        ASSERT_TRUE(local.OpenInputFile(path)) << local.LastErrorText;
        EXPECT_EQ(local.FrameAspectRatio, c.aspect) << c.sampleAspect.num;
        EXPECT_EQ(local.FrameWidth, 320);
        EXPECT_EQ(local.FrameHeight, 240);
        EXPECT_EQ(local.FramePixFmt, AV_PIX_FMT_YUV420P);
        EXPECT_EQ(av_cmp_q(local.FrameRate, AVRational{25, 1}), 0);
        EXPECT_EQ(local.AudioSampleRate, 22050);
        EXPECT_EQ(local.AudioChannels, 1);
        EXPECT_EQ(local.AudioSampleFmt, AV_SAMPLE_FMT_FLTP);
        EXPECT_NEAR(local.TotalOutputDurationMs, 250, 50); // 0.2 s and the sound encoder's delay
        // One decoder context per stream, made for the stream's decoder.
        const AVFormatContext* input = local.InputFiles[0];
        ASSERT_EQ(local.InputCodecContexts[0].size(), input->nb_streams);
        for (unsigned i = 0; i < input->nb_streams; ++i) {
            const AVCodecContext* decoder = local.InputCodecContexts[0][i];
            ASSERT_NE(decoder->codec, nullptr);
            EXPECT_EQ(decoder->codec_id, input->streams[i]->codecpar->codec_id);
            EXPECT_EQ(av_cmp_q(decoder->pkt_timebase, input->streams[i]->time_base), 0);
        }
    }
}

TEST_F(InputTest, ASecondInputKeepsTheFrameSizeButNotTheCodecNames) {
    fx::ClipSpec picture = fx::SimpleClip(5, false);
    picture.video->width = 320;
    picture.video->height = 240;
    const std::string video = Clip("video.avi", picture);
    fx::ClipSpec sound;
    sound.audio = fx::AudioSpec{};
    const std::string wav = Clip("sound.wav", sound);

    job.VideoCodecName = "mpeg4";
    job.TotalOutputDurationMs = 60000;
    ASSERT_TRUE(job.OpenInputFile(video)) << job.LastErrorText;
    EXPECT_EQ(job.InputFiles[0]->video_codec_id, AV_CODEC_ID_MPEG4);
    EXPECT_TRUE(job.VideoCodecName.empty());
    ASSERT_TRUE(job.OpenInputFile(wav)) << job.LastErrorText;
    EXPECT_EQ(job.InputFiles[1]->video_codec_id, AV_CODEC_ID_NONE);
    EXPECT_EQ(job.FrameWidth, 320);
    EXPECT_EQ(job.FrameHeight, 240);
    EXPECT_EQ(job.TotalOutputDurationMs, 60000); // the larger of the expected lengths

    bool hasVideo, hasAudio, hasSubtitle;
    job.CheckInputStreamTypes(hasVideo, hasAudio, hasSubtitle);
    EXPECT_TRUE(hasVideo);
    EXPECT_TRUE(hasAudio);
    EXPECT_FALSE(hasSubtitle);
}

TEST_F(InputTest, CropsAfterOpeningAreMeasuredAgainstTheInput) {
    fx::ClipSpec spec = fx::SimpleClip(3, false);
    spec.video->width = 320;
    spec.video->height = 240;
    ASSERT_TRUE(job.OpenInputFile(Clip("crop.mkv", spec))) << job.LastErrorText;
    job.SetCropTop(10);
    job.SetCropBottom(10);
    job.SetCropLeft(20);
    EXPECT_EQ(job.FrameHeight, 220);
    EXPECT_EQ(job.FrameWidth, 300);
    EXPECT_THROW(job.SetCropRight(300), tarnwick::platform::FFMpegException);
}

TEST_F(InputTest, RawInputTakesThePendingPictureSettings) {
    const std::string path = folder.File("frames.yuv");
    {
        std::ofstream raw(path, std::ios::binary);
        const std::string frame(64 * 48 * 3 / 2, '\x80');
        for (int i = 0; i < 4; ++i) raw << frame;
    }
    job.ForcedInputFormat = AV.av_find_input_format("rawvideo");
    job.FrameWidth = 64;
    job.FrameHeight = 48;
    job.FramePixFmt = AV_PIX_FMT_YUV420P;
    job.FrameRate = {10, 1};
    ASSERT_TRUE(job.OpenInputFile(path)) << job.LastErrorText;
    const AVCodecParameters* parameters = job.InputFiles[0]->streams[0]->codecpar;
    EXPECT_EQ(parameters->width, 64);
    EXPECT_EQ(parameters->height, 48);
    EXPECT_EQ(av_cmp_q(job.FrameRate, AVRational{10, 1}), 0);
    EXPECT_EQ(job.ForcedInputFormat, nullptr);
}

TEST_F(InputTest, DisabledTypesAreDiscardedAtTheDemuxer) {
    const std::string path = Clip("both.mkv", fx::SimpleClip(5));
    job.VideoDisable = true;
    job.AudioDisable = true;
    ASSERT_TRUE(job.OpenInputFile(path)) << job.LastErrorText;
    for (unsigned i = 0; i < job.InputFiles[0]->nb_streams; ++i)
        EXPECT_EQ(job.InputFiles[0]->streams[i]->discard, AVDISCARD_ALL) << i;
}

TEST(FindCodecIdTest, NamesAliasesAndTypes) {
    tarnwick::test::LoadLibrariesOrFail();
    TCustomFFmpeg job;
    struct Case {
        const char* name;
        AVMediaType type;
        bool encoder;
        bool found;
        AVCodecID id;
        const char* error;
    };
    const Case cases[] = {
        {"", AVMEDIA_TYPE_VIDEO, true, true, AV_CODEC_ID_NONE, ""},
        {"mpeg4", AVMEDIA_TYPE_VIDEO, true, true, AV_CODEC_ID_MPEG4, ""},
        {"libfaac", AVMEDIA_TYPE_AUDIO, true, true, AV_CODEC_ID_AAC, ""},
        {"libfaac", AVMEDIA_TYPE_AUDIO, false, false, AV_CODEC_ID_NONE, "Unknown decoder 'libfaac'"},
        {"aac", AVMEDIA_TYPE_VIDEO, true, false, AV_CODEC_ID_NONE, "Invalid encoder type 'aac'"},
        {"nosuch", AVMEDIA_TYPE_VIDEO, true, false, AV_CODEC_ID_NONE, "Unknown encoder 'nosuch'"},
    };
    for (const Case& c : cases) {
        job.LastErrorText.clear();
        AVCodecID id = AV_CODEC_ID_PROBE;
        EXPECT_EQ(job.FindCodecId(c.name, c.type, c.encoder, id), c.found) << c.name;
        EXPECT_EQ(id, c.id) << c.name;
        EXPECT_EQ(job.LastErrorText, c.error);
    }
}

} // namespace
