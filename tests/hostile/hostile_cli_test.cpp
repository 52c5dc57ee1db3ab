// The damaged and awkward inputs through the command line: each case converts the hostile
// file and a sound clip in one run of the real binary, and checks that the program exits on
// its own with a status that matches what it reported, that a failure names the file, that
// a failed file leaves no output, and that the sound clip still converts.
#include "cli/process_runner.h"
#include "fixtures/fixture_writer.h"
#include "hostile/hostile_cases.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <filesystem>

using tarnwick::test::HostileCase;
using tarnwick::test::Paths;
using tarnwick::test::ProcessResult;
namespace fixtures = tarnwick::fixtures;
namespace fs = std::filesystem;

namespace {

// The cases that need a step between adding and converting (a file that vanishes) cannot be
// played from outside the program, which opens each file as it adds it.
std::vector<HostileCase> CasesWithoutAStepInsideTheRun() {
    std::vector<HostileCase> cases;
    for (const HostileCase& c : tarnwick::test::HostileCases())
        if (!c.beforeRun) cases.push_back(c);
    return cases;
}

class HostileCliTest : public ::testing::TestWithParam<HostileCase> {
protected:
    ProcessResult Convert(const std::vector<std::string>& files, const std::string& outputFolder) {
        std::vector<std::string> args = files;
        args.insert(args.end(), {"-p", "0", "-o", outputFolder});
        return tarnwick::test::RunProcess(
            (tarnwick::test::ExecutableFolder() / "tarnwick-cli").string(), args,
            {{"HOME", folder_.File("home")}, {"XDG_CONFIG_HOME", folder_.File("config")}},
            std::chrono::seconds(120));
    }
    // Where preset 0 puts the conversion of the source.
    static std::string OutputOf(const std::string& folder, const std::string& source) {
        return (fs::path(folder) / (fs::path(source).stem().string() + "_(new).mp4")).string();
    }

    tarnwick::test::TempFolder folder_;
};

TEST_P(HostileCliTest, ExitsWithTheTruthNamesTheFileAndTheSoundClipConverts) {
    const HostileCase& c = GetParam();
    Paths hostile;
    c.make(folder_, hostile);
    if (HasFatalFailure()) return;
    const std::string outputFolder = hostile.output.empty()
                                         ? folder_.File("out")
                                         : fs::path(hostile.output).parent_path().string();
    const std::string good = folder_.File("good.mp4");
    tarnwick::test::WriteSoundClip(good);

    const ProcessResult result = Convert({hostile.input, good}, outputFolder);
    ASSERT_TRUE(result.exitCode == 0 || result.exitCode == 1)
        << "exit " << result.exitCode << " (-1: killed after hanging or died of a signal)\n"
        << result.err;

    // A folder that cannot be made is warned about, and the default folder takes its place.
    std::string usedFolder = outputFolder;
    if (!fs::is_directory(outputFolder)) {
        EXPECT_NE(result.err.find("Cannot create output directory:" + outputFolder),
                  std::string::npos)
            << result.err;
        usedFolder = folder_.File("home") + "/tarnwick";
    }

    // A failed file is reported on stderr by its path, a converted one on stdout by its output.
    const bool hostileFailed = result.err.find(hostile.input + ":") != std::string::npos;
    EXPECT_EQ(result.exitCode, hostileFailed ? 1 : 0) << result.err;
    EXPECT_FALSE(c.mustConvert && hostileFailed) << result.err;
    const std::string hostileOutput = OutputOf(usedFolder, hostile.input);
    if (hostileFailed) {
        EXPECT_FALSE(fs::exists(hostileOutput)) << "a failed file left " << hostileOutput;
    } else {
        EXPECT_NE(result.out.find("done: " + hostileOutput), std::string::npos) << result.out;
        EXPECT_FALSE(fixtures::ReadFileInfo(hostileOutput, false).streams.empty());
    }

    // The sound clip converted, and the program's own check of its output passed.
    const std::string goodOutput = OutputOf(usedFolder, good);
    EXPECT_NE(result.out.find("done: " + goodOutput), std::string::npos) << result.err;
    const auto info = fixtures::ReadFileInfo(goodOutput, false);
    EXPECT_NE(info.First(AVMEDIA_TYPE_VIDEO), nullptr);
    EXPECT_NE(info.First(AVMEDIA_TYPE_AUDIO), nullptr);
}

INSTANTIATE_TEST_SUITE_P(Cases, HostileCliTest,
                         ::testing::ValuesIn(CasesWithoutAStepInsideTheRun()),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
