// Damaged and awkward inputs through the converter component: each case queues the hostile
// job and then a sound clip, runs them one after another on a worker thread, and checks that
// every job ends once, that a failure says which file it is about, that no failed job leaves
// an output that looks finished, and that the sound clip behind it still converts.
#include "component/av_converter.h"
#include "component/event_recorder.h"
#include "fixtures/fixture_writer.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <ostream>
#include <string>

using namespace tarnwick::component;
using tarnwick::test::EventRecorder;
namespace fixtures = tarnwick::fixtures;
namespace fs = std::filesystem;

namespace {

fixtures::ClipSpec SmallClip() { return fixtures::SimpleClip(12, true); }

struct Paths {
    std::string input;
    std::string output;
};

struct HostileCase {
    const char* name;
    // Writes the hostile input (and may choose another output path) before the job is added.
    std::function<void(const tarnwick::test::TempFolder&, Paths&)> make;
    // Runs between SetJobOutput and StartJobs.
    std::function<void(const Paths&)> beforeRun = nullptr;
    // A sound input that must convert, not merely end cleanly.
    bool mustConvert = false;
};

// Test names carry the case; the record itself says nothing printable.
void PrintTo(const HostileCase& c, std::ostream* out) { *out << c.name; }

void WriteClipAs(const std::string& path, const std::string& extension,
                 const fixtures::ClipSpec& spec) {
    const std::string written = path + extension;
    fixtures::WriteClip(written, spec);
    fs::rename(written, path);
}

HostileCase Cut(const char* name, const char* file, double fraction) {
    return {name, [file, fraction](const tarnwick::test::TempFolder& folder, Paths& paths) {
                paths.input = folder.File(file);
                fixtures::WriteClip(paths.input, SmallClip());
                fixtures::TruncateFile(paths.input, fraction);
            }};
}

const HostileCase Cases[] = {
    Cut("Cut10", "cut10.avi", 0.10),
    Cut("Cut50", "cut50.avi", 0.50),
    Cut("Cut90", "cut90.avi", 0.90),
    // This writer puts the mp4 index (the moov box) at the end: the cut takes it away.
    Cut("Mp4IndexCutOff", "no-moov.mp4", 0.90),
    {"AviWithoutIndex",
     [](const tarnwick::test::TempFolder& folder, Paths& paths) {
         paths.input = folder.File("no-idx1.avi");
         fixtures::WriteClip(paths.input, SmallClip());
         ASSERT_TRUE(fixtures::CutAviIndex(paths.input));
     }},
    {"ZeroLength",
     [](const tarnwick::test::TempFolder& folder, Paths& paths) {
         paths.input = folder.File("empty.mp4");
         std::ofstream(paths.input).close();
     }},
    {"RandomBytes",
     [](const tarnwick::test::TempFolder& folder, Paths& paths) {
         paths.input = folder.File("random.avi");
         fixtures::WriteGarbageFile(paths.input, 64 * 1024);
     }},
    {"HeaderThenGarbage",
     [](const tarnwick::test::TempFolder& folder, Paths& paths) {
         paths.input = folder.File("garbage-body.avi");
         fixtures::WriteClip(paths.input, SmallClip());
         fixtures::OverwriteTailWithGarbage(paths.input, 0.15);
     }},
    {"PictureWithVideoExtension",
     [](const tarnwick::test::TempFolder& folder, Paths& paths) {
         paths.input = folder.File("picture.avi");
         fixtures::ClipSpec still;
         still.video = fixtures::VideoSpec{};
         WriteClipAs(paths.input, ".png", still);
     }},
    {"BlanksAndNonAsciiInPaths",
     [](const tarnwick::test::TempFolder& folder, Paths& paths) {
         const fs::path inner = folder.Path() / "Ordner mit Leerzeichen ÄÖÜ 日本";
         fs::create_directory(inner);
         paths.input = (inner / "clip with blanks é ñ.mp4").string();
         paths.output = (inner / "résultat final ✓.mp4").string();
         fixtures::WriteClip(paths.input, SmallClip());
     },
     nullptr, true},
    {"VanishesBeforeTheRun",
     [](const tarnwick::test::TempFolder& folder, Paths& paths) {
         paths.input = folder.File("vanishing.mp4");
         fixtures::WriteClip(paths.input, SmallClip());
     },
     [](const Paths& paths) { fs::remove(paths.input); }},
    // Tests run as root in CI, and root writes through any permission bits: the folder is made
    // unusable by being a regular file instead.
    {"OutputFolderIsAFile",
     [](const tarnwick::test::TempFolder& folder, Paths& paths) {
         paths.input = folder.File("fine.mp4");
         fixtures::WriteClip(paths.input, SmallClip());
         std::ofstream(folder.File("not-a-folder")) << "a regular file";
         paths.output = folder.File("not-a-folder/out.mp4");
     }},
};

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
        ASSERT_TRUE(component_.LoadLibraries((tarnwick::test::ExecutableFolder() / "LibAV").string(),
                                             true))
            << component_.LastError;
    }

    tarnwick::test::TempFolder folder_;
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
    fixtures::WriteClip(goodInput, SmallClip());

    EventRecorder recorder(component_);
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
        for (const auto& terminate : recorder.Terminates()) ends += terminate.index == index;
        EXPECT_EQ(ends, 1) << "job " << index;
    }
    int runEnds = 0;
    for (const auto& terminate : recorder.Terminates()) runEnds += terminate.index == -1;
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
    EXPECT_EQ(goodInfo.First(AVMEDIA_TYPE_VIDEO)->frameCount, 12);
}

INSTANTIATE_TEST_SUITE_P(Cases, HostileInputTest, ::testing::ValuesIn(Cases),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
