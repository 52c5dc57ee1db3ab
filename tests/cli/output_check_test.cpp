#include "cli/output_check.h"

#include "fixtures/fixture_writer.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

using namespace tarnwick;

TEST(OutputCheckTest, FlagsOutputsThatBreakTheirPromise) {
    test::LoadLibrariesOrFail();
    test::TempFolder folder;
    const std::string clip = folder.File("clip.mp4");
    fixtures::WriteClip(clip, fixtures::SimpleClip(50, true)); // two seconds
    auto videoOnly = fixtures::SimpleClip(50, false);
    const std::string silent = folder.File("silent.mp4");
    fixtures::WriteClip(silent, videoOnly);

    const cli::OutputExpectation expected = cli::ExpectationFor(clip, true, 0, 0);
    EXPECT_TRUE(expected.video);
    EXPECT_TRUE(expected.audio);
    EXPECT_NEAR(expected.durationMs, 2000, 100);
    EXPECT_EQ(cli::CheckOutput(clip, expected), "");

    struct Case {
        std::string file;
        cli::OutputExpectation expectation;
        std::string because;
    };
    const Case cases[] = {
        {clip, {true, true, 5000}, "expected"},
        {silent, {true, true, 2000}, "no sound stream"},
        {folder.File("none.mp4"), {true, true, 2000}, "no output file"},
    };
    for (const auto& c : cases) {
        const std::string failure = cli::CheckOutput(c.file, c.expectation);
        EXPECT_NE(failure.find(c.because), std::string::npos) << c.file << ": " << failure;
    }
    // A trim shortens what is expected: 0.5 s from 1.5 s on.
    EXPECT_NEAR(cli::ExpectationFor(clip, true, 1500, 0).durationMs, 500, 100);
    EXPECT_EQ(cli::ExpectationFor(clip, true, 0, 700).durationMs, 700);
    EXPECT_FALSE(cli::ExpectationFor(clip, false, 0, 0).video);
}
