#include "component/av_converter.h"
#include "component/event_recorder.h"

#include "binding/log_levels.h"
#include "binding/media_libraries.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

using namespace tarnwick::component;
using tarnwick::binding::AV;
using tarnwick::test::EventRecorder;

namespace {

std::string LibAVFolder() { return (tarnwick::test::ExecutableFolder() / "LibAV").string(); }

TEST(ConverterTest, PropertiesAndTheirDefaults) {
    TKivAVConverter component;
    EXPECT_EQ(component.GetVersion(), "2.2a");
    EXPECT_EQ(component.LogLevel(), llInfo);
    EXPECT_EQ(component.ProgressInterval(), 500);
    EXPECT_EQ(component.ThreadPriority(), tarnwick::platform::tpNormal);
    EXPECT_EQ(component.JobCount(), 0);
    for (auto [given, stored] : {std::pair{50, 100}, {100, 100}, {101, 101}, {150, 150}, {-5, 100}}) {
        component.SetProgressInterval(given);
        EXPECT_EQ(component.ProgressInterval(), stored) << given;
    }
}

TEST(ConverterTest, LoadFailureLeavesTheLoaderText) {
    if (tarnwick::binding::MediaLibrariesLoaded()) GTEST_SKIP() << "loaded by an earlier test";
    tarnwick::test::TempFolder empty;
    TKivAVConverter component;
    EXPECT_FALSE(component.LoadLibraries(empty.Path().string(), true));
    EXPECT_FALSE(component.LastError.empty());
    EXPECT_EQ(component.LastError, tarnwick::binding::LastLoadError());
}

TEST(ConverterTest, LogLevelSetsTheLibrariesLevel) {
    TKivAVConverter component;
    component.SetLogLevel(llDebug);
    ASSERT_TRUE(component.LoadLibraries(LibAVFolder(), true)) << component.LastError;
    EXPECT_EQ(AV.av_log_get_level(), AV_LOG_DEBUG) << "the level chosen before loading applies";
    struct Case {
        TLogLevel level;
        int library;
    };
    for (const Case& c : {Case{llQuiet, AV_LOG_QUIET}, Case{llError, AV_LOG_ERROR},
                          Case{llInfo, AV_LOG_INFO}, Case{llAll, AV_LOG_TRACE}}) {
        component.SetLogLevel(c.level);
        EXPECT_EQ(AV.av_log_get_level(), c.library);
        EXPECT_EQ(tarnwick::binding::DefaultLogLevel(), c.library);
    }
    component.SetLogLevel(llInfo);
}

TEST(ConverterTest, EmptyListRaisesNoEvent) {
    tarnwick::platform::RunLoopScheduler mainThread;
    EventRecorder recorder;
    TKivAVConverter component(&mainThread);
    recorder.Attach(component);
    component.StartJobs(0);
    component.StartJobs(2);
    component.StopJobs();
    component.PauseJobs();
    component.ResumeJobs();
    // Nothing may arrive within a generous window.
    mainThread.RunUntil([] { return false; }, std::chrono::milliseconds(400));
    EXPECT_TRUE(recorder.Terminates().empty());
    EXPECT_TRUE(recorder.Logs().empty());
}

} // namespace
