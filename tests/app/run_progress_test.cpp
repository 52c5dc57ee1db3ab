#include "app/core/run_progress.h"

#include <gtest/gtest.h>

namespace tarnwick::app {
namespace {

TEST(RunProgress, TextsOfAProgressEvent) {
    const TProgressTexts texts = ProgressTexts(1, 3, 1500, 3001, 123456, "/out/clip_(new).mp4");
    EXPECT_EQ(texts.Percent, 49);
    EXPECT_EQ(texts.Cell, "49%");
    EXPECT_EQ(texts.Time, "1 Second");
    EXPECT_EQ(texts.Length, "3 Second");
    EXPECT_EQ(texts.Size, "123 kb");
    EXPECT_EQ(texts.Counter, "[2/3]");
    EXPECT_EQ(texts.Output, "/out/clip_(new).mp4");
}

TEST(RunProgress, PercentStaysInRange) {
    EXPECT_EQ(ProgressPercent(0, 1000), 0);
    EXPECT_EQ(ProgressPercent(1000, 1000), 100);
    EXPECT_EQ(ProgressPercent(1100, 1000), 100);            // audio running past the video's end
    EXPECT_EQ(ProgressPercent(500, 0), 0);                  // length not known yet
    EXPECT_EQ(ProgressPercent(500, -1), 0);                 // length not available
    EXPECT_EQ(ProgressPercent(2000000000, 2100000000), 95); // no 32-bit overflow
}

TEST(RunProgress, OutputNameShortening) {
    const std::string fifty = "/home/user/tarnwick/" + std::string(26, 'a') + ".mp4";
    ASSERT_EQ(fifty.size(), 50u);
    EXPECT_EQ(ShortenOutputName(fifty), fifty);
    const std::string fiftyOne = "/home/user/tarnwick/" + std::string(27, 'a') + ".mp4";
    EXPECT_EQ(ShortenOutputName(fiftyOne), fiftyOne.substr(0, 44) + "...mp4");
    EXPECT_EQ(ShortenOutputName(std::string(60, 'b')), std::string(44, 'b') + "..");
}

TEST(RunProgress, TerminateActions) {
    // The last job of three finished, both boxes ticked: open the folder, then shut down.
    TTerminateActions last = TerminateActions(2, true, false, 3, true, true);
    EXPECT_TRUE(last.MarkFinished && last.OpenFolder && last.ShutDown);
    EXPECT_FALSE(last.RunOver || last.ShowWarning);
    // An earlier job: nothing at the end of the run yet.
    TTerminateActions earlier = TerminateActions(0, true, false, 3, true, true);
    EXPECT_TRUE(earlier.MarkFinished);
    EXPECT_FALSE(earlier.OpenFolder || earlier.ShutDown);
    // The last job failed: a warning, its cell untouched, no folder, no shut-down.
    TTerminateActions failed = TerminateActions(2, false, true, 3, true, true);
    EXPECT_TRUE(failed.ShowWarning);
    EXPECT_FALSE(failed.MarkFinished || failed.OpenFolder || failed.ShutDown);
    EXPECT_FALSE(failed.RemoveOutput || last.RemoveOutput);
    // A stopped job: no warning, its unfinished output goes.
    TTerminateActions stopped = TerminateActions(1, false, false, 3, true, true);
    EXPECT_TRUE(stopped.RemoveOutput);
    EXPECT_FALSE(stopped.ShowWarning || stopped.MarkFinished || stopped.OpenFolder);
    EXPECT_FALSE(TerminateActions(2, true, false, 3, false, false).OpenFolder);
    EXPECT_TRUE(TerminateActions(-1, true, false, 3, true, true).RunOver);
    EXPECT_FALSE(TerminateActions(-1, true, false, 3, true, true).OpenFolder);
}

} // namespace
} // namespace tarnwick::app
