// The windows' rules that need no window: themes, the task list's menus and check commands,
// the open dialog's filters, which paths the add loop probes, and the user guide's address.
#include "app/core/app_paths.h"
#include "app/core/file_adding.h"
#include "app/core/source_filters.h"
#include "app/core/task_list_rules.h"
#include "app/core/themes.h"
#include "platform/optical_disc.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <fstream>

namespace tarnwick::app {
namespace {

TEST(Themes, StoredIndexesAndTints) {
    for (int index = 0; index < ThemeCount; ++index)
        EXPECT_EQ(ThemeAtStart(index), index);
    for (int index : {-1, 7, 9, 1000})
        EXPECT_EQ(ThemeAtStart(index), std::nullopt) << index;
    const uint32_t tints[] = {0xE2E6F6, 0xECECEC, 0xF8F2E0, 0xF6E6F1, 0xF7E1E1, 0xE2F7E1, 0xE1F0F7};
    for (int index = 0; index < ThemeCount; ++index)
        EXPECT_EQ(OddRowTint(index), tints[index]);
    EXPECT_EQ(OddRowTint(std::nullopt), 0xEBEBEBu);
    EXPECT_EQ(ThemeNames()[1], "Gray");
    EXPECT_EQ(ThemeNames()[6], "Light blue");
}

TEST(TaskListRules, MenusNeedRowsAndThePopupASelection) {
    EXPECT_FALSE(EditEntriesEnabled(0));
    EXPECT_TRUE(EditEntriesEnabled(1));
    struct Case {
        int rows, selected;
        bool enabled;
    };
    for (const Case& c : {Case{0, -1, false}, Case{0, 0, false}, Case{3, -1, false},
                          Case{3, 0, true}, Case{3, 2, true}, Case{3, 3, false}})
        EXPECT_EQ(PopupEntriesEnabled(c.rows, c.selected), c.enabled)
            << c.rows << " " << c.selected;
}

TEST(TaskListRules, CheckCommands) {
    using C = TCheckCommand;
    struct Case {
        C command;
        bool checked, selected;
        std::optional<bool> result;
    };
    const Case cases[] = {
        {C::CheckAll, false, false, true},       {C::UncheckAll, true, true, false},
        {C::ReverseCheck, true, false, false},   {C::ReverseCheck, false, true, true},
        {C::CheckSelected, false, true, true},   {C::CheckSelected, false, false, std::nullopt},
        {C::UncheckSelected, true, true, false}, {C::UncheckSelected, true, false, std::nullopt},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CheckAfterCommand(c.command, c.checked, c.selected), c.result)
            << static_cast<int>(c.command) << " " << c.checked << " " << c.selected;
}

TEST(TaskListRules, RowSelectedAfterARemoval) {
    EXPECT_EQ(RowToSelectAfterRemoval(1, 2), 1); // the next row took its place
    EXPECT_EQ(RowToSelectAfterRemoval(2, 2), 1); // the last went: the new last
    EXPECT_EQ(RowToSelectAfterRemoval(0, 0), -1);
}

TEST(SourceFilters, FiveFiltersWhoseFirstIsTheOtherThreeTogether) {
    const auto& filters = SourceFileFilters();
    ASSERT_EQ(filters.size(), 5u);
    const char* descriptions[] = {"Video/Audio/Picture Files", "Video Files", "Audio Files",
                                  "Picture Files", "All Files"};
    for (size_t i = 0; i < filters.size(); ++i)
        EXPECT_EQ(filters[i].Description, descriptions[i]);
    EXPECT_EQ(filters[1].Patterns.size(), 22u);
    EXPECT_EQ(filters[2].Patterns.size(), 20u);
    EXPECT_EQ(filters[3].Patterns.size(), 5u);
    std::vector<std::string> together = filters[1].Patterns;
    for (size_t i : {2u, 3u})
        together.insert(together.end(), filters[i].Patterns.begin(), filters[i].Patterns.end());
    EXPECT_EQ(filters[0].Patterns, together);
    EXPECT_EQ(filters[1].Patterns.front(), "*.AVI");
    EXPECT_EQ(filters[4].Patterns, std::vector<std::string>{"*"});
}

TEST(FileAdding, OnlyRegularFilesAreProbed) {
    // A pipe or a device would keep the probe reading for ever.
    test::TempFolder folder;
    const std::string file = folder.File("clip.mp4");
    std::ofstream(file) << "x";
    const std::string pipe = folder.File("pipe.mp4");
    ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
    const std::string link = folder.File("link.mp4");
    std::filesystem::create_symlink(file, link);
    EXPECT_TRUE(IsAddableFile(file));
    EXPECT_TRUE(IsAddableFile(link));
    EXPECT_FALSE(IsAddableFile(pipe));
    EXPECT_FALSE(IsAddableFile(folder.Path().string()));
    EXPECT_FALSE(IsAddableFile(folder.File("missing.mp4")));
    EXPECT_FALSE(IsAddableFile("/dev/zero"));
}

TEST(OpticalDisc, TheFileSystemTypesOfDiscs) {
    EXPECT_TRUE(platform::IsOpticalDiscFileSystem(0x9660));     // iso9660
    EXPECT_TRUE(platform::IsOpticalDiscFileSystem(0x15013346)); // udf
    EXPECT_FALSE(platform::IsOpticalDiscFileSystem(0xEF53));    // ext4
    EXPECT_FALSE(platform::IsOnOpticalDisc(test::TempFolder().Path().string()));
}

TEST(UserGuide, AddressIsAFileUrlWithItsSection) {
    const std::string path = UserGuidePath();
    EXPECT_TRUE(std::filesystem::exists(path)) << path;
    EXPECT_EQ(UserGuideAddress(), "file://" + path);
    EXPECT_EQ(UserGuideAddress("support"), "file://" + path + "#support");
    EXPECT_EQ(FileUrl("/tmp/a b/x#y%.html"), "file:///tmp/a%20b/x%23y%25.html");
    EXPECT_EQ(FileUrl("/\xC3\xA9"), "file:///%C3%A9");
}

} // namespace
} // namespace tarnwick::app
