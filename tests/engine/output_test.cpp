#include "engine/custom_ffmpeg.h"

#include "binding/media_libraries.h"
#include "fixtures/fixture_writer.h"
#include "platform/ffmpeg_exception.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace tarnwick::engine;
using tarnwick::binding::AV;
using tarnwick::platform::FFMpegException;
namespace fx = tarnwick::fixtures;
namespace fs = std::filesystem;

namespace {

class OutputTest : public ::testing::Test {
protected:
    void SetUp() override {
        tarnwick::test::LoadLibrariesOrFail();
        job.Prepare();
        job.SetVerbose(0);
        job.LogHandler = [this](TCustomFFmpeg&, int, const std::string& text) {
            logs.push_back(text);
        };
    }

    // A 320x240 clip at 25 fps with stereo sound at 44100 Hz, opened as the job's input.
    void OpenInput(const std::string& name = "in.mkv", bool video = true, bool audio = true) {
        fx::ClipSpec spec = fx::SimpleClip(5, audio);
        spec.video->width = 320;
        spec.video->height = 240;
        if (!video) spec.video.reset();
        const std::string path = folder.File(name);
        fx::WriteClip(path, spec);
        ASSERT_TRUE(job.OpenInputFile(path)) << job.LastErrorText;
    }

    const AVCodecContext* Encoder(int stream, int file = 0) const {
        return job.OutputCodecContexts[file].at(stream);
    }

    std::vector<AVMediaType> StreamTypes(int file = 0) const {
        std::vector<AVMediaType> types;
        const AVFormatContext* output = job.OutputFiles[file];
        for (unsigned i = 0; i < output->nb_streams; ++i)
            types.push_back(output->streams[i]->codecpar->codec_type);
        return types;
    }

