#include "component/av_converter.h"
#include "component/event_recorder.h"
#include "component/log_routing.h"

#include "binding/log_levels.h"
#include "binding/media_libraries.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <cinttypes>
#include <condition_variable>
#include <cstdio>
#include <mutex>
#include <thread>

using namespace tarnwick::component;
using tarnwick::binding::AV;
using tarnwick::test::EventRecorder;

namespace {

class LogRoutingTest : public ::testing::Test {
protected:
    LogRoutingTest() { recorder.Attach(component); }
    void SetUp() override {
        ASSERT_TRUE(component.LoadLibraries(
            (tarnwick::test::ExecutableFolder() / "LibAV").string(), true))
            << component.LastError;
        component.ClearLog();
    }
    void TearDown() override { component.ClearLog(); }

    std::vector<std::string> Messages() const {
        std::vector<std::string> messages;
        for (const auto& event : recorder.Logs()) messages.push_back(event.message);
        return messages;
    }

    EventRecorder recorder;
    TKivAVConverter component;
};

using Lines = std::vector<std::string>;

TEST_F(LogRoutingTest, AssemblesWholeLinesFromSeveralReports) {
    AV.av_log(nullptr, AV_LOG_INFO, "abc");
    EXPECT_TRUE(recorder.Logs().empty()) << "a line without its line feed is held back";
    AV.av_log(nullptr, AV_LOG_INFO, "def\n");
    EXPECT_EQ(Messages(), Lines{"abcdef"});

    AV.av_log(nullptr, AV_LOG_INFO, "one\ntwo\nthr");
    EXPECT_EQ(Messages(), (Lines{"abcdef", "one", "two"}));
    AV.av_log(nullptr, AV_LOG_INFO, "%s %d\n", "ee", 3);
    EXPECT_EQ(Messages(), (Lines{"abcdef", "one", "two", "three 3"}));
}

TEST_F(LogRoutingTest, ReportsAboveTheLevelChangeNothing) {
    AV.av_log(nullptr, AV_LOG_INFO, "kept ");
    AV.av_log(nullptr, AV_LOG_DEBUG, "dropped\n");
    EXPECT_TRUE(recorder.Logs().empty());
    AV.av_log(nullptr, AV_LOG_INFO, "line\n");
    EXPECT_EQ(Messages(), Lines{"kept line"});
}

TEST_F(LogRoutingTest, LevelOfTheReportThatEndsTheLine) {
    component.SetLogLevel(llAll);
    struct Case {
        int libraryLevel;
        TLogLevel expected;
    };
    const Case cases[] = {{AV_LOG_FATAL, llError}, {AV_LOG_ERROR, llError},
                          {AV_LOG_WARNING, llInfo}, {AV_LOG_INFO, llInfo},
                          {AV_LOG_VERBOSE, llDebug}, {AV_LOG_DEBUG, llDebug},
                          {AV_LOG_TRACE, llAll}};
    for (const Case& c : cases) {
        AV.av_log(nullptr, AV_LOG_TRACE, "start ");
        AV.av_log(nullptr, c.libraryLevel, "end\n");
    }
    const auto logs = recorder.Logs();
    ASSERT_EQ(logs.size(), std::size(cases));
    for (size_t i = 0; i < logs.size(); ++i) {
        EXPECT_EQ(logs[i].level, cases[i].expected) << "library level " << cases[i].libraryLevel;
        EXPECT_EQ(logs[i].message, "start end");
    }
}

TEST_F(LogRoutingTest, LibraryObjectNameAndAddressStartTheLine) {
    AVFormatContext* context = nullptr;
    ASSERT_GE(AV.avformat_alloc_output_context2(&context, nullptr, "mp4", "x.mp4"), 0);
    char prefix[64];
    std::snprintf(prefix, sizeof prefix, "[mp4 @ %0*" PRIXPTR "]",
                  static_cast<int>(sizeof(void*) * 2), reinterpret_cast<uintptr_t>(context));

    AV.av_log(context, AV_LOG_INFO, "first ");
    AV.av_log(context, AV_LOG_INFO, "part\nnext\n");
    AV.avformat_free_context(context);
    // The continuation of a pending line gets no second prefix; a new line gets its own.
    EXPECT_EQ(Messages(), (Lines{std::string(prefix) + "first part", "next"}));
}

TEST_F(LogRoutingTest, OverlongReportIsCutAtTheBufferAndDoesNotBlockLaterLines) {
    const std::string huge(3 * LogBufferSize, 'x');
    AV.av_log(nullptr, AV_LOG_INFO, "%s\n", huge.c_str());
    AV.av_log(nullptr, AV_LOG_INFO, "after\n");
    const auto messages = Messages();
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[0], std::string(LogBufferSize - 1, 'x'));
    EXPECT_EQ(messages[1], "after");
}

