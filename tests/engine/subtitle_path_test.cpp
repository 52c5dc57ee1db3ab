// Subtitles through real conversions (copy and re-encoding), and the refusal of subtitles
// without a time.
#include "engine/conversion_runner.h"

#include "fixtures/fixture_writer.h"
#include "platform/ffmpeg_exception.h"
#include "support/test_support.h"

#include "binding/media_functions.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace tarnwick;
using binding::AV;
using test::Conversion;

namespace {

fixtures::ClipSpec ClipWithSubtitles() {
    fixtures::ClipSpec spec;
    spec.video = fixtures::VideoSpec{};
    spec.video->frameCount = 50;
    spec.subtitle = fixtures::SubtitleSpec{};
    spec.subtitle->codec = "subrip";
    spec.subtitle->cues = {{100, 600, "first"}, {700, 1200, "second"}, {1300, 1900, "third"}};
    return spec;
}

class SubtitlePathTest : public ::testing::Test {
protected:
    void SetUp() override { test::LoadLibrariesOrFail(); }
    test::TempFolder folder;
};

} // namespace

TEST_F(SubtitlePathTest, TextSubtitlesAreCopiedOrReEncoded) {
    struct Case {
        const char *name;
        std::string output;
        std::string options;
        AVCodecID codec;
    };
    const Case cases[] = {
        {"copied into MKV", "copy.mkv", "scodec=copy", AV_CODEC_ID_SUBRIP},
        {"re-encoded into MKV", "srt.mkv", "scodec=subrip", AV_CODEC_ID_SUBRIP},
        {"re-encoded as ASS", "ass.mkv", "scodec=ass", AV_CODEC_ID_ASS},
        {"re-encoded as MP4 text", "text.mp4", "scodec=mov_text", AV_CODEC_ID_MOV_TEXT},
    };
    const std::string input = folder.File("in.mkv");
    fixtures::WriteClip(input, ClipWithSubtitles());
    for (const Case &k : cases) {
        SCOPED_TRACE(k.name);
        Conversion c;
        c.Input(input);
        c.Output(folder.File(k.output), k.options);
        ASSERT_TRUE(c.Run()) << c.Error();
        const fixtures::FileInfo info = fixtures::ReadFileInfo(folder.File(k.output));
        const fixtures::StreamInfo *subtitle = info.First(AVMEDIA_TYPE_SUBTITLE);
        ASSERT_NE(subtitle, nullptr);
        EXPECT_EQ(subtitle->codecId, k.codec);
        // MP4 fills the gaps between cues with empty samples.
        if (k.codec == AV_CODEC_ID_MOV_TEXT) EXPECT_GE(subtitle->frameCount, 3);
        else EXPECT_EQ(subtitle->frameCount, 3);
        ASSERT_NE(info.First(AVMEDIA_TYPE_VIDEO), nullptr);
    }
}

TEST_F(SubtitlePathTest, ASubtitleWithoutPtsIsLoggedOrFatalWithExitOnError) {
    for (const bool exitOnError : {false, true}) {
        SCOPED_TRACE(exitOnError);
        Conversion c;
        if (exitOnError) c.job.ApplyOptionText("xerror=1");
        engine::TInputStreamRecord ist;
        engine::TOutputStreamRecord ost;
        AVSubtitle subtitle{};
        if (exitOnError) {
            try {
                c.job.WriteSubtitle(nullptr, ost, AV_NOPTS_VALUE, &subtitle, ist);
                ADD_FAILURE() << "no exception";
            } catch (const platform::FFMpegException &error) {
                EXPECT_STREQ(error.what(), "Subtitle packets must have a pts");
            }
            EXPECT_TRUE(c.logs.empty());
        } else {
            c.job.WriteSubtitle(nullptr, ost, AV_NOPTS_VALUE, &subtitle, ist);
            ASSERT_EQ(c.logs.size(), 1u);
            EXPECT_EQ(c.logs[0],
                      (std::pair<int, std::string>{0, "Subtitle packets must have a pts"}));
        }
    }
}

