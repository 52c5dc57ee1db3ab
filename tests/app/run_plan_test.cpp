#include "app/app_test_support.h"
#include "app/core/run_plan.h"
#include "app/core/settings_keys.h"
#include "fixtures/fixture_writer.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace tarnwick::app {
namespace {

class RunPlan : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(converter.LoadLibraries((test::ExecutableFolder() / "LibAV").string(), true))
            << converter.LastError;
        std::filesystem::create_directories(home.Home() + "/media/a");
        std::filesystem::create_directories(home.Home() + "/media/b");
        WriteOutputFolder(settings, home.Home() + "/out");
        settings.WriteString("formatInfo0", "paraVideoEncoder", "mpeg4");
        settings.WriteString("formatInfo0", "paraVideoSize", "320x240");
        presets.WriteString("formatInfo0", "FileExt", "mp4");
    }

    std::string Clip(const std::string& relative) {
        const std::string path = home.Home() + "/media/" + relative;
        fixtures::WriteClip(path, fixtures::SimpleClip(5, true));
        return path;
    }

    static TTaskRow Row(const std::string& source, bool checked) {
        TTaskRow row;
        row.Record.SourceFile = source;
        row.Checked = checked;
        return row;
    }

    std::vector<int32_t> Queue(const std::vector<TTaskRow>& rows) {
        const TRunSetup setup{settings, presets, messages,
                              [this](const std::string& line) { log.push_back(line); },
                              [this](probe::TAVProbe& opened) {
                                  pictures.push_back(opened.LastPicture().Width());
                              }};
        return QueueRun(converter, probe, rows, 0, setup);
    }

    test::ScopedHome home;
    platform::IniStore settings{home.Folder().File("tarnwick.ini")};
    platform::IniStore presets{home.Folder().File("tarnwickformat.ini")};
    test::RecordingMessageBox messages;
    component::TKivAVConverter converter;
    probe::TAVProbe probe;
    std::vector<std::string> log;
    std::vector<int> pictures;
};

TEST_F(RunPlan, NoCheckedRowWarnsAndQueuesNothing) {
    const std::string clip = Clip("a/clip.mp4");
    EXPECT_TRUE(Queue({Row(clip, false), Row(clip, false)}).empty());
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].caption, "Warning");
    EXPECT_EQ(messages.shown[0].text, "Please select a file by clicking the check box!");
    EXPECT_EQ(converter.JobCount(), 0);
}

TEST_F(RunPlan, CheckedRowsQueueInListOrderWithTheirRecords) {
    const std::string first = Clip("a/first.mp4");
    const std::string sameNameA = Clip("a/clip.mp4");
    const std::string sameNameB = Clip("b/clip.mp4");
    std::vector<TTaskRow> rows = {Row(first, true), Row(first, false), Row(sameNameA, true),
                                  Row(first, false), Row(sameNameB, true)};
    rows[2].Record.TrimStart = 200;
    rows[2].Record.TrimLength = 100;
    settings.WriteInteger("settings", "priority", 0);

    EXPECT_EQ(Queue(rows), (std::vector<int32_t>{0, 2, 4}));
    EXPECT_TRUE(messages.shown.empty());
    ASSERT_EQ(converter.JobCount(), 3);
    EXPECT_EQ(converter.ThreadPriority(), platform::tpIdle);
    EXPECT_EQ(converter.LogLevel(), component::llInfo);

    const std::string out = home.Home() + "/out/";
    const char* expected[] = {"first_(new).mp4", "clip_(new).mp4", "clip_(new_1).mp4"};
    for (int job = 0; job < 3; ++job) {
        component::TOutputOptions options;
        converter.GetJobOutputOptions(job, options);
        EXPECT_EQ(options.FileName, out + expected[job]);
        EXPECT_EQ(options.FrameSize, "320x240") << "160x120 source fitted exactly";
        EXPECT_EQ(options.RecordingTime, job == 1 ? 100 : -1);
    }
    // Every source was probed with its picture, and its description logged.
    EXPECT_EQ(pictures, (std::vector<int>{160, 160, 160}));
    EXPECT_GE(log.size(), 3u);
}

TEST_F(RunPlan, UnopenableSourceStopsTheStartWithTheReason) {
    const std::string good = Clip("a/good.mp4");
    const std::string bad = home.Home() + "/media/b/garbage.mp4";
    fixtures::WriteGarbageFile(bad);
    try {
        Queue({Row(good, true), Row(bad, true)});
        FAIL() << "no error";
    } catch (const std::runtime_error& error) {
        EXPECT_NE(std::string(error.what()).find("garbage.mp4"), std::string::npos)
            << error.what();
    }
    EXPECT_EQ(converter.JobCount(), 1);
}

} // namespace
} // namespace tarnwick::app
