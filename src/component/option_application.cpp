#include "component/option_application.h"

#include "platform/convert.h"
#include "platform/time_zone.h"

#include <algorithm>
#include <cmath>
#include <ctime>
#include <limits>

namespace tarnwick::component {
namespace {

// Days from 30 Dec 1899 to 1 Jan 1970.
constexpr double UnixEpochDays = 25569.0;
constexpr double SecondsPerDay = 86400.0;

// Milliseconds text as microseconds; -1 ms when malformed or empty. Values too large for
// microseconds are cut to the largest that fit.
int64_t RangeEdgeUs(const std::string& text) {
    int64_t ms = -1;
    try {
        ms = platform::StrToInt64(platform::Trim(text));
    } catch (const platform::EConvertError&) {
    }
    constexpr int64_t limit = std::numeric_limits<int64_t>::max() / 1000;
    return std::clamp(ms, -limit, limit) * 1000;
}

} // namespace

void ApplyInputOptions(engine::TCustomFFmpeg& job, const TInputOptions& options) {
    job.ApplyOptionText(options.ExtOptions);
    job.SetInputFormat(options.ForceFormat);
    job.SetStartTimeUs(static_cast<int64_t>(options.StartTime) * 1000);
    job.SetProgramId(options.ProgramId);
}

void ApplyOutputOptions(engine::TCustomFFmpeg& job, const TOutputOptions& options) {
    job.SetOutputFormat(options.ForceFormat);
    if (options.PacketSize > 0) job.SetGenericIntOption("packetsize", options.PacketSize);
    if (options.MuxRate > 0) job.SetGenericIntOption("muxrate", options.MuxRate);
    if (options.MuxDelay > 0) job.MuxMaxDelay = options.MuxDelay;
    if (options.MuxPreload > 0) job.MuxPreload = options.MuxPreload;

    job.SetAudioCodec(options.AudioCodec);
    if (options.AudioDisable) job.AudioDisable = true;
    if (options.AudioVolume >= 0) job.AudioVolume = options.AudioVolume;
    if (options.AudioChannels > 0) job.AudioChannels = options.AudioChannels;
    if (options.AudioSampleRate > 0) job.AudioSampleRate = options.AudioSampleRate;
    if (options.AudioBitrate > 0) job.SetGenericIntOption("ab", options.AudioBitrate);
    if (options.AudioBitrateTolerance > 0)
        job.SetGenericIntOption("abt", options.AudioBitrateTolerance);
    job.AudioLanguage = options.AudioLanguage;
    job.AudioSyncMethod = options.AudioSync;

    job.SetAudioTag(options.AudioTag);
    job.SetVideoCodec(options.VideoCodec);
    if (options.VideoDisable) job.VideoDisable = true;
    // The size comes before the crops, so they are taken from the size just set.
    job.SetFrameRate(options.FrameRate);
    job.SetFrameSize(options.FrameSize);
    job.SetAspect(options.FrameAspect);
    job.SetCropTop(options.CropTop);
    job.SetCropBottom(options.CropBottom);
    job.SetCropLeft(options.CropLeft);
    job.SetCropRight(options.CropRight);
    job.SetPadTop(options.PadTop);
    job.SetPadBottom(options.PadBottom);
    job.SetPadLeft(options.PadLeft);
    job.SetPadRight(options.PadRight);
    // Always: a record's black replaces the engine's default pad colour.
    job.SetPadColor(options.PadColor);

    if (options.Gop > 0) job.SetGenericIntOption("gop", options.Gop);
    if (options.VideoBitrate > 0) job.SetGenericIntOption("vb", options.VideoBitrate);
    if (options.VideoMaxRate > 0) job.SetGenericIntOption("maxrate", options.VideoMaxRate);
    if (options.VideoMinRate > 0) job.SetGenericIntOption("minrate", options.VideoMinRate);
    if (options.VideoBitrateTolerance > 0)
        job.SetGenericIntOption("bt", options.VideoBitrateTolerance);
    if (options.VideoBufSize > 0) job.SetGenericIntOption("bufsize", options.VideoBufSize);
    job.VideoSyncMethod = options.VideoSync;

    job.SetVideoTag(options.VideoTag);
    if (!options.VideoFilters.empty()) job.VideoFilters = options.VideoFilters;
    if (options.AdaptiveDeinterlace) job.AdaptiveDeinterlace = true;
    if (options.SubtitleDisable) job.SubtitleDisable = true;
    job.SubtitleLanguage = options.SubtitleLanguage;
    job.CopyTs = options.CopyTs;

    job.SetRecordingTimeMs(options.RecordingTime);
    if (options.Timestamp == 0) job.RecTimestamp = std::time(nullptr);
    else if (options.Timestamp > 0) job.RecTimestamp = LocalDaysToUnixSeconds(options.Timestamp);
    if (options.Year > 0) job.Year = options.Year;
    if (options.Track > 0) job.Track = options.Track;

    job.SetTitle(RecordText(options.Title));
    job.SetAuthor(RecordText(options.Author));
    job.SetCopyright(RecordText(options.Copyright));
    job.SetComment(RecordText(options.Comment));
    job.SetAlbum(RecordText(options.Album));
    job.SetGenre(RecordText(options.Genre));
}

void ApplyTargetOptions(engine::TCustomFFmpeg& job, const TOutputOptions& options) {
    static const char* const types[] = {"vcd", "svcd", "dvd"};
    if (options.Target < 1 || options.Target > 3) return;
    const char* norm = options.TargetNorm == 1 ? "pal" : options.TargetNorm == 2 ? "ntsc" : "auto";
    job.ApplyTarget(types[options.Target - 1], norm,
                    options.TargetDefaultNorm == 1 ? "pal" : "ntsc");
}

void ParseHookRanges(engine::TCustomFFmpeg& job, const std::string& text) {
    std::vector<engine::THookRange> ranges;
    const std::string all = platform::Trim(text);
    size_t start = 0;
    while (start < all.size()) {
        size_t end = all.find(',', start);
        if (end == std::string::npos) end = all.size();
        const std::string piece = platform::Trim(all.substr(start, end - start));
        start = end + 1;
        const size_t dash = piece.find('-');
        const int64_t from = RangeEdgeUs(piece.substr(0, dash));
        const int64_t to = RangeEdgeUs(dash == std::string::npos ? "" : piece.substr(dash + 1));
        if (to >= from && to >= 0) ranges.push_back({from, to});
    }
    std::stable_sort(ranges.begin(), ranges.end(),
                     [](const engine::THookRange& a, const engine::THookRange& b) {
                         return a.EndUs < b.EndUs;
                     });
    job.HookRanges = std::move(ranges);
    job.HookRangeIndex = 0;
}

int64_t LocalDaysToUnixSeconds(double days) {
    const double zoneDays = platform::LocalStandardOffsetSeconds() / SecondsPerDay;
    const double seconds = std::nearbyint((days - UnixEpochDays - zoneDays) * SecondsPerDay);
    // A date beyond any calendar is cut rather than overflowing.
    constexpr double limit = 4.0e18;
    return static_cast<int64_t>(std::clamp(seconds, -limit, limit));
}

} // namespace tarnwick::component
