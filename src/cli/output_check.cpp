#include "cli/output_check.h"

#include "binding/media_functions.h"
#include "probe/av_probe.h"

#include <algorithm>
#include <cstdio>
#include <sys/stat.h>

namespace tarnwick::cli {
namespace {

// The outputs are judged to within one second, as a player's position display would show.
constexpr int64_t ToleranceMs = 1000;

// From the first packet's start to the last one's end, over every stream; -1 when no packet
// has a timestamp. Reads the whole file.
int64_t MeasuredDurationUs(AVFormatContext* context) {
    using binding::AV;
    AVPacket* packet = AV.av_packet_alloc();
    if (!packet) return -1;
    int64_t first = INT64_MAX, end = INT64_MIN;
    while (AV.av_read_frame(context, packet) >= 0) {
        const int64_t pts = packet->pts != AV_NOPTS_VALUE ? packet->pts : packet->dts;
        if (pts != AV_NOPTS_VALUE) {
            const AVRational timeBase = context->streams[packet->stream_index]->time_base;
            first = std::min(first, AV.av_rescale_q(pts, timeBase, AV_TIME_BASE_Q));
            end = std::max(end, AV.av_rescale_q(pts + packet->duration, timeBase, AV_TIME_BASE_Q));
        }
        AV.av_packet_unref(packet);
    }
    AV.av_packet_free(&packet);
    return end > first ? end - first : -1;
}

// A raw stream (ADTS, MP3 without a header) has no length of its own: the library estimates one
// from the bit rate of its first packets, which silence at the start makes several times too
// long. Such a length is measured instead.
int64_t DurationMs(probe::TAVProbe& probe) {
    AVFormatContext* context = probe.Context();
    if (context && context->duration_estimation_method == AVFMT_DURATION_FROM_BITRATE)
        if (const int64_t measured = MeasuredDurationUs(context); measured > 0)
            return measured / 1000;
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
