// Parameters of every output stream before its codec opens: what a copy takes from its source,
// what a re-encoded stream needs (FIFO, scaler, filter graph), the two-pass log files.
#include "engine/custom_ffmpeg.h"

#include "binding/media_libraries.h"
#include "engine/codec_tags.h"
#include "engine/picture_graph.h"
#include "engine/picture_turner.h"
#include "platform/ffmpeg_exception.h"

#include <algorithm>

#include <cstring>

namespace tarnwick::engine {

using binding::AV;
using platform::FFMpegException;

namespace {

// A picture with its own buffer in the encoder's format and size.
AVFrame* AllocatePicture(const AVCodecContext* encoder) {
    AVFrame* picture = AV.av_frame_alloc();
    if (!picture) return nullptr;
    picture->format = encoder->pix_fmt;
    picture->width = encoder->width;
    picture->height = encoder->height;
    if (AV.av_frame_get_buffer(picture, 0) < 0) AV.av_frame_free(&picture);
    return picture;
}

void CopyLanguage(const AVStream* from, AVStream* to) {
    const AVDictionaryEntry* own = AV.av_dict_get(to->metadata, "language", nullptr, 0);
    if (own && own->value[0]) return;
    const AVDictionaryEntry* source = AV.av_dict_get(from->metadata, "language", nullptr, 0);
    if (!source) return;
    char language[4];
    AV.av_strlcpy(language, source->value, sizeof language);
    AV.av_dict_set(&to->metadata, "language", language, 0);
}

// A copied stream keeps its pictures as they are stored, so it keeps the matrix that tells
// players how to turn them.
void CopyDisplayMatrix(const AVStream* from, AVStream* to) {
    size_t size = 0;
    const uint8_t* matrix = AV.av_stream_get_side_data(from, AV_PKT_DATA_DISPLAYMATRIX, &size);
    if (!matrix) return;
    uint8_t* copy = AV.av_stream_new_side_data(to, AV_PKT_DATA_DISPLAYMATRIX, size);
    if (!copy) throw FFMpegException("av_mallocz fail");
    std::memcpy(copy, matrix, size);
}

} // namespace

AVRational TCustomFFmpeg::DecoderTimeBase(const TInputStreamRecord& ist) {
    const AVCodecContext* decoder = ist.Decoder;
    if (decoder->time_base.num > 0 && decoder->time_base.den > 0) return decoder->time_base;
    if (decoder->codec_type == AVMEDIA_TYPE_VIDEO) {
        for (const AVRational rate : {ist.Stream->r_frame_rate, ist.Stream->avg_frame_rate})
            if (rate.num > 0 && rate.den > 0) return av_inv_q(rate);
    } else if (decoder->codec_type == AVMEDIA_TYPE_AUDIO && decoder->sample_rate > 0) {
        return AVRational{1, decoder->sample_rate};
    }
    return AVRational{0, 1};
}

void TCustomFFmpeg::PrepareOutputStream(TTranscodeTables& run, int n) {
    TOutputStreamRecord& ost = run.OutputStreams[n];
    TInputStreamRecord& ist = run.InputStreams[ost.SourceIndex];
    CopyLanguage(ist.Stream, ost.Stream);
    ost.Stream->disposition = ist.Stream->disposition;
    if (ost.EncodingNeeded)
        PrepareEncoding(ost, ist);
    else
        PrepareStreamCopy(run, ost, ist);
    if (ost.EncodingNeeded &&
        (ost.Encoder->flags & (AV_CODEC_FLAG_PASS1 | AV_CODEC_FLAG_PASS2)) != 0)
        OpenPassLogFile(ost, n);
}

void TCustomFFmpeg::PrepareStreamCopy(const TTranscodeTables& run, TOutputStreamRecord& ost,
                                      const TInputStreamRecord& ist) {
    AVCodecContext* encoder = ost.Encoder;
    AVCodecParameters* out = ost.Stream->codecpar;
    const AVCodecParameters* in = ist.Stream->codecpar;
    const uint32_t ownTag = encoder->codec_tag;
    if (AV.avcodec_parameters_copy(out, in) < 0) throw FFMpegException("av_mallocz fail");
    encoder->codec_id = in->codec_id;
    encoder->codec_type = in->codec_type;
    out->codec_tag = ownTag;
    if (ownTag == 0) {
        // The source's tag is kept unless the output format has a tag of its own for the codec
        // and does not know the source's tag.
        const AVCodecTag* const* tags = run.OutputFiles[ost.FileIndex]->oformat->codec_tag;
        if (!tags || AV.av_codec_get_id(tags, in->codec_tag) != AV_CODEC_ID_NONE ||
            AV.av_codec_get_tag(tags, in->codec_id) == 0)
            out->codec_tag = in->codec_tag;
    }
    // This generation's muxers refuse a tag they cannot store rather than ignore it.
    const AVFormatContext* output = run.OutputFiles[ost.FileIndex];
    if (!OutputCanStoreTag(output->oformat, out->codec_id, out->codec_tag,
                           output->strict_std_compliance))
        out->codec_tag = 0;
    // The stream's own time base, unless it is finer than the decoder's and than a millisecond.
    const AVRational decoderBase = DecoderTimeBase(ist);
    const double streamSeconds = av_q2d(ist.Stream->time_base);
    encoder->time_base = streamSeconds < av_q2d(decoderBase) && streamSeconds < 0.001
                             ? decoderBase
                             : ist.Stream->time_base;
    ost.Stream->time_base = encoder->time_base;
    switch (in->codec_type) {
    case AVMEDIA_TYPE_AUDIO:
        if (AudioVolume != 256)
            throw FFMpegException("-acodec copy and -vol are incompatible (frames are not decoded)");
        if (out->block_align == 1 && out->codec_id == AV_CODEC_ID_MP3) out->block_align = 0;
        if (out->codec_id == AV_CODEC_ID_AC3) out->block_align = 0;
        break;
    case AVMEDIA_TYPE_VIDEO:
        if (CustomHookHandler)
            throw FFMpegException("-vcodec copy and CustomHook are incompatible (frames are not decoded)");
        if (UsingVhook)
            throw FFMpegException("-vcodec copy and -vhook are incompatible (frames are not decoded)");
        // The muxer refuses a stream whose two aspect ratios disagree; the stream's one was
        // chosen for the output.
        if (ost.Stream->sample_aspect_ratio.num != 0)
            out->sample_aspect_ratio = ost.Stream->sample_aspect_ratio;
        CopyDisplayMatrix(ist.Stream, ost.Stream);
        break;
    case AVMEDIA_TYPE_SUBTITLE:
        break;
    default:
        throw FFMpegException("invalid codec_type of output stream");
    }
}

void TCustomFFmpeg::PrepareEncoding(TOutputStreamRecord& ost, TInputStreamRecord& ist) {
    AVCodecContext* encoder = ost.Encoder;
    const AVCodecContext* decoder = ist.Decoder;
    switch (encoder->codec_type) {
    case AVMEDIA_TYPE_AUDIO:
        ost.AudioFifo =
            AV.av_audio_fifo_alloc(encoder->sample_fmt, encoder->ch_layout.nb_channels, 1024);
        ost.AudioFrame = AV.av_frame_alloc();
        if (!ost.AudioFifo || !ost.AudioFrame) throw FFMpegException("av_fifo_init fail");
        ost.ReformatPair = -6;
        ost.AudioResample = encoder->sample_rate != decoder->sample_rate || AudioSyncMethod > 1;
        ist.RequestedChannels = encoder->ch_layout.nb_channels;
        break;
    case AVMEDIA_TYPE_VIDEO:
        PrepareDeinterlacer(ist);
        PrepareUprightPictures(ist);
        PrepareVideoResample(ost, ist);
        FilterErrorText.clear();
        if (UsingFilters) {
            if (!ist.FilterFrame) ist.FilterFrame = AV.av_frame_alloc();
            if (!ist.FilterPicture) ist.FilterPicture = AV.av_frame_alloc();
            if (!ist.FilterFrame || !ist.FilterPicture) throw FFMpegException("av_mallocz fail");
            if (ConfigureFilters(ist, ost) != 0)
                throw FFMpegException(FilterErrorText.empty()
                                          ? std::string("Error opening filters!")
                                          : "Error opening filters: " + FilterErrorText);
        }
        break;
    case AVMEDIA_TYPE_SUBTITLE:
        // This library generation opens no encoder without a time base; subtitles keep the
        // source's clock.
        if (encoder->time_base.num <= 0 || encoder->time_base.den <= 0)
            encoder->time_base = ist.Stream->time_base;
        GiveSubtitleHeader(encoder, ist.Stream->codecpar);
        break;
    default:
        throw FFMpegException("invalid codec_type of output stream");
    }
    ost.EncodingNeeded = true;
    ist.DecodingNeeded = true;
}

namespace {

// A plain header with one default style, for text sources that carry none.
constexpr char DefaultAssHeader[] =
    "[Script Info]\r\nScriptType: v4.00+\r\nPlayResX: 384\r\nPlayResY: 288\r\n\r\n"
    "[V4+ Styles]\r\nFormat: Name, Fontname, Fontsize, PrimaryColour, SecondaryColour, "
    "OutlineColour, BackColour, Bold, Italic, Underline, StrikeOut, ScaleX, ScaleY, Spacing, "
    "Angle, BorderStyle, Outline, Shadow, Alignment, MarginL, MarginR, MarginV, Encoding\r\n"
    "Style: Default,Arial,16,&Hffffff,&Hffffff,&H0,&H0,0,0,0,0,100,100,0,0,1,1,0,2,10,10,10,0"
    "\r\n\r\n[Events]\r\nFormat: Layer, Start, End, Style, Name, MarginL, MarginR, MarginV, "
    "Effect, Text\r\n";

} // namespace

// Text subtitle encoders take their styles from an ASS header, which the decoder makes only
// when it opens (after the encoders): the encoder gets the source's own header (ASS and SSA
// keep it as extra data) or the plain one. The context frees it.
void TCustomFFmpeg::GiveSubtitleHeader(AVCodecContext* encoder, const AVCodecParameters* source) {
    if (encoder->subtitle_header) return;
    const bool ownHeader =
        (source->codec_id == AV_CODEC_ID_ASS || source->codec_id == AV_CODEC_ID_SSA) &&
        source->extradata_size > 0;
    const uint8_t* header =
        ownHeader ? source->extradata : reinterpret_cast<const uint8_t*>(DefaultAssHeader);
    const int size = ownHeader ? source->extradata_size : int{sizeof DefaultAssHeader} - 1;
    encoder->subtitle_header = static_cast<uint8_t*>(AV.av_mallocz(size + 1));
    if (!encoder->subtitle_header) throw FFMpegException("av_mallocz fail");
    std::memcpy(encoder->subtitle_header, header, size);
    encoder->subtitle_header_size = size;
}

void TCustomFFmpeg::PrepareDeinterlacer(TInputStreamRecord& ist) {
    if (!AdaptiveDeinterlace || ist.Deinterlacer) return;
    // Motion-adaptive: still parts keep both fields, moving parts are rebuilt from one, so
    // nothing is blurred that need not be. One picture per picture (not one per field) keeps
    // the frame rate the preset asks for; the parity comes from each picture's own flags.
    ist.Deinterlacer =
        new TPictureGraph("bwdif=mode=send_frame:parity=auto:deint=interlaced", true);
}

void TCustomFFmpeg::PrepareUprightPictures(TInputStreamRecord& ist) {
    if (ist.PictureFormat != AV_PIX_FMT_NONE || ist.Turner) return; // another output did it
    const AVCodecContext* decoder = ist.Decoder;
    ist.PictureWidth = decoder->width;
    ist.PictureHeight = decoder->height;
    ist.PictureFormat = decoder->pix_fmt;
    ist.PictureAspect = decoder->sample_aspect_ratio;
    const TDisplayOrientation orientation = StreamOrientation(*ist.Stream);
    if (orientation.Upright()) return;
    ist.Turner = new TPictureTurner(orientation);
    if (ist.Turner->Configure(decoder->width, decoder->height, decoder->pix_fmt,
                              decoder->sample_aspect_ratio)) {
        ist.PictureWidth = ist.Turner->TurnedWidth();
        ist.PictureHeight = ist.Turner->TurnedHeight();
        ist.PictureFormat = ist.Turner->TurnedFormat();
        ist.PictureAspect = ist.Turner->TurnedSampleAspect();
    } else if (orientation.Transpose) {
        // A header too damaged for the graph: the first picture decides, and the sizes that
        // are known are at least the right way round.
        std::swap(ist.PictureWidth, ist.PictureHeight);
        ist.PictureAspect =
            ist.PictureAspect.num > 0 ? av_inv_q(ist.PictureAspect) : ist.PictureAspect;
    }
}

void TCustomFFmpeg::PrepareVideoResample(TOutputStreamRecord& ost, const TInputStreamRecord& ist) {
    const AVCodecContext* encoder = ost.Encoder;
    const int pictureWidth = ist.PictureWidth, pictureHeight = ist.PictureHeight;
    const AVPixelFormat pictureFormat = ist.PictureFormat;
    ost.VideoCrop = CropTop + CropBottom + CropLeft + CropRight != 0;
    ost.VideoPad = PadTop + PadBottom + PadLeft + PadRight != 0;
    ost.VideoResample =
        !(pictureWidth + PadLeft + PadRight - CropLeft - CropRight == encoder->width &&
          pictureHeight + PadTop + PadBottom - CropTop - CropBottom == encoder->height &&
          encoder->pix_fmt == pictureFormat);
    if (ost.VideoCrop) {
        ost.CropTopBand = CropTop;
        ost.CropLeftBand = CropLeft;
    }
    if (ost.VideoPad) {
        ost.PadTopBand = PadTop;
        ost.PadLeftBand = PadLeft;
        ost.PadBottomBand = PadBottom;
        ost.PadRightBand = PadRight;
        if (!ost.VideoResample) {
            ost.ResamplePicture = AllocatePicture(encoder);
            if (!ost.ResamplePicture) throw FFMpegException("avpicture_alloc fail");
        }
    }
    if (!ost.VideoResample) return;
    ost.ResamplePicture = AllocatePicture(encoder);
    if (!ost.ResamplePicture) throw FFMpegException("Cannot allocate temp picture, check pix fmt");
    int64_t flags = SwsFlags;
    if (ScalerOptions && AV.av_opt_get_int(ScalerOptions, "sws_flags", 0, &flags) >= 0)
        SwsFlags = static_cast<int32_t>(flags);
    // The scaler aborts the process on a format it does not know, which a damaged header can
    // leave in the decoder: such a stream fails as one the scaler refused.
    const int sourceWidth = pictureWidth - CropLeft - CropRight;
    const int sourceHeight = pictureHeight - CropTop - CropBottom;
    if (pictureFormat < 0 || encoder->pix_fmt < 0 || sourceWidth <= 0 || sourceHeight <= 0 ||
        !AV.sws_isSupportedInput(pictureFormat) || !AV.sws_isSupportedOutput(encoder->pix_fmt))
        throw FFMpegException("Cannot get resampling context");
    ost.ScaleContext =
        AV.sws_getContext(sourceWidth, sourceHeight, pictureFormat,
                          encoder->width - PadLeft - PadRight, encoder->height - PadTop - PadBottom,
                          encoder->pix_fmt, SwsFlags, nullptr, nullptr, nullptr);
    if (!ost.ScaleContext) throw FFMpegException("Cannot get resampling context");
    ost.ResampleHeight = UsingFilters ? pictureHeight : sourceHeight;
}

// First pass: the statistics file is created for the encoder to fill. Second pass: the whole
// file becomes the encoder's statistics input.
void TCustomFFmpeg::OpenPassLogFile(TOutputStreamRecord& ost, int n) {
    std::string name = (PassLogFileName.empty() ? std::string("ffmpeg2pass") : PassLogFileName) +
                       "-" + std::to_string(n) + ".log";
    if (name.size() > 1023) name.resize(1023);
    AVCodecContext* encoder = ost.Encoder;
    if (encoder->flags & AV_CODEC_FLAG_PASS1) {
        ost.PassLogFile = std::fopen(name.c_str(), "w");
        if (!ost.PassLogFile) throw FFMpegException("creat file fail: " + name);
        return;
    }
    FILE* file = std::fopen(name.c_str(), "r");
    if (!file) throw FFMpegException("creat open fail: " + name);
    std::fseek(file, 0, SEEK_END);
    const long size = std::max(std::ftell(file), 0L);
    std::fseek(file, 0, SEEK_SET);
    auto* buffer = static_cast<char*>(AV.av_malloc(static_cast<size_t>(size) + 1));
    if (!buffer) {
        std::fclose(file);
        throw FFMpegException("Could not allocate log buffer");
    }
    const size_t read = std::fread(buffer, 1, static_cast<size_t>(size), file);
    std::fclose(file);
    buffer[read] = 0;
    AV.av_freep(&encoder->stats_in);
    encoder->stats_in = buffer;
}

} // namespace tarnwick::engine
