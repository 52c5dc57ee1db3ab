// Real conversions through the component: how StartJobs schedules the jobs, what StopJobs,
// PauseJobs and ResumeJobs do to a run in progress, and the hook events.
//
// Every job runs with the custom hook on; its handler marks the job's start (its first
// picture) on a shared timeline and waits a few milliseconds per picture, so that a run lasts
// long enough to be paused or stopped on any build, however fast the encoder.
#include "component/av_converter.h"
#include "component/event_recorder.h"
#include "component/ffmpeg_job.h"

#include "fixtures/fixture_writer.h"
#include "platform/main_thread.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <map>
#include <mutex>
#include <set>
#include <thread>

using namespace tarnwick::component;
using tarnwick::test::EventRecorder;
using tarnwick::test::TerminateEvent;
namespace fixtures = tarnwick::fixtures;
namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {

// Lets the test see whether a job's worker thread is held at its pause gate.
class InspectableConverter : public TKivAVConverter {
public:
    using TKivAVConverter::TKivAVConverter;
    bool HeldAtGate(int index) {
        std::lock_guard lock(EventLock);
        const tarnwick::engine::TFFmpegThread* thread = Jobs[index].WorkerThread.load();
        return thread && thread->WaitingAtGate();
    }
};

struct Mark {
    enum Kind { Start, End } kind;
    int32_t index;
    std::chrono::steady_clock::time_point at;
};

class ConverterRunTest : public ::testing::Test {
protected:
    ConverterRunTest() : component(&mainThread) { recorder.Attach(component); }

    void SetUp() override {
        ASSERT_TRUE(
            component.LoadLibraries((tarnwick::test::ExecutableFolder() / "LibAV").string(), true))
            << component.LastError;
        component.SetProgressInterval(100);
        component.OnCustomHook = [this](int32_t index, tarnwick::platform::Bitmap24&, int32_t,
                                        int64_t, bool& update, bool&) {
            update = false;
            {
                std::lock_guard lock(mutex);
                if (++hookCalls[index] == 1) timeline.push_back({Mark::Start, index, Now()});
                hookThreads.insert(std::this_thread::get_id());
            }
            if (AfterPicture) AfterPicture(index, hookCalls[index]);
            std::this_thread::sleep_for(PictureDelay);
        };
        recorder.AfterTerminate = [this](const TerminateEvent& event) {
            if (event.index < 0) return;
            std::lock_guard lock(mutex);
            timeline.push_back({Mark::End, event.index, Now()});
        };
    }

    static std::chrono::steady_clock::time_point Now() { return std::chrono::steady_clock::now(); }

    // Adds a job for a fresh clip of the given pictures, converted with the custom hook on.
    int AddJob(const std::string& name, int frames) {
        const std::string input = folder.File(name + ".mp4");
        fixtures::WriteClip(input, fixtures::SimpleClip(frames, false));
        const int index = component.AddJob(input, nullptr);
        EXPECT_GE(index, 0) << component.LastError;
        TOutputOptions options;
        ClearOutputOptions(options);
        options.CustomHook = true;
        EXPECT_TRUE(component.SetJobOutput(index, Output(name), &options)) << component.LastError;
        return index;
    }
    std::string Output(const std::string& name) const { return folder.File(name + "-out.mp4"); }

    std::vector<Mark> Timeline() {
        std::lock_guard lock(mutex);
        return timeline;
    }
    int HookCalls(int32_t index) {
        std::lock_guard lock(mutex);
        return hookCalls[index];
    }
    // The job has passed that many pictures (its run is under way).
    bool WaitForPictures(int32_t index, int count) {
        return tarnwick::test::WaitFor([&] { return HookCalls(index) >= count; }, 120s);
    }

    // Each job reported exactly once, with this outcome, and the run's end came last.
    void ExpectEveryJobEndedOnceThenTheRun(bool finished) {
        const auto events = recorder.Terminates();
        ASSERT_EQ(events.size(), static_cast<size_t>(component.JobCount()) + 1);
        std::set<int32_t> indexes;
        for (size_t i = 0; i + 1 < events.size(); ++i) {
            EXPECT_EQ(events[i].finished, finished) << "job " << events[i].index;
            EXPECT_FALSE(events[i].exception) << events[i].message;
            indexes.insert(events[i].index);
        }
        EXPECT_EQ(indexes.size(), static_cast<size_t>(component.JobCount()));
        const TerminateEvent& last = events.back();
        EXPECT_EQ(last.index, -1);
        EXPECT_TRUE(last.finished);
        EXPECT_FALSE(last.exception);
        EXPECT_EQ(last.message, "");
    }

    std::chrono::milliseconds PictureDelay = 10ms;
    // Called on the job's thread after each picture's hook, with the count so far.
    std::function<void(int32_t index, int calls)> AfterPicture;

    tarnwick::test::TempFolder folder;
    tarnwick::platform::RunLoopScheduler mainThread;
    // Everything the handlers touch is declared before the component, which is destroyed
    // first and waits for a handler still running on one of its threads.
    EventRecorder recorder;
    std::mutex mutex;
    std::vector<Mark> timeline;
    std::map<int32_t, int> hookCalls;
    std::set<std::thread::id> hookThreads;
    InspectableConverter component;
};

TEST_F(ConverterRunTest, TwoWorkersRunThreeJobsTwoAtATime) {
    for (const char* name : {"a", "b", "c"})
        AddJob(name, 15);
    component.StartJobs(2);
    ASSERT_TRUE(recorder.WaitForRunEnd());
    ExpectEveryJobEndedOnceThenTheRun(true);

    // Jobs 0 and 1 both began before anything ended; job 2 began only after an end.
    const auto marks = Timeline();
    ASSERT_EQ(marks.size(), 6u);
    EXPECT_EQ(marks[0].kind, Mark::Start);
    EXPECT_EQ(marks[1].kind, Mark::Start);
    EXPECT_EQ((std::set<int32_t>{marks[0].index, marks[1].index}), (std::set<int32_t>{0, 1}));
    EXPECT_EQ(marks[2].kind, Mark::End);
    int running = 0, mostRunning = 0;
    for (const Mark& mark : marks) {
        running += mark.kind == Mark::Start ? 1 : -1;
        mostRunning = std::max(mostRunning, running);
    }
    EXPECT_EQ(mostRunning, 2);

    EXPECT_EQ(hookThreads.size(), 3u) << "one worker thread per job";
    EXPECT_EQ(hookThreads.count(std::this_thread::get_id()), 0u);
    for (const char* name : {"a", "b", "c"}) {
        const auto info = fixtures::ReadFileInfo(Output(name));
        ASSERT_NE(info.First(AVMEDIA_TYPE_VIDEO), nullptr) << name;
        EXPECT_EQ(info.First(AVMEDIA_TYPE_VIDEO)->frameCount, 15) << name;
    }
    for (int32_t index = 0; index < 3; ++index)
        EXPECT_EQ(HookCalls(index), 15);
}

TEST_F(ConverterRunTest, WithoutWorkersTheJobsRunOnTheMainThreadOneAfterAnother) {
    AddJob("a", 8);
    AddJob("b", 8);
    component.StartJobs(0);
    ASSERT_TRUE(mainThread.RunUntil([&] { return recorder.RunEnded(); }, 120s));
    ExpectEveryJobEndedOnceThenTheRun(true);

    EXPECT_EQ(hookThreads, (std::set<std::thread::id>{std::this_thread::get_id()}));
    for (const auto& event : recorder.Terminates())
        EXPECT_EQ(event.thread, std::this_thread::get_id()) << "job " << event.index;
    const auto marks = Timeline();
    ASSERT_EQ(marks.size(), 4u);
    const Mark::Kind order[] = {Mark::Start, Mark::End, Mark::Start, Mark::End};
    for (size_t i = 0; i < marks.size(); ++i) {
        EXPECT_EQ(marks[i].kind, order[i]) << i;
        EXPECT_EQ(marks[i].index, static_cast<int32_t>(i / 2)) << i;
    }
    // The second job is started by a timer 100 ms after the first one's end.
    EXPECT_GE(marks[2].at - marks[1].at, 100ms);
}

TEST_F(ConverterRunTest, StopDuringTheRunEndsItUnfinishedWithAReadableOutput) {
    AddJob("running", 60);
    AddJob("waiting", 10);
    AfterPicture = [this](int32_t, int calls) {
        if (calls == 5) component.StopJobs();
    };
    component.StartJobs(1);
    ASSERT_TRUE(recorder.WaitForRunEnd());
    ExpectEveryJobEndedOnceThenTheRun(false);

    // The stopped job's output got its trailer: it opens and holds what was converted.
    const auto info = fixtures::ReadFileInfo(Output("running"));
    ASSERT_NE(info.First(AVMEDIA_TYPE_VIDEO), nullptr);
    EXPECT_GT(info.First(AVMEDIA_TYPE_VIDEO)->frameCount, 0);
    EXPECT_LT(info.First(AVMEDIA_TYPE_VIDEO)->frameCount, 60);
    // The job that had not started never ran, and reported from a thread of its own.
    EXPECT_EQ(HookCalls(1), 0);
    for (const auto& event : recorder.Terminates())
        if (event.index == 1) {
            EXPECT_NE(event.thread, std::this_thread::get_id());
        }
}

TEST_F(ConverterRunTest, PauseHoldsTheRunUntilResume) {
    AddJob("paused", 40);
    component.StartJobs(1);
    ASSERT_TRUE(WaitForPictures(0, 5));
    component.PauseJobs();
    ASSERT_TRUE(tarnwick::test::WaitFor([&] { return component.HeldAtGate(0); }, 30s));

    // Held: over a whole window no progress event comes, no picture passes, the file stays.
    const size_t progressBefore = recorder.Progresses().size();
    const int picturesBefore = HookCalls(0);
    const auto sizeBefore = fs::file_size(Output("paused"));
    EXPECT_FALSE(
        recorder.WaitUntil([&] { return recorder.Progresses().size() > progressBefore; }, 700ms));
    EXPECT_EQ(HookCalls(0), picturesBefore);
    EXPECT_EQ(fs::file_size(Output("paused")), sizeBefore);
    EXPECT_TRUE(component.HeldAtGate(0));
    EXPECT_FALSE(recorder.RunEnded());

    component.ResumeJobs();
    ASSERT_TRUE(recorder.WaitForRunEnd());
    ExpectEveryJobEndedOnceThenTheRun(true);
    EXPECT_GT(recorder.Progresses().size(), progressBefore);
    EXPECT_EQ(fixtures::ReadFileInfo(Output("paused")).First(AVMEDIA_TYPE_VIDEO)->frameCount, 40);
}

TEST_F(ConverterRunTest, TheListKeepsItsJobsWhileTheyRun) {
    AddJob("first", 30);
    AddJob("second", 5);
    component.StartJobs(1);
    ASSERT_TRUE(WaitForPictures(0, 2));
    // Neither job may go, nor one come, while the run counts them: it would never end.
    EXPECT_THROW(component.RemoveJob(1), std::logic_error);
    EXPECT_EQ(component.AddJob(folder.File("first.mp4"), nullptr), -1);
    EXPECT_EQ(component.LastError,
              "The jobs are running: a job cannot be added before the run has ended");
    EXPECT_EQ(component.JobCount(), 2);

    ASSERT_TRUE(recorder.WaitForRunEnd());
    ExpectEveryJobEndedOnceThenTheRun(true);
    // Once the run is over the list is the owner's again.
    component.RemoveJob(0);
    EXPECT_EQ(component.JobCount(), 1);
    EXPECT_EQ(component.AddJob(folder.File("first.mp4"), nullptr), 1) << component.LastError;
}

TEST_F(ConverterRunTest, OneComponentTakesAnyNumberOfAddRunAndClearCycles) {
    // A window keeps its component for its whole life: it probes files (add, remove, clear)
    // and runs the list again and again. Each cycle runs two jobs, on workers or on the main
    // thread, and the list must be the owner's again after every clear.
    const int parallelOfCycle[] = {1, 0, 2};
    const std::string probed = folder.File("probed.mp4");
    fixtures::WriteClip(probed, fixtures::SimpleClip(3, false));
    for (int cycle = 0; cycle < 3; ++cycle) {
        SCOPED_TRACE("cycle " + std::to_string(cycle));
        const std::string first = "first" + std::to_string(cycle);
        const std::string second = "second" + std::to_string(cycle);
        // The add loop of the task list: a job only to probe the file, removed at once.
        ASSERT_EQ(component.AddJob(probed, nullptr), 0) << component.LastError;
        component.RemoveJob(0);
        component.ClearJobs();
        ASSERT_EQ(AddJob(first, 6), 0);
        ASSERT_EQ(AddJob(second, 6), 1);
        component.StartJobs(parallelOfCycle[cycle]);
        const auto runEnds = [&] {
            int ends = 0;
            for (const auto& event : recorder.Terminates())
                ends += event.index < 0;
            return ends;
        };
        ASSERT_TRUE(mainThread.RunUntil([&] { return runEnds() == cycle + 1; }, 120s));
        for (const std::string& name : {first, second})
            EXPECT_EQ(fixtures::ReadFileInfo(Output(name)).First(AVMEDIA_TYPE_VIDEO)->frameCount, 6)
                << name;
        component.ClearJobs();
        EXPECT_EQ(component.JobCount(), 0);
    }
}

TEST_F(ConverterRunTest, DetachedHandlersAreNoLongerCalled) {
    // A closing window detaches its handlers and stops the run: the stopped job's end, its
    // last pictures and log lines must not reach a window that is going away.
    const std::string input = folder.File("detached.mp4");
    fixtures::WriteClip(input, fixtures::SimpleClip(60, false));
    std::atomic<int> pictures{0};
    std::atomic<bool> detached{false};
    std::atomic<int> callsAfterDetaching{0};
    {
        TKivAVConverter closing;
        ASSERT_TRUE(
            closing.LoadLibraries((tarnwick::test::ExecutableFolder() / "LibAV").string(), true));
        const auto counted = [&] {
            if (detached) ++callsAfterDetaching;
        };
        closing.OnCustomHook = [&](int32_t, tarnwick::platform::Bitmap24&, int32_t, int64_t, bool&,
                                   bool&) {
            counted();
            ++pictures;
            std::this_thread::sleep_for(10ms);
        };
        closing.OnTerminate = [&](int32_t, bool, bool, const std::string&) { counted(); };
        closing.OnProgress = [&](int32_t, int32_t, int32_t, int32_t, float, float, int64_t,
                                 int32_t) { counted(); };
        closing.OnLog = [&](int32_t, TLogLevel, const std::string&) { counted(); };
        ASSERT_EQ(closing.AddJob(input, nullptr), 0) << closing.LastError;
        TOutputOptions options;
        ClearOutputOptions(options);
        options.CustomHook = true;
        ASSERT_TRUE(closing.SetJobOutput(0, folder.File("detached-out.mp4"), &options));
        closing.StartJobs(1);
        ASSERT_TRUE(tarnwick::test::WaitFor([&] { return pictures >= 2; }, 120s));
        closing.DetachEventHandlers();
        // A hook handler may still be finishing its picture; nothing may start after it.
        const int picturesAtDetaching = pictures + 1;
        detached = true;
        closing.StopJobs();
        EXPECT_LE(pictures, picturesAtDetaching);
    } // waits for the stopped job to report its end
    EXPECT_LE(callsAfterDetaching, 1);
    EXPECT_LT(pictures, 60);
}

TEST_F(ConverterRunTest, DestroyingTheComponentStopsItsRunAndWaitsForIt) {
    const std::string input = folder.File("long.mp4");
    fixtures::WriteClip(input, fixtures::SimpleClip(60, false));
    std::atomic<int> pictures{0};
    std::atomic<bool> destroyed{false};
    std::atomic<int> callsAfterDestruction{0};
    {
        TKivAVConverter doomed;
        ASSERT_TRUE(
            doomed.LoadLibraries((tarnwick::test::ExecutableFolder() / "LibAV").string(), true));
        doomed.OnCustomHook = [&](int32_t, tarnwick::platform::Bitmap24&, int32_t, int64_t, bool&,
                                  bool&) {
            if (destroyed) ++callsAfterDestruction;
            ++pictures;
            std::this_thread::sleep_for(10ms);
        };
        doomed.OnTerminate = [&](int32_t, bool, bool, const std::string&) {
            if (destroyed) ++callsAfterDestruction;
        };
        ASSERT_EQ(doomed.AddJob(input, nullptr), 0) << doomed.LastError;
        TOutputOptions options;
        ClearOutputOptions(options);
        options.CustomHook = true;
        ASSERT_TRUE(doomed.SetJobOutput(0, folder.File("long-out.mp4"), &options));
        doomed.StartJobs(1);
        ASSERT_TRUE(tarnwick::test::WaitFor([&] { return pictures >= 2; }, 120s));
    }
    destroyed = true;
    EXPECT_FALSE(tarnwick::test::WaitFor([&] { return callsAfterDestruction > 0; }, 200ms));
    EXPECT_LT(pictures, 60) << "the run was stopped, not waited out";
    // What the stopped run wrote got its trailer.
    const auto info = fixtures::ReadFileInfo(folder.File("long-out.mp4"));
    ASSERT_NE(info.First(AVMEDIA_TYPE_VIDEO), nullptr);
    EXPECT_GT(info.First(AVMEDIA_TYPE_VIDEO)->frameCount, 0);
}

// Red as the decoded pictures carry it: strong V (Cr), low U (Cb).
bool IsRed(const fixtures::Picture& picture, int x, int y) {
    return picture.At(2, x, y) > 200 && picture.At(1, x, y) < 110;
}

TEST_F(ConverterRunTest, HookEventsCarryTheJobIndexAndTheirAnswersReachTheOutput) {
    // Job 0 paints through the custom hook; job 1 runs the frame-hook module, which its
    // before-hook answers switch off from the third picture on.
    const std::string input = folder.File("hooks.mkv");
    fixtures::ClipSpec spec;
    spec.video = fixtures::VideoSpec{};
    spec.video->codec = "ffv1";
    spec.video->pixelFormat = AV_PIX_FMT_YUV420P;
    spec.video->frameCount = 4;
    fixtures::WriteClip(input, spec);
    const std::string lossless = "vcodec=ffv1\npix_fmt=yuv420p\n";
    const std::string module = (tarnwick::test::ExecutableFolder() / "boxhook.so").string();
    const auto add = [&](const std::string& output, bool custom, const std::string& extra) {
        const int index = component.AddJob(input, nullptr);
        ASSERT_GE(index, 0) << component.LastError;
        TOutputOptions options;
        ClearOutputOptions(options);
        options.CustomHook = custom;
        options.BeforeHook = !custom;
        options.ExtOptions = lossless + extra;
        ASSERT_TRUE(component.SetJobOutput(index, output, &options)) << component.LastError;
    };
    add(folder.File("painted.mkv"), true, "");
    add(folder.File("boxed.mkv"), false, "vhook=" + module + " 0 0 32 32 FF0000");

    std::map<int32_t, std::vector<int32_t>> customFrames;
    std::map<int32_t, std::vector<int64_t>> beforePts;
    component.OnCustomHook = [&](int32_t index, tarnwick::platform::Bitmap24& bitmap,
                                 int32_t frameNumber, int64_t, bool& update, bool&) {
        {
            std::lock_guard lock(mutex);
            customFrames[index].push_back(frameNumber);
        }
        for (int y = 10; y < 30; ++y)
            for (int x = 10; x < 30; ++x) {
                uint8_t* pixel = bitmap.ScanLine(y) + x * 3; // blue, green, red
                pixel[0] = 0;
                pixel[1] = 0;
                pixel[2] = 255;
            }
        update = true;
    };
    component.OnBeforeHook = [&](int32_t index, int64_t pts, THookAction& action) {
        std::lock_guard lock(mutex);
        beforePts[index].push_back(pts);
        action = beforePts[index].size() >= 3 ? haIgnore : haContinue;
    };
    component.StartJobs(2);
    ASSERT_TRUE(recorder.WaitForRunEnd());
    ExpectEveryJobEndedOnceThenTheRun(true);

    EXPECT_EQ(customFrames, (std::map<int32_t, std::vector<int32_t>>{{0, {1, 2, 3, 4}}}));
    ASSERT_EQ(beforePts.size(), 1u);
    ASSERT_EQ(beforePts.count(1), 1u);
    ASSERT_EQ(beforePts[1].size(), 4u);
    for (size_t i = 1; i < beforePts[1].size(); ++i)
        EXPECT_GT(beforePts[1][i], beforePts[1][i - 1]);

    const auto painted = fixtures::ReadPictures(folder.File("painted.mkv"));
    const auto boxed = fixtures::ReadPictures(folder.File("boxed.mkv"));
    ASSERT_EQ(painted.size(), 4u);
    ASSERT_EQ(boxed.size(), 4u);
    for (size_t i = 0; i < 4; ++i) {
        EXPECT_TRUE(IsRed(painted[i], 20, 20)) << "picture " << i;
        EXPECT_FALSE(IsRed(painted[i], 60, 60)) << "picture " << i;
        EXPECT_EQ(IsRed(boxed[i], 8, 8), i < 2) << "picture " << i;
    }
}

} // namespace
