// What showing the picture being converted costs a conversion. A generated 1280 x 720 25 fps
// clip is converted through the component three ways, one child process per conversion:
//   plain   nobody looks at the pictures;
//   hook    the component's custom hook hands every picture over as a bitmap, which the
//           handler copies into the last frame (the way the progress window could be fed);
//   probe   a probe of its own decodes the source at the newest reported position on its own
//           thread, at most one picture every 400 ms (TLastFrameProbe, the way the progress
//           window is fed), while a 100 ms clock copies every new picture out, as the window's
//           clock does.
// The runs are interleaved and repeated; the table shows the best wall and processor times of
// the repetitions (on a shared machine the other loads only ever add time) and each way's
// extra cost against plain. Asserts nothing.
//
// Usage: last_picture_bench [clip seconds, default 20] [repetitions, default 5]

#include "app/core/app_paths.h"
#include "app/core/last_frame_probe.h"
#include "app/core/row_records.h"
#include "app/core/settings_keys.h"
#include "component/av_converter.h"
#include "fixtures/fixture_writer.h"
#include "platform/executable_folder.h"

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

using namespace tarnwick;
namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

// The progress interval the windows run with: a reported position at least twice a second.
constexpr int32_t ProgressIntervalMs = 250;

enum class Way { Plain, Hook, Probe };
constexpr const char* WayNames[] = {"plain", "hook", "probe"};

// Copies the last frame out every 100 ms when a new one arrived, as the window's clock does.
class FrameReader {
public:
    explicit FrameReader(app::TLastFrameProbe& view)
        : thread_([this, &view] {
              platform::Bitmap24 copy;
              uint64_t seen = 0;
              while (!stop_) {
                  {
                      std::lock_guard lock(view.LastFrame.CanvasLock());
                      if (view.FrameSerial() != seen && view.LastFrame.Width() > 0) {
                          seen = view.FrameSerial();
                          copy.Assign(view.LastFrame);
                          ++pictures;
                      }
                  }
                  std::this_thread::sleep_for(std::chrono::milliseconds(100));
              }
          }) {}
    ~FrameReader() {
        stop_ = true;
        thread_.join();
    }
    std::atomic<int> pictures{0};

private:
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

// Child: converts the clip with the preset the given way; exit status 0 when it finished.
int Convert(const std::string& clip, int preset, Way way, const std::string& outputFolder) {
    const std::string settingsPath = outputFolder + "/tarnwick.ini";
    fs::copy_file(app::ShippedSettingsFilePath(), settingsPath,
                  fs::copy_options::overwrite_existing);
    const platform::IniStore settings(settingsPath);
    const platform::IniStore presets(app::PresetsFilePath());

    platform::RunLoopScheduler loop;
    component::TKivAVConverter converter(&loop);
    if (!converter.LoadLibraries(platform::ExecutableFolder() + "LibAV", true))
        throw std::runtime_error(converter.LastError);
    converter.SetProgressInterval(ProgressIntervalMs);

    probe::TAVProbe probe;
    if (!probe.Open(clip, "")) throw std::runtime_error(probe.LastError());
    probe.Seek(-1, 0);
    const platform::Bitmap24& first = probe.DecodeFrame(-1);
    const app::TSourceFacts facts{first.Width(), first.Height(), 0};
    app::TlvFilesRecord row;
    row.SourceFile = clip;
    const std::string destination = outputFolder + "/out.mp4";
    app::TRowRecords records =
        app::MakeRowRecords(row, preset, destination, "", facts, settings, presets);
    probe.Close();
    records.Output.CustomHook = way == Way::Hook;

    app::TLastFrameProbe view;
    std::atomic<int> hookPictures{0}, progressEvents{0};
    if (way == Way::Hook) {
        converter.OnCustomHook = [&](int32_t, platform::Bitmap24& bitmap, int32_t, int64_t, bool&,
                                     bool&) {
            if (bitmap.Width() <= 0 || bitmap.Height() <= 0) return;
            std::lock_guard lock(view.LastFrame.CanvasLock());
            view.LastFrame.Assign(bitmap);
            ++hookPictures;
        };
    }
    if (way == Way::Probe) {
        converter.OnProgress = [&](int32_t, int32_t, int32_t, int32_t currentMs, float, float,
                                   int64_t, int32_t) {
            ++progressEvents;
            view.Request(clip, int64_t{currentMs} * 1000);
        };
    }
    const int job = converter.AddJob(clip, &records.Input);
    if (job < 0 || !converter.SetJobOutput(job, destination, &records.Output))
        throw std::runtime_error(converter.LastError);
    bool over = false, finished = false;
    converter.OnTerminate = [&](int32_t index, bool done, bool exception, const std::string& text) {
        loop.Post([&, index, done, exception, text] {
            if (index < 0)
                over = true;
            else if (done && !exception)
                finished = true;
            else
                std::fprintf(stderr, "%s\n", text.c_str());
        });
    };
    {
        FrameReader reader(view);
        converter.StartJobs(1);
        loop.RunUntil([&] { return over; }, std::chrono::hours(1));
        converter.ClearJobs();
        std::fprintf(stderr, "  %s: %d pictures shown, %d progress events\n",
                     WayNames[static_cast<int>(way)],
                     way == Way::Hook ? hookPictures.load() : reader.pictures.load(),
                     progressEvents.load());
    }
    return finished ? 0 : 1;
}

struct Measured {
    double wallSeconds = 0;
    double cpuSeconds = 0;
    bool ok = false;
};

Measured MeasureChild(const std::vector<std::string>& args) {
    const std::string self = fs::canonical("/proc/self/exe").string();
    std::vector<char*> argv{const_cast<char*>(self.c_str())};
    for (const auto& a : args)
        argv.push_back(const_cast<char*>(a.c_str()));
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
    const auto seconds = [](const timeval& t) { return t.tv_sec + t.tv_usec / 1e6; };
    Measured m;
    m.wallSeconds = std::chrono::duration<double>(Clock::now() - start).count();
    m.cpuSeconds = seconds(usage.ru_utime) + seconds(usage.ru_stime);
    m.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    return m;
}

double Best(const std::vector<double>& values) {
    return *std::min_element(values.begin(), values.end());
}

} // namespace

