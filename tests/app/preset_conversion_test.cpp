// Every shipped preset, through the run plan and the component, on a generated clip: the
// output opens and has the codec, size, audio rate and extension the preset promises.

#include "app/app_test_support.h"
#include "app/core/app_paths.h"
#include "app/core/output_name.h"
#include "app/core/presets.h"
#include "app/core/run_plan.h"
#include "app/core/settings_keys.h"
#include "fixtures/fixture_writer.h"
#include "platform/atomic_file.h"

#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <mutex>

namespace tarnwick::app {
namespace {

struct Promise {
    AVCodecID video = AV_CODEC_ID_NONE;
    int width = 0, height = 0;
    int profile = 0, level = 0; // H.264 only
    AVCodecID audio = AV_CODEC_ID_NONE;
    int sampleRate = 0;
    std::string extension;
};

// What the shipped files say a preset makes, read the way a person reads them.
Promise PromiseOf(const platform::IniStore& settings, const platform::IniStore& presets, int n) {
    const std::string s = PresetSection(n);
    Promise promise;
    promise.extension = RunSuffix(ReadPresetFileExt(presets, n));
    const std::string encoder = settings.ReadString(s, "paraVideoEncoder", "");
    if (encoder == "mpeg4") promise.video = AV_CODEC_ID_MPEG4;
    if (encoder == "libx264") {
        promise.video = AV_CODEC_ID_H264;
        promise.level = std::stoi(settings.ReadString(s, "paraLevel", "0"));
        const std::string profile = settings.ReadString(s, "paraProfile", "");
        promise.profile = profile == "main" ? 77 : profile == "baseline" ? 66 : 0;
    }
    if (promise.video != AV_CODEC_ID_NONE) {
        const std::string size = settings.ReadString(s, "paraVideoSize", "");
        promise.width = std::stoi(size.substr(0, size.find('x')));
        promise.height = std::stoi(size.substr(size.find('x') + 1));
    }
    const std::string audio = settings.ReadString(s, "paraAudioEncoder", "");
    promise.audio = audio == "libmp3lame" ? AV_CODEC_ID_MP3 : AV_CODEC_ID_AAC;
    promise.sampleRate = std::stoi(settings.ReadString(s, "paraSampleRate", "0"));
    return promise;
}

TEST(PresetConversion, EveryPresetMakesWhatItPromises) {
    test::ScopedHome home;
    std::string shipped;
    ASSERT_TRUE(platform::ReadFileContents(ShippedSettingsFilePath(), shipped));
    const std::string settingsPath = home.Folder().File("tarnwick.ini");
    ASSERT_TRUE(platform::ReplaceFileContents(settingsPath, shipped));
    const platform::IniStore settings(settingsPath);
    const platform::IniStore presets(PresetsFilePath());
    WriteOutputFolder(settings, home.Home() + "/out");

    const std::string videoClip = home.Folder().File("clip.mp4");
    fixtures::WriteClip(videoClip, fixtures::SimpleClip(25, true));
    const std::string audioClip = home.Folder().File("tone.wav");
    fixtures::ClipSpec tone;
    tone.audio = fixtures::AudioSpec{};
    tone.audio->sampleRate = 48000;
    fixtures::WriteClip(audioClip, tone);

    // What the handler touches outlives the converter, whose destructor waits for a handler
    // still running on the job's thread.
    std::mutex lock;
    std::atomic<bool> runOver{false};
    bool finished = false;
    std::string failure;
    component::TKivAVConverter converter;
    probe::TAVProbe probe;
    ASSERT_TRUE(converter.LoadLibraries((test::ExecutableFolder() / "LibAV").string(), true))
        << converter.LastError;
    converter.OnTerminate = [&](int index, bool jobFinished, bool exception,
                                const std::string& message) {
        std::lock_guard<std::mutex> guard(lock);
        if (index >= 0) {
            finished = jobFinished && !exception;
            failure = message;
        } else {
            runOver = true;
        }
    };
    test::RecordingMessageBox messages;
    const TRunSetup setup{settings, presets, messages, {}, {}};

    for (int n = 0; n < PresetCount; ++n) {
        SCOPED_TRACE(std::string(PresetNames()[n]));
        const Promise promise = PromiseOf(settings, presets, n);
        TTaskRow row;
        row.Record.SourceFile = promise.video != AV_CODEC_ID_NONE ? videoClip : audioClip;
        runOver = false;
        ASSERT_EQ(QueueRun(converter, probe, {row}, n, setup), std::vector<int32_t>{0});
        component::TOutputOptions options;
        converter.GetJobOutputOptions(0, options);
        converter.StartJobs(1);
        ASSERT_TRUE(test::WaitFor([&] { return runOver.load(); }, std::chrono::minutes(3)));
        {
            std::lock_guard<std::mutex> guard(lock);
            ASSERT_TRUE(finished) << failure;
        }
        converter.ClearJobs();

        EXPECT_EQ(std::filesystem::path(options.FileName).extension(), promise.extension);
        const fixtures::FileInfo info = fixtures::ReadFileInfo(options.FileName, false);
        const fixtures::StreamInfo* video = info.First(AVMEDIA_TYPE_VIDEO);
        if (promise.video == AV_CODEC_ID_NONE) {
            EXPECT_EQ(video, nullptr);
        } else {
            ASSERT_NE(video, nullptr);
            EXPECT_EQ(video->codecId, promise.video);
            EXPECT_EQ(video->width, promise.width);
            EXPECT_EQ(video->height, promise.height);
            if (promise.video == AV_CODEC_ID_H264) {
                // The constraint flags sit above the profile number.
                EXPECT_EQ(video->profile & 0xff, promise.profile);
                EXPECT_EQ(video->level, promise.level);
            }
        }
        const fixtures::StreamInfo* audio = info.First(AVMEDIA_TYPE_AUDIO);
        ASSERT_NE(audio, nullptr);
        EXPECT_EQ(audio->codecId, promise.audio);
        EXPECT_EQ(audio->sampleRate, promise.sampleRate);
    }
    EXPECT_TRUE(messages.shown.empty());
}

} // namespace
} // namespace tarnwick::app
