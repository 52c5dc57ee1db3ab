// Conversion speed: a generated 30 s 1280 x 720 25 fps clip with 48 kHz stereo sound converted
// with several presets through the component, one child process per conversion so that its
// peak memory is its own; the preview figure (Seek + DecodeFrame at 20 spread positions); and
// three clips converted one at a time against two at a time. Prints one table; asserts nothing.
//
// Usage: conversion_bench [clip seconds, default 30]

#include "app/core/app_paths.h"
#include "app/core/run_plan.h"
#include "app/core/settings_keys.h"
#include "binding/media_libraries.h"
#include "component/av_converter.h"
#include "fixtures/fixture_writer.h"
#include "platform/executable_folder.h"
#include "probe/av_probe.h"

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

using namespace tarnwick;
namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

class PrintingMessageBox : public app::TMessageBox {
public:
    void ShowMessage(const std::string& caption, const std::string& text,
                     app::TMessageIcon) override {
        std::fprintf(stderr, "%s: %s\n", caption.c_str(), text.c_str());
    }
};

// Converts the clips with the preset, `parallel` at a time; returns the number that finished.
int Convert(const std::vector<std::string>& clips, int preset, int parallel,
            const std::string& outputFolder) {
    const std::string settingsPath = outputFolder + "/tarnwick.ini";
    fs::copy_file(app::ShippedSettingsFilePath(), settingsPath, fs::copy_options::overwrite_existing);
    const platform::IniStore settings(settingsPath);
    app::WriteOutputFolder(settings, outputFolder);
    const platform::IniStore presets(app::PresetsFilePath());

    platform::RunLoopScheduler loop;
    component::TKivAVConverter converter(&loop);
    if (!converter.LoadLibraries(platform::ExecutableFolder() + "LibAV", true))
        throw std::runtime_error(converter.LastError);
    std::vector<app::TTaskRow> rows;
    for (const auto& clip : clips) {
        app::TTaskRow row;
        row.Record.SourceFile = clip;
        rows.push_back(row);
    }
    PrintingMessageBox messages;
    const app::TRunSetup setup{settings, presets, messages, {}, {}};
    probe::TAVProbe probe;
    app::QueueRun(converter, probe, rows, preset, setup);
    int finished = 0;
    bool over = false;
    converter.OnTerminate = [&](int32_t index, bool done, bool exception, const std::string& text) {
        loop.Post([&, index, done, exception, text] {
            if (index < 0) over = true;
            else if (done && !exception) ++finished;
            else std::fprintf(stderr, "job %d: %s\n", index, text.c_str());
        });
    };
    converter.StartJobs(parallel);
    loop.RunUntil([&] { return over; }, std::chrono::hours(2));
    converter.ClearJobs();
    return finished;
}

struct Measured {
    double wallSeconds = 0;
    long peakKiB = 0;
    bool ok = false;
};

// Runs the conversion in a child process (this program with --convert) and measures it.
Measured MeasureChild(const std::vector<std::string>& args) {
    const std::string self = fs::canonical("/proc/self/exe").string();
    std::vector<char*> argv{const_cast<char*>(self.c_str())};
    for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    const auto start = Clock::now();
    const pid_t pid = fork();
    if (pid == 0) {
        execv(self.c_str(), argv.data());
        _exit(127);
    }
    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    Measured m;
    m.wallSeconds = std::chrono::duration<double>(Clock::now() - start).count();
    m.peakKiB = usage.ru_maxrss;
    m.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    return m;
}

void PreviewFigure(const std::string& clip, double seconds, double& meanMs, double& worstMs) {
    probe::TAVProbe probe;
    if (!probe.Open(clip, "")) throw std::runtime_error(probe.LastError());
    constexpr int positions = 20;
    double total = 0;
    worstMs = 0;
    for (int i = 0; i < positions; ++i) {
        const auto at = static_cast<int64_t>(seconds * 1e6 * (i + 0.5) / positions);
        const auto start = Clock::now();
        probe.Seek(-1, at);
        probe.DecodeFrame(-1);
        const double ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
        total += ms;
        worstMs = std::max(worstMs, ms);
    }
    meanMs = total / positions;
}

