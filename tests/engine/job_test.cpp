#include "engine/custom_ffmpeg.h"

#include "binding/log_levels.h"
#include "binding/media_libraries.h"
#include "platform/ffmpeg_exception.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

using namespace tarnwick::engine;
using tarnwick::binding::AV;
using tarnwick::platform::FFMpegException;
namespace fs = std::filesystem;

namespace {

struct Recorder {
    std::vector<std::pair<int, std::string>> logs;
    int terminated = 0;
    void Attach(TCustomFFmpeg& job) {
        job.LogHandler = [this](TCustomFFmpeg&, int level, const std::string& text) {
            logs.emplace_back(level, text);
        };
        job.TerminateHandler = [this](TCustomFFmpeg&) { ++terminated; };
    }
};

// An output file entry that made a real, still empty, file on disk, noted as the job's own
// output opening notes it.
void AddEmptyOutput(TCustomFFmpeg& job, const std::string& path) {
    AVFormatContext* output = nullptr;
    EXPECT_GE(AV.avformat_alloc_output_context2(&output, nullptr, "mp4", path.c_str()), 0);
    const bool existedBefore = PathNamesSomething(path);
    EXPECT_GE(AV.avio_open2(&output->pb, path.c_str(), AVIO_FLAG_WRITE, nullptr, nullptr), 0);
    job.OutputFileOrigins[job.AddOutputFile(output)] = OpenedOutputOrigin(path, existedBefore);
}

class JobTest : public ::testing::Test {
protected:
    void SetUp() override { tarnwick::test::LoadLibrariesOrFail(); }
};

} // namespace

TEST_F(JobTest, RunEntryChecksOutputsFirstThenInputs) {
    struct Case {
        bool withOutput;
        const char* message;
    };
    for (const Case& c : {Case{false, "Must supply at least one output file"},
                          Case{true, "Must supply at least one input file"}}) {
        tarnwick::test::TempFolder folder;
        TCustomFFmpeg job;
        job.Prepare();
        Recorder recorder;
        recorder.Attach(job);
        if (c.withOutput) AddEmptyOutput(job, folder.File("out.mp4"));
        EXPECT_EQ(job.Run(true, tarnwick::platform::tpNormal), nullptr);
        ASSERT_EQ(recorder.logs.size(), 1u);
        EXPECT_EQ(recorder.logs[0], std::make_pair(-1, std::string(c.message)));
        EXPECT_EQ(recorder.terminated, 1);
        EXPECT_TRUE(job.ExceptionRaised);
        EXPECT_EQ(job.ExceptionMessage, c.message);
        EXPECT_TRUE(job.Terminated);
        EXPECT_FALSE(job.Running);
        EXPECT_EQ(job.OutputFileCount, 0);
        // The release deleted the output that stayed empty.
        EXPECT_FALSE(fs::exists(folder.File("out.mp4")));

        // A terminated job does not run again and raises nothing more.
        EXPECT_EQ(job.Run(false, tarnwick::platform::tpNormal), nullptr);
        EXPECT_EQ(recorder.terminated, 1);
        EXPECT_EQ(recorder.logs.size(), 1u);
    }
}

TEST_F(JobTest, ReleaseKeepsAnOutputThatHasContent) {
    tarnwick::test::TempFolder folder;
    TCustomFFmpeg job;
    job.Prepare();
    AddEmptyOutput(job, folder.File("kept.mp4"));
    const uint8_t bytes[4] = {1, 2, 3, 4};
    std::ofstream(folder.File("kept.mp4"), std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes), 4);
    job.FreeJobResources();
    EXPECT_TRUE(fs::exists(folder.File("kept.mp4")));
}

