// One packet of one input stream: decoded (a packet may give several frames) and fed to every
// output stream that takes this stream, or copied as it is; without a packet the decoder and
// then the encoders it feeds are drained.
#include "engine/custom_ffmpeg.h"

#include "binding/media_libraries.h"
#include "platform/ffmpeg_exception.h"

#include <algorithm>
#include <chrono>
#include <thread>

namespace tarnwick::engine {

using binding::AV;
using platform::FFMpegException;

namespace {

template <typename Sample, typename Scale>
void ScaleSamples(uint8_t* data, int count, Scale scale) {
    auto* samples = reinterpret_cast<Sample*>(data);
    for (int i = 0; i < count; ++i) samples[i] = scale(samples[i]);
}

// Integer samples are scaled by volume / 256 with rounding and clamped; 256 keeps them.
template <typename Sample, typename Wide>
Sample ScaleInteger(Sample value, int volume, Wide low, Wide high) {
    const Wide scaled = (static_cast<Wide>(value) * volume + 128) >> 8;
    return static_cast<Sample>(std::clamp(scaled, low, high));
}

void ApplyVolume(AVFrame* frame, int volume) {
    const auto format = static_cast<AVSampleFormat>(frame->format);
    const bool planar = AV.av_sample_fmt_is_planar(format) != 0;
    const int channels = frame->ch_layout.nb_channels;
    const int planes = planar ? channels : 1;
    const int count = frame->nb_samples * (planar ? 1 : channels);
    for (int plane = 0; plane < planes; ++plane) {
        uint8_t* data = frame->extended_data[plane];
        switch (AV.av_get_packed_sample_fmt(format)) {
        case AV_SAMPLE_FMT_U8:
            ScaleSamples<uint8_t>(data, count, [volume](uint8_t v) {
                return static_cast<uint8_t>(
                    ScaleInteger<int32_t, int32_t>(v - 128, volume, -128, 127) + 128);
            });
            break;
        case AV_SAMPLE_FMT_S16:
            ScaleSamples<int16_t>(data, count, [volume](int16_t v) {
                return ScaleInteger<int16_t, int32_t>(v, volume, -32768, 32767);
            });
            break;
        case AV_SAMPLE_FMT_S32:
            ScaleSamples<int32_t>(data, count, [volume](int32_t v) {
                return ScaleInteger<int32_t, int64_t>(v, volume, INT32_MIN, INT32_MAX);
            });
            break;
        case AV_SAMPLE_FMT_FLT:
            ScaleSamples<float>(data, count, [volume](float v) { return v * volume / 256.0f; });
            break;
        case AV_SAMPLE_FMT_DBL:
            ScaleSamples<double>(data, count, [volume](double v) { return v * volume / 256.0; });
            break;
        default:
            return; // 64-bit integer samples are left as they are
        }
    }
}

// Time of one picture of the stream.
int64_t PictureDurationUs(const TInputStreamRecord& ist) {
    const AVRational timeBase = TCustomFFmpeg::DecoderTimeBase(ist);
    return timeBase.num != 0 ? int64_t{1000000} * timeBase.num / timeBase.den : 0;
}

} // namespace

int TCustomFFmpeg::DecodePacket(TInputStreamRecord& ist, int index, TTranscodeTables& run,
                                const AVPacket* packet) {
    if (ist.NextPts == AV_NOPTS_VALUE) ist.NextPts = ist.Pts;
    if (packet && packet->dts != AV_NOPTS_VALUE)
        ist.NextPts = AV.av_rescale_q(packet->dts, ist.Stream->time_base, AV_TIME_BASE_Q);
    if (packet) ist.Pts = ist.NextPts;

    const bool feedOutputs = StartTime == 0 || ist.Pts >= StartTime;
    if (packet && feedOutputs) CopyPacket(ist, index, run, packet);

    AVCodecContext* decoder = ist.Decoder;
    if (!ist.DecodingNeeded) {
        if (!packet) return 0;
        if (decoder->codec_type == AVMEDIA_TYPE_AUDIO && decoder->sample_rate > 0)
            ist.NextPts += int64_t{1000000} * decoder->frame_size / decoder->sample_rate;
        else if (decoder->codec_type == AVMEDIA_TYPE_VIDEO)
            ist.NextPts += PictureDurationUs(ist);
        return 0;
    }

    switch (decoder->codec_type) {
    case AVMEDIA_TYPE_AUDIO:
    case AVMEDIA_TYPE_VIDEO:
        break;
    case AVMEDIA_TYPE_SUBTITLE:
        // Subtitles are decoded one per packet and have nothing to drain.
        return packet ? DecodeSubtitle(ist, index, run, packet) : 0;
    default:
        return -1;
    }

    int result = AV.avcodec_send_packet(decoder, packet);
    if (result < 0 && result != AVERROR_EOF) return -1;
    AVFrame* frame = ist.DecodedFrame;
    int frames = 0;
    while ((result = AV.avcodec_receive_frame(decoder, frame)) >= 0) {
        if (packet && ++frames > 1 && Verbose > 0 && LogHandler)
            LogFormat(0, "Multiple frames in a packet from stream %d", packet->stream_index);
        OutputDecodedFrame(ist, index, run, frame);
        AV.av_frame_unref(frame);
    }
    if (result != AVERROR(EAGAIN) && result != AVERROR_EOF) return -1;
    if (!packet) DrainEncoders(index, run);
    return 0;
}

void TCustomFFmpeg::OutputDecodedFrame(TInputStreamRecord& ist, int index,
                                       TTranscodeTables& run, AVFrame* frame) {
    AVCodecContext* decoder = ist.Decoder;
    ist.Pts = ist.NextPts;
    const bool video = decoder->codec_type == AVMEDIA_TYPE_VIDEO;
    if (video) {
        ist.Quality = frame->quality;
        ist.NextPts += PictureDurationUs(ist);
        PreprocessPicture(ist, frame);
        if (UsingFilters && ist.FilterIn) {
            AV.av_frame_unref(ist.FilterFrame);
            if (AV.av_frame_ref(ist.FilterFrame, frame) < 0)
                throw FFMpegException("av_frame_ref fail");
            ist.HasFilterFrame = true;
        }
    } else {
        if (frame->sample_rate > 0)
            ist.NextPts += int64_t{1000000} * frame->nb_samples / frame->sample_rate;
        if (AudioVolume != 256 && AV.av_frame_make_writable(frame) >= 0)
            ApplyVolume(frame, AudioVolume);
    }

    if (ist.RateEmulation) {
        const int64_t due = AV.av_rescale(int64_t{ist.Stream->time_base.num} * ist.RateEmuFrames,
                                          1000000, ist.Stream->time_base.den);
        const int64_t now = AV.av_gettime() - ist.RateEmuStart;
        if (due - now > 50000)
            std::this_thread::sleep_for(std::chrono::milliseconds((due - now) / 1000));
        ist.RateEmuFrames += 1;
    }

    if (StartTime != 0 && ist.Pts < StartTime) return;
    const bool filtered = video && UsingFilters && ist.FilterIn;
    bool more = !filtered || PullFilteredPicture(ist, frame) == 1;
    while (more) {
        for (TOutputStreamRecord& ost : run.OutputStreams) {
            if (ost.SourceIndex != index || !ost.EncodingNeeded) continue;
            AVFormatContext* file = run.OutputFiles[ost.FileIndex];
            switch (ost.Encoder->codec_type) {
            case AVMEDIA_TYPE_AUDIO:
                AudioOutput(file, ost, ist, frame);
                break;
            case AVMEDIA_TYPE_VIDEO:
                if (const int frameSize = VideoOutput(file, ost, ist, frame);
                    !VstatsFileName.empty() && frameSize > 0)
                    WriteFrameStatistics(file, ost, frameSize);
                break;
            case AVMEDIA_TYPE_SUBTITLE:
                break; // fed by DecodeSubtitle
            default:
                throw FFMpegException("invalid codec_type");
            }
        }
        more = filtered && PullFilteredPicture(ist, frame) == 1;
    }
    if (filtered) AV.av_frame_unref(ist.FilterPicture);
}

int TCustomFFmpeg::DecodeSubtitle(TInputStreamRecord& ist, int index, TTranscodeTables& run,
                                  const AVPacket* packet) {
    AVSubtitle subtitle{};
    int gotSubtitle = 0;
    // The decoder does not change the packet; the library's signature predates const.
    if (AV.avcodec_decode_subtitle2(ist.Decoder, &subtitle, &gotSubtitle,
                                    const_cast<AVPacket*>(packet)) < 0)
        return -1;
    if (!gotSubtitle) return 0;
    ist.Pts = ist.NextPts;
    try {
        if (StartTime == 0 || ist.Pts >= StartTime) {
            for (TOutputStreamRecord& ost : run.OutputStreams) {
                if (ost.SourceIndex != index || !ost.EncodingNeeded) continue;
                if (ost.Encoder->codec_type != AVMEDIA_TYPE_SUBTITLE)
                    throw FFMpegException("invalid codec_type");
                WriteSubtitle(run.OutputFiles[ost.FileIndex], ost, packet->pts, &subtitle, ist);
            }
        }
    } catch (...) {
        AV.avsubtitle_free(&subtitle);
        throw;
    }
    AV.avsubtitle_free(&subtitle);
    return 0;
}

// The packet as it is, for every copied output of this stream, from the first key packet on.
void TCustomFFmpeg::CopyPacket(TInputStreamRecord& ist, int index, TTranscodeTables& run,
                               const AVPacket* packet) {
    const bool key = (packet->flags & AV_PKT_FLAG_KEY) != 0;
    for (TOutputStreamRecord& ost : run.OutputStreams) {
        if (ost.SourceIndex != index || ost.EncodingNeeded) continue;
        if (ost.FrameNumber == 0 && !key) continue;
        ost.CodedFrame.Valid = true;
        ost.CodedFrame.KeyFrame = key;
        if (ost.Stream->codecpar->codec_type == AVMEDIA_TYPE_AUDIO) {
            AudioBytes += packet->size;
        } else if (ost.Stream->codecpar->codec_type == AVMEDIA_TYPE_VIDEO) {
            VideoBytes += packet->size;
            ost.SyncOpts += 1;
        }
        AVPacket* copy = ost.Packet;
        if (AV.av_packet_ref(copy, packet) < 0) throw FFMpegException("av_packet_ref fail");
        const AVRational from = ist.Stream->time_base;
        const AVRational to = ost.Stream->time_base;
        copy->pts = packet->pts != AV_NOPTS_VALUE ? AV.av_rescale_q(packet->pts, from, to)
                                                  : AV_NOPTS_VALUE;
        copy->dts = packet->dts != AV_NOPTS_VALUE ? AV.av_rescale_q(packet->dts, from, to)
                                                  : AV.av_rescale_q(ist.Pts, AV_TIME_BASE_Q, to);
        copy->duration = AV.av_rescale_q(packet->duration, from, to);
        copy->pos = -1;
        WritePacket(copy, run.OutputFiles[ost.FileIndex], ost);
        ost.FrameNumber += 1;
    }
}

// After the decoder's last frame: what the audio FIFOs still hold, then every encoder's
// delayed packets.
void TCustomFFmpeg::DrainEncoders(int index, TTranscodeTables& run) {
    for (TOutputStreamRecord& ost : run.OutputStreams) {
        if (ost.SourceIndex != index || !ost.EncodingNeeded) continue;
        AVCodecContext* encoder = ost.Encoder;
        AVFormatContext* file = run.OutputFiles[ost.FileIndex];
        if (encoder->codec_type == AVMEDIA_TYPE_AUDIO) {
            if (encoder->frame_size <= 1) continue;
            FlushAudioFifo(file, ost);
        } else if (encoder->codec_type != AVMEDIA_TYPE_VIDEO) {
            continue;
        }
        EncodeFrame(file, ost, nullptr);
    }
}

// The samples short of a whole encoder frame. An encoder that takes no short frame gets the
// rest padded with silence, so that no sample of the input is lost.
void TCustomFFmpeg::FlushAudioFifo(AVFormatContext* file, TOutputStreamRecord& ost) {
    const int rest = AV.av_audio_fifo_size(ost.AudioFifo);
    if (rest <= 0) return;
    const AVCodecContext* encoder = ost.Encoder;
    const bool shortFrame = (encoder->codec->capabilities &
                             (AV_CODEC_CAP_SMALL_LAST_FRAME | AV_CODEC_CAP_VARIABLE_FRAME_SIZE)) != 0;
    const int samples = shortFrame ? rest : encoder->frame_size;
    AVFrame* frame = AudioEncoderFrame(ost, samples);
    AV.av_audio_fifo_read(ost.AudioFifo, reinterpret_cast<void**>(frame->extended_data), rest);
    if (samples > rest)
        AV.av_samples_set_silence(frame->extended_data, rest, samples - rest,
                                  encoder->ch_layout.nb_channels, encoder->sample_fmt);
    frame->pts = ost.SyncOpts;
    ost.SyncOpts += samples;
    EncodeFrame(file, ost, frame);
}

} // namespace tarnwick::engine
