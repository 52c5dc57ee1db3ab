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
    EXPECT_EQ(cli::CheckOutput(clip, expected).failure, "");

    struct Case {
        std::string file;
        cli::OutputExpectation expectation;
        std::string because;
        bool onlyTheLength;
    };
    const Case cases[] = {
        {clip, {true, true, 5000}, "the output lasts 2.0 s, 5.0 s expected", true},
        {silent, {true, true, 2000}, "no sound stream", false},
        {folder.File("none.mp4"), {true, true, 2000}, "no output file", false},
    };
    for (const auto& c : cases) {
        const cli::OutputCheck check = cli::CheckOutput(c.file, c.expectation);
        EXPECT_NE(check.failure.find(c.because), std::string::npos)
            << c.file << ": " << check.failure;
        EXPECT_EQ(check.onlyTheLength, c.onlyTheLength) << c.file;
    }

    // A recording that starts an hour in, in a container that counts its length from zero:
    // the conversion starts at zero and lasts the two seconds of the content.
    auto late = fixtures::SimpleClip(50, true);
    late.startSeconds = 3600;
    const std::string offset = folder.File("offset.mkv");
    fixtures::WriteClip(offset, late);
    const cli::OutputExpectation fromOffset = cli::ExpectationFor(offset, true, 0, 0);
    EXPECT_NEAR(fromOffset.durationWithoutOffsetMs, 2000, 100);
    EXPECT_EQ(cli::CheckOutput(clip, fromOffset).failure, "");
    // A trim shortens what is expected: 0.5 s from 1.5 s on.
    EXPECT_NEAR(cli::ExpectationFor(clip, true, 1500, 0).durationMs, 500, 100);
    EXPECT_EQ(cli::ExpectationFor(clip, true, 0, 700).durationMs, 700);
    EXPECT_FALSE(cli::ExpectationFor(clip, false, 0, 0).video);
}
