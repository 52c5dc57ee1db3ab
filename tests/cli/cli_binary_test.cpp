// The command line as a user runs it: the real binary, real clips, real outputs.
#include "cli/process_runner.h"
#include "fixtures/fixture_writer.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <sstream>

using namespace tarnwick;
using test::ProcessResult;
namespace fs = std::filesystem;

namespace {

std::string Cli() { return (test::ExecutableFolder() / "tarnwick-cli").string(); }

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream stream(text);
    for (std::string line; std::getline(stream, line);)
        if (!line.empty()) lines.push_back(line);
    return lines;
}

int Count(const std::string& text, const std::string& part) {
    int count = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++count;
    return count;
}

class CliTest : public ::testing::Test {
protected:
    // Every run gets a home and a configuration folder of its own, so the user's settings are
    // never touched and every run starts from the shipped defaults.
    std::map<std::string, std::string> Environment() const {
        return {{"HOME", folder.File("home")}, {"XDG_CONFIG_HOME", folder.File("config")}};
    }
    std::string Clip(const std::string& name, int frames = 50) const {
        const std::string path = folder.File(name);
        fixtures::WriteClip(path, fixtures::SimpleClip(frames, true));
        return path;
    }
    ProcessResult Run(const std::vector<std::string>& args) const {
        return test::RunProcess(Cli(), args, Environment());
    }
    std::string Out() const { return folder.File("out"); }

    test::TempFolder folder;
};

} // namespace

TEST_F(CliTest, ConvertsAClipWithPresetZeroIntoTheOutputFolder) {
    const std::string clip = Clip("clip.avi");
    const ProcessResult result = Run({clip, "-p", "0", "-o", Out()});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    const std::string output = Out() + "/clip_(new).mp4";
    ASSERT_TRUE(fs::exists(output)) << result.out;
    const auto info = fixtures::ReadFileInfo(output);
    ASSERT_NE(info.First(AVMEDIA_TYPE_VIDEO), nullptr);
    EXPECT_EQ(info.First(AVMEDIA_TYPE_VIDEO)->codecId, AV_CODEC_ID_MPEG4);
    ASSERT_NE(info.First(AVMEDIA_TYPE_AUDIO), nullptr);
    EXPECT_NEAR(info.durationSeconds, 2.0, 0.25);
    // The user's settings file was seeded and left as it was: --output is for this run only.
    EXPECT_TRUE(fs::exists(folder.File("config") + "/tarnwick/tarnwick.ini"));
}

TEST_F(CliTest, AMissingFileFailsAloneAndTheOthersConvert) {
    const std::string clip = Clip("good.avi");
    const std::string missing = folder.File("nowhere.avi");
    const ProcessResult result = Run({missing, clip, "-p", "0", "-o", Out()});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_NE(result.err.find("nowhere.avi"), std::string::npos) << result.err;
    EXPECT_TRUE(fs::exists(Out() + "/good_(new).mp4"));
}

TEST_F(CliTest, AnOutputThatFailsTheCheckIsReportedAndRemoved) {
    // A start past the end of the clip converts nothing: the file would hold neither picture
    // nor sound.
    const std::string clip = Clip("short.avi", 10);
    const ProcessResult result = Run({clip, "-p", "0", "-o", Out(), "--start", "00:01:00"});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_NE(result.err.find(
                  "short.avi: the output holds neither video nor sound; the output was removed"),
              std::string::npos)
        << result.err;
    EXPECT_FALSE(fs::exists(Out() + "/short_(new).mp4"));
}

TEST_F(CliTest, AnOutputTheSettingsCannotSetUpFailsWithTheReason) {
    ASSERT_EQ(Run({"--list-presets"}).exitCode, 0); // seeds the user's settings file
    const std::string settingsFile = folder.File("config") + "/tarnwick/tarnwick.ini";
    std::string text;
    {
        std::ifstream in(settingsFile);
        text.assign(std::istreambuf_iterator<char>(in), {});
    }
    const size_t at = text.find("paraVideoSize=320x240");
    ASSERT_NE(at, std::string::npos);
    text.replace(at, std::string("paraVideoSize=320x240").size(), "paraVideoSize=wide");
    std::ofstream(settingsFile) << text;

    const ProcessResult result = Run({Clip("clip.avi", 10), "-p", "0", "-o", Out()});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_NE(result.err.find("clip.avi: the output could not be set up: Incorrect frame size"),
              std::string::npos)
        << result.err;
    EXPECT_FALSE(fs::exists(Out() + "/clip_(new).mp4"));
}

TEST_F(CliTest, ASoundFileWithAVideoPresetGivesSoundAlone) {
    const std::string sound = folder.File("tone.wav");
    fixtures::ClipSpec spec;
    spec.audio = fixtures::AudioSpec{};
    fixtures::WriteClip(sound, spec);
    const ProcessResult result = Run({sound, "-p", "0", "-o", Out()});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    const auto info = fixtures::ReadFileInfo(Out() + "/tone_(new).mp4");
    EXPECT_EQ(info.First(AVMEDIA_TYPE_VIDEO), nullptr);
    ASSERT_NE(info.First(AVMEDIA_TYPE_AUDIO), nullptr);
    EXPECT_NEAR(info.durationSeconds, 1.0, 0.1);
}

