#include "app/app_test_support.h"
#include "app/core/output_name.h"
#include "app/core/settings_keys.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace tarnwick::app {
namespace {

void Touch(const std::string& path) { std::ofstream(path) << "x"; }

TEST(BuildOutputFileName, NewThenNumberedWhenTaken) {
    test::ScopedHome home;
    const IniStore settings(home.Folder().File("settings.ini"));
    const std::string out = home.Folder().File("out");
    WriteOutputFolder(settings, out); // no trailing "/": the builder adds it
    test::RecordingMessageBox messages;

    const std::string first =
        BuildOutputFileName("/media/clip.avi", AddTimeSuffix("mp4"), settings, messages);
    EXPECT_EQ(first, out + "/clip_(new)_ipod.mp4");
    EXPECT_TRUE(std::filesystem::is_directory(out)); // made on the way
    Touch(first);
    const std::string second =
        BuildOutputFileName("/media/clip.avi", AddTimeSuffix("mp4"), settings, messages);
    EXPECT_EQ(second, out + "/clip_(new_1)_ipod.mp4");
    Touch(second);
    EXPECT_EQ(BuildOutputFileName("/media/clip.avi", AddTimeSuffix("mp4"), settings, messages),
              out + "/clip_(new_2)_ipod.mp4");
    // The run's own suffix is another name, still free.
    EXPECT_EQ(BuildOutputFileName("/other/clip.mkv", RunSuffix("mp4"), settings, messages),
              out + "/clip_(new).mp4");
    EXPECT_TRUE(messages.shown.empty());
}

TEST(BuildOutputFileName, ReservedNamesCountAsTaken) {
    test::ScopedHome home;
    const IniStore settings(home.Folder().File("settings.ini"));
    WriteOutputFolder(settings, home.Folder().File("out/"));
    test::RecordingMessageBox messages;
    const std::set<std::string> reserved = {home.Folder().File("out/a_(new).m4a")};
    EXPECT_EQ(BuildOutputFileName("/x/a.wav", ".m4a", settings, messages, &reserved),
              home.Folder().File("out/a_(new_1).m4a"));
}

// A folder below a plain file can never be made, whoever runs the test.
TEST(BuildOutputFileName, UncreatableFolderWarnsOnceAndFallsBackToTheDefault) {
    test::ScopedHome home;
    const IniStore settings(home.Folder().File("settings.ini"));
    const std::string blocker = home.Folder().File("file");
    Touch(blocker);
    const std::string bad = blocker + "/out";
    WriteOutputFolder(settings, bad);
    test::RecordingMessageBox messages;

    const std::string fallback = home.Home() + "/tarnwick";
    EXPECT_EQ(BuildOutputFileName("/m/clip.avi", ".mp4", settings, messages),
              fallback + "/clip_(new).mp4");
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].caption, "Warning");
    EXPECT_EQ(messages.shown[0].text, "Cannot create output directory:" + bad +
                                          ".It will create default directory " + fallback + "!");
    EXPECT_EQ(messages.shown[0].icon, TMessageIcon::Warning);
    EXPECT_TRUE(std::filesystem::is_directory(fallback));
    EXPECT_EQ(ReadOutputFolder(settings), fallback);

    EXPECT_EQ(BuildOutputFileName("/m/other.avi", ".mp4", settings, messages),
              fallback + "/other_(new).mp4");
    EXPECT_EQ(messages.shown.size(), 1u);
}

} // namespace
} // namespace tarnwick::app
