#include "app/app_test_support.h"
#include "app/core/app_paths.h"
#include "app/core/application_error.h"
#include "app/core/global_object.h"
#include "app/core/settings_keys.h"
#include "platform/atomic_file.h"
#include "platform/convert.h"
#include "platform/ffmpeg_exception.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace tarnwick::app {
namespace {

std::string Contents(const std::string& path) {
    std::string text;
    platform::ReadFileContents(path, text);
    return text;
}

TEST(AppPaths, FollowTheConfigurationAndHomeFolders) {
    test::ScopedHome home;
    EXPECT_EQ(SettingsFilePath(), home.Config() + "/tarnwick/tarnwick.ini");
    EXPECT_EQ(DefaultOutputFolder(), home.Home() + "/tarnwick");
    EXPECT_EQ(PresetsFilePath(), test::ExecutableFolder().string() + "/tarnwickformat.ini");
    EXPECT_EQ(CoverPicturePath(), test::ExecutableFolder().string() + "/skin/tarnwickcover.jpg");
    // A relative configuration folder is not to be used: the home folder's ".config" is.
    setenv("XDG_CONFIG_HOME", "relative", 1);
    EXPECT_EQ(SettingsFilePath(), home.Home() + "/.config/tarnwick/tarnwick.ini");
}

TEST(AppPaths, FirstStartSeedsTheSettingsFromTheShippedDefaultOnlyOnce) {
    test::ScopedHome home;
    ASSERT_FALSE(std::filesystem::exists(SettingsFilePath()));
    TGlobalObject global;
    EXPECT_EQ(global.SettingsFile(), SettingsFilePath());
    EXPECT_EQ(Contents(SettingsFilePath()), Contents(ShippedSettingsFilePath()));

    const IniStore settings(global.SettingsFile());
    WriteOutputFormat(settings, 7);
    TGlobalObject secondStart;
    EXPECT_EQ(ReadOutputFormat(IniStore(secondStart.SettingsFile())), 7);
}

TEST(GlobalObject, SettersKeepTheOldValueForTextsTheyRefuse) {
    test::ScopedHome home;
    TGlobalObject global;
    EXPECT_EQ(global.ProductName(), "Tarnwick");
    EXPECT_EQ(global.VersionText(), " ver 1.33 ");
    EXPECT_EQ(global.PresetsFile(), PresetsFilePath());

    const std::string settingsFile = global.SettingsFile();
    global.SetSettingsFile("a.b");
    EXPECT_EQ(global.SettingsFile(), settingsFile);
    global.SetSettingsFile("/x.i");
    EXPECT_EQ(global.SettingsFile(), "/x.i");
    global.SetPresetsFile("");
    EXPECT_EQ(global.PresetsFile(), PresetsFilePath());
    global.SetProductName("");
    EXPECT_EQ(global.ProductName(), "Tarnwick");
    global.SetProductName("T");
    EXPECT_EQ(global.ProductName(), "T");
    global.SetHelpPageAddress("");
    EXPECT_FALSE(global.HelpPageAddress().empty());
}

TEST(GlobalObject, RightText) {
    EXPECT_EQ(TGlobalObject::RightText("folder/", 1), "/");
    EXPECT_EQ(TGlobalObject::RightText("abc", 2), "bc");
    EXPECT_EQ(TGlobalObject::RightText("abc", 5), "abc");
    EXPECT_EQ(TGlobalObject::RightText("abc", 0), "");
}

TEST(SettingsKeys, ReadersGiveTheirDefaultsWithoutASettingsFile) {
    test::ScopedHome home;
    const IniStore settings(home.Folder().File("none.ini"));
    EXPECT_EQ(ReadOutputFolder(settings), home.Home() + "/tarnwick");
    EXPECT_EQ(ReadSnapshotFolder(settings), home.Home() + "/tarnwick");
    EXPECT_EQ(ReadOutputFormat(settings), 0);
    EXPECT_EQ(ReadSkinIndexAtStart(settings), 0);
    EXPECT_EQ(ReadSkinIndexForMenu(settings), 1);
    EXPECT_EQ(ReadPriority(settings), 1);
    const TSnapshotSettings snapshot = ReadSnapshotSettings(settings);
    EXPECT_EQ(snapshot.FullSize, 1);
    EXPECT_EQ(snapshot.SmallSize, 1);
    EXPECT_EQ(snapshot.Bmp, 1);
    EXPECT_EQ(snapshot.Jpg, 1);
    EXPECT_EQ(snapshot.JpegQuality, 30);
}

TEST(SettingsKeys, PriorityValues) {
    EXPECT_EQ(ConvertPriorityFromSetting(0), platform::tpIdle);
    EXPECT_EQ(ConvertPriorityFromSetting(1), platform::tpNormal);
    EXPECT_EQ(ConvertPriorityFromSetting(2), platform::tpLower);
    EXPECT_EQ(ConvertPriorityFromSetting(3), platform::tpLowest);
    EXPECT_FALSE(ConvertPriorityFromSetting(4));
    EXPECT_FALSE(ConvertPriorityFromSetting(-1));
}

TEST(ApplicationError, FullStopRuleAndIcon) {
    const struct {
        const char* message;
        const char* shown;
    } cases[] = {{"Cannot open file", "Cannot open file."},
                 {"error 42", "error 42."},
                 {"Done.", "Done."},
                 {"Stop!", "Stop!"},
                 {"Invalid value:", "Invalid value:."},
                 {"", ""}};
    for (const auto& c : cases) EXPECT_EQ(ApplicationErrorText(c.message), c.shown) << c.message;

    const auto engine = DescribeApplicationError(platform::FFMpegException("Could not open codec"));
    EXPECT_EQ(engine.Text, "Could not open codec.");
    EXPECT_EQ(engine.Icon, TMessageIcon::Warning);
    const auto conversion = DescribeApplicationError(platform::EConvertError("'x' is bad"));
    EXPECT_EQ(conversion.Icon, TMessageIcon::Error);
}

} // namespace
} // namespace tarnwick::app