// Lets two threads take strict turns.
class Turns {
public:
    void WaitFor(int turn) {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [&] { return turn_ == turn; });
    }
    void Pass() {
        std::lock_guard lock(mutex_);
        ++turn_;
        changed_.notify_all();
    }

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    int turn_ = 0;
};

TEST_F(LogRoutingTest, EachThreadKeepsItsOwnPendingText) {
    Turns turns;
    auto speaker = [&](const char* name, int firstTurn) {
        turns.WaitFor(firstTurn);
        AV.av_log(nullptr, AV_LOG_INFO, "%s:1 ", name);
        turns.Pass();
        turns.WaitFor(firstTurn + 2);
        AV.av_log(nullptr, AV_LOG_INFO, "%s:2\n", name);
        turns.Pass();
    };
    std::thread a(speaker, "a", 0);
    std::thread b(speaker, "b", 1);
    a.join();
    b.join();
    const auto logs = recorder.Logs();
    ASSERT_EQ(Messages(), (Lines{"a:1 a:2", "b:1 b:2"}));
    EXPECT_NE(logs[0].thread, logs[1].thread);
}

TEST_F(LogRoutingTest, EveryComponentGetsEveryLineWithoutAJobOnThatThread) {
    EventRecorder secondRecorder;
    TKivAVConverter second;
    secondRecorder.Attach(second);
    AV.av_log(nullptr, AV_LOG_ERROR, "shared\n");
    std::thread([] { AV.av_log(nullptr, AV_LOG_INFO, "from another thread\n"); }).join();
    for (const EventRecorder* r : {&recorder, &secondRecorder}) {
        const auto logs = r->Logs();
        ASSERT_EQ(logs.size(), 2u);
        EXPECT_EQ(logs[0].index, -1);
        EXPECT_EQ(logs[0].level, llError);
        EXPECT_EQ(logs[0].message, "shared");
        EXPECT_EQ(logs[1].index, -1);
        EXPECT_EQ(logs[1].message, "from another thread");
    }
}

TEST_F(LogRoutingTest, ClearLogDropsPendingText) {
    AV.av_log(nullptr, AV_LOG_INFO, "lost ");
    component.ClearLog();
    AV.av_log(nullptr, AV_LOG_INFO, "fresh\n");
    EXPECT_EQ(Messages(), Lines{"fresh"});
}

TEST_F(LogRoutingTest, DestroyedComponentGetsNoMoreLines) {
    std::vector<std::string> seen;
    {
        TKivAVConverter gone;
        gone.OnLog = [&](int32_t, TLogLevel, const std::string& msg) { seen.push_back(msg); };
        AV.av_log(nullptr, AV_LOG_INFO, "before\n");
    }
    AV.av_log(nullptr, AV_LOG_INFO, "after\n");
    EXPECT_EQ(seen, Lines{"before"});
    EXPECT_EQ(Messages(), (Lines{"before", "after"}));
}

} // namespace
