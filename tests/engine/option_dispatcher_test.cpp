#include "option_test_job.h"

#include "platform/convert.h"

#include <functional>

using namespace tarnwick::engine;
using tarnwick::test::OptionTest;
using tarnwick::test::OptionTestJob;

namespace {

const char* const LowBitRateWarning =
    "WARNING: The bitrate parameter is set too low. It takes bits/s as argument, not kbits/s";

TEST_F(OptionTest, DispatcherCases) {
    struct Case {
        const char* text;
        std::function<void(TCustomFFmpeg&)> check;
        std::vector<std::string> logs;
        const char* error;
    };
    const Case cases[] = {
        {"vcodec=mpeg4\nb=512000",
         [](TCustomFFmpeg& job) {
             EXPECT_EQ(job.VideoCodecName, "mpeg4");
             EXPECT_EQ(job.CodecOptions[AVMEDIA_TYPE_VIDEO]->bit_rate, 512000);
         },
         {}, ""},
        {"b=512",
         [](TCustomFFmpeg& job) { EXPECT_EQ(job.CodecOptions[AVMEDIA_TYPE_VIDEO]->bit_rate, 512); },
         {LowBitRateWarning}, ""},
        {"ab=64",
         [](TCustomFFmpeg& job) { EXPECT_EQ(job.CodecOptions[AVMEDIA_TYPE_AUDIO]->bit_rate, 64); },
         {LowBitRateWarning}, ""},
        {"title=a=b", [](TCustomFFmpeg& job) { EXPECT_EQ(job.Title, "a=b"); }, {}, ""},
        {"an", [](TCustomFFmpeg& job) { EXPECT_TRUE(job.AudioDisable); }, {}, ""},
        {"  \r\ntitle=x y \r\n\r\nauthor=z\rvn\r\n",
         [](TCustomFFmpeg& job) {
             EXPECT_EQ(job.Title, "x y ");
             EXPECT_EQ(job.Author, "z");
             EXPECT_TRUE(job.VideoDisable);
         },
         {}, ""},
        {"vn\nthreads=2\nan",
         [](TCustomFFmpeg& job) {
             EXPECT_TRUE(job.VideoDisable);
             EXPECT_FALSE(job.AudioDisable);
         },
         {}, "TODO: option - threads"},
        {"i=movie.avi", [](TCustomFFmpeg& job) { EXPECT_EQ(job.InputFileCount, 0); },
         {"Do nothing: option - i"}, ""},
        {"ar=0\nac=-1",
         [](TCustomFFmpeg& job) {
             EXPECT_EQ(job.AudioSampleRate, 44100);
             EXPECT_EQ(job.AudioChannels, 2);
         },
         {}, ""},
        {"ar=$5622\nac=1",
         [](TCustomFFmpeg& job) {
             EXPECT_EQ(job.AudioSampleRate, 22050);
             EXPECT_EQ(job.AudioChannels, 1);
         },
         {}, ""},
        {"vol=abc\nan", [](TCustomFFmpeg& job) { EXPECT_FALSE(job.AudioDisable); }, {},
         "'abc' is not a valid integer value"},
        {"muxdelay=0,5", [](TCustomFFmpeg& job) { EXPECT_FLOAT_EQ(job.MuxMaxDelay, 0.7f); }, {},
         "'0,5' is not a valid floating point value"},
        {"-vcodec=mpeg4\nvcodec =mpeg4\n=x\nnosuchoption=1",
         [](TCustomFFmpeg& job) {
             EXPECT_TRUE(job.VideoCodecName.empty());
             EXPECT_TRUE(job.OptionNames.empty());
         },
         {}, ""},
        {"fs=5000000000\nvframes=10\naframes=11\ndframes=12\nmuxpreload=0.25\nvfilters=\n"
         "rc_override=2,3,4\ntvstd=pal",
         [](TCustomFFmpeg& job) {
             EXPECT_EQ(job.LimitFileSize, 5000000000);
             EXPECT_EQ(job.MaxFrames[0], 10);
             EXPECT_EQ(job.MaxFrames[1], 11);
             EXPECT_EQ(job.MaxFrames[2], 12);
             EXPECT_FLOAT_EQ(job.MuxPreload, 0.25f);
             EXPECT_TRUE(job.VideoFilters.empty());
             EXPECT_EQ(job.RcOverride, "2,3,4");
             EXPECT_EQ(job.VideoStandard, "pal");
         },
         {}, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        OptionTestJob job;
        EXPECT_EQ(OptionTestJob::ErrorOf([&] { job->ApplyOptionText(c.text); }), c.error);
        c.check(*job);
        EXPECT_EQ(job.logs, c.logs);
    }
}

TEST_F(OptionTest, LineEndsDoNotChangeTheResult) {
    auto applied = [](const std::string& text) {
        OptionTestJob job;
        job->ApplyOptionText(text);
        return std::vector<std::string>{job->Title, job->Author, job->Comment,
                                        std::to_string(job->CodecOptions[0]->gop_size)};
    };
    const auto lf = applied("title=t\n\ngop=12\nauthor=a\ncomment=c");
    EXPECT_EQ(applied("title=t\r\n\r\ngop=12\r\nauthor=a\r\ncomment=c\r\n"), lf);
    EXPECT_EQ(applied("title=t\r\rgop=12\rauthor=a\rcomment=c"), lf);
    EXPECT_EQ(lf[3], "12");
}

TEST_F(OptionTest, IgnoredOptionsLogOnlyWithAHandler) {
    OptionTestJob job;
    job->ApplyOptionText("L\nh\nversion\nformats\ny\nbenchmark\napre=x\nvpre=x\nspre=x");
    EXPECT_EQ(job.logs.size(), 9u);
    EXPECT_EQ(job.logs.back(), "Do nothing: option - spre");
    job->LogHandler = nullptr;
    EXPECT_NO_THROW(job->ApplyOptionText("i=movie.avi"));
}

TEST_F(OptionTest, TargetNamesItsNormOrChoosesOne) {
    OptionTestJob job;
    job->ApplyOptionText("target=pal-vcd");
    EXPECT_EQ(job->FrameWidth, 352);
    EXPECT_EQ(job->FrameHeight, 288);
    EXPECT_EQ(job->CodecOptions[AVMEDIA_TYPE_VIDEO]->gop_size, 15);
    OptionTestJob automatic;
    EXPECT_EQ(OptionTestJob::ErrorOf([&] { automatic->ApplyOptionText("target=vcd\nan"); }),
              "frame_rate is invalid.");
    EXPECT_FALSE(automatic->AudioDisable);
}

} // namespace
