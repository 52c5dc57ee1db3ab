#include "component/option_application.h"

#include "binding/media_libraries.h"
#include "platform/ffmpeg_exception.h"
#include "support/scoped_time_zone.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <ctime>

namespace tarnwick::component {
namespace {

using engine::TCustomFFmpeg;

template <typename Call> std::string ErrorText(Call&& call) {
    try {
        call();
    } catch (const std::exception& error) {
        return error.what();
    }
    return "";
}

class OptionApplicationTest : public ::testing::Test {
protected:
    void SetUp() override {
        test::LoadLibrariesOrFail();
        job.Prepare();
        ClearInputOptions(input);
        ClearOutputOptions(output);
    }
    TCustomFFmpeg job;
    TInputOptions input;
    TOutputOptions output;
};

TEST_F(OptionApplicationTest, ACleanRecordChangesOnlyWhatItAlwaysSets) {
    TCustomFFmpeg fresh;
    fresh.Prepare();
    job.AudioLanguage = "eng";
    ApplyOutputOptions(job, output);
    EXPECT_EQ(job.PadColor, (std::array<int32_t, 3>{0, 128, 128})); // black, not the default
    EXPECT_TRUE(job.AudioLanguage.empty());
    EXPECT_EQ(job.AudioSyncMethod, 0);
    EXPECT_EQ(job.VideoSyncMethod, -1);
    EXPECT_EQ(job.RecTimestamp, 0);
    EXPECT_EQ(job.RecordingTime, fresh.RecordingTime);
    EXPECT_EQ(job.AudioSampleRate, fresh.AudioSampleRate);
    EXPECT_EQ(job.AudioChannels, fresh.AudioChannels);
    EXPECT_EQ(job.AudioVolume, fresh.AudioVolume);
    EXPECT_EQ(job.MuxMaxDelay, fresh.MuxMaxDelay);
    EXPECT_EQ(job.FrameWidth, 0);
    EXPECT_EQ(job.Year, 0);
    EXPECT_TRUE(job.Title.empty());
    EXPECT_TRUE(job.OptionNames.empty());
    EXPECT_EQ(job.CodecOptions[AVMEDIA_TYPE_VIDEO]->bit_rate,
              fresh.CodecOptions[AVMEDIA_TYPE_VIDEO]->bit_rate);
}

TEST_F(OptionApplicationTest, AudioBitRateAloneLeavesTheVideoRate) {
    TCustomFFmpeg fresh;
    fresh.Prepare();
    output.AudioBitrate = 128000;
    output.Gop = 12;
    output.VideoMaxRate = 2000000;
    ApplyOutputOptions(job, output);
    EXPECT_EQ(job.CodecOptions[AVMEDIA_TYPE_AUDIO]->bit_rate, 128000);
    EXPECT_EQ(job.CodecOptions[AVMEDIA_TYPE_VIDEO]->bit_rate,
              fresh.CodecOptions[AVMEDIA_TYPE_VIDEO]->bit_rate);
    EXPECT_EQ(job.CodecOptions[AVMEDIA_TYPE_VIDEO]->gop_size, 12);
    EXPECT_EQ(job.CodecOptions[AVMEDIA_TYPE_VIDEO]->rc_max_rate, 2000000);

    output.VideoBitrate = 600; // no low-rate warning on this path
    std::vector<std::string> logs;
    job.LogHandler = [&](TCustomFFmpeg&, int, const std::string& text) { logs.push_back(text); };
    ApplyOutputOptions(job, output);
    EXPECT_EQ(job.CodecOptions[AVMEDIA_TYPE_VIDEO]->bit_rate, 600);
    EXPECT_TRUE(logs.empty());
}

TEST_F(OptionApplicationTest, RecordFieldsOverwriteTheOptionText) {
    output.ExtOptions = "async=1\nvsync=2\nalang=fre\nar=22050";
    job.ApplyOptionText(output.ExtOptions);
    ApplyOutputOptions(job, output);
    EXPECT_EQ(job.AudioSyncMethod, 0);
    EXPECT_EQ(job.VideoSyncMethod, -1);
    EXPECT_TRUE(job.AudioLanguage.empty());
    EXPECT_EQ(job.AudioSampleRate, 22050); // only a set rate overwrites
}

TEST_F(OptionApplicationTest, CropsAreTakenFromTheRecordsFrameSize) {
    job.FrameWidth = 640; // as an opened input would leave it
    job.FrameHeight = 480;
    output.FrameSize = "336x260";
    output.CropTop = output.CropBottom = 10;
    output.CropLeft = output.CropRight = 8;
    output.PadTop = 4;
    ApplyOutputOptions(job, output);
    EXPECT_EQ(job.FrameWidth, 320);
    EXPECT_EQ(job.FrameHeight, 240);
    EXPECT_EQ(job.PadTop, 4);
    EXPECT_EQ(job.PadBottom, 0);
}

TEST_F(OptionApplicationTest, AFailingStepKeepsTheEarlierOnes) {
    output.AudioCodec = "mp2";
    output.FrameSize = "321x240";
    output.CropTop = 10;
    EXPECT_THROW(ApplyOutputOptions(job, output), platform::FFMpegException);
    EXPECT_EQ(job.AudioCodecName, "mp2");
    EXPECT_EQ(job.FrameHeight, 240); // stored, but the crop after it never ran
    EXPECT_EQ(job.CropTop, 0);
}

TEST_F(OptionApplicationTest, MuxerAndMetadataFields) {
    output.PacketSize = 2324;
    output.MuxRate = 1411200;
    output.MuxDelay = 0.5f;
    output.Year = 2008;
    output.Track = 3;
    SetRecordText(output.Title, "Title");
    SetRecordText(output.Album, "");
    output.Genre.fill('g'); // a full array without a NUL
    job.Album = "kept";
    ApplyOutputOptions(job, output);
    EXPECT_EQ(job.FormatOptions->packet_size, 2324u);
    const AVDictionaryEntry* muxRate =
        binding::AV.av_dict_get(job.MuxerPrivateOptions, "muxrate", nullptr, 0);
    ASSERT_NE(muxRate, nullptr);
    EXPECT_STREQ(muxRate->value, "1411200");
    EXPECT_FLOAT_EQ(job.MuxMaxDelay, 0.5f);
    EXPECT_FLOAT_EQ(job.MuxPreload, 0.5f); // the engine default stays
    EXPECT_EQ(job.Year, 2008);
    EXPECT_EQ(job.Track, 3);
    EXPECT_EQ(job.Title, "Title");
    EXPECT_EQ(job.Album, "kept");
    EXPECT_EQ(job.Genre, std::string(32, 'g'));
}

TEST_F(OptionApplicationTest, TimestampsUseTheStandardOffset) {
    test::ScopedTimeZone zone("CET-1CEST,M3.5.0,M10.5.0/3");
    // 2 Jan 1970 01:00 local standard time is one day after the epoch.
    output.Timestamp = 25569.0 + 1.0 + 1.0 / 24.0;
    ApplyOutputOptions(job, output);
    EXPECT_EQ(job.RecTimestamp, 86400);
    // A summer date is converted with the same offset: daylight saving is not taken off.
    output.Timestamp = 25569.0 + 181.0 + 1.0 / 24.0;
    ApplyOutputOptions(job, output);
    EXPECT_EQ(job.RecTimestamp, 181 * 86400);

    output.Timestamp = 0; // now
    const std::time_t before = std::time(nullptr);
    ApplyOutputOptions(job, output);
    EXPECT_GE(job.RecTimestamp, before);
    EXPECT_LE(job.RecTimestamp, std::time(nullptr));

    output.Timestamp = -1.0;
    job.RecTimestamp = 7;
    ApplyOutputOptions(job, output);
    EXPECT_EQ(job.RecTimestamp, 7);
}

TEST_F(OptionApplicationTest, HookRangesAreFilteredAndSortedByTheirEnds) {
    job.HookRangeIndex = 3;
    ParseHookRanges(job, " 5000-10000, 0-2000 ,300,10-5, -7,x-9, 1-  3 , ,99999999999999999-1");
    std::vector<std::pair<int64_t, int64_t>> ranges;
    for (const engine::THookRange& range : job.HookRanges)
        ranges.emplace_back(range.StartUs, range.EndUs);
    // "-7" and "x-9" have a malformed start, which counts as -1 ms.
    const std::vector<std::pair<int64_t, int64_t>> expected{
        {1000, 3000}, {-1000, 7000}, {-1000, 9000}, {0, 2000000}, {5000000, 10000000}};
    EXPECT_EQ(ranges, expected);
    EXPECT_EQ(job.HookRangeIndex, 0);

    ParseHookRanges(job, "");
    EXPECT_TRUE(job.HookRanges.empty());
}

TEST_F(OptionApplicationTest, InputRecordAfterItsOptionText) {
    input.ExtOptions = "ss=5\nprogramid=2";
    ApplyInputOptions(job, input);
    EXPECT_EQ(job.StartTime, 5000000); // a cleared start time leaves the text's
    EXPECT_EQ(job.ProgramId, 2);
    EXPECT_EQ(job.ForcedInputFormat, nullptr);

    input.ExtOptions.clear();
    input.ForceFormat = "avi";
    input.StartTime = 2500;
    input.ProgramId = 0;
    ApplyInputOptions(job, input);
    ASSERT_NE(job.ForcedInputFormat, nullptr);
    EXPECT_STREQ(job.ForcedInputFormat->name, "avi");
    EXPECT_EQ(job.StartTime, 2500000);
    EXPECT_EQ(job.ProgramId, 0);

    input.ForceFormat = "nosuch";
    EXPECT_THROW(ApplyInputOptions(job, input), platform::FFMpegException);
}

TEST_F(OptionApplicationTest, TargetPresetOverridesTheRecordsOwnFields) {
    output.VideoCodec = "mpeg4";
    output.FrameSize = "640x480";
    output.Target = 1;
    output.TargetNorm = 1;
    std::vector<std::string> logs;
    job.LogHandler = [&](TCustomFFmpeg&, int, const std::string& text) { logs.push_back(text); };
    ApplyOutputOptions(job, output);
    ApplyTargetOptions(job, output);
    EXPECT_EQ(job.VideoCodecName, "mpeg1video");
    EXPECT_EQ(job.AudioCodecName, "mp2");
    ASSERT_NE(job.ForcedOutputFormat, nullptr);
    EXPECT_STREQ(job.ForcedOutputFormat->name, "vcd");
    EXPECT_EQ(job.FrameWidth, 352);
    EXPECT_EQ(job.FrameHeight, 288);
    EXPECT_EQ(job.FrameRate.num, 25);
    EXPECT_EQ(job.FrameRate.den, 1);
    EXPECT_EQ(job.CodecOptions[AVMEDIA_TYPE_VIDEO]->gop_size, 15);
    const AVDictionaryEntry* muxRate =
        binding::AV.av_dict_get(job.MuxerPrivateOptions, "muxrate", nullptr, 0);
    ASSERT_NE(muxRate, nullptr);
    EXPECT_STREQ(muxRate->value, "1411200");
    for (const std::string& line : logs) EXPECT_EQ(line.find("for target"), std::string::npos);
}

TEST_F(OptionApplicationTest, TargetNumbersAndNorms) {
    output.Target = 2; // automatic norm, but no frame rate known yet
    EXPECT_EQ(ErrorText([&] { ApplyTargetOptions(job, output); }),
              "frame_rate is invalid.");

    output.Target = 3;
    output.TargetNorm = 2;
    ApplyTargetOptions(job, output);
    EXPECT_EQ(job.FrameWidth, 720);
    EXPECT_EQ(job.FrameHeight, 480);
    EXPECT_EQ(job.FrameRate.num, 30000);

    TCustomFFmpeg untouched;
    untouched.Prepare();
    output.Target = 4;
    ApplyTargetOptions(untouched, output);
    EXPECT_EQ(untouched.FrameWidth, 0);
    EXPECT_TRUE(untouched.VideoCodecName.empty());
}

} // namespace
} // namespace tarnwick::component
