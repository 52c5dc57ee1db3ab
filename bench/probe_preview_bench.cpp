// Preview latency: how long one Seek + DecodeFrame takes on a generated 720p clip, the call
// pair the editors' preview clocks make every half second.
//
// Usage: probe_preview_bench [seconds of clip, default 10] [calls, default 200]

#include "binding/media_libraries.h"
#include "fixtures/fixture_writer.h"
#include "probe/av_probe.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <stdexcept>
#include <vector>

#include <unistd.h>

using namespace tarnwick;

int main(int argc, char** argv) {
    const int seconds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 10;
    const int calls = argc > 2 ? std::max(1, std::atoi(argv[2])) : 200;
    const auto folder = std::filesystem::canonical("/proc/self/exe").parent_path() / "LibAV";
    if (!binding::LoadMediaLibraries(folder.string(), true)) {
        std::fprintf(stderr, "%s\n", binding::LastLoadError().c_str());
        return 1;
    }
    const auto clip = std::filesystem::temp_directory_path() /
                      ("tarnwick-preview-bench-" + std::to_string(getpid()) + ".mp4");
    fixtures::ClipSpec spec = fixtures::SimpleClip(seconds * 25, true);
    spec.video->width = 1280;
    spec.video->height = 720;
    try {
        fixtures::WriteClip(clip.string(), spec);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "%s\n", error.what());
        return 1;
    }

    probe::TAVProbe probe;
    if (!probe.Open(clip.string(), "")) {
        std::fprintf(stderr, "%s\n", probe.LastError().c_str());
        return 1;
    }
    std::mt19937 random(7);
    std::uniform_int_distribution<int64_t> position(0, seconds * int64_t{1000000} - 1);
    std::vector<double> ms;
    ms.reserve(calls);
    probe.Seek(-1, 0);
    probe.DecodeFrame(-1); // warm: decoder, conversion context and buffer made once
    for (int i = 0; i < calls; ++i) {
        const int64_t timeUs = position(random);
        const auto start = std::chrono::steady_clock::now();
        probe.Seek(-1, timeUs);
        probe.DecodeFrame(-1);
        ms.push_back(
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                .count());
    }
    probe.Close();
    std::filesystem::remove(clip);

    std::sort(ms.begin(), ms.end());
    double sum = 0;
    for (double v : ms)
        sum += v;
    std::printf("720p mpeg4, %d s clip, %d seek+decode calls: mean %.2f ms, median %.2f ms, "
                "95th %.2f ms, max %.2f ms\n",
                seconds, calls, sum / calls, ms[ms.size() / 2], ms[ms.size() * 95 / 100],
                ms.back());
    return 0;
}
