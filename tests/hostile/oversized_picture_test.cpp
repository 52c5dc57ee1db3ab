// A picture header that announces far more pixels than the file could ever hold: the probe
// describes the file but declines to decode a preview of it instead of spending gigabytes.
#include "fixtures/fixture_writer.h"
#include "probe/av_probe.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <fstream>

namespace {

// Writes the big-endian 32-bit value at the offset.
void Patch32(const std::string& path, std::streamoff offset, uint32_t value) {
    std::fstream file(path, std::ios::binary | std::ios::in | std::ios::out);
    const char bytes[4] = {static_cast<char>(value >> 24), static_cast<char>(value >> 16),
                           static_cast<char>(value >> 8), static_cast<char>(value)};
    file.seekp(offset);
    file.write(bytes, 4);
}

TEST(OversizedPictureTest, ProbeDeclinesThePreview) {
    tarnwick::test::LoadLibrariesOrFail();
    tarnwick::test::TempFolder folder;
    const std::string path = folder.File("huge.png");
    tarnwick::fixtures::ClipSpec still;
    still.video = tarnwick::fixtures::VideoSpec{};
    still.video->width = 32;
    still.video->height = 24;
    tarnwick::fixtures::WriteClip(path, still);
    // The header's width and height (after the 8-byte signature and the chunk's length and
    // type): 225 x 393240, about 88 million pixels.
    Patch32(path, 16, 225);
    Patch32(path, 20, 393240);

    tarnwick::probe::TAVProbe probe;
    ASSERT_TRUE(probe.Open(path, "")) << probe.LastError();
    tarnwick::probe::TAVVideoStreamInfo info;
    probe.GetVideoStreamInfo(-1, info);
    EXPECT_EQ(info.Height, 393240) << "the description still tells the truth";
    const auto& picture = probe.DecodeFrame(-1);
    EXPECT_EQ(picture.Width(), 0);
    EXPECT_EQ(picture.Height(), 0);
}

} // namespace
