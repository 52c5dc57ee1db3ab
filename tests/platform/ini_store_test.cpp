#include "platform/atomic_file.h"
#include "platform/ini_store.h"

#include "support/test_support.h"

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <sys/wait.h>
#include <unistd.h>

namespace tarnwick::platform {
namespace {

std::string Contents(const std::string& path) {
    std::string text;
    EXPECT_TRUE(ReadFileContents(path, text));
    return text;
}

TEST(IniStore, KeysAndSectionsDifferingOnlyInCaseAreOne) {
    test::TempFolder folder;
    IniStore ini(folder.File("t.ini"));
    ASSERT_TRUE(ini.WriteInteger("settings", "SnapOutPutDir", 1));
    ASSERT_TRUE(ini.WriteInteger("Settings", "snapOutPutDir", 2));
    ASSERT_TRUE(ini.WriteInteger("SETTINGS", "priority", 3));
    EXPECT_EQ(ini.ReadInteger("settings", "SNAPOUTPUTDIR", 0), 2);
    EXPECT_EQ(ini.ReadInteger("sEtTiNgS", "Priority", 0), 3);
    // One section, one line per key, the first spelling kept.
    EXPECT_EQ(Contents(ini.Path()), "[settings]\nSnapOutPutDir=2\npriority=3\n");
}

TEST(IniStore, MissingOrMalformedIntegerGivesTheDefault) {
    test::TempFolder folder;
    IniStore ini(folder.File("t.ini"));
    EXPECT_EQ(ini.ReadInteger("settings", "priority", 7), 7); // no file at all
    const struct {
        const char* text;
        int32_t expected;
    } cases[] = {{"", -5}, {"12abc", -5}, {"abc", -5}, {"1.5", -5}, {"99999999999", -5},
                 {"42", 42}, {"-3", -3}, {"$10", 16}};
    for (const auto& c : cases) {
        ASSERT_TRUE(ini.WriteString("settings", "value", c.text));
        EXPECT_EQ(ini.ReadInteger("settings", "value", -5), c.expected) << c.text;
    }
}

TEST(IniStore, WriteKeepsOtherLinesAndIsSeenByTheNextRead) {
    test::TempFolder folder;
    const std::string path = folder.File("t.ini");
    ASSERT_TRUE(ReplaceFileContents(path, "; comment\r\n[a]\r\n x = 1 \r\n\r\n[b]\r\ny=2\r\n"));
    IniStore ini(path);
    EXPECT_EQ(ini.ReadString("a", "X", "none"), "1");
    EXPECT_EQ(ini.ReadString("a", "y", "none"), "none");
    EXPECT_EQ(ini.ReadString("c", "x", "none"), "none");

    ASSERT_TRUE(ini.WriteString("a", "z", "new value"));
    ASSERT_TRUE(ini.WriteString("c", "k", "v"));
    ASSERT_TRUE(ini.WriteString("b", "y", "3"));
    EXPECT_EQ(ini.ReadString("a", "z", ""), "new value");
    EXPECT_EQ(ini.ReadString("a", "x", ""), "1");
    EXPECT_EQ(ini.ReadString("b", "y", ""), "3");
    EXPECT_EQ(ini.ReadString("c", "k", ""), "v");
    EXPECT_EQ(Contents(path), "; comment\r\n[a]\r\n x = 1 \r\nz=new value\n\r\n[b]\r\ny=3\n"
                              "\n[c]\nk=v\n");
}

TEST(IniStore, ValueWithLineBreaksCannotAddKeys) {
    test::TempFolder folder;
    IniStore ini(folder.File("t.ini"));
    ASSERT_TRUE(ini.WriteString("s", "a", "x\n[s]\nb=1"));
    EXPECT_EQ(ini.ReadString("s", "b", "absent"), "absent");
    EXPECT_EQ(ini.ReadString("s", "a", ""), "x [s] b=1");
}

TEST(IniStore, WriteIntoMissingFolderFailsAndCreatesNothing) {
    test::TempFolder folder;
    IniStore ini(folder.File("missing/t.ini"));
    EXPECT_FALSE(ini.WriteString("s", "k", "v"));
    EXPECT_EQ(ini.ReadString("s", "k", "default"), "default");
    EXPECT_TRUE(std::filesystem::is_empty(folder.Path()));
}

// A writer killed while it writes must leave the previous file whole: the new content goes to
// a temporary file that only a completed write renames over the old one.
TEST(IniStore, WriterKilledMidWayLeavesTheOldFileIntact) {
    test::TempFolder folder;
    const std::string path = folder.File("t.ini");
    IniStore ini(path);
    ASSERT_TRUE(ini.WriteString("settings", "OutPutDir", "/old"));
    const std::string before = Contents(path);

    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        // Large enough that writing it takes a while, so the kill lands during the write.
        const std::string huge(64u << 20, 'x');
        IniStore(path).WriteString("settings", "OutPutDir", huge);
        _exit(0);
    }
    const auto temporaryExists = [&] {
        for (const auto& entry : std::filesystem::directory_iterator(folder.Path()))
            if (entry.path().filename().string().starts_with("t.ini.tmp-")) return true;
        return false;
    };
    const bool caughtMidWay = test::WaitFor(temporaryExists);
    kill(child, SIGKILL);
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(caughtMidWay);
    ASSERT_TRUE(WIFSIGNALED(status)) << "the writer finished before it was killed";
    EXPECT_EQ(Contents(path), before);
    EXPECT_EQ(ini.ReadString("settings", "OutPutDir", ""), "/old");
}

} // namespace
} // namespace tarnwick::platform
