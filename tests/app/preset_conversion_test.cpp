// Every shipped preset, through the run plan and the component, on a generated clip: the
// output opens and has the codec, size, audio rate and extension the preset promises. The
// H.264 presets also take the sources phones and cameras make (10-bit, 4:2:2, 4:4:4), a
// portrait phone clip comes out upright, and a television recording comes out without combing.

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
#include <optional>

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

void ExpectVideoAsPromised(const fixtures::StreamInfo* video, const Promise& promise) {
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

class PresetConversion : public ::testing::Test {
protected:
    void SetUp() override {
        std::string shipped;
        ASSERT_TRUE(platform::ReadFileContents(ShippedSettingsFilePath(), shipped));
        ASSERT_TRUE(platform::ReplaceFileContents(settingsPath, shipped));
        WriteOutputFolder(settings, home.Home() + "/out");
        ASSERT_TRUE(converter.LoadLibraries((test::ExecutableFolder() / "LibAV").string(), true))
            << converter.LastError;
        converter.OnTerminate = [this](int index, bool jobFinished, bool exception,
                                       const std::string& message) {
            std::lock_guard<std::mutex> guard(lock);
            if (index >= 0) {
                finished = jobFinished && !exception;
                failure = message;
            } else {
                runOver = true;
            }
        };
    }

    // Converts the file with the preset as the main window's run does; returns the output's
    // name, or an empty name after failing the test. With `deinterlace` the job is made again
    // from the same records with that choice instead of the run's.
    std::string Convert(const std::string& source, int preset,
                        std::optional<bool> deinterlace = std::nullopt) {
        TTaskRow row;
        row.Record.SourceFile = source;
        runOver = false;
        const TRunSetup setup{settings, presets, messages, {}, {}};
        if (QueueRun(converter, probe, {row}, preset, setup) != std::vector<int32_t>{0}) {
            ADD_FAILURE() << "the run was not queued";
            return {};
        }
        component::TOutputOptions options;
        converter.GetJobOutputOptions(0, options);
        runAskedToDeinterlace = options.AdaptiveDeinterlace;
        if (deinterlace) {
            converter.ClearJobs();
            options.AdaptiveDeinterlace = *deinterlace;
            component::TInputOptions input;
            input.FileName = source;
            if (converter.AddJob(source, &input) != 0 ||
                !converter.SetJobOutput(0, options.FileName, &options)) {
                ADD_FAILURE() << converter.LastError;
                return {};
            }
        }
        converter.StartJobs(1);
        if (!test::WaitFor([&] { return runOver.load(); }, std::chrono::minutes(3))) {
            ADD_FAILURE() << "the run did not end";
            return {};
        }
        converter.ClearJobs();
        std::lock_guard<std::mutex> guard(lock);
        if (!finished) {
            ADD_FAILURE() << failure;
            return {};
        }
        return options.FileName;
    }

    std::string Clip(const std::string& name, const fixtures::ClipSpec& spec) const {
        const std::string path = home.Folder().File(name);
        fixtures::WriteClip(path, spec);
        return path;
    }

    test::ScopedHome home;
    const std::string settingsPath = home.Folder().File("tarnwick.ini");
    const platform::IniStore settings{settingsPath};
    const platform::IniStore presets{PresetsFilePath()};
    test::RecordingMessageBox messages;
    // What the handler touches outlives the converter, whose destructor waits for a handler
    // still running on the job's thread.
    std::mutex lock;
    std::atomic<bool> runOver{false};
    bool finished = false;
    std::string failure;
    bool runAskedToDeinterlace = false;
    component::TKivAVConverter converter;
    probe::TAVProbe probe;
};

TEST_F(PresetConversion, EveryPresetMakesWhatItPromises) {
    const std::string videoClip = Clip("clip.mp4", fixtures::SimpleClip(25, true));
    fixtures::ClipSpec tone;
    tone.audio = fixtures::AudioSpec{};
    tone.audio->sampleRate = 48000;
    const std::string audioClip = Clip("tone.wav", tone);

    for (int n = 0; n < PresetCount; ++n) {
        SCOPED_TRACE(std::string(PresetNames()[n]));
        const Promise promise = PromiseOf(settings, presets, n);
        const std::string output =
            Convert(promise.video != AV_CODEC_ID_NONE ? videoClip : audioClip, n);
        ASSERT_FALSE(output.empty());

        EXPECT_EQ(std::filesystem::path(output).extension(), promise.extension);
        const fixtures::FileInfo info = fixtures::ReadFileInfo(output, false);
        const fixtures::StreamInfo* video = info.First(AVMEDIA_TYPE_VIDEO);
        if (promise.video == AV_CODEC_ID_NONE)
            EXPECT_EQ(video, nullptr);
        else
            ExpectVideoAsPromised(video, promise);
        const fixtures::StreamInfo* audio = info.First(AVMEDIA_TYPE_AUDIO);
        ASSERT_NE(audio, nullptr);
        EXPECT_EQ(audio->codecId, promise.audio);
        EXPECT_EQ(audio->sampleRate, promise.sampleRate);
    }
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(PresetConversion, H264PresetsTakeTenBitAndRicherChromaSources) {
    struct Source {
        const char* name;
        AVPixelFormat format;
    };
    const Source sources[] = {{"10-bit 4:2:0", AV_PIX_FMT_YUV420P10LE},
                              {"8-bit 4:2:2", AV_PIX_FMT_YUV422P},
                              {"8-bit 4:4:4", AV_PIX_FMT_YUV444P}};
    for (const Source& source : sources) {
        fixtures::ClipSpec spec = fixtures::SimpleClip(10, true);
        spec.video->codec = "libx264";
        spec.video->pixelFormat = source.format;
        const std::string clip = Clip("camera.mp4", spec);
        for (int n = 0; n < PresetCount; ++n) {
            const Promise promise = PromiseOf(settings, presets, n);
            if (promise.video != AV_CODEC_ID_H264) continue;
            SCOPED_TRACE(std::string(source.name) + " on " + std::string(PresetNames()[n]));
            const std::string output = Convert(clip, n);
            ASSERT_FALSE(output.empty());
            const fixtures::FileInfo info = fixtures::ReadFileInfo(output, false);
            ExpectVideoAsPromised(info.First(AVMEDIA_TYPE_VIDEO), promise);
            EXPECT_EQ(info.First(AVMEDIA_TYPE_VIDEO)->pixelFormat, AV_PIX_FMT_YUV420P);
        }
    }
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(PresetConversion, APortraitPhoneClipComesOutUprightBetweenSideBands) {
    const std::string output = Convert(Clip("portrait.mp4", fixtures::PortraitPhoneClip()), 0);
    ASSERT_FALSE(output.empty());
    // The run fitted the picture as it is shown.
    EXPECT_EQ(probe.LastPicture().Width(), 720);
    EXPECT_EQ(probe.LastPicture().Height(), 1280);

    const std::vector<fixtures::Picture> pictures = fixtures::ReadPictures(output);
    ASSERT_FALSE(pictures.empty());
    for (const fixtures::Picture& picture : pictures) {
        ASSERT_EQ(picture.width, 320);
        ASSERT_EQ(picture.height, 240);
        // A 136 x 240 picture in the middle, black bands of 92 columns at either side.
        for (int y = 0; y < 240; y += 8)
            for (int x : {0, 40, 88, 232, 280, 319})
                ASSERT_LT(picture.At(0, x, y), 32) << "at " << x << "," << y;
        EXPECT_NEAR(picture.At(0, 120, 120), 128, 24);
        // White was stored top left, red top right: shown top right and bottom right.
        const fixtures::OrientationMarks marks = fixtures::FindOrientationMarks(picture);
        EXPECT_GT(marks.whiteX, 160);
        EXPECT_LT(marks.whiteY, 120);
        EXPECT_GT(marks.redX, 160);
        EXPECT_GT(marks.redY, 120);
    }
}

// A 1080i television recording: each picture holds two fields of a moving edge, a field time
// apart.
fixtures::ClipSpec TelevisionRecording(bool interlaced) {
    fixtures::ClipSpec spec = fixtures::SimpleClip(10, true);
    spec.video->codec = "mpeg2video";
    spec.video->width = 1920;
    spec.video->height = 1080;
    spec.video->interlaced = interlaced;
    spec.video->movingEdge = true;
    spec.video->bitRate = 20000000;
    return spec;
}

// Rows in the middle of the 640 x 360 picture between the letter-box bands.
constexpr int MiddleRows[] = {200, 201, 240, 241, 280};

TEST_F(PresetConversion, AnInterlacedRecordingComesOutWithOneEdgeNotTwo) {
    const std::string clip = Clip("recording.ts", TelevisionRecording(true));
    const std::vector<fixtures::Picture> combed = fixtures::ReadPictures(Convert(clip, 5, false));
    const std::string output = Convert(clip, 5);
    ASSERT_FALSE(output.empty());
    EXPECT_TRUE(runAskedToDeinterlace);
    const std::vector<fixtures::Picture> pictures = fixtures::ReadPictures(output);

    // Without deinterlacing, the two edges a field apart blend into a grey band as wide as the
    // edge moves in a field time (48 of 1920 columns, 16 of 640).
    ASSERT_FALSE(combed.empty());
    for (int y : MiddleRows)
        EXPECT_GE(fixtures::EdgeBandWidth(combed[5], y), 10) << y;
    // Deinterlaced, every picture shows one sharp edge, and none is lost or added.
    ASSERT_EQ(pictures.size(), combed.size());
    for (size_t i = 0; i < pictures.size(); ++i) {
        for (int y : MiddleRows) {
            const int band = fixtures::EdgeBandWidth(pictures[i], y);
            EXPECT_TRUE(band >= 0 && band <= 4) << band << " in picture " << i << " row " << y;
        }
    }
}

TEST_F(PresetConversion, AProgressiveSourceConvertsAsWithoutDeinterlacing) {
    const std::string clip = Clip("progressive.ts", TelevisionRecording(false));
    const std::vector<fixtures::Picture> plain = fixtures::ReadPictures(Convert(clip, 5, false));
    const std::string output = Convert(clip, 5);
    ASSERT_FALSE(output.empty());
    EXPECT_FALSE(runAskedToDeinterlace);
    const std::vector<fixtures::Picture> pictures = fixtures::ReadPictures(output);
    ASSERT_EQ(pictures.size(), plain.size());
    for (size_t i = 0; i < pictures.size(); ++i)
        for (int plane = 0; plane < 3; ++plane)
            ASSERT_EQ(pictures[i].planes[plane], plain[i].planes[plane]) << "picture " << i;
}

} // namespace
} // namespace tarnwick::app