int main(int argc, char** argv) {
    try {
        if (argc == 6 && std::string(argv[1]) == "--convert") {
            // Child: --convert PRESET WAY OUTPUT CLIP
            return Convert(argv[5], std::atoi(argv[2]), static_cast<Way>(std::atoi(argv[3])),
                           argv[4]);
        }
        const int seconds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 20;
        const int repetitions = argc > 2 ? std::max(1, std::atoi(argv[2])) : 5;
        std::string pattern = (fs::temp_directory_path() / "tarnwick-bench-XXXXXX").string();
        if (!mkdtemp(pattern.data())) throw std::runtime_error("no temporary folder");
        const fs::path folder = pattern;
        std::fprintf(stderr, "writing a %d s 1280x720 clip...\n", seconds);
        fixtures::ClipSpec spec = fixtures::SimpleClip(seconds * 25, true);
        spec.video->width = 1280;
        spec.video->height = 720;
        spec.video->bitRate = 4000000;
        spec.audio->sampleRate = 48000;
        spec.audio->channels = 2;
        spec.audio->durationSeconds = seconds;
        const std::string clip = (folder / "clip720.mp4").string();
        fixtures::WriteClip(clip, spec);

        std::printf("%-30s %8s %8s %8s %8s\n", "720p conversion", "wall s", "extra", "cpu s",
                    "extra");
        for (int preset : {16, 0}) {
            std::vector<double> wall[3], cpu[3];
            for (int r = 0; r < repetitions; ++r) {
                for (int w = 0; w < 3; ++w) {
                    const fs::path out = folder / ("out" + std::to_string(w));
                    fs::create_directories(out);
                    const Measured m = MeasureChild({"--convert", std::to_string(preset),
                                                     std::to_string(w), out.string(), clip});
                    if (!m.ok) throw std::runtime_error("a conversion failed");
                    wall[w].push_back(m.wallSeconds);
                    cpu[w].push_back(m.cpuSeconds);
                }
            }
            const double plainWall = Best(wall[0]), plainCpu = Best(cpu[0]);
            for (int w = 0; w < 3; ++w) {
                char label[64];
                std::snprintf(label, sizeof label, "preset %d, %s", preset, WayNames[w]);
                const double mw = Best(wall[w]), mc = Best(cpu[w]);
                std::printf("%-30s %8.2f %+7.1f%% %8.2f %+7.1f%%\n", label, mw,
                            100 * (mw / plainWall - 1), mc, 100 * (mc / plainCpu - 1));
            }
        }
        fs::remove_all(folder);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "%s\n", error.what());
        return 1;
    }
    return 0;
}