TEST_F(JobTest, PrepareMakesTheOptionContexts) {
    TCustomFFmpeg job;
    job.Prepare();
    for (int type = 0; type < MediaTypeCount; ++type) {
        ASSERT_NE(job.CodecOptions[type], nullptr);
        EXPECT_EQ(job.CodecOptions[type]->codec_type, type);
    }
    EXPECT_NE(job.FormatOptions, nullptr);
    EXPECT_NE(job.ScalerOptions, nullptr);
    job.FreeJobResources();
    EXPECT_EQ(job.CodecOptions[0], nullptr);
    EXPECT_EQ(job.FormatOptions, nullptr);
}

TEST_F(JobTest, PrepareBeforeTheLibrariesAreLoadedLeavesTheDefaults) {
    tarnwick::binding::UnloadMediaLibraries();
    {
        TCustomFFmpeg job;
        job.FrameWidth = 640;
        job.Prepare();
        EXPECT_EQ(job.FrameWidth, 640);
        EXPECT_EQ(job.CodecOptions[0], nullptr);
        EXPECT_EQ(job.FormatOptions, nullptr);
    }
    tarnwick::test::LoadLibrariesOrFail();
}

TEST_F(JobTest, DefaultsAfterCreateAndReset) {
    TCustomFFmpeg job;
    job.AudioSampleRate = 8000;
    job.MaxFrames[0] = 3;
    job.Title = "x";
    job.HookRanges.push_back({1, 2});
    job.ExceptionRaised = true;
    job.Reset();
    EXPECT_EQ(job.AudioSampleRate, 44100);
    EXPECT_EQ(job.AudioChannels, 2);
    EXPECT_EQ(job.MaxFrames[0], 2147483647);
    EXPECT_EQ(job.Title, "");
    EXPECT_TRUE(job.HookRanges.empty());
    EXPECT_FALSE(job.ExceptionRaised);
    EXPECT_EQ(job.RecordingTime, INT64_MAX);
    EXPECT_EQ(job.PadColor, (std::array<int32_t, 3>{16, 128, 128}));
    EXPECT_EQ(job.AudioVolume, 256);
    EXPECT_EQ(job.Verbose, 1);
    EXPECT_EQ(job.ThreadCount, 0);
    EXPECT_EQ(job.TotalOutputDurationMs, -1);
    EXPECT_EQ(job.ProgressIntervalUs, 500000);
    EXPECT_EQ(job.HookRgbPixFmt, AV_PIX_FMT_BGR24);
}

TEST_F(JobTest, TablesRefuseAnAdditionPastTheirCapacity) {
    TCustomFFmpeg job;
    for (int i = 0; i < MaxStreamMaps; ++i) job.AddStreamMap({});
    EXPECT_THROW(job.AddStreamMap({}), FFMpegException);
    EXPECT_EQ(job.StreamMapCount, MaxStreamMaps);
    for (int i = 0; i < MaxMetaDataMaps; ++i) job.AddMetaDataMap({});
    try {
        job.AddMetaDataMap({});
        ADD_FAILURE();
    } catch (const FFMpegException& e) {
        EXPECT_NE(std::string(e.what()).find("metadata map table"), std::string::npos);
    }
    for (int i = 0; i < MaxFiles; ++i) job.AddInputFile(nullptr);
    EXPECT_THROW(job.AddInputFile(nullptr), FFMpegException);
    for (int i = 0; i < MaxFiles; ++i) job.AddOutputFile(nullptr);
    EXPECT_THROW(job.AddOutputFile(nullptr), FFMpegException);
    job.InputFileCount = 0;
    job.OutputFileCount = 0;
}

TEST_F(JobTest, SetVerboseSetsTheLibraryLevel) {
    TCustomFFmpeg job;
    job.SetVerbose(0);
    EXPECT_EQ(AV.av_log_get_level(), AV_LOG_ERROR);
    EXPECT_EQ(tarnwick::binding::DefaultLogLevel(), AV_LOG_ERROR);
    job.SetVerbose(1);
    EXPECT_EQ(job.Verbose, 1);
    EXPECT_EQ(AV.av_log_get_level(), AV_LOG_INFO);
}
