#include "engine/custom_ffmpeg.h"

#include "binding/media_functions.h"
#include "engine/display_orientation.h"
#include "engine/open_errors.h"
#include "platform/codec_lock.h"
#include "platform/ffmpeg_exception.h"

#include <algorithm>
#include <cctype>
#include <climits>

namespace tarnwick::engine {

using binding::AV;
using platform::FFMpegException;

namespace {

std::string LowerExtension(const std::string& fileName) {
    const size_t slash = fileName.find_last_of('/');
    const size_t dot = fileName.find_last_of('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return {};
    std::string ext = fileName.substr(dot);
    for (char& ch : ext) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
    return ext;
}

// RealMedia decoders report no pixel format until they decode; the scaler needs one.
bool IsRealMediaExtension(const std::string& ext) {
    static const std::string realMedia = ".rmvb";
    return !ext.empty() && ext.size() <= realMedia.size() && realMedia.compare(0, ext.size(), ext) == 0;
}

void SetOption(AVDictionary** options, const char* key, const std::string& value) {
    AV.av_dict_set(options, key, value.c_str(), 0);
}

// The pending picture and sound settings as demuxer options, so that raw and device inputs,
// which carry no such parameters themselves, still get them. Unset values stay out.
AVDictionary* DemuxerOptions(const TCustomFFmpeg& job) {
    AVDictionary* options = nullptr;
    if (job.FrameRate.num > 0 && job.FrameRate.den > 0)
        SetOption(&options, "framerate",
                  std::to_string(job.FrameRate.num) + "/" + std::to_string(job.FrameRate.den));
    if (job.AudioSampleRate > 0) SetOption(&options, "sample_rate", std::to_string(job.AudioSampleRate));
    if (job.AudioChannels > 0) SetOption(&options, "channels", std::to_string(job.AudioChannels));
    const int width = job.FrameWidth + job.PadLeft + job.PadRight;
    const int height = job.FrameHeight + job.PadTop + job.PadBottom;
    if (width > 0 && height > 0)
        SetOption(&options, "video_size", std::to_string(width) + "x" + std::to_string(height));
    if (job.FramePixFmt >= 0) {
        const char* name = AV.av_get_pix_fmt_name(static_cast<AVPixelFormat>(job.FramePixFmt));
        if (name) SetOption(&options, "pixel_format", name);
    }
    if (job.VideoChannel != 0) SetOption(&options, "channel", std::to_string(job.VideoChannel));
    if (!job.VideoStandard.empty()) SetOption(&options, "standard", job.VideoStandard);
    // Looping a picture sequence is the image demuxer's own option in this generation.
    if (job.LoopInput) SetOption(&options, "loop", "1");
    return options;
}

// The settings that belong to one input file only, consumed whether it opened or not.
void ResetPerFileInputSettings(TCustomFFmpeg& job) {
    job.ForcedInputFormat = nullptr;
    job.ForcedOutputFormat = nullptr;
    job.VideoChannel = 0;
    job.RateEmulation = false;
    job.VideoCodecName.clear();
    job.AudioCodecName.clear();
    job.SubtitleCodecName.clear();
}

double RationalValue(AVRational value) { return value.den ? av_q2d(value) : 0.0; }

} // namespace

bool TCustomFFmpeg::OpenInputFile(const std::string& fileName) {
    // A preallocated context, so the forced codec ids and format options reach the demuxer.
    AVFormatContext* context = AV.avformat_alloc_context();
    AVDictionary* demuxerOptions = nullptr;
    bool opened = false;
    std::vector<AVCodecContext*> decoders;
    auto release = [&] {
        for (AVCodecContext*& decoder : decoders) AV.avcodec_free_context(&decoder);
        if (opened)
            AV.avformat_close_input(&context);
        else if (context)
            AV.avformat_free_context(context);
        context = nullptr;
        AV.av_dict_free(&demuxerOptions);
    };
    auto fail = [&] {
        release();
        ResetPerFileInputSettings(*this);
        return false;
    };
    if (!context) {
        LastErrorText = OpenErrorText(fileName, AVERROR(ENOMEM));
        return fail();
    }

    demuxerOptions = DemuxerOptions(*this);
    AVCodecID videoId, audioId, subtitleId;
    if (!FindCodecId(VideoCodecName, AVMEDIA_TYPE_VIDEO, false, videoId) ||
        !FindCodecId(AudioCodecName, AVMEDIA_TYPE_AUDIO, false, audioId))
        return fail();
    ApplyContextOptions(context, FormatOptions, AV_OPT_FLAG_DECODING_PARAM);
    if (!FindCodecId(SubtitleCodecName, AVMEDIA_TYPE_SUBTITLE, false, subtitleId)) return fail();
    // The forced ids make the demuxer report these codecs for its streams.
    context->video_codec_id = PgmyuvCompatibility ? AV_CODEC_ID_PGMYUV : videoId;
    context->audio_codec_id = audioId;
    context->subtitle_codec_id = subtitleId;

    const int openResult =
        AV.avformat_open_input(&context, fileName.c_str(), ForcedInputFormat, &demuxerOptions);
    if (openResult < 0) {
        context = nullptr; // the library frees a preallocated context on failure
        LastErrorText =
            OpenErrorText(fileName, InputOpenFailure(fileName, ForcedInputFormat, openResult));
        return fail();
    }
    opened = true;
    AV.av_dict_free(&demuxerOptions);

    if (ProgramId != 0)
        for (unsigned i = 0; i < context->nb_programs; ++i)
            if (context->programs[i]->id != ProgramId) context->programs[i]->discard = AVDISCARD_ALL;

    int infoResult;
    {
        std::lock_guard lock(platform::CodecLock());
        infoResult = AV.avformat_find_stream_info(context, nullptr);
    }
    if (infoResult < 0 && Verbose >= 0) {
        LastErrorText = fileName + ": could not find codec parameters";
        return fail();
    }

    int64_t timestamp = StartTime;
    if (context->start_time != AV_NOPTS_VALUE) timestamp += context->start_time;
    const bool cutBeforeStart = StartTime != 0;
    if (StartTime != 0) {
        AV.av_seek_frame(context, -1, timestamp, AVSEEK_FLAG_BACKWARD);
        StartTime = 0;
    }

    const std::string extension = LowerExtension(fileName);
    for (unsigned i = 0; i < context->nb_streams; ++i) {
        AVStream* stream = context->streams[i];
        const AVCodecParameters* parameters = stream->codecpar;
        AVCodecContext* decoder =
            AV.avcodec_alloc_context3(AV.avcodec_find_decoder(parameters->codec_id));
        if (decoder) decoders.push_back(decoder);
        if (!decoder || AV.avcodec_parameters_to_context(decoder, parameters) < 0) {
            LastErrorText = OpenErrorText(fileName, AVERROR(ENOMEM));
            return fail();
        }
        decoder->pkt_timebase = stream->time_base;
        decoder->thread_count = ThreadCount;
        if (parameters->codec_type < AVMEDIA_TYPE_UNKNOWN ||
            parameters->codec_type > AVMEDIA_TYPE_ATTACHMENT) {
            fail();
            throw FFMpegException("invalid codec_type");
        }
        switch (parameters->codec_type) {
        case AVMEDIA_TYPE_VIDEO: {
            ApplyContextOptions(decoder, CodecOptions[AVMEDIA_TYPE_VIDEO],
                                AV_OPT_FLAG_DECODING_PARAM | AV_OPT_FLAG_VIDEO_PARAM);
            FrameHeight = decoder->height;
            FrameWidth = decoder->width;
            double ratio = stream->sample_aspect_ratio.num
                               ? RationalValue(stream->sample_aspect_ratio)
                               : RationalValue(decoder->sample_aspect_ratio);
            if (FrameWidth * FrameHeight != 0)
                ratio = ratio != 0 ? FrameWidth * ratio / FrameHeight
                                   : static_cast<double>(FrameWidth) / FrameHeight;
            else if (ratio == 0)
                ratio = 4.0 / 3.0;
            FrameAspectRatio = static_cast<float>(ratio);
            // Sizes and aspect as the stream displays its pictures, which the transcode turns.
            if (StreamOrientation(*stream).Transpose) {
                std::swap(FrameWidth, FrameHeight);
                if (FrameAspectRatio > 0) FrameAspectRatio = 1 / FrameAspectRatio;
            }
            if (decoder->pix_fmt == AV_PIX_FMT_NONE && IsRealMediaExtension(extension))
                decoder->pix_fmt = AV_PIX_FMT_YUV420P;
            FramePixFmt = decoder->pix_fmt;
            // The low-resolution decoding flag and the motion-estimation threshold's debug
            // flag have no fields in this library generation: nothing to set for them.
            const AVRational codecRate = stream->avg_frame_rate;
            const AVRational realRate = stream->r_frame_rate;
            if (codecRate.num && codecRate.den && av_cmp_q(codecRate, realRate) != 0 &&
                Verbose > 0 && LogHandler)
                LogFormat(1,
                          "Seems stream %d codec frame rate differs from container frame rate: "
                          "%2.2f (%d/%d) -> %2.2f (%d/%d)",
                          static_cast<int>(i), av_q2d(codecRate), codecRate.num, codecRate.den,
                          RationalValue(realRate), realRate.num, realRate.den);
            FrameRate = realRate;
            if (VideoDisable)
                stream->discard = AVDISCARD_ALL;
            else if (VideoDiscard != 0)
                stream->discard = static_cast<AVDiscard>(VideoDiscard);
            break;
        }
        case AVMEDIA_TYPE_AUDIO:
            ApplyContextOptions(decoder, CodecOptions[AVMEDIA_TYPE_AUDIO],
                                AV_OPT_FLAG_DECODING_PARAM | AV_OPT_FLAG_AUDIO_PARAM);
            AudioChannels = decoder->ch_layout.nb_channels;
            AudioSampleRate = decoder->sample_rate;
            AudioSampleFmt = decoder->sample_fmt;
            if (AudioDisable) stream->discard = AVDISCARD_ALL;
            break;
        case AVMEDIA_TYPE_SUBTITLE:
            if (SubtitleDisable) stream->discard = AVDISCARD_ALL;
            break;
        default: // data and attachments: nothing to take over
            break;
        }
    }

    if (context->duration != AV_NOPTS_VALUE)
        TotalOutputDurationMs = static_cast<int32_t>(std::clamp<int64_t>(
            std::max<int64_t>(TotalOutputDurationMs, context->duration / 1000), INT32_MIN,
            INT32_MAX));

    int index;
    try {
        index = AddInputFile(context);
    } catch (const FFMpegException& error) {
        LastErrorText = error.what();
        return fail();
    }
    InputCodecContexts[index] = std::move(decoders);
    InputRateEmulation[index] = RateEmulation;
    InputCutBeforeStart[index] = cutBeforeStart;
    InputTsOffset[index] = CopyTs ? InputTsOffsetOption : InputTsOffsetOption - timestamp;
    if (Verbose >= 0) AV.av_dump_format(context, index, fileName.c_str(), 0);
    ResetPerFileInputSettings(*this);
    return true;
}

void TCustomFFmpeg::CheckInputStreamTypes(bool& hasVideo, bool& hasAudio, bool& hasSubtitle) {
    hasVideo = hasAudio = hasSubtitle = false;
    for (int file = 0; file < InputFileCount; ++file) {
        const AVFormatContext* input = InputFiles[file];
        for (unsigned i = 0; i < input->nb_streams; ++i) {
            const AVMediaType type = input->streams[i]->codecpar->codec_type;
            if (type < AVMEDIA_TYPE_UNKNOWN || type > AVMEDIA_TYPE_ATTACHMENT)
                throw FFMpegException("invalid codec_type of input file");
            hasVideo |= type == AVMEDIA_TYPE_VIDEO;
            hasAudio |= type == AVMEDIA_TYPE_AUDIO;
            hasSubtitle |= type == AVMEDIA_TYPE_SUBTITLE;
        }
    }
}

} // namespace tarnwick::engine
