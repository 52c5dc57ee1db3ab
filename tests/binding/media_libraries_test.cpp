#include "binding/media_libraries.h"

#include "binding/log_levels.h"

#include "support/test_support.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace tarnwick::binding;
using tarnwick::test::ExecutableFolder;
using tarnwick::test::TempFolder;
namespace fs = std::filesystem;

namespace {

const char* const kLibraries[] = {"libavcodec.so.59", "libavfilter.so.8", "libavformat.so.59",
                                  "libavutil.so.57", "libswscale.so.6", "libswresample.so.4"};

// A folder with links to the real libraries, except the ones the caller replaces or leaves out.
void LinkLibraries(const fs::path& folder, const std::string& except) {
    for (const char* name : kLibraries) {
        if (name == except) continue;
        fs::create_symlink(fs::canonical(ExecutableFolder() / "LibAV" / name), folder / name);
    }
}

bool NothingLoaded() {
    return !AVCodecLoaded() && !AVFilterLoaded() && !AVFormatLoaded() && !AVUtilLoaded() &&
           !SwScaleLoaded() && !SwResampleLoaded() && !MediaLibrariesLoaded();
}

class MediaLibrariesTest : public ::testing::Test {
protected:
    void SetUp() override {
        UnloadMediaLibraries();
        workingDirectory = fs::current_path();
    }
    void TearDown() override { EXPECT_EQ(fs::current_path(), workingDirectory); }
    fs::path workingDirectory;
};

} // namespace

TEST_F(MediaLibrariesTest, CompleteLoadResolvesEveryLibrary) {
    ASSERT_TRUE(LoadMediaLibraries((ExecutableFolder() / "LibAV").string(), true)) << LastLoadError();
    EXPECT_TRUE(MediaLibrariesLoaded());
    EXPECT_TRUE(AVCodecLoaded() && AVFilterLoaded() && AVFormatLoaded() && AVUtilLoaded() &&
                SwScaleLoaded() && SwResampleLoaded());
    EXPECT_EQ(LastLoadError(), "");
    EXPECT_GT(AV.avcodec_version(), 0u);
    EXPECT_EQ(DefaultLogLevel(), AV.av_log_get_level());
    // Loaded once, later calls return at once whatever the folder.
    EXPECT_TRUE(LoadMediaLibraries("/nonexistent/folder", true));
}

TEST_F(MediaLibrariesTest, PlainFileNamesLoadToo) {
    ASSERT_TRUE(LoadMediaLibraries((ExecutableFolder() / "LibAV").string(), false)) << LastLoadError();
    EXPECT_EQ(MediaLibraryFileName(MediaLibrary::AVFormat, false), "libavformat.so");
}

TEST_F(MediaLibrariesTest, MissingLibraryNamesItAndLeavesNothingLoaded) {
    TempFolder folder;
    LinkLibraries(folder.Path(), "libavformat.so.59");
    EXPECT_FALSE(LoadMediaLibraries(folder.Path().string(), true));
    const std::string error = LastLoadError();
    EXPECT_EQ(error.rfind("Load libraray libavformat.so.59 error: ", 0), 0u) << error;
    EXPECT_NE(error.find("libavformat.so.59"), std::string::npos);
    EXPECT_TRUE(NothingLoaded());
}

TEST_F(MediaLibrariesTest, MissingEntryPointNamesEntryAndFile) {
    TempFolder folder;
    LinkLibraries(folder.Path(), "libswscale.so.6");
    fs::create_symlink(ExecutableFolder() / "test_libs" / "libswscale_missing_entry.so",
                       folder.Path() / "libswscale.so.6");
    EXPECT_FALSE(LoadMediaLibraries(folder.Path().string(), true));
    const std::string error = LastLoadError();
    EXPECT_EQ(error.rfind("Load function sws_scale@libswscale.so.6 error: ", 0), 0u) << error;
    EXPECT_TRUE(NothingLoaded());
}

TEST_F(MediaLibrariesTest, FolderThatDoesNotExist) {
    EXPECT_FALSE(LoadMediaLibraries("/nonexistent/folder", true));
    EXPECT_EQ(LastLoadError().rfind("Load libraray libavcodec.so.59 error: ", 0), 0u);
    EXPECT_TRUE(NothingLoaded());
}