TEST_F(SubtitlePathTest, ADvbSubtitleIsWrittenToShowAndAgainToClear) {
    // An MPEG-TS output with one DVB subtitle stream on the 90 kHz clock, set up by hand: no
    // generated clip carries picture subtitles to decode.
    const std::string path = folder.File("dvb.ts");
    AVFormatContext *output = nullptr;
    ASSERT_GE(AV.avformat_alloc_output_context2(&output, nullptr, "mpegts", path.c_str()), 0);
    AVStream *stream = AV.avformat_new_stream(output, nullptr);
    const AVCodec *codec = AV.avcodec_find_encoder(AV_CODEC_ID_DVB_SUBTITLE);
    ASSERT_NE(codec, nullptr);
    AVCodecContext *encoder = AV.avcodec_alloc_context3(codec);
    encoder->time_base = AVRational{1, 90000};
    encoder->width = 720;
    encoder->height = 576;
    ASSERT_GE(AV.avcodec_open2(encoder, codec, nullptr), 0);
    ASSERT_GE(AV.avcodec_parameters_from_context(stream->codecpar, encoder), 0);
    stream->time_base = AVRational{1, 90000};
    ASSERT_GE(AV.avio_open2(&output->pb, path.c_str(), AVIO_FLAG_WRITE, nullptr, nullptr), 0);
    ASSERT_GE(AV.avformat_write_header(output, nullptr), 0);
    ASSERT_EQ(stream->time_base.den, 90000);

    // The source stream's clock is 90 kHz too.
    AVFormatContext *source = AV.avformat_alloc_context();
    AVStream *sourceStream = AV.avformat_new_stream(source, nullptr);
    sourceStream->time_base = AVRational{1, 90000};

    engine::TInputStreamRecord ist;
    ist.Stream = sourceStream;
    engine::TOutputStreamRecord ost;
    ost.Stream = stream;
    ost.Encoder = encoder;
    ost.Packet = AV.av_packet_alloc();
    ost.FilterPacket = AV.av_packet_alloc();

    // A 16x8 picture subtitle in four colours, shown from 0 to 2000 ms after its pts.
    uint8_t pixels[16 * 8];
    for (int i = 0; i < 16 * 8; ++i)
        pixels[i] = static_cast<uint8_t>(i % 4);
    uint32_t palette[4] = {0xff000000, 0xffffffff, 0xffff0000, 0xff00ff00};
    AVSubtitleRect rect{};
    rect.x = 100;
    rect.y = 400;
    rect.w = 16;
    rect.h = 8;
    rect.nb_colors = 4;
    rect.type = SUBTITLE_BITMAP;
    rect.data[0] = pixels;
    rect.linesize[0] = 16;
    rect.data[1] = reinterpret_cast<uint8_t *>(palette);
    rect.linesize[1] = 4 * 4;
    AVSubtitleRect *rects[] = {&rect};
    AVSubtitle subtitle{};
    subtitle.start_display_time = 0;
    subtitle.end_display_time = 2000;
    subtitle.num_rects = 1;
    subtitle.rects = rects;

    Conversion c;
    c.job.WriteSubtitle(output, ost, 900000, &subtitle, ist);
    EXPECT_EQ(subtitle.num_rects, 1u); // handed back whole for freeing
    ASSERT_GE(AV.av_write_trailer(output), 0);
    AV.avio_closep(&output->pb);
    AV.avformat_free_context(output);
    AV.avformat_free_context(source);
    AV.avcodec_free_context(&encoder);
    AV.av_packet_free(&ost.Packet);
    AV.av_packet_free(&ost.FilterPacket);

    AVFormatContext *input = nullptr;
    ASSERT_GE(AV.avformat_open_input(&input, path.c_str(), nullptr, nullptr), 0);
    std::vector<int64_t> pts;
    AVPacket *packet = AV.av_packet_alloc();
    while (AV.av_read_frame(input, packet) >= 0) {
        if (input->streams[packet->stream_index]->codecpar->codec_id == AV_CODEC_ID_DVB_SUBTITLE)
            pts.push_back(packet->pts);
        AV.av_packet_unref(packet);
    }
    AV.av_packet_free(&packet);
    AV.avformat_close_input(&input);
    EXPECT_EQ(pts, (std::vector<int64_t>{900000, 1080000}));
}
