#include "option_test_job.h"

#include "binding/media_libraries.h"

using namespace tarnwick::engine;
using tarnwick::binding::AV;
using tarnwick::test::OptionTest;
using tarnwick::test::OptionTestJob;

namespace {

constexpr int VideoEncoding = AV_OPT_FLAG_VIDEO_PARAM | AV_OPT_FLAG_ENCODING_PARAM;
constexpr int AudioEncoding = AV_OPT_FLAG_AUDIO_PARAM | AV_OPT_FLAG_ENCODING_PARAM;

// An encoder context set up enough to open.
struct Encoder {
    const AVCodec* codec;
    AVCodecContext* context;
    explicit Encoder(const char* name) : codec(AV.avcodec_find_encoder_by_name(name)) {
        context = codec ? AV.avcodec_alloc_context3(codec) : nullptr;
    }
    ~Encoder() { AV.avcodec_free_context(&context); }
    void SetUpVideo() {
        context->width = 64;
        context->height = 48;
        context->time_base = {1, 25};
        context->pix_fmt = AV_PIX_FMT_YUV420P;
    }
    // Opens with the options; returns what the encoder left unused.
    AVDictionary* Open(AVDictionary* options) {
        EXPECT_GE(AV.avcodec_open2(context, codec, &options), 0);
        return options;
    }
    std::string PrivateOption(const char* name) {
        uint8_t* text = nullptr;
        if (AV.av_opt_get(context->priv_data, name, 0, &text) < 0) return "";
        std::string value = reinterpret_cast<char*>(text);
        AV.av_free(text);
        return value;
    }
};

std::string DictionaryValue(const AVDictionary* dictionary, const char* key) {
    const AVDictionaryEntry* entry = AV.av_dict_get(dictionary, key, nullptr, 0);
    return entry ? entry->value : "";
}

TEST_F(OptionTest, OldNameGopReachesTheEncoderAsItsGopSize) {
    OptionTestJob job;
    EXPECT_TRUE(job->SetGenericOption("gop", "18"));
    EXPECT_EQ(job->CodecOptions[AVMEDIA_TYPE_VIDEO]->gop_size, 18);
    EXPECT_EQ(job->OptionNames, std::vector<std::string>{"g"});

    Encoder encoder("mpeg1video");
    ASSERT_NE(encoder.context, nullptr);
    job->ApplyContextOptions(encoder.context, job->CodecOptions[AVMEDIA_TYPE_VIDEO], VideoEncoding);
    EXPECT_EQ(encoder.context->gop_size, 18);
}

TEST_F(OptionTest, ContextOptionsGoOnlyWhereTheirFlagsFit) {
    OptionTestJob job;
    job->ApplyOptionText(
        "b=900000\nab=96000\nabt=5000\nvb=700000\npacketsize=2324\nsws_flags=area");
    EXPECT_EQ(job->CodecOptions[AVMEDIA_TYPE_VIDEO]->bit_rate, 700000);
    EXPECT_EQ(job->CodecOptions[AVMEDIA_TYPE_AUDIO]->bit_rate, 96000);
    EXPECT_EQ(job->CodecOptions[AVMEDIA_TYPE_AUDIO]->bit_rate_tolerance, 5000);
    EXPECT_EQ(job->FormatOptions->packet_size, 2324u);
    int64_t scalerFlags = 0;
    AV.av_opt_get_int(job->ScalerOptions, "sws_flags", 0, &scalerFlags);
    EXPECT_EQ(scalerFlags, SWS_AREA);

    Encoder video("mpeg1video");
    Encoder audio("mp2");
    ASSERT_NE(video.context, nullptr);
    ASSERT_NE(audio.context, nullptr);
    const int64_t audioDefault = audio.context->bit_rate;
    job->ApplyContextOptions(video.context, job->CodecOptions[AVMEDIA_TYPE_VIDEO], VideoEncoding);
    job->ApplyContextOptions(audio.context, job->CodecOptions[AVMEDIA_TYPE_AUDIO], AudioEncoding);
    EXPECT_EQ(video.context->bit_rate, 700000);
    EXPECT_EQ(audio.context->bit_rate, 96000);
    EXPECT_NE(audio.context->bit_rate, audioDefault);
    // The tolerance is a video-only option: set on the audio context, never copied to audio.
    EXPECT_EQ(audio.context->bit_rate_tolerance, 0);

    AVFormatContext* output = nullptr;
    ASSERT_GE(AV.avformat_alloc_output_context2(&output, nullptr, "vcd", nullptr), 0);
    job->ApplyContextOptions(output, job->FormatOptions, AV_OPT_FLAG_ENCODING_PARAM);
    EXPECT_EQ(output->packet_size, 2324u);
    AV.avformat_free_context(output);
}

TEST_F(OptionTest, PrivateEncoderOptionsReachTheEncoderThatTakesThem) {
    if (!AV.avcodec_find_encoder_by_name("libx264")) GTEST_SKIP() << "no H.264 encoder here";
    OptionTestJob job;
    EXPECT_TRUE(job->SetGenericOption("crf", "23"));
    EXPECT_TRUE(job->SetGenericOption("preset", "veryfast"));
    // "profile" is also a numeric generic option; a profile name is the encoder's own.
    EXPECT_TRUE(job->SetGenericOption("profile", "baseline"));
    EXPECT_EQ(job->CodecOptions[AVMEDIA_TYPE_VIDEO]->profile, FF_PROFILE_UNKNOWN);
    EXPECT_TRUE(job->OptionNames.empty());
    EXPECT_EQ(DictionaryValue(job->EncoderPrivateOptions[AVMEDIA_TYPE_VIDEO], "crf"), "23");
    EXPECT_EQ(DictionaryValue(job->EncoderPrivateOptions[AVMEDIA_TYPE_AUDIO], "crf"), "");

    Encoder encoder("libx264");
    encoder.SetUpVideo();
    AVDictionary* leftover = encoder.Open(job->CopyEncoderPrivateOptions(AVMEDIA_TYPE_VIDEO));
    EXPECT_EQ(AV.av_dict_count(leftover), 0);
    AV.av_dict_free(&leftover);
    EXPECT_EQ(encoder.PrivateOption("crf"), "23.000000");
    EXPECT_EQ(encoder.PrivateOption("preset"), "veryfast");
    EXPECT_EQ(encoder.PrivateOption("profile"), "baseline");
    // The job keeps its own copy for the next encoder.
    EXPECT_EQ(DictionaryValue(job->EncoderPrivateOptions[AVMEDIA_TYPE_VIDEO], "crf"), "23");
}

TEST_F(OptionTest, ScanOffsetFlagBecomesTheMpeg2EncodersOption) {
    OptionTestJob job;
    EXPECT_TRUE(job->SetGenericOption("flags", "+scan_offset"));
    Encoder encoder("mpeg2video");
    ASSERT_NE(encoder.context, nullptr);
    encoder.SetUpVideo();
    AVDictionary* leftover = encoder.Open(job->CopyEncoderPrivateOptions(AVMEDIA_TYPE_VIDEO));
    EXPECT_EQ(AV.av_dict_count(leftover), 0);
    AV.av_dict_free(&leftover);
    EXPECT_EQ(encoder.PrivateOption("scan_offset"), "true");
}

TEST_F(OptionTest, UnusedPrivateOptionsAreLoggedOncePerName) {
    OptionTestJob job;
    EXPECT_TRUE(job->SetGenericIntOption("muxrate", 1411200));
    EXPECT_TRUE(job->SetGenericOption("scan_offset", "1"));
    EXPECT_EQ(DictionaryValue(job->MuxerPrivateOptions, "muxrate"), "1411200");

    Encoder encoder("mpeg4");
    ASSERT_NE(encoder.context, nullptr);
    encoder.SetUpVideo();
    AVDictionary* leftover = encoder.Open(job->CopyEncoderPrivateOptions(AVMEDIA_TYPE_VIDEO));
    job->ReportUnusedPrivateOptions(leftover, "mpeg4");
    job->ReportUnusedPrivateOptions(leftover, "mpeg4");
    AV.av_dict_free(&leftover);
    EXPECT_EQ(job.logs, std::vector<std::string>{"Option scan_offset=1 is not used by mpeg4"});
}

TEST_F(OptionTest, UnknownNamesAndBadValuesAreDroppedSilently) {
    OptionTestJob job;
    for (const auto& [name, value] : std::vector<std::pair<std::string, std::string>>{
             {"nosuchoption", "1"}, {"-vcodec", "mpeg4"}, {"b", "lots"}, {" ", "1"}, {"g", "  "}})
        EXPECT_FALSE(job->SetGenericOption(name, value)) << name;
    EXPECT_TRUE(job->OptionNames.empty());
    for (AVDictionary* dictionary : job->EncoderPrivateOptions)
        EXPECT_EQ(AV.av_dict_count(dictionary), 0);
    EXPECT_EQ(job->MuxerPrivateOptions, nullptr);
    EXPECT_TRUE(job.logs.empty());
}

TEST_F(OptionTest, ADebugOptionRaisesTheLogLevel) {
    OptionTestJob job;
    EXPECT_TRUE(job->SetGenericOption("debug", "pict"));
    EXPECT_EQ(job->Verbose, 2);
    EXPECT_EQ(AV.av_log_get_level(), AV_LOG_DEBUG);
    job->SetVerbose(1);
}

} // namespace
