// A run that raises must not leave the part it wrote: a header and some packets without a
// trailer look like a finished file to anyone listing the folder. The job's run calls
// DiscardOutputFiles when its transcode raises.
#include "engine/custom_ffmpeg.h"
#include "fixtures/fixture_writer.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace {

TEST(DiscardedOutputTest, WrittenOutputIsDeletedAndTheInputKept) {
    tarnwick::test::LoadLibrariesOrFail();
    tarnwick::test::TempFolder folder;
    const std::string input = folder.File("in.mp4");
    const std::string output = folder.File("out.mp4");
    tarnwick::fixtures::WriteClip(input, tarnwick::fixtures::SimpleClip(5, false));
    tarnwick::engine::TCustomFFmpeg job;
    job.Prepare();
    ASSERT_TRUE(job.OpenInputFile(input)) << job.LastErrorText;
    ASSERT_TRUE(job.OpenOutputFile(output)) << job.LastErrorText;
    // What a run that broke off would have left: bytes, not an empty file.
    std::ofstream(output, std::ios::binary) << "a header and a few packets";
    ASSERT_GT(std::filesystem::file_size(output), 0u);
    job.DiscardOutputFiles();
    EXPECT_FALSE(std::filesystem::exists(output));
    EXPECT_TRUE(std::filesystem::exists(input));
    job.FreeJobResources();
}

} // namespace
