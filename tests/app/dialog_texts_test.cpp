#include "app/core/app_paths.h"
#include "app/core/file_info_text.h"
#include "app/core/preference_rules.h"
#include "app/core/source_label.h"
#include "app_test_support.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

namespace tarnwick::app {
namespace {

TEST(SourceLabel, LongPathsKeepTheirHeadAndExtension) {
    const std::string path45 = "/media/clips/" + std::string(28, 'a') + ".mp4";
    const std::string path46 = "/media/clips/" + std::string(29, 'a') + ".mp4";
    ASSERT_EQ(path45.size(), 45u);
    EXPECT_EQ(FileInfoSourceLabel(path45), path45);
    EXPECT_EQ(FileInfoSourceLabel(path46), path46.substr(0, 40) + "...mp4  ");

    const std::string path50 = "/media/clips/" + std::string(33, 'b') + ".avi";
    EXPECT_EQ(EditorSourceLabel(path50), path50);
    EXPECT_EQ(EditorSourceLabel(path50 + "x"), path50.substr(0, 44) + "...avix  ");
    // A dot in a folder name is no extension.
    EXPECT_EQ(ShortenedPath("/a.b/cdefgh", 5, 3), "/a...  ");
    // Characters, not bytes: "é" is two bytes and one character, and is never cut in half.
    const std::string accented = "/é/" + std::string(4, 'x') + ".ogg"; // 11 characters
    EXPECT_EQ(ShortenedPath(accented, 11, 2), accented);
    EXPECT_EQ(ShortenedPath(accented, 10, 2), "/é...ogg  ");

    EXPECT_EQ(DurationLabel(90040000), "90.040 Second");
    EXPECT_EQ(DurationLabel(INT64_MIN), "");
}

TEST(FileInfoText, AudioCodecCutFromTheInformationText) {
    const std::pair<const char*, const char*> cases[] = {
        {"Stream #1, 1/44100: Audio: aac (LC), 44100 Hz, stereo", "aac (LC)"},
        {"Stream #0: Video: mpeg4, yuv420p\r\nStream #1: Audio: mp3, 44100 Hz", "mp3"},
        {"Stream #0: Video: mpeg4, yuv420p", ""}, // no "Audio:"
        {"Stream #1: Audio: pcm_s16le", ""},      // no comma after it
        {"Stream #1: Audio:, 44100 Hz", ""},      // a comma before the name
        {"Audio: x,", "x"},
        {"", ""},
    };
    for (const auto& [text, codec] : cases)
        EXPECT_EQ(AudioCodecOfInfoText(text), codec) << text;
}

TEST(FileInfoText, FrameRateAndTotalFrames) {
    EXPECT_EQ(FrameRateText(30000, 1001), "29.97");
    EXPECT_EQ(FrameRateText(25, 1), "25.00");
    EXPECT_EQ(FrameRateText(0, 1), "");
    EXPECT_EQ(FrameRateText(25, 0), "");
    EXPECT_EQ(TotalFramesText(90040000, 25, 1), "2251");      // 2251.0
    EXPECT_EQ(TotalFramesText(10000000, 30000, 1001), "300"); // 299.7 rounds up
    EXPECT_EQ(TotalFramesText(INT64_MIN, 25, 1), "");
    EXPECT_EQ(TotalFramesText(10000000, -1, -1), "");
}

std::string FileText(const std::string& path) {
    std::ifstream in(path);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

TEST(Preferences, ReadDefaultAndWrite) {
    test::ScopedHome home;
    const platform::IniStore settings(home.Folder().File("tarnwick.ini"));

    // No settings file: every box ticked, quality 30, "Normal".
    const TPreferences fresh = ReadPreferences(settings, {});
    EXPECT_TRUE(fresh.FullSize && fresh.SmallSize && fresh.Bmp && fresh.Jpg);
    EXPECT_EQ(fresh.Quality, 30);
    EXPECT_EQ(fresh.Priority, 1);
    EXPECT_EQ(fresh.SnapshotFolder, DefaultOutputFolder());

    // "&Default" then "&Ok", keys in the dialog's order.
    ASSERT_TRUE(WritePreferences(settings, DefaultPreferences()));
    EXPECT_EQ(FileText(settings.Path()), "[settings]\nSnapOutPutDir=" + DefaultOutputFolder() +
                                             "\nsnapBmp=1\nsnapJpg=0\nsnapFullSize=1\n"
                                             "snapSmallSize=0\njpgCmp=20\npriority=1\n");

    // Showing never unticks a box that is ticked; stored values out of range are tamed.
    settings.WriteString("settings", "jpgCmp", "250");
    settings.WriteString("settings", "Priority", "7");
    const TPreferences shown = ReadPreferences(settings, fresh);
    EXPECT_TRUE(shown.Jpg && shown.SmallSize);
    EXPECT_EQ(shown.Quality, 100);
    EXPECT_EQ(shown.Priority, -1);
    TPreferences cleared;
    cleared.Jpg = cleared.SmallSize = false;
    EXPECT_FALSE(ReadPreferences(settings, cleared).Jpg);

    // An empty folder line stores the default folder; a quality of 0 is not written.
    TPreferences empty = shown;
    empty.SnapshotFolder.clear();
    empty.Quality = 0;
    ASSERT_TRUE(WritePreferences(settings, empty));
    EXPECT_EQ(settings.ReadString("settings", "snapOutPutDir", ""), DefaultOutputFolder());
    EXPECT_EQ(settings.ReadString("settings", "jpgCmp", ""), "250");

    // A settings file that cannot be written is reported.
    const platform::IniStore nowhere(home.Folder().File("missing/tarnwick.ini"));
    EXPECT_FALSE(WritePreferences(nowhere, fresh));
}

} // namespace
} // namespace tarnwick::app
