#include "engine/custom_ffmpeg.h"

#include "binding/media_functions.h"
#include "binding/rational_helpers.h"
#include "engine/codec_tags.h"
#include "engine/encoder_pixel_format.h"
#include "platform/ffmpeg_exception.h"

#include <cstdlib>
#include <cstring>

namespace tarnwick::engine {

using binding::AV;
using platform::FFMpegException;

// The library's override record; the job's field of the same name holds the option text.
using LibraryRcOverride = ::RcOverride;

namespace {

// The index `output` has, or will get while it is being opened, in OutputFiles.
int OutputIndex(const TCustomFFmpeg& job, const AVFormatContext* output) {
    for (int i = 0; i < job.OutputFileCount; ++i)
        if (job.OutputFiles[i] == output) return i;
    return job.OutputFileCount;
}

// A stream of `output` with `context` filed as its codec context, or nullptr when the output
// holds as many streams as the job's tables have room for.
AVStream* NewStream(TCustomFFmpeg& job, AVFormatContext* output, int file,
                    AVCodecContext* context, bool copy) {
    if (!context || output->nb_streams >= static_cast<unsigned>(MaxStreamsPerFile)) return nullptr;
    AVStream* stream = AV.avformat_new_stream(output, nullptr);
    if (!stream) return nullptr;
    const size_t index = static_cast<size_t>(stream->index);
    auto& contexts = job.OutputCodecContexts[file];
    auto& copies = job.OutputStreamCopy[file];
    if (contexts.size() <= index) contexts.resize(index + 1, nullptr);
    if (copies.size() <= index) copies.resize(index + 1, false);
    contexts[index] = context;
    copies[index] = copy;
    return stream;
}

void MoveBitstreamFilters(TCustomFFmpeg& job, int file, const AVStream* stream,
                          BitstreamFilterChain& pending) {
    job.BitstreamFilterTable[file][stream->index] = std::move(pending);
    pending.clear();
}

// Reads one signed decimal number; false when there is none.
bool ReadNumber(const char*& text, int& value) {
    char* end = nullptr;
    const long number = std::strtol(text, &end, 10);
    if (end == text) return false;
    value = static_cast<int>(number);
    text = end;
    return true;
}

// "start,end,q/start,end,q...": any single character separates the three numbers. A q of 1
// or more is a fixed quantiser; below 1 it is minus the quality factor in percent.
bool ParseRcOverride(const std::string& text, std::vector<LibraryRcOverride>& overrides) {
    const char* p = text.c_str();
    while (p && *p) {
        LibraryRcOverride entry{};
        int q = 0;
        if (!ReadNumber(p, entry.start_frame) || !*p++) return false;
        if (!ReadNumber(p, entry.end_frame) || !*p++) return false;
        if (!ReadNumber(p, q)) return false;
        if (q >= 1) {
            entry.qscale = q;
            entry.quality_factor = 1.0f;
        } else {
            entry.qscale = 0;
            entry.quality_factor = -q / 100.0f;
        }
        overrides.push_back(entry);
        p = std::strchr(p, '/');
        if (p) ++p;
    }
    return true;
}

uint16_t* LibraryMatrix(const std::vector<uint16_t>& matrix) {
    if (matrix.size() != 64) return nullptr;
    auto* copy = static_cast<uint16_t*>(AV.av_malloc(64 * sizeof(uint16_t)));
    if (copy) std::memcpy(copy, matrix.data(), 64 * sizeof(uint16_t));
    return copy;
}

// The encoder's own list wins over a pending format it cannot take.
template <typename Format>
Format SupportedFormat(Format wanted, const Format* list, Format end) {
    if (!list) return wanted;
    for (const Format* f = list; *f != end; ++f)
        if (*f == wanted) return wanted;
    return list[0] != end ? list[0] : wanted;
}

void SetLanguage(AVStream* stream, std::string& language) {
    if (!language.empty())
        AV.av_dict_set(&stream->metadata, "language", language.substr(0, 3).c_str(), 0);
    language.clear();
}

// Requested tags a container cannot store are dropped here so that writing the header does not
// fail over them.
void DropUnstorableTag(TCustomFFmpeg& job, const AVFormatContext* output,
                              AVCodecContext* context) {
    if (!context->codec_tag || context->codec_id == AV_CODEC_ID_NONE ||
        OutputCanStoreTag(output->oformat, context->codec_id, context->codec_tag,
                          output->strict_std_compliance))
        return;
    job.LogFormat(1, "Codec tag %s cannot be stored for %s in %s; the container's own tag is used",
                  TagText(context->codec_tag).c_str(), AV.avcodec_get_name(context->codec_id),
                  output->oformat->name);
    context->codec_tag = 0;
}

} // namespace

void TCustomFFmpeg::NewVideoStream(AVFormatContext* output) {
    const int file = OutputIndex(*this, output);
    // Everything that can refuse the stream is settled before the output changes.
    AVCodecID codecId = AV_CODEC_ID_NONE;
    const AVCodec* encoder = nullptr;
    std::vector<LibraryRcOverride> overrides;
    if (!VideoStreamCopy) {
        if (VideoCodecName.empty()) {
            codecId = AV.av_guess_codec(output->oformat, nullptr, output->url, nullptr,
                                        AVMEDIA_TYPE_VIDEO);
            encoder = AV.avcodec_find_encoder(codecId);
        } else if (!FindCodecId(VideoCodecName, AVMEDIA_TYPE_VIDEO, true, codecId, &encoder)) {
            VideoCodecName.clear();
            throw FFMpegException(LastErrorText);
        }
        if (!ParseRcOverride(RcOverride, overrides)) {
            VideoCodecName.clear();
            throw FFMpegException("error parsing rc_override");
        }
    }
    // The context is made for the chosen encoder, so its defaults apply before ours.
    AVCodecContext* context = AV.avcodec_alloc_context3(encoder);
    AVStream* stream = NewStream(*this, output, file, context, VideoStreamCopy);
    if (!stream) {
        AV.avcodec_free_context(&context);
        VideoCodecName.clear();
        throw FFMpegException("Could not alloc stream");
    }
    MoveBitstreamFilters(*this, file, stream, VideoBitstreamFilters);
    context->codec_type = AVMEDIA_TYPE_VIDEO;
    context->thread_count = ThreadCount;
    if (VideoCodecTag) context->codec_tag = VideoCodecTag;
    AVCodecContext* options = CodecOptions[AVMEDIA_TYPE_VIDEO];
    if ((VideoGlobalHeader & 1) ||
        (VideoGlobalHeader == 0 && (output->oformat->flags & AVFMT_GLOBALHEADER))) {
        context->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
        if (options) options->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    }
    if (VideoGlobalHeader & 2) {
        context->flags2 |= AV_CODEC_FLAG2_LOCAL_HEADER;
        if (options) options->flags2 |= AV_CODEC_FLAG2_LOCAL_HEADER;
    }

    if (VideoStreamCopy) {
        const double ratio = FrameWidth * FrameHeight != 0
                                 ? static_cast<double>(FrameAspectRatio) * FrameHeight / FrameWidth
                                 : FrameAspectRatio * 3.0 / 4.0;
        context->sample_aspect_ratio = binding::DoubleToRational(ratio, 255);
        stream->sample_aspect_ratio = context->sample_aspect_ratio;
    } else {
        AVRational rate = FrameRate.num && FrameRate.den ? FrameRate : AVRational{25, 1};
        context->codec_id = codecId;
        ApplyContextOptions(context, options, AV_OPT_FLAG_ENCODING_PARAM | AV_OPT_FLAG_VIDEO_PARAM);
        if (encoder && encoder->supported_framerates)
            rate = encoder->supported_framerates[AV.av_find_nearest_q_idx(
                rate, encoder->supported_framerates)];
        context->time_base = av_inv_q(rate);
        context->framerate = rate;
        context->width = FrameWidth + PadLeft + PadRight;
        context->height = FrameHeight + PadTop + PadBottom;
        const double ratio =
            context->width * context->height != 0
                ? static_cast<double>(FrameAspectRatio) * context->height / context->width
                : FrameAspectRatio * 3.0 / 4.0;
        context->sample_aspect_ratio = binding::DoubleToRational(ratio, 255);
        stream->sample_aspect_ratio = context->sample_aspect_ratio;
        context->pix_fmt = static_cast<AVPixelFormat>(FramePixFmt);
        if (encoder) {
            const AVDictionaryEntry* profile =
                AV.av_dict_get(EncoderPrivateOptions[AVMEDIA_TYPE_VIDEO], "profile", nullptr, 0);
            context->pix_fmt =
                ChooseEncoderPixelFormat(*encoder, context->pix_fmt, profile ? profile->value : "",
                                         context->profile, context->strict_std_compliance);
        }
        if (IntraOnly) context->gop_size = 0;
        if (VideoQScale != 0 || SameQuality) {
            context->flags |= AV_CODEC_FLAG_QSCALE;
            // The fixed quality in lambda units; every frame handed to the encoder carries it.
            context->global_quality = static_cast<int>(VideoQScale * FF_QP2LAMBDA);
        }
        if (!IntraMatrix.empty()) context->intra_matrix = LibraryMatrix(IntraMatrix);
        if (!InterMatrix.empty()) context->inter_matrix = LibraryMatrix(InterMatrix);
        if (!overrides.empty()) {
            context->rc_override =
                static_cast<LibraryRcOverride*>(AV.av_malloc(overrides.size() * sizeof(LibraryRcOverride)));
            if (context->rc_override) {
                std::memcpy(context->rc_override, overrides.data(),
                            overrides.size() * sizeof(LibraryRcOverride));
                context->rc_override_count = static_cast<int>(overrides.size());
            }
        }
        if (context->rc_initial_buffer_occupancy == 0)
            context->rc_initial_buffer_occupancy =
                static_cast<int>(static_cast<int64_t>(context->rc_buffer_size) * 3 / 4);
        // The motion-estimation threshold has no field in this library generation.
        context->intra_dc_precision = IntraDcPrecision - 8;
        if (DoPsnr) context->flags |= AV_CODEC_FLAG_PSNR;
        if (DoPass == 1) context->flags |= AV_CODEC_FLAG_PASS1;
        if (DoPass == 2) context->flags |= AV_CODEC_FLAG_PASS2;
        DropUnstorableTag(*this, output, context);
    }
    AV.avcodec_parameters_from_context(stream->codecpar, context);

    VideoDisable = false;
    VideoCodecName.clear();
    VideoStreamCopy = false;
}

void TCustomFFmpeg::NewAudioStream(AVFormatContext* output) {
    const int file = OutputIndex(*this, output);
    AVCodecID codecId = AV_CODEC_ID_NONE;
    const AVCodec* encoder = nullptr;
    if (!AudioStreamCopy) {
        if (AudioCodecName.empty()) {
            codecId = AV.av_guess_codec(output->oformat, nullptr, output->url, nullptr,
                                        AVMEDIA_TYPE_AUDIO);
            encoder = AV.avcodec_find_encoder(codecId);
        } else if (!FindCodecId(AudioCodecName, AVMEDIA_TYPE_AUDIO, true, codecId, &encoder)) {
            AudioCodecName.clear();
            AudioLanguage.clear();
            throw FFMpegException(LastErrorText);
        }
    }
    AVCodecContext* context = AV.avcodec_alloc_context3(encoder);
    AVStream* stream = NewStream(*this, output, file, context, AudioStreamCopy);
    if (!stream) {
        AV.avcodec_free_context(&context);
        AudioCodecName.clear();
        AudioLanguage.clear();
        throw FFMpegException("Could not alloc stream");
    }
    MoveBitstreamFilters(*this, file, stream, AudioBitstreamFilters);
    context->codec_type = AVMEDIA_TYPE_AUDIO;
    context->thread_count = ThreadCount;
    if (AudioCodecTag) context->codec_tag = AudioCodecTag;
    AVCodecContext* options = CodecOptions[AVMEDIA_TYPE_AUDIO];
    if (output->oformat->flags & AVFMT_GLOBALHEADER) {
        context->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
        if (options) options->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    }

    if (!AudioStreamCopy) {
        context->codec_id = codecId;
        ApplyContextOptions(context, options, AV_OPT_FLAG_ENCODING_PARAM | AV_OPT_FLAG_AUDIO_PARAM);
        if (AudioQScale > -99999) {
            context->flags |= AV_CODEC_FLAG_QSCALE;
            context->global_quality = static_cast<int>(AudioQScale * FF_QP2LAMBDA);
        }
        context->sample_fmt = SupportedFormat(static_cast<AVSampleFormat>(AudioSampleFmt),
                                              encoder ? encoder->sample_fmts : nullptr,
                                              AV_SAMPLE_FMT_NONE);
        DropUnstorableTag(*this, output, context);
    }
    AV.av_channel_layout_uninit(&context->ch_layout);
    if (AudioChannels > 0) AV.av_channel_layout_default(&context->ch_layout, AudioChannels);
    context->sample_rate = AudioSampleRate;
    if (AudioSampleRate > 0) context->time_base = AVRational{1, AudioSampleRate};
    SetLanguage(stream, AudioLanguage);
    AV.avcodec_parameters_from_context(stream->codecpar, context);

    AudioDisable = false;
    AudioCodecName.clear();
    AudioStreamCopy = false;
}

void TCustomFFmpeg::NewSubtitleStream(AVFormatContext* output) {
    const int file = OutputIndex(*this, output);
    AVCodecID codecId = AV_CODEC_ID_NONE;
    const AVCodec* encoder = nullptr;
    if (!SubtitleStreamCopy) {
        if (SubtitleCodecName.empty()) {
            // Without a name the container's own subtitle codec: a stream without any codec
            // could never be written.
            codecId = AV.av_guess_codec(output->oformat, nullptr, output->url, nullptr,
                                        AVMEDIA_TYPE_SUBTITLE);
            encoder = AV.avcodec_find_encoder(codecId);
        } else if (!FindCodecId(SubtitleCodecName, AVMEDIA_TYPE_SUBTITLE, true, codecId, &encoder)) {
            SubtitleCodecName.clear();
            SubtitleLanguage.clear();
            throw FFMpegException(LastErrorText);
        }
    }
    AVCodecContext* context = AV.avcodec_alloc_context3(encoder);
    AVStream* stream = NewStream(*this, output, file, context, SubtitleStreamCopy);
    if (!stream) {
        AV.avcodec_free_context(&context);
        SubtitleCodecName.clear();
        SubtitleLanguage.clear();
        throw FFMpegException("Could not alloc stream");
    }
    MoveBitstreamFilters(*this, file, stream, SubtitleBitstreamFilters);
    context->codec_type = AVMEDIA_TYPE_SUBTITLE;
    if (!SubtitleStreamCopy) {
        ApplyContextOptions(context, CodecOptions[AVMEDIA_TYPE_SUBTITLE],
                            AV_OPT_FLAG_ENCODING_PARAM | AV_OPT_FLAG_SUBTITLE_PARAM);
        context->codec_id = codecId;
    }
    SetLanguage(stream, SubtitleLanguage);
    AV.avcodec_parameters_from_context(stream->codecpar, context);

    SubtitleDisable = false;
    SubtitleCodecName.clear();
    SubtitleStreamCopy = false;
}

} // namespace tarnwick::engine