    tarnwick::test::TempFolder folder;
    TCustomFFmpeg job;
    std::vector<std::string> logs;
};

TEST_F(OutputTest, FilterSettingsThatCannotMeet) {
    const std::string padMessage = "Cannot enable pad options and the filters which resize frame "
                                   "at the same time. (crop, rotate, scale, transpose, etc.)";
    const std::string cropMessage = "Cannot enable crop options and filters at the same time.";
    struct Case {
        const char* filters;
        int padTop, cropTop;
        std::string error; // empty: the output opens
    };
    const Case cases[] = {
        {"scale=320:240", 8, 0, padMessage},
        {"hflip,Transpose=1", 8, 0, padMessage},
        {"hflip", 8, 0, ""},
        {"hflip", 0, 8, cropMessage},
        {"scale=320:240", 0, 0, ""},
    };
    OpenInput();
    for (const Case& c : cases) {
        job.VideoFilters = c.filters;
        job.PadTop = c.padTop;
        job.CropTop = c.cropTop;
        const std::string path = folder.File("filtered.mp4");
        const bool opened = job.OpenOutputFile(path);
        EXPECT_EQ(opened, c.error.empty()) << c.filters << " " << job.LastErrorText;
        if (!opened) {
            EXPECT_EQ(job.LastErrorText, c.error);
            EXPECT_EQ(job.OutputFileCount, 0);
            EXPECT_FALSE(fs::exists(path));
        } else {
            EXPECT_TRUE(job.UsingFilters);
            job.ReleaseOutputFile(--job.OutputFileCount);
        }
    }
}

TEST(ResizingFilterTest, NamesBeforeTheirArguments) {
    EXPECT_FALSE(TCustomFFmpeg::HasResizingFilter(""));
    EXPECT_FALSE(TCustomFFmpeg::HasResizingFilter("hflip,vflip"));
    EXPECT_FALSE(TCustomFFmpeg::HasResizingFilter("scaler=2"));
    EXPECT_TRUE(TCustomFFmpeg::HasResizingFilter("hflip,CROP=10:10:0:0"));
    EXPECT_TRUE(TCustomFFmpeg::HasResizingFilter("rotate"));
}

TEST_F(OutputTest, StreamsFollowTheInputsAndTheDisableFlags) {
    OpenInput("sound.mka", false, true);
    // mp4 has a default video codec, but no input has video.
    ASSERT_TRUE(job.OpenOutputFile(folder.File("a.mp4"))) << job.LastErrorText;
    EXPECT_EQ(StreamTypes(0), std::vector<AVMediaType>{AVMEDIA_TYPE_AUDIO});
    EXPECT_EQ(Encoder(0)->codec_id, AV_CODEC_ID_AAC);

    job.AudioDisable = true;
    ASSERT_TRUE(job.OpenOutputFile(folder.File("b.mp4"))) << job.LastErrorText;
    EXPECT_TRUE(StreamTypes(1).empty());
    job.AddAudioStreamToLastOutput();
    EXPECT_EQ(StreamTypes(1), std::vector<AVMediaType>{AVMEDIA_TYPE_AUDIO});
    EXPECT_FALSE(job.AudioDisable);
    EXPECT_EQ(job.OutputCodecContexts[1].size(), 1u);
}

TEST_F(OutputTest, StreamsNeedAnOutput) {
    for (auto add : {&TCustomFFmpeg::AddVideoStreamToLastOutput,
                     &TCustomFFmpeg::AddAudioStreamToLastOutput,
                     &TCustomFFmpeg::AddSubtitleStreamToLastOutput}) {
        try {
            (job.*add)();
            ADD_FAILURE() << "no error";
        } catch (const FFMpegException& error) {
            EXPECT_STREQ(error.what(), "At least one output file must be specified");
        }
    }
}

TEST_F(OutputTest, OpeningFailuresLeaveNothingBehind) {
    OpenInput();
    const std::string unknown = folder.File("out.xyzzy");
    EXPECT_FALSE(job.OpenOutputFile(unknown));
    EXPECT_EQ(job.LastErrorText, "Unable to find a suitable output format for '" + unknown + "'");

    const std::string unwritable = folder.File("no/such/folder/out.mp4");
    EXPECT_FALSE(job.OpenOutputFile(unwritable));
    EXPECT_EQ(job.LastErrorText, "Could not open '" + unwritable + "'");

    job.VideoCodecName = "aac";
    EXPECT_FALSE(job.OpenOutputFile(folder.File("bad.mp4")));
    EXPECT_EQ(job.LastErrorText, "new_video_stream fail: Invalid encoder type 'aac'");
    EXPECT_TRUE(job.VideoCodecName.empty());

    job.AudioCodecName = "nosuch";
    job.AudioLanguage = "eng";
    EXPECT_FALSE(job.OpenOutputFile(folder.File("bad.mp4")));
    EXPECT_EQ(job.LastErrorText, "new_audio_stream fail: Unknown encoder 'nosuch'");
    EXPECT_TRUE(job.AudioLanguage.empty());

    job.RcOverride = "0,100";
    EXPECT_FALSE(job.OpenOutputFile(folder.File("bad.mp4")));
    EXPECT_EQ(job.LastErrorText, "new_video_stream fail: error parsing rc_override");

    EXPECT_EQ(job.OutputFileCount, 0);
    EXPECT_TRUE(job.OutputCodecContexts[0].empty());
    EXPECT_FALSE(fs::exists(folder.File("bad.mp4")));
    EXPECT_EQ(job.ForcedOutputFormat, nullptr);
}

TEST_F(OutputTest, AnOutputLeftEmptyIsDeletedOnRelease) {
    OpenInput();
    const std::string path = folder.File("never_written.mp4");
    ASSERT_TRUE(job.OpenOutputFile(path)) << job.LastErrorText;
    EXPECT_TRUE(fs::exists(path)); // opened for writing, header not written
    EXPECT_NE(job.OutputFiles[0]->pb, nullptr);
    job.FreeJobResources();
    EXPECT_FALSE(fs::exists(path));
    EXPECT_EQ(job.OutputFileCount, 0);
}

TEST_F(OutputTest, VideoEncoderContextCarriesThePendingSettings) {
    OpenInput();
    job.PadLeft = job.PadRight = 8;
    job.VideoQScale = 3;
    job.IntraOnly = true;
    job.DoPass = 1;
    job.RcOverride = "0,100,-50/101,200,2";
    job.IntraMatrix.assign(64, 16);
    job.VideoCodecName = "mpeg4";
    job.CodecOptionNames[AVMEDIA_TYPE_VIDEO] = {"b", "ar"};
    AV.av_opt_set(job.CodecOptions[AVMEDIA_TYPE_VIDEO], "b", "512000", 0);
    AV.av_opt_set(job.CodecOptions[AVMEDIA_TYPE_VIDEO], "ar", "8000", 0);
    ASSERT_TRUE(job.OpenOutputFile(folder.File("v.mp4"))) << job.LastErrorText;

    ASSERT_EQ(StreamTypes(0), (std::vector<AVMediaType>{AVMEDIA_TYPE_VIDEO, AVMEDIA_TYPE_AUDIO}));
    const AVCodecContext* video = Encoder(0);
    ASSERT_NE(video->codec, nullptr);
    EXPECT_STREQ(video->codec->name, "mpeg4");
    EXPECT_EQ(video->width, 336);
    EXPECT_EQ(video->height, 240);
    EXPECT_EQ(av_cmp_q(video->time_base, AVRational{1, 25}), 0);
    // 4:3 shown on 336x240 samples.
    EXPECT_EQ(av_cmp_q(video->sample_aspect_ratio, AVRational{20, 21}), 0);
    EXPECT_EQ(video->pix_fmt, AV_PIX_FMT_YUV420P);
    EXPECT_EQ(video->gop_size, 0);
    EXPECT_TRUE(video->flags & AV_CODEC_FLAG_QSCALE);
    EXPECT_EQ(video->global_quality, 3 * FF_QP2LAMBDA);
    EXPECT_TRUE(video->flags & AV_CODEC_FLAG_PASS1);
    EXPECT_TRUE(video->flags & AV_CODEC_FLAG_GLOBAL_HEADER);
    EXPECT_EQ(video->bit_rate, 512000);
    ASSERT_NE(video->intra_matrix, nullptr);
    EXPECT_EQ(video->intra_matrix[63], 16);
    ASSERT_EQ(video->rc_override_count, 2);
    EXPECT_EQ(video->rc_override[0].start_frame, 0);
    EXPECT_EQ(video->rc_override[0].end_frame, 100);
    EXPECT_EQ(video->rc_override[0].qscale, 0);
    EXPECT_FLOAT_EQ(video->rc_override[0].quality_factor, 0.5f);
    EXPECT_EQ(video->rc_override[1].start_frame, 101);
    EXPECT_EQ(video->rc_override[1].end_frame, 200);
    EXPECT_EQ(video->rc_override[1].qscale, 2);
    EXPECT_FLOAT_EQ(video->rc_override[1].quality_factor, 1.0f);
    // "ar" is no video option: the video encoder never sees it.
    EXPECT_EQ(video->sample_rate, 0);

    const AVCodecContext* audio = Encoder(1);
    EXPECT_EQ(audio->codec_id, AV_CODEC_ID_AAC);
    EXPECT_EQ(audio->sample_rate, 44100);
    EXPECT_EQ(audio->ch_layout.nb_channels, 2);
    EXPECT_EQ(audio->sample_fmt, AV_SAMPLE_FMT_FLTP);
    EXPECT_EQ(av_cmp_q(audio->time_base, AVRational{1, 44100}), 0);
    // The pending video settings were consumed, the picture geometry was not.
    EXPECT_TRUE(job.VideoCodecName.empty());
    EXPECT_EQ(job.FrameWidth, 320);
}

TEST_F(OutputTest, FrameRateSnapsToTheEncodersList) {
    struct Case {
        AVRational wanted, expectedTimeBase;
    };
    // mpeg1video lists 24000/1001 24 25 30000/1001 30 50 60000/1001 60 ...
    const Case cases[] = {
        {{26, 1}, {1, 25}},
        {{31, 1}, {1, 30}},
        {{49, 2}, {1, 24}}, // as near to 24 as to 25: the first listed wins
        {{30000, 1001}, {1001, 30000}},
    };
    OpenInput("in.mkv", true, false);
    int file = 0;
    for (const Case& c : cases) {
        job.FrameRate = c.wanted;
        job.VideoCodecName = "mpeg1video";
        std::string name = std::to_string(file);
        name += ".mpg";
        ASSERT_TRUE(job.OpenOutputFile(folder.File(name))) << job.LastErrorText;
        EXPECT_EQ(av_cmp_q(Encoder(0, file)->time_base, c.expectedTimeBase), 0)
            << c.wanted.num << "/" << c.wanted.den;
        ++file;
    }
}

TEST_F(OutputTest, LanguagesTagsAndMetadata) {
    OpenInput();
    job.AudioLanguage = "english";
    job.Title = "Title";
    job.Author = "Someone";
    job.Year = 2024;
    job.Track = 3;
    job.Genre = std::string(40, 'g');
    job.RecTimestamp = 86400;
    ASSERT_TRUE(job.OpenOutputFile(folder.File("m.mkv"))) << job.LastErrorText;
    const AVFormatContext* output = job.OutputFiles[0];
    auto tag = [](const AVDictionary* dictionary, const char* key) {
        const AVDictionaryEntry* entry = AV.av_dict_get(dictionary, key, nullptr, 0);
        return entry ? std::string(entry->value) : std::string("<none>");
    };
    EXPECT_EQ(tag(output->streams[1]->metadata, "language"), "eng");
    EXPECT_TRUE(job.AudioLanguage.empty());
    EXPECT_EQ(tag(output->metadata, "title"), "Title");
    EXPECT_EQ(tag(output->metadata, "artist"), "Someone");
    EXPECT_EQ(tag(output->metadata, "date"), "2024");
    EXPECT_EQ(tag(output->metadata, "track"), "3");
    EXPECT_EQ(tag(output->metadata, "genre"), std::string(31, 'g'));
    EXPECT_EQ(tag(output->metadata, "creation_time"), "1970-01-02T00:00:00.000000Z");
    EXPECT_EQ(tag(output->metadata, "copyright"), "<none>");
}

TEST_F(OutputTest, CopiedStreamsAreMarkedAndKeepTheAspect) {
    OpenInput();
    job.VideoStreamCopy = true;
    job.AudioStreamCopy = true;
    ASSERT_TRUE(job.OpenOutputFile(folder.File("copy.mkv"))) << job.LastErrorText;
    ASSERT_EQ(job.OutputStreamCopy[0], (std::vector<bool>{true, true}));
    EXPECT_EQ(Encoder(0)->codec, nullptr);
    EXPECT_EQ(av_cmp_q(Encoder(0)->sample_aspect_ratio, AVRational{1, 1}), 0);
    EXPECT_FALSE(job.VideoStreamCopy);
    job.AddVideoStreamToLastOutput(); // a further stream is encoded again
    ASSERT_EQ(job.OutputStreamCopy[0].size(), 3u);
    EXPECT_FALSE(job.OutputStreamCopy[0][2]);
    EXPECT_NE(Encoder(2)->codec, nullptr);
}

// MPEG-4 presets ask for the "DIVX" tag, which MP4 cannot store: the container's own tag is
// kept and the header can be written.
TEST_F(OutputTest, AnUnstorableCodecTagGivesWayToTheContainers) {
    OpenInput("in.mkv", true, false);
    const uint32_t divx = MKTAG('D', 'I', 'V', 'X');
    struct Case {
        const char* file;
        bool tagKept;
    };
    int index = 0;
    for (const Case& c : {Case{"divx.mp4", false}, Case{"divx.avi", true}}) {
        logs.clear();
        job.VideoCodecName = "mpeg4";
        job.VideoCodecTag = divx;
        ASSERT_TRUE(job.OpenOutputFile(folder.File(c.file))) << job.LastErrorText;
        AVCodecContext* encoder = job.OutputCodecContexts[index][0];
        EXPECT_EQ(encoder->codec_tag, c.tagKept ? divx : 0u) << c.file;
        EXPECT_EQ(logs.size(), c.tagKept ? 0u : 1u) << c.file;
        AVFormatContext* output = job.OutputFiles[index];
        ASSERT_GE(AV.avcodec_open2(encoder, encoder->codec, nullptr), 0);
        ASSERT_GE(AV.avcodec_parameters_from_context(output->streams[0]->codecpar, encoder), 0);
        EXPECT_GE(AV.avformat_write_header(output, nullptr), 0) << c.file;
        EXPECT_GE(AV.av_write_trailer(output), 0);
        ++index;
    }
}

} // namespace
