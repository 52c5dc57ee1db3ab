#include "app/core/last_frame_probe.h"
#include "fixtures/fixture_writer.h"
#include "fixtures/frame_number_blocks.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace tarnwick::app {
namespace {

class LastFrameProbe : public ::testing::Test {
protected:
    void SetUp() override { test::LoadLibrariesOrFail(); }

    // 50 numbered pictures at 25 per second, every one a key picture, so a seek lands on the
    // picture of its time.
    std::string Clip(const std::string& name, int width = 160, int height = 120) {
        fixtures::ClipSpec spec = fixtures::SimpleClip(50, false);
        spec.video->codec = "mjpeg";
        spec.video->width = width;
        spec.video->height = height;
        const std::string path = folder.File(name);
        fixtures::WriteClip(path, spec);
        return path;
    }

    int ShownNumber() {
        std::lock_guard lock(view.LastFrame.CanvasLock());
        return fixtures::ReadNumberBlocksBgr(view.LastFrame.Bits(), view.LastFrame.Stride(),
                                             view.LastFrame.Width(), view.LastFrame.Height());
    }

    test::TempFolder folder;
    TLastFrameProbe view;
};

TEST_F(LastFrameProbe, ShowsTheSourcePictureOfTheNewestRequest) {
    const std::string clip = Clip("clip.avi", 176, 144);
    view.Request(clip, 1200000);
    view.WaitIdle();
    EXPECT_EQ(view.LastFrame.Width(), 176);
    EXPECT_EQ(view.LastFrame.Height(), 144);
    EXPECT_NEAR(ShownNumber(), 30, 1);

    // A burst of requests: whatever is served on the way, the last one is what stays shown.
    const uint64_t before = view.FrameSerial();
    for (int ms = 0; ms <= 1600; ms += 40)
        view.Request(clip, int64_t{ms} * 1000);
    view.WaitIdle();
    EXPECT_NEAR(ShownNumber(), 40, 1);
    EXPECT_GT(view.FrameSerial(), before);
}

TEST_F(LastFrameProbe, ClearForgetsTheRunAndABadSourceShowsNothing) {
    const std::string first = Clip("first.avi");
    view.Request(first, 400000);
    view.WaitIdle();
    ASSERT_NEAR(ShownNumber(), 10, 1);

    view.Clear();
    EXPECT_EQ(view.LastFrame.Width(), 0);
    view.Request(folder.File("missing.avi"), 0);
    view.WaitIdle();
    EXPECT_EQ(view.LastFrame.Width(), 0);

    fixtures::WriteGarbageFile(folder.File("garbage.avi"));
    view.Request(folder.File("garbage.avi"), 0);
    view.WaitIdle();
    EXPECT_EQ(view.LastFrame.Width(), 0);

    // The next source still shows, although the one before could not be opened.
    view.Request(first, 800000);
    view.WaitIdle();
    EXPECT_NEAR(ShownNumber(), 20, 1);
}

// The window's clock reads the picture while requests arrive from another thread; under the
// thread sanitizer a read that overlaps a write shows as a race.
TEST_F(LastFrameProbe, ReadsUnderTheCanvasLockNeverOverlapAWrite) {
    const std::string clip = Clip("clip.avi");
    std::atomic<bool> done{false};
    std::thread requester([&] {
        for (int i = 0; i < 60; ++i)
            view.Request(clip, int64_t{i % 50} * 40000);
        done = true;
    });
    while (!done)
        ShownNumber();
    requester.join();
    view.WaitIdle();
    EXPECT_NEAR(ShownNumber(), 59 % 50, 1);
}

} // namespace
} // namespace tarnwick::app
