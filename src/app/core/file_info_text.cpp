#include "app/core/file_info_text.h"

#include "app/core/source_label.h"

#include <charconv>
#include <cmath>

namespace tarnwick::app {

std::string AudioCodecOfInfoText(std::string_view infoText) {
    constexpr std::string_view marker = "Audio:";
    const size_t start = infoText.find(marker);
    if (start == std::string_view::npos) return {};
    const size_t comma = infoText.find(',', start);
    // The name starts after "Audio: "; a comma before that leaves none.
    const size_t nameStart = start + marker.size() + 1;
    if (comma == std::string_view::npos || comma <= nameStart) return {};
    return std::string(infoText.substr(nameStart, comma - nameStart));
}

std::string FrameRateText(int32_t numerator, int32_t denominator) {
    if (numerator <= 0 || denominator <= 0) return {};
    // to_chars does not follow the locale, which may use a decimal comma.
    char text[32];
    const auto result = std::to_chars(std::begin(text), std::end(text),
                                      double(numerator) / denominator, std::chars_format::fixed, 2);
    return std::string(text, result.ptr);
}

std::string TotalFramesText(int64_t durationUs, int32_t numerator, int32_t denominator) {
    if (durationUs < 0 || numerator <= 0 || denominator <= 0) return {};
    const double frames = double(durationUs) / 1e6 * numerator / denominator;
    return std::to_string(std::llround(frames));
}

TFileInfoTexts DescribeFileInfo(probe::TAVProbe& probe, probe::TAVProbe& jobProbe) {
    TFileInfoTexts texts;
    if (probe.VideoStreamCount() <= 0) return texts;
    probe::TAVFormatInfo format;
    probe.GetFormatInfo(format);
    texts.SourceName = FileInfoSourceLabel(probe.FileName());
    texts.FileLength = DurationLabel(format.Duration);
    texts.Format = probe.FormatName();

    if (const int video = probe.FirstVideoStream(); probe.IsVideoStream(video)) {
        probe::TAVVideoStreamInfo info;
        jobProbe.GetVideoStreamInfo(video, info);
        texts.Resolution = std::to_string(info.Width) + "x" + std::to_string(info.Height);
        texts.BitRate = std::to_string(info.BitRate);
        texts.FrameRate = FrameRateText(info.FrameRateNum, info.FrameRateDen);
        texts.TotalFrames = TotalFramesText(format.Duration, info.FrameRateNum, info.FrameRateDen);
    }
    if (const int audio = probe.FirstAudioStream(); probe.IsAudioStream(audio)) {
        probe::TAVAudioStreamInfo info;
        jobProbe.GetAudioStreamInfo(audio, info);
        texts.AudioBitRate = std::to_string(info.BitRate);
        texts.SampleRate = std::to_string(info.SampleRate);
        texts.Channels = std::to_string(info.Channels);
        texts.AudioFormat = AudioCodecOfInfoText(probe.InfoText());
    }
    return texts;
}

} // namespace tarnwick::app
