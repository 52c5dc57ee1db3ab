// The main loop and its ends, shown by real conversions: limits, the shortest input, a stop
// request, decoding errors.
#include "transcode_job.h"

#include "fixtures/fixture_writer.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <numeric>

using namespace tarnwick;
using fixtures::FileInfo;

namespace {

std::vector<int> Sequence(int count) {
    std::vector<int> numbers(count);
    std::iota(numbers.begin(), numbers.end(), 0);
    return numbers;
}

TEST(TranscodeLoop, LimitsEndTheRunWithAFinishedOutput) {
    struct Case {
        const char* name;
        std::function<void(engine::TCustomFFmpeg&)> set;
        std::function<void(const FileInfo&, uintmax_t size)> check;
    };
    const Case cases[] = {
        {"t", [](engine::TCustomFFmpeg& job) { job.RecordingTime = 1000000; },
         [](const FileInfo& info, uintmax_t) {
             EXPECT_EQ(info.First(AVMEDIA_TYPE_VIDEO)->frameCount, 25);
             EXPECT_NEAR(info.First(AVMEDIA_TYPE_VIDEO)->durationSeconds, 1.0, 0.04);
             EXPECT_NEAR(info.First(AVMEDIA_TYPE_AUDIO)->durationSeconds, 1.0, 0.1);
         }},
        {"vframes", [](engine::TCustomFFmpeg& job) { job.MaxFrames[0] = 10; },
         [](const FileInfo& info, uintmax_t) {
             EXPECT_EQ(info.First(AVMEDIA_TYPE_VIDEO)->frameCount, 10);
         }},
        {"fs", [](engine::TCustomFFmpeg& job) { job.LimitFileSize = 30000; },
         [](const FileInfo& info, uintmax_t size) {
             EXPECT_GT(size, 30000u);
             EXPECT_LT(info.First(AVMEDIA_TYPE_VIDEO)->frameCount, 75);
         }},
    };
    test::TempFolder folder;
    const std::string input = folder.File("in.mp4");
    fixtures::WriteClip(input, fixtures::SimpleClip(75, true));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string output = folder.File(std::string(c.name) + ".mp4");
        test::TranscodeJob run;
        ASSERT_NO_FATAL_FAILURE(run.Input(input));
        run.Job.VideoCodecName = "mpeg4";
        run.Job.AudioCodecName = "aac";
        c.set(run.Job);
        ASSERT_NO_FATAL_FAILURE(run.Output(output));
        run.RunHere();
        ASSERT_FALSE(run.Job.ExceptionRaised) << run.Job.ExceptionMessage;
        EXPECT_TRUE(run.Job.Finished);
        const FileInfo info = fixtures::ReadFileInfo(output);
        ASSERT_NE(info.First(AVMEDIA_TYPE_VIDEO), nullptr);
        ASSERT_NE(info.First(AVMEDIA_TYPE_AUDIO), nullptr);
        c.check(info, std::filesystem::file_size(output));
        const int frames = static_cast<int>(info.First(AVMEDIA_TYPE_VIDEO)->frameCount);
        EXPECT_EQ(fixtures::ReadFrameNumbers(output), Sequence(frames));
    }
}

TEST(TranscodeLoop, ShortestEndsWithTheFirstInputAtItsEnd) {
    test::TempFolder folder;
    const std::string video = folder.File("video.mp4");
    const std::string audio = folder.File("audio.mp4");
    fixtures::WriteClip(video, fixtures::SimpleClip(75, false));
    fixtures::ClipSpec tone;
    tone.audio = fixtures::AudioSpec{};
    tone.audio->durationSeconds = 1.0;
    fixtures::WriteClip(audio, tone);

    for (const bool shortest : {false, true}) {
        SCOPED_TRACE(shortest);
        const std::string output = folder.File("out.mp4");
        test::TranscodeJob run;
        ASSERT_NO_FATAL_FAILURE(run.Input(video));
        ASSERT_NO_FATAL_FAILURE(run.Input(audio));
        run.Job.VideoCodecName = "mpeg4";
        run.Job.AudioCodecName = "aac";
        run.Job.Shortest = shortest;
        ASSERT_NO_FATAL_FAILURE(run.Output(output));
        run.RunHere();
        ASSERT_FALSE(run.Job.ExceptionRaised) << run.Job.ExceptionMessage;
        const FileInfo info = fixtures::ReadFileInfo(output);
        ASSERT_NE(info.First(AVMEDIA_TYPE_VIDEO), nullptr);
        const double seconds = info.First(AVMEDIA_TYPE_VIDEO)->durationSeconds;
        if (shortest)
            EXPECT_NEAR(seconds, 1.0, 0.2);
        else
            EXPECT_NEAR(seconds, 3.0, 0.04);
    }
}

