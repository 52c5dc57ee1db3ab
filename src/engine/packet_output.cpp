// The way out of the engine for every packet: encoding a frame into packets, the bitstream
// filter chain of the stream, and the muxer.
#include "engine/custom_ffmpeg.h"

#include "binding/media_libraries.h"
#include "engine/open_errors.h"
#include "platform/ffmpeg_exception.h"

#include <cstring>

namespace tarnwick::engine {

using binding::AV;
using platform::FFMpegException;

namespace {

// This generation reports an encoded frame's quality, picture type and plane errors as side
// data of its packet.
void NoteCodedFrame(TCodedFrameInfo& coded, const AVPacket* packet) {
    coded.Valid = true;
    coded.KeyFrame = (packet->flags & AV_PKT_FLAG_KEY) != 0;
    size_t size = 0;
    const uint8_t* stats = AV.av_packet_get_side_data(packet, AV_PKT_DATA_QUALITY_STATS, &size);
    if (!stats || size < 6) return;
    uint32_t quality = 0;
    std::memcpy(&quality, stats, sizeof quality);
    coded.Quality = static_cast<int32_t>(quality);
    coded.PictType = stats[4];
    const int errorCount = stats[5];
    for (int plane = 0; plane < 4; ++plane) {
        const size_t offset = 8 + 8 * static_cast<size_t>(plane);
        if (plane < errorCount && offset + 8 <= size)
            std::memcpy(&coded.Error[plane], stats + offset, sizeof coded.Error[plane]);
        else
            coded.Error[plane] = 0;
    }
}

int AudioFrameCapacity(const AVFrame* frame) {
    if (!frame->buf[0]) return 0;
    const int bytes = AV.av_get_bytes_per_sample(static_cast<AVSampleFormat>(frame->format));
    const int perSample =
        AV.av_sample_fmt_is_planar(static_cast<AVSampleFormat>(frame->format))
            ? bytes
            : bytes * frame->ch_layout.nb_channels;
    return perSample > 0 ? frame->linesize[0] / perSample : 0;
}

} // namespace

void TCustomFFmpeg::WritePacket(AVPacket* packet, AVFormatContext* file, TOutputStreamRecord& ost) {
    packet->stream_index = ost.StreamIndex;
    FilterAndMux(packet, file, ost, 0);
}

// Sends the packet through filters `first` onwards and muxes whatever comes out. A filter that
// fails lets the packet go on without its change; one that keeps the packet back for more input
// writes nothing now.
void TCustomFFmpeg::FilterAndMux(AVPacket* packet, AVFormatContext* file, TOutputStreamRecord& ost,
                                 size_t first) {
    if (first == ost.BitstreamFilters.size()) {
        packet->stream_index = ost.StreamIndex;
        if (packet->pts != AV_NOPTS_VALUE) ost.LastPts = packet->pts;
        else if (packet->dts != AV_NOPTS_VALUE) ost.LastPts = packet->dts;
        const int result = AV.av_interleaved_write_frame(file, packet);
        AV.av_packet_unref(packet);
        if (result < 0) throw FFMpegException(OpenErrorText("av_interleaved_write_frame()", result));
        return;
    }
    AVBSFContext* filter = ost.BitstreamFilters[first];
    AVPacket* unfiltered = ost.FilterPacket;
    AV.av_packet_unref(unfiltered);
    int result = AV.av_packet_ref(unfiltered, packet);
    if (result >= 0) result = AV.av_bsf_send_packet(filter, packet);
    if (result >= 0) result = AV.av_bsf_receive_packet(filter, packet);
    if (result == AVERROR(EAGAIN) || result == AVERROR_EOF) {
        AV.av_packet_unref(unfiltered);
        AV.av_packet_unref(packet);
        return;
    }
    if (result < 0) {
        ReportFilterFailure(filter, ost.StreamIndex, ost.Encoder, result);
        AV.av_packet_unref(packet);
        AV.av_packet_move_ref(packet, unfiltered);
        FilterAndMux(packet, file, ost, first + 1);
        return;
    }
    AV.av_packet_unref(unfiltered);
    do {
        FilterAndMux(packet, file, ost, first + 1);
        result = AV.av_bsf_receive_packet(filter, packet);
    } while (result >= 0);
    if (result != AVERROR(EAGAIN) && result != AVERROR_EOF)
        ReportFilterFailure(filter, ost.StreamIndex, ost.Encoder, result);
}

void TCustomFFmpeg::ReportFilterFailure(const AVBSFContext* filter, int streamIndex,
                                        const AVCodecContext* encoder, int code) {
    if (!LogHandler && !ExitOnError) return;
    char text[1024];
    std::snprintf(text, sizeof text, "%s failed for stream %d, codec %s", filter->filter->name,
                  streamIndex, encoder && encoder->codec ? encoder->codec->name : "copy");
    const std::string message = OpenErrorText(text, code);
    if (ExitOnError) throw FFMpegException(message);
    Log(0, message);
}

int TCustomFFmpeg::EncodeFrame(AVFormatContext* file, TOutputStreamRecord& ost,
                               const AVFrame* frame) {
    AVCodecContext* encoder = ost.Encoder;
    int result = AV.avcodec_send_frame(encoder, frame);
    // A second flush finds the encoder already at its end: nothing more to write.
    if (result == AVERROR_EOF) return 0;
    if (result < 0) return result;
    int64_t& byteCounter = encoder->codec_type == AVMEDIA_TYPE_VIDEO ? VideoBytes : AudioBytes;
    int written = 0;
    AVPacket* packet = ost.Packet;
    while ((result = AV.avcodec_receive_packet(encoder, packet)) >= 0) {
        NoteCodedFrame(ost.CodedFrame, packet);
        // Video encoders of this generation leave the duration open; the muxer needs it to
        // give the last picture its time.
        if (packet->duration == 0 && encoder->codec_type == AVMEDIA_TYPE_VIDEO)
            packet->duration = encoder->framerate.num > 0 && encoder->framerate.den > 0
                                   ? AV.av_rescale_q(1, av_inv_q(encoder->framerate), encoder->time_base)
                                   : 1;
        byteCounter += packet->size;
        written += packet->size;
        if (ost.PassLogFile && encoder->stats_out)
            std::fprintf(ost.PassLogFile, "%s", encoder->stats_out);
        AV.av_packet_rescale_ts(packet, encoder->time_base, ost.Stream->time_base);
        WritePacket(packet, file, ost);
    }
    if (result != AVERROR(EAGAIN) && result != AVERROR_EOF) return result;
    return written;
}

AVFrame* TCustomFFmpeg::AudioEncoderFrame(TOutputStreamRecord& ost, int samples) {
    AVFrame* frame = ost.AudioFrame;
    const AVCodecContext* encoder = ost.Encoder;
    int result = 0;
    if (AudioFrameCapacity(frame) < samples) {
        AV.av_frame_unref(frame);
        frame->format = encoder->sample_fmt;
        frame->sample_rate = encoder->sample_rate;
        result = AV.av_channel_layout_copy(&frame->ch_layout, &encoder->ch_layout);
        frame->nb_samples = samples;
        if (result >= 0) result = AV.av_frame_get_buffer(frame, 0);
    } else {
        frame->nb_samples = samples;
        result = AV.av_frame_make_writable(frame);
    }
    if (result < 0) throw FFMpegException("av_frame_get_buffer fail");
    return frame;
}

} // namespace tarnwick::engine
