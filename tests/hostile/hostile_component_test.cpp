// Damaged and awkward inputs through the converter component: each case queues the hostile
// job and then a sound clip, runs them one after another on a worker thread, and checks that
// every job ends once, that a failure says which file it is about, that no failed job leaves
// an output that looks finished, and that the sound clip behind it still converts.
#include "component/av_converter.h"
#include "component/event_recorder.h"
#include "fixtures/fixture_writer.h"
#include "hostile/hostile_cases.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <string>

using namespace tarnwick::component;
using tarnwick::test::EventRecorder;
using tarnwick::test::HostileCase;
using tarnwick::test::Paths;
namespace fixtures = tarnwick::fixtures;
namespace fs = std::filesystem;

namespace {

std::string FileNameOf(const std::string& path) { return fs::path(path).filename().string(); }

// The job's failure texts: its end message and its error lines.
std::string FailureTextOf(const EventRecorder& recorder, int32_t index) {
    std::string text;
    for (const auto& terminate : recorder.Terminates())
        if (terminate.index == index) text += terminate.message + "\n";
    for (const auto& log : recorder.Logs())
        if (log.index == index && log.level <= llError) text += log.message + "\n";
    return text;
}

class HostileInputTest : public ::testing::TestWithParam<HostileCase> {
protected:
    void SetUp() override {
        tarnwick::test::LoadLibrariesOrFail();
        ASSERT_TRUE(
            component_.LoadLibraries((tarnwick::test::ExecutableFolder() / "LibAV").string(), true))
            << component_.LastError;
    }

    tarnwick::test::TempFolder folder_;
    // Declared before the component: its worker thread may still be inside a handler when
    // the test body returns, and the component's destructor waits for it.
    EventRecorder recorder_;
    TKivAVConverter component_;
};

TEST_P(HostileInputTest, EndsOnceNamesTheFileAndTheNextJobConverts) {
    const HostileCase& c = GetParam();
    Paths hostile;
    c.make(folder_, hostile);
    if (HasFatalFailure()) return;
    if (hostile.output.empty()) hostile.output = folder_.File("hostile-out.mp4");
    const std::string goodInput = folder_.File("good.mp4");
    const std::string goodOutput = folder_.File("good-out.mp4");
    tarnwick::test::WriteSoundClip(goodInput);

    EventRecorder& recorder = recorder_;
    recorder.Attach(component_);
    // The first text a user sees about the hostile job: a refusal to add it or to set its
    // output, else the end of its run.
    std::string refusal;
    const int hostileIndex = component_.AddJob(hostile.input, nullptr);
    if (hostileIndex < 0) {
        refusal = component_.LastError;
        EXPECT_NE(refusal.find(FileNameOf(hostile.input)), std::string::npos) << refusal;
    } else if (!component_.SetJobOutput(hostileIndex, hostile.output, nullptr)) {
        refusal = component_.LastError;
        EXPECT_NE(refusal.find(FileNameOf(hostile.output)), std::string::npos) << refusal;
    }
    EXPECT_FALSE(c.mustConvert && !refusal.empty()) << refusal;
    if (c.beforeRun) c.beforeRun(hostile);

    const int goodIndex = component_.AddJob(goodInput, nullptr);
    ASSERT_GE(goodIndex, 0) << component_.LastError;
    ASSERT_TRUE(component_.SetJobOutput(goodIndex, goodOutput, nullptr)) << component_.LastError;

    component_.StartJobs(1);
    ASSERT_TRUE(recorder.WaitForRunEnd(std::chrono::seconds(120))) << "the run hangs";

    // Every job in the list ends exactly once, and the run once after them.
    for (int index = 0; index < component_.JobCount(); ++index) {
        int ends = 0;
        for (const auto& terminate : recorder.Terminates())
            ends += terminate.index == index;
        EXPECT_EQ(ends, 1) << "job " << index;
    }
    int runEnds = 0;
    for (const auto& terminate : recorder.Terminates())
        runEnds += terminate.index == -1;
    EXPECT_EQ(runEnds, 1);

    const auto endOf = [&](int32_t index) {
        for (const auto& terminate : recorder.Terminates())
            if (terminate.index == index) return terminate;
        return tarnwick::test::TerminateEvent{};
    };

    if (hostileIndex >= 0) {
        const auto end = endOf(hostileIndex);
        const bool failed = !end.finished || end.exception;
        if (failed) {
            EXPECT_FALSE(end.message.empty());
            // An output that was never set, or a run that broke off, leaves nothing behind.
            EXPECT_FALSE(fs::exists(hostile.output)) << hostile.output;
            if (refusal.empty()) {
                const std::string text = FailureTextOf(recorder, hostileIndex);
                EXPECT_TRUE(text.find(FileNameOf(hostile.input)) != std::string::npos ||
                            text.find(FileNameOf(hostile.output)) != std::string::npos)
                    << text;
            }
        } else {
            // What a finished job leaves must hold a stream.
            const auto info = fixtures::ReadFileInfo(hostile.output, false);
            EXPECT_FALSE(info.streams.empty());
        }
        if (c.mustConvert) {
            EXPECT_TRUE(end.finished && !end.exception) << end.message;
        }
    }
    const auto goodEnd = endOf(goodIndex);
    EXPECT_TRUE(goodEnd.finished && !goodEnd.exception) << goodEnd.message;
    const auto goodInfo = fixtures::ReadFileInfo(goodOutput, true);
    ASSERT_NE(goodInfo.First(AVMEDIA_TYPE_VIDEO), nullptr);
    EXPECT_EQ(goodInfo.First(AVMEDIA_TYPE_VIDEO)->frameCount, tarnwick::test::SoundClipFrames);
}

INSTANTIATE_TEST_SUITE_P(Cases, HostileInputTest,
                         ::testing::ValuesIn(tarnwick::test::HostileCases()),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
