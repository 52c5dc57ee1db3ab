#include "cli/output_check.h"

#include "probe/av_probe.h"

#include <algorithm>
#include <cstdio>
#include <sys/stat.h>

namespace tarnwick::cli {
namespace {

// The outputs are judged to within one second, as a player's position display would show.
constexpr int64_t ToleranceMs = 1000;

int64_t DurationMs(probe::TAVProbe& probe) {
    probe::TAVFormatInfo info;
    probe.GetFormatInfo(info);
    return info.Duration > 0 ? info.Duration / 1000 : -1;
}

int64_t StartMs(probe::TAVProbe& probe) {
    probe::TAVFormatInfo info;
    probe.GetFormatInfo(info);
    return info.StartTime > 0 ? info.StartTime / 1000 : 0;
}

// What is left of the source's length after the trim.
int64_t TrimmedLength(int64_t sourceMs, int32_t trimStartMs, int32_t trimLengthMs) {
    int64_t length = std::max<int64_t>(0, sourceMs - std::max(0, trimStartMs));
    if (trimLengthMs > 0) length = std::min<int64_t>(length, trimLengthMs);
    return length;
}

bool Near(int64_t actual, int64_t expected) {
    return expected >= 0 && std::llabs(actual - expected) <= ToleranceMs;
}

} // namespace

OutputExpectation ExpectationFor(const std::string& source, bool presetMakesVideo,
                                 int32_t trimStartMs, int32_t trimLengthMs) {
    OutputExpectation expected;
    probe::TAVProbe probe;
    if (!probe.Open(source, "")) return expected;
    // A still picture has a picture stream but is one frame long: it is converted to a short
    // clip of its own, whose length the source does not tell.
    const bool still = probe.FormatName().find("image2") != std::string::npos ||
                       probe.FormatName().find("_pipe") != std::string::npos;
    expected.video = presetMakesVideo && probe.VideoStreamCount() > 0;
    expected.audio = probe.AudioStreamCount() > 0;
    const int64_t sourceMs = still ? -1 : DurationMs(probe);
    if (sourceMs > 0) {
        expected.durationMs = TrimmedLength(sourceMs, trimStartMs, trimLengthMs);
        if (const int64_t startMs = StartMs(probe); startMs > 0 && startMs < sourceMs)
            expected.durationWithoutOffsetMs =
                TrimmedLength(sourceMs - startMs, trimStartMs, trimLengthMs);
    } else if (trimLengthMs > 0 && !still) {
        expected.durationMs = trimLengthMs;
    }
    return expected;
}

OutputCheck CheckOutput(const std::string& output, const OutputExpectation& expected) {
    struct stat info {};
    if (stat(output.c_str(), &info) != 0) return {"no output file was written"};
    if (info.st_size == 0) return {"the output file is empty"};
    probe::TAVProbe probe;
    if (!probe.Open(output, "")) return {"the output cannot be read back: " + probe.LastError()};
    if (probe.VideoStreamCount() <= 0 && probe.AudioStreamCount() <= 0)
        return {"the output holds neither video nor sound"};
    if (expected.video && probe.VideoStreamCount() <= 0) return {"the output has no video stream"};
    if (expected.audio && probe.AudioStreamCount() <= 0) return {"the output has no sound stream"};
    if (expected.durationMs >= 0) {
        const int64_t actual = DurationMs(probe);
        if (actual < 0 || !(Near(actual, expected.durationMs) ||
                            Near(actual, expected.durationWithoutOffsetMs))) {
            char text[128];
            std::snprintf(text, sizeof text, "the output lasts %.1f s, %.1f s expected",
                          actual < 0 ? 0.0 : actual / 1000.0, expected.durationMs / 1000.0);
            return {text, true};
        }
    }
    return {};
}

} // namespace tarnwick::cli
