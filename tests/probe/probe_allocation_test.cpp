// Previews call Seek and DecodeFrame every half second: once warm, the probe itself must not
// allocate. Two real counters watch it: every C++ allocation of the process while the loop
// runs, and the libraries' allocator capped far below the size of a 720p picture, so a
// conversion buffer, decoder or picture pool made anew inside the loop fails to allocate and
// shows as a wrong picture.

#include "binding/media_functions.h"
#include "fixtures/fixture_writer.h"
#include "probe/av_probe.h"
#include "probe/probe_test_support.h"

#include <gtest/gtest.h>

#include <atomic>
#include <climits>
#include <cstdlib>
#include <new>

namespace {
std::atomic<bool> countingAllocations{false};
std::atomic<long> allocationsCounted{0};
} // namespace

void* operator new(std::size_t size) {
    if (countingAllocations.load(std::memory_order_relaxed)) ++allocationsCounted;
    if (void* memory = std::malloc(size ? size : 1)) return memory;
    throw std::bad_alloc();
}
void operator delete(void* memory) noexcept { std::free(memory); }
void operator delete(void* memory, std::size_t) noexcept { std::free(memory); }

using namespace tarnwick;
using namespace tarnwick::probe;
using binding::AV;

namespace {

class ProbeAllocationTest : public test::ProbeTest {};

TEST_F(ProbeAllocationTest, RepeatedSeekAndDecodeOn720pAllocatesNothingOnceWarm) {
    const std::string path = folder_.File("clip720.mp4");
    fixtures::ClipSpec spec = fixtures::SimpleClip(50, true);
    spec.video->width = 1280;
    spec.video->height = 720;
    fixtures::WriteClip(path, spec);

    TAVProbe probe;
    ASSERT_TRUE(probe.Open(path, ""));
    const int64_t timesMs[] = {0, 500, 1000, 1500, 200};
    const int expectedFrames[] = {0, 24, 36, 48, 12}; // key frames at or after the times
    for (int64_t timeMs : timesMs) {
        probe.Seek(-1, timeMs * 1000);
        probe.DecodeFrame(-1);
    }
    ASSERT_EQ(probe.WorkPicture()->Width(), 1280);
    const AVCodecContext* decoder = probe.DecoderContext();
    const SwsContext* scaler = probe.ScaleContext();
    const uint8_t* buffer = probe.PictureBuffer();
    const int bufferSize = probe.PictureBufferSize();
    const uint8_t* workPixels = probe.WorkPicture()->Bits();
    const uint8_t* lastPixels = probe.LastPicture().Bits();
    const int framesBefore = decoder->frame_number;
    ASSERT_GE(bufferSize, 1280 * 720 * 3);

    constexpr int Rounds = 8;
    int wrongPictures = 0;
    AV.av_max_alloc(256 * 1024);
    for (int round = 0; round < Rounds; ++round) {
        for (size_t i = 0; i < std::size(timesMs); ++i) {
            countingAllocations = true;
            probe.Seek(-1, timesMs[i] * 1000);
            const platform::Bitmap24& picture = probe.DecodeFrame(-1);
            countingAllocations = false; // reading the number back allocates
            if (test::DrawnFrameNumber(picture) != expectedFrames[i]) ++wrongPictures;
        }
    }
    AV.av_max_alloc(INT_MAX);

    EXPECT_EQ(allocationsCounted.load(), 0);
    EXPECT_EQ(wrongPictures, 0);
    // The decoder stayed open (its count of pictures went on) and nothing was replaced.
    EXPECT_EQ(probe.DecoderContext(), decoder);
    EXPECT_GE(decoder->frame_number, framesBefore + Rounds * static_cast<int>(std::size(timesMs)));
    EXPECT_EQ(probe.ScaleContext(), scaler);
    EXPECT_EQ(probe.PictureBuffer(), buffer);
    EXPECT_EQ(probe.PictureBufferSize(), bufferSize);
    EXPECT_EQ(probe.WorkPicture()->Bits(), workPixels);
    EXPECT_EQ(probe.LastPicture().Bits(), lastPixels);
}

} // namespace