TEST_F(CliTest, ARawSoundOutputIsJudgedByItsRealLength) {
    // A raw AAC stream has no length of its own; estimated from the bit rate of its first,
    // silent frames it would seem more than three times as long as it is.
    const std::string clip = folder.File("quiet.mp4");
    fixtures::ClipSpec spec = fixtures::SimpleClip(150, true); // six seconds
    spec.audio->silentStartSeconds = 3;
    fixtures::WriteClip(clip, spec);
    const ProcessResult result = Run({clip, "-p", "20", "-o", Out()});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    const auto info = fixtures::ReadFileInfo(Out() + "/quiet_(new).aac");
    ASSERT_NE(info.First(AVMEDIA_TYPE_AUDIO), nullptr);
    EXPECT_NEAR(static_cast<double>(info.First(AVMEDIA_TYPE_AUDIO)->sampleCount) / 44100, 6.0, 0.1);
}

TEST_F(CliTest, UsageErrorsExitWithTwo) {
    const std::string clip = Clip("clip.avi", 5);
    for (const std::vector<std::string>& args : {std::vector<std::string>{clip, "-p", "99"},
                                                 {clip, "-p", "no such preset"},
                                                 {clip, "--start", "1:2"},
                                                 {clip, "--crop", "1,2,3,4"},
                                                 {}}) {
        const ProcessResult result = Run(args);
        EXPECT_EQ(result.exitCode, 2) << (args.empty() ? "(none)" : args.back()) << result.err;
        EXPECT_FALSE(result.err.empty());
    }
}

TEST_F(CliTest, ListsThePresets) {
    const ProcessResult result = Run({"--list-presets"});
    ASSERT_EQ(result.exitCode, 0);
    const auto lines = Lines(result.out);
    ASSERT_EQ(lines.size(), 21u);
    EXPECT_NE(lines[0].find("iPod Video MPEG-4 (*.mp4)"), std::string::npos);
    EXPECT_NE(lines[20].find("AAC Advenced Audio Codec (*.aac)"), std::string::npos);
}

TEST_F(CliTest, ThreeFilesTwoAtATimeWithJsonEvents) {
    const std::vector<std::string> clips{Clip("a.avi"), Clip("b.avi"), Clip("c.avi")};
    const ProcessResult result =
        Run({clips[0], clips[1], clips[2], "-p", "2", "-o", Out(), "--jobs", "2", "--json"});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    for (const char* name : {"a", "b", "c"})
        EXPECT_TRUE(fs::exists(Out() + "/" + name + "_(new).mp4")) << name;
    const auto lines = Lines(result.out);
    ASSERT_FALSE(lines.empty());
    for (const std::string& line : lines) {
        EXPECT_EQ(line.front(), '{') << line;
        EXPECT_EQ(line.back(), '}') << line;
        EXPECT_EQ(Count(line, "\"event\":"), 1) << line;
    }
    EXPECT_EQ(Count(result.out, "\"event\":\"start\""), 3);
    EXPECT_EQ(Count(result.out, "\"event\":\"end\""), 3);
    EXPECT_EQ(Count(result.out, "\"outcome\":\"converted\""), 3);
    EXPECT_NE(lines.back().find("\"event\":\"end\""), std::string::npos);
}

TEST_F(CliTest, InterruptStopsTheRunAndLeavesAPlayablePartialOutput) {
    // Long enough that the interrupt lands in the middle of the conversion.
    auto spec = fixtures::SimpleClip(1500, true);
    spec.audio->durationSeconds = 60;
    const std::string clip = folder.File("long.avi");
    fixtures::WriteClip(clip, spec);
    test::ChildProcess child(Cli(), {clip, "-p", "2", "-o", Out(), "--json"}, Environment());
    ASSERT_TRUE(test::WaitFor(
        [&] { return child.OutputSoFar().find("\"event\":\"progress\"") != std::string::npos; },
        std::chrono::seconds(120)));
    child.Signal(SIGINT);
    const ProcessResult result = child.Wait();
    EXPECT_EQ(result.exitCode, 130) << result.err;
    const std::string output = Out() + "/long_(new).mp4";
    ASSERT_TRUE(fs::exists(output));
    const auto info = fixtures::ReadFileInfo(output);
    ASSERT_NE(info.First(AVMEDIA_TYPE_VIDEO), nullptr);
    EXPECT_GT(info.First(AVMEDIA_TYPE_VIDEO)->frameCount, 0);
    EXPECT_LT(info.durationSeconds, 59.0);
}

TEST_F(CliTest, DescribesFilesAndTakesSnapshots) {
    const std::string clip = Clip("clip.avi");
    const ProcessResult info = Run({"--info", clip});
    ASSERT_EQ(info.exitCode, 0) << info.err;
    EXPECT_NE(info.out.find("Duration:"), std::string::npos) << info.out;

    const ProcessResult snap = Run({"--snapshot", "1", clip, "-o", Out()});
    ASSERT_EQ(snap.exitCode, 0) << snap.err;
    for (const char* name :
         {"Snapshot_full.bmp", "Snapshot_small.bmp", "Snapshot_full.jpg", "Snapshot_small.jpg"})
        EXPECT_TRUE(fs::exists(Out() + "/" + name)) << name;
}