std::string MakeClip(const fs::path& folder, const std::string& name, int seconds) {
    fixtures::ClipSpec spec = fixtures::SimpleClip(seconds * 25, true);
    spec.video->width = 1280;
    spec.video->height = 720;
    spec.audio->sampleRate = 48000;
    spec.audio->channels = 2;
    spec.audio->durationSeconds = seconds;
    spec.video->bitRate = 4000000;
    const std::string path = (folder / name).string();
    fixtures::WriteClip(path, spec);
    return path;
}

} // namespace

int main(int argc, char** argv) {
    try {
        if (argc >= 5 && std::string(argv[1]) == "--convert") {
            // Child: --convert PRESET PARALLEL OUTPUT CLIP...
            const std::vector<std::string> clips(argv + 5, argv + argc);
            const int done = Convert(clips, std::atoi(argv[2]), std::atoi(argv[3]), argv[4]);
            return done == static_cast<int>(clips.size()) ? 0 : 1;
        }
        const int seconds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 30;
        std::string pattern = (fs::temp_directory_path() / "tarnwick-bench-XXXXXX").string();
        if (!mkdtemp(pattern.data())) throw std::runtime_error("no temporary folder");
        const fs::path folder = pattern;
        std::fprintf(stderr, "writing a %d s 1280x720 clip...\n", seconds);
        const std::string clip = MakeClip(folder, "clip720.mp4", seconds);

        std::printf("%-44s %9s %9s %9s %10s\n", "conversion", "wall s", "fps", "realtime",
                    "peak MiB");
        const int frames = seconds * 25;
        for (int preset : {0, 1, 14, 16, 17, 19}) {
            const fs::path out = folder / ("preset" + std::to_string(preset));
            fs::create_directories(out);
            const Measured m = MeasureChild({"--convert", std::to_string(preset), "1", out.string(), clip});
            std::printf("preset %-37d %9.2f %9.1f %8.2fx %10.1f%s\n", preset, m.wallSeconds,
                        frames / m.wallSeconds, seconds / m.wallSeconds, m.peakKiB / 1024.0,
                        m.ok ? "" : "  (failed)");
        }

        if (!binding::LoadMediaLibraries(platform::ExecutableFolder() + "LibAV", true))
            throw std::runtime_error(binding::LastLoadError());
        double meanMs = 0, worstMs = 0;
        PreviewFigure(clip, seconds, meanMs, worstMs);
        std::printf("%-44s mean %.1f ms, worst %.1f ms\n", "preview Seek + DecodeFrame (20 positions)",
                    meanMs, worstMs);

        const int shortSeconds = std::max(1, seconds / 3);
        std::vector<std::string> three;
        for (int i = 0; i < 3; ++i)
            three.push_back(MakeClip(folder, "three" + std::to_string(i) + ".mp4", shortSeconds));
        for (int parallel : {1, 2}) {
            const fs::path out = folder / ("parallel" + std::to_string(parallel));
            fs::create_directories(out);
            std::vector<std::string> args{"--convert", "0", std::to_string(parallel), out.string()};
            args.insert(args.end(), three.begin(), three.end());
            const Measured m = MeasureChild(args);
            char label[64];
            std::snprintf(label, sizeof label, "3 clips of %d s, preset 0, StartJobs(%d)",
                          shortSeconds, parallel);
            std::printf("%-44s %9.2f %9.1f %8.2fx %10.1f%s\n", label, m.wallSeconds,
                        3 * shortSeconds * 25 / m.wallSeconds, 3 * shortSeconds / m.wallSeconds,
                        m.peakKiB / 1024.0, m.ok ? "" : "  (failed)");
        }
        fs::remove_all(folder);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "%s\n", error.what());
        return 1;
    }
    return 0;
}
