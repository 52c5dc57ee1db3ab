#include "option_test_job.h"

#include "fixtures/fixture_writer.h"

using namespace tarnwick::engine;
using tarnwick::test::OptionTest;
using tarnwick::test::OptionTestJob;
namespace fx = tarnwick::fixtures;

namespace {

std::vector<AVMediaType> StreamTypes(const AVFormatContext* output) {
    std::vector<AVMediaType> types;
    for (unsigned i = 0; i < output->nb_streams; ++i)
        types.push_back(output->streams[i]->codecpar->codec_type);
    return types;
}

TEST_F(OptionTest, StreamOptionsNeedAnOutput) {
    for (const char* line : {"newvideo", "newaudio", "newsubtitle"}) {
        OptionTestJob job;
        EXPECT_EQ(OptionTestJob::ErrorOf([&] { job->ApplyOptionText(line); }),
                  "At least one output file must be specified")
            << line;
    }
}

TEST_F(OptionTest, OptionTextReachesTheStreamsOfTheOutput) {
    tarnwick::test::TempFolder folder;
    const std::string input = folder.File("in.mkv");
    fx::WriteClip(input, fx::SimpleClip(5, true));
    OptionTestJob job;
    ASSERT_TRUE(job->OpenInputFile(input)) << job->LastErrorText;

    job->ApplyOptionText("an\ngop=18\nb=800000\nvcodec=mpeg4");
    ASSERT_TRUE(job->OpenOutputFile(folder.File("out.mkv"))) << job->LastErrorText;
    ASSERT_EQ(StreamTypes(job->OutputFiles[0]), std::vector<AVMediaType>{AVMEDIA_TYPE_VIDEO});
    const AVCodecContext* video = job->OutputCodecContexts[0][0];
    EXPECT_EQ(video->gop_size, 18);
    EXPECT_EQ(video->bit_rate, 800000);

    job->ApplyOptionText("ab=96000\nnewaudio");
    EXPECT_EQ(StreamTypes(job->OutputFiles[0]),
              (std::vector<AVMediaType>{AVMEDIA_TYPE_VIDEO, AVMEDIA_TYPE_AUDIO}));
    EXPECT_EQ(job->OutputCodecContexts[0][1]->bit_rate, 96000);
}

} // namespace
