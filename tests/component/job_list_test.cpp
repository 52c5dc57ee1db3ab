// The job list: adding, refusing, removing and renumbering jobs, and the end reports of jobs
// stopped before they ran.
#include "component/av_converter.h"
#include "component/event_recorder.h"

#include "engine/open_errors.h"
#include "fixtures/fixture_writer.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <set>

using namespace tarnwick::component;
using tarnwick::test::EventRecorder;
using tarnwick::test::TerminateEvent;
namespace fixtures = tarnwick::fixtures;

namespace {

std::string LibAVFolder() { return (tarnwick::test::ExecutableFolder() / "LibAV").string(); }

class JobListTest : public ::testing::Test {
protected:
    JobListTest() { recorder.Attach(component); }
    void SetUp() override {
        ASSERT_TRUE(component.LoadLibraries(LibAVFolder(), true)) << component.LastError;
        input = folder.File("in.mp4");
        fixtures::WriteClip(input, fixtures::SimpleClip(10, false));
    }

    // A job for the clip with the output named; returns its index.
    int AddWithOutput(const std::string& outputName) {
        const int index = component.AddJob(input, nullptr);
        EXPECT_GE(index, 0) << component.LastError;
        TOutputOptions options;
        ClearOutputOptions(options);
        EXPECT_TRUE(component.SetJobOutput(index, folder.File(outputName), &options))
            << component.LastError;
        return index;
    }

    std::string OutputNameOf(int index) const {
        TOutputOptions options;
        component.GetJobOutputOptions(index, options);
        return std::filesystem::path(options.FileName).filename().string();
    }

    tarnwick::test::TempFolder folder;
    std::string input;
    EventRecorder recorder;
    TKivAVConverter component;
};

TEST_F(JobListTest, MissingInputIsRefusedWithTheOpenErrorText) {
    AddWithOutput("kept.mp4");
    const std::string missing = folder.File("missing.mp4");
    EXPECT_EQ(component.AddJob(missing, nullptr), -1);
    EXPECT_EQ(component.LastError, tarnwick::engine::OpenErrorText(missing, AVERROR(ENOENT)));
    EXPECT_EQ(component.JobCount(), 1);
}

TEST_F(JobListTest, RecordsAreKeptWithTheirFileNamesFilledIn) {
    TInputOptions in;
    ClearInputOptions(in);
    const int index = component.AddJob(input, &in);
    ASSERT_EQ(index, 0) << component.LastError;
    EXPECT_EQ(in.FileName, input) << "the caller's record gets the file name";
    EXPECT_EQ(component.JobProbe(index).VideoStreamCount(), 1) << "the probe sees the input";

    TOutputOptions out;
    ClearOutputOptions(out);
    out.Year = 1999;
    ASSERT_TRUE(component.SetJobOutput(index, folder.File("out.mp4"), &out)) << component.LastError;
    EXPECT_EQ(out.FileName, folder.File("out.mp4"));
    TOutputOptions kept;
    component.GetJobOutputOptions(index, kept);
    EXPECT_EQ(kept.FileName, folder.File("out.mp4"));
    EXPECT_EQ(kept.Year, 1999);

    EXPECT_THROW(component.SetJobOutput(5, folder.File("x.mp4"), nullptr), std::out_of_range);
}

TEST_F(JobListTest, JobProbeIsEmptiedWhenTheRunStarts) {
    AddWithOutput("out.mp4");
    ASSERT_NE(component.JobProbe(0).Context(), nullptr);
    component.StartJobs(1);
    ASSERT_TRUE(recorder.WaitForRunEnd());
    // The run has released the input the probe was attached to.
    EXPECT_EQ(component.JobProbe(0).Context(), nullptr);
    EXPECT_EQ(component.JobProbe(0).InfoText(), "");
}

TEST_F(JobListTest, FailedOutputKeepsTheJobAndSaysWhy) {
    const int index = component.AddJob(input, nullptr);
    ASSERT_GE(index, 0);
    TOutputOptions options;
    ClearOutputOptions(options);
    options.ExtOptions = "vcodec=no_such_codec";
    EXPECT_FALSE(component.SetJobOutput(index, folder.File("out.mp4"), &options));
    EXPECT_FALSE(component.LastError.empty());
    EXPECT_FALSE(component.SetJobOutput(index, folder.File("no/such/folder/out.mp4"), nullptr));
    EXPECT_NE(component.LastError.find("no/such/folder/out.mp4"), std::string::npos)
        << component.LastError;
    EXPECT_EQ(component.JobCount(), 1);
}

TEST_F(JobListTest, RefusedBeforeThisComponentLoadedTheLibraries) {
    TKivAVConverter unloaded;
    EXPECT_EQ(unloaded.AddJob(input, nullptr), -1);
    EXPECT_NE(unloaded.LastError.find("LoadLibraries"), std::string::npos) << unloaded.LastError;
    unloaded.LastError.clear();
    EXPECT_FALSE(unloaded.SetJobOutput(0, folder.File("out.mp4"), nullptr));
    EXPECT_NE(unloaded.LastError.find("LoadLibraries"), std::string::npos) << unloaded.LastError;
}

TEST_F(JobListTest, StopBeforeStartReportsEveryJobFromItsOwnThreadThenTheEnd) {
    for (const char* name : {"a.mp4", "b.mp4", "c.mp4"}) AddWithOutput(name);
    component.StopJobs();
    ASSERT_TRUE(recorder.WaitForRunEnd());
    const auto events = recorder.Terminates();
    ASSERT_EQ(events.size(), 4u);
    std::set<int32_t> indexes;
    std::set<std::thread::id> threads;
    for (int i = 0; i < 3; ++i) {
        EXPECT_FALSE(events[i].finished);
        EXPECT_FALSE(events[i].exception) << events[i].message;
        EXPECT_NE(events[i].thread, std::this_thread::get_id());
        indexes.insert(events[i].index);
        threads.insert(events[i].thread);
    }
    EXPECT_EQ(indexes, (std::set<int32_t>{0, 1, 2}));
    EXPECT_EQ(threads.size(), 3u);
    EXPECT_EQ(events[3].index, -1);
    EXPECT_TRUE(events[3].finished);
    EXPECT_FALSE(events[3].exception);
    EXPECT_EQ(events[3].message, "");

    // A stopped job cannot run any more: a later start raises nothing.
    component.StartJobs(1);
    component.StopJobs();
    EXPECT_EQ(recorder.Terminates().size(), 4u);
}

TEST_F(JobListTest, RemovingRenumbersAndLaterEventsCarryTheNewIndex) {
    for (const char* name : {"a.mp4", "b.mp4", "c.mp4"}) AddWithOutput(name);
    component.RemoveJob(0);
    ASSERT_EQ(component.JobCount(), 2);
    EXPECT_EQ(OutputNameOf(0), "b.mp4");
    EXPECT_EQ(OutputNameOf(1), "c.mp4");
    EXPECT_THROW(component.RemoveJob(2), std::out_of_range);

    std::map<int32_t, std::string> outputOfEvent;
    recorder.AfterTerminate = [&](const TerminateEvent& event) {
        if (event.index >= 0) outputOfEvent[event.index] = OutputNameOf(event.index);
    };
    component.StopJobs();
    ASSERT_TRUE(recorder.WaitForRunEnd());
    EXPECT_EQ(outputOfEvent, (std::map<int32_t, std::string>{{0, "b.mp4"}, {1, "c.mp4"}}));

    component.ClearJobs();
    EXPECT_EQ(component.JobCount(), 0);
    EXPECT_TRUE(component.LastError.empty());
}

} // namespace
