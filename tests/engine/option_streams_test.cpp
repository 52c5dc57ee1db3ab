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

TEST_F(OptionTest, OptionsGivenForTheVideoLeaveTheSoundAlone) {
    // This library generation flags the bit rate, its limits, the buffer, the profile and the
    // level for sound as well; given bare they are the video's, as the option texts mean them.
    tarnwick::test::TempFolder folder;
    const std::string input = folder.File("in.mkv");
    fx::WriteClip(input, fx::SimpleClip(5, true));
    struct Sound {
        int64_t bitRate, maxRate;
        int bufferSize, profile, level;
        bool operator==(const Sound&) const = default;
    };
    struct Output {
        OptionTestJob job;
        const AVCodecContext* video = nullptr;
        Sound sound{};
    };
    // The encoder contexts of an output of the clip opened after the option text.
    const auto open = [&](const std::string& options) {
        auto output = std::make_unique<Output>();
        OptionTestJob& job = output->job;
        EXPECT_TRUE(job->OpenInputFile(input)) << job->LastErrorText;
        job->ApplyOptionText("vcodec=mpeg4\nacodec=aac\n" + options);
        EXPECT_TRUE(job->OpenOutputFile(folder.File("out.mp4"))) << job->LastErrorText;
        output->video = job->OutputCodecContexts[0][0];
        const AVCodecContext* audio = job->OutputCodecContexts[0][1];
        output->sound = {audio->bit_rate, audio->rc_max_rate, audio->rc_buffer_size, audio->profile,
                         audio->level};
        return output;
    };
    const Sound alone = open("")->sound;

    const auto bitRate = open("b=512000");
    EXPECT_EQ(bitRate->video->bit_rate, 512000);
    EXPECT_TRUE(bitRate->sound == alone);

    // The H.264 parameters of the presets.
    const auto h264 = open("level=13\nbufsize=1048576\nmaxrate=1500000\ncoder=1\nprofile=baseline");
    EXPECT_EQ(h264->video->level, 13);
    EXPECT_EQ(h264->video->rc_max_rate, 1500000);
    EXPECT_EQ(h264->video->rc_buffer_size, 1048576);
    EXPECT_TRUE(h264->sound == alone);

    // The sound's own take the prefix.
    const auto both = open("b=512000\nab=96000\namaxrate=128000");
    EXPECT_EQ(both->video->bit_rate, 512000);
    EXPECT_EQ(both->video->rc_max_rate, 0);
    EXPECT_EQ(both->sound.bitRate, 96000);
    EXPECT_EQ(both->sound.maxRate, 128000);
}

} // namespace
