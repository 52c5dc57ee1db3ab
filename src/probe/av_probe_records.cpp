// The probe's records: container facts and the parameters of one video or audio stream.

#include "probe/av_probe.h"

#include "binding/media_functions.h"
#include "probe/probe_log.h"

#include <algorithm>
#include <cstdlib>
#include <limits>

namespace tarnwick::probe {

using binding::AV;

namespace {

constexpr AVRational Microseconds{1, 1000000};

template <size_t N> void CopyText(char (&target)[N], const char* text) {
    size_t length = 0;
    if (text)
        while (length + 1 < N && text[length])
            ++length;
    std::copy(text, text + length, target);
    std::fill(target + length, target + N, '\0');
}

const char* Tag(const AVDictionary* tags, const char* key) {
    const AVDictionaryEntry* entry = AV.av_dict_get(tags, key, nullptr, 0);
    return entry ? entry->value : nullptr;
}

const char* FirstTag(const AVDictionary* tags, const char* key, const char* otherKey) {
    const char* value = Tag(tags, key);
    return value ? value : Tag(tags, otherKey);
}

// The leading number of a tag ("2009-05-01" gives 2009, "3/12" gives 3); 0 when none.
int32_t LeadingNumber(const char* text) {
    if (!text) return 0;
    const long long value = std::strtoll(text, nullptr, 10);
    return static_cast<int32_t>(
        std::clamp<long long>(value, 0, std::numeric_limits<int32_t>::max()));
}

int32_t ClampToInt32(int64_t value) {
    return static_cast<int32_t>(std::clamp<int64_t>(value, std::numeric_limits<int32_t>::min(),
                                                    std::numeric_limits<int32_t>::max()));
}

// Seconds since 1970 of the container's creation time, 0 when it has none or it is unreadable.
int64_t CreationTime(const AVDictionary* tags) {
    const char* text = Tag(tags, "creation_time");
    int64_t us = 0;
    if (!text || AV.av_parse_time(&us, text, 0) < 0) return 0;
    return us / 1000000;
}

// The part both stream records share: language, codec name, start time and duration.
template <class Info> void FillStreamBasics(const AVStream& stream, Info& info) {
    CopyText(info.Language, Tag(stream.metadata, "language"));
    CopyText(info.CodecName, AV.avcodec_get_name(stream.codecpar->codec_id));
    info.StartTime = stream.start_time;
    if (stream.start_time != AV_NOPTS_VALUE)
        info.StartTimeUs = AV.av_rescale_q(stream.start_time, stream.time_base, Microseconds);
    info.Duration = stream.duration;
    if (stream.duration != AV_NOPTS_VALUE)
        info.DurationUs = AV.av_rescale_q(stream.duration, stream.time_base, Microseconds);
    info.BitRate = ClampToInt32(stream.codecpar->bit_rate);
}

} // namespace

void TAVProbe::GetFormatInfo(TAVFormatInfo& info) {
    info = TAVFormatInfo{};
    if (!Context_) {
        ProbeLog(1, "file not loaded.\n");
        return;
    }
    const AVDictionary* tags = Context_->metadata;
    info.StartTime = Context_->start_time;
    info.Duration = Context_->duration;
    info.BitRate = ClampToInt32(Context_->bit_rate);
    info.TimeStamp = CreationTime(tags);
    CopyText(info.Title, Tag(tags, "title"));
    CopyText(info.Author, FirstTag(tags, "artist", "author"));
    CopyText(info.Copyright, Tag(tags, "copyright"));
    CopyText(info.Comment, Tag(tags, "comment"));
    CopyText(info.Album, Tag(tags, "album"));
    info.Year = LeadingNumber(FirstTag(tags, "date", "year"));
    info.Track = LeadingNumber(Tag(tags, "track"));
    CopyText(info.Genre, Tag(tags, "genre"));
}

int TAVProbe::StreamOfKind(int index, int mediaType, const char* kind) {
    if (!Context_) {
        ProbeLog(1, "file not loaded.\n");
        return -1;
    }
    if (index < 0) {
        index = mediaType == AVMEDIA_TYPE_VIDEO ? FirstVideoStream_ : FirstAudioStream_;
        if (index < 0) {
            ProbeLog(0, "no %s stream.\n", kind);
            return -1;
        }
    } else if (index >= StreamCount_) {
        ProbeLog(0, "stream index #%d is invalid.\n", index);
        return -1;
    }
    if (Context_->streams[index]->codecpar->codec_type != mediaType) {
        ProbeLog(0, "stream #%d is not %s stream.\n", index, kind);
        return -1;
    }
    return index;
}

void TAVProbe::GetVideoStreamInfo(int index, TAVVideoStreamInfo& info) {
    info = TAVVideoStreamInfo{};
    index = StreamOfKind(index, AVMEDIA_TYPE_VIDEO, "video");
    if (index < 0) return;
    const AVStream& stream = *Context_->streams[index];
    const AVCodecParameters& parameters = *stream.codecpar;
    FillStreamBasics(stream, info);
    info.Height = parameters.height;
    info.Width = parameters.width;
    info.PixelFormat = parameters.format;
    const AVRational sampleAspect = parameters.sample_aspect_ratio;
    // An unknown sample aspect (0/1) or size gives 0 rather than a division by zero.
    info.AspectRatio = sampleAspect.num == 0 || sampleAspect.den == 0 || info.Height == 0
                           ? 0.0f
                           : static_cast<float>(av_q2d(sampleAspect) * info.Width / info.Height);
    info.FrameRateNum = stream.r_frame_rate.num;
    info.FrameRateDen = stream.r_frame_rate.den;
    info.ScanType = ScanType(index);
}

TScanType TAVProbe::ScanType(int index) const {
    if (!StreamIndexValid(index)) return stUnknown;
    switch (Context_->streams[index]->codecpar->field_order) {
    case AV_FIELD_PROGRESSIVE: return stProgressive;
    // The first letter tells the field stored first, the second the one shown first, which
    // is the one taken first.
    case AV_FIELD_TT:
    case AV_FIELD_BT: return stTopFieldFirst;
    case AV_FIELD_BB:
    case AV_FIELD_TB: return stBottomFieldFirst;
    default: return index == DecoderStream_ ? DecodedScanType_ : stUnknown;
    }
}

void TAVProbe::GetAudioStreamInfo(int index, TAVAudioStreamInfo& info) {
    info = TAVAudioStreamInfo{};
    index = StreamOfKind(index, AVMEDIA_TYPE_AUDIO, "audio");
    if (index < 0) return;
    const AVStream& stream = *Context_->streams[index];
    const AVCodecParameters& parameters = *stream.codecpar;
    FillStreamBasics(stream, info);
    info.Channels = parameters.ch_layout.nb_channels;
    info.SampleRate = parameters.sample_rate;
    info.SampleFormat = parameters.format;
}

} // namespace tarnwick::probe