TEST(TranscodeLoop, AStopRequestStillWritesTheTrailerAndReportsNotFinished) {
    test::TempFolder folder;
    const std::string input = folder.File("in.mp4");
    const std::string output = folder.File("out.mp4");
    fixtures::WriteClip(input, fixtures::SimpleClip(75, true));
    test::TranscodeJob run;
    ASSERT_NO_FATAL_FAILURE(run.Input(input));
    run.Job.VideoCodecName = "mpeg4";
    ASSERT_NO_FATAL_FAILURE(run.Output(output));
    run.Job.ProgressIntervalUs = 0;
    run.Job.ProgressHandler = [](engine::TCustomFFmpeg& job, int32_t frame, int32_t, int32_t,
                                 float, float, int64_t, int32_t) {
        if (frame >= 20) job.Stop();
    };
    ASSERT_NO_FATAL_FAILURE(run.RunThreaded());
    EXPECT_EQ(run.Terminations(), 1);
    EXPECT_FALSE(run.Job.Finished);
    EXPECT_FALSE(run.Job.ExceptionRaised) << run.Job.ExceptionMessage;
    const FileInfo info = fixtures::ReadFileInfo(output);
    ASSERT_NE(info.First(AVMEDIA_TYPE_VIDEO), nullptr);
    const int frames = static_cast<int>(info.First(AVMEDIA_TYPE_VIDEO)->frameCount);
    EXPECT_GE(frames, 20);
    EXPECT_LT(frames, 75);
    EXPECT_EQ(fixtures::ReadFrameNumbers(output), Sequence(frames));
}

// A lossless audio clip whose middle packets are overwritten with zeros, which its decoder
// refuses.
std::string DamagedClip(const test::TempFolder& folder) {
    const std::string path = folder.File("damaged.mkv");
    fixtures::ClipSpec spec;
    spec.audio = fixtures::AudioSpec{};
    spec.audio->codec = "flac";
    spec.audio->durationSeconds = 2.0;
    fixtures::WriteClip(path, spec);
    const auto packets = test::ReadPackets(path, AVMEDIA_TYPE_AUDIO);
    EXPECT_GT(packets.size(), 6u);
    std::string bytes;
    {
        std::ifstream in(path, std::ios::binary);
        bytes.assign(std::istreambuf_iterator<char>(in), {});
    }
    for (size_t i = packets.size() / 2; i < packets.size() / 2 + 2; ++i) {
        const std::string data(packets[i].Data.begin(), packets[i].Data.end());
        const size_t at = bytes.find(data);
        EXPECT_NE(at, std::string::npos);
        if (at != std::string::npos) bytes.replace(at, data.size(), data.size(), '\0');
    }
    std::ofstream(path, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return path;
}

TEST(TranscodeLoop, ADecodingErrorIsLoggedAndSkippedUnlessItMustEndTheRun) {
    test::TempFolder folder;
    const std::string input = DamagedClip(folder);
    for (const bool exitOnError : {false, true}) {
        SCOPED_TRACE(exitOnError);
        const std::string output = folder.File("out.wav");
        test::TranscodeJob run;
        ASSERT_NO_FATAL_FAILURE(run.Input(input));
        run.Job.ExitOnError = exitOnError;
        ASSERT_NO_FATAL_FAILURE(run.Output(output));
        run.RunHere();
        const auto errors = run.LinesWith("Error while decoding stream #0.0");
        if (exitOnError) {
            EXPECT_TRUE(run.Job.ExceptionRaised);
            EXPECT_FALSE(run.Job.Finished);
            EXPECT_EQ(run.Job.ExceptionMessage, "Error while decoding stream #0.0");
            EXPECT_EQ(errors.size(), 1u);
        } else {
            EXPECT_FALSE(run.Job.ExceptionRaised) << run.Job.ExceptionMessage;
            EXPECT_TRUE(run.Job.Finished);
            EXPECT_GE(errors.size(), 1u);
            // The packets after the damage were still decoded: most of the two seconds remain.
            const FileInfo info = fixtures::ReadFileInfo(output);
            ASSERT_NE(info.First(AVMEDIA_TYPE_AUDIO), nullptr);
            EXPECT_GT(info.First(AVMEDIA_TYPE_AUDIO)->durationSeconds, 1.5);
        }
    }
}

} // namespace
