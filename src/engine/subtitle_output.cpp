// Re-encoding of decoded subtitles.
#include "engine/custom_ffmpeg.h"

#include "binding/media_functions.h"
#include "platform/ffmpeg_exception.h"

#include <cstring>

namespace tarnwick::engine {

using binding::AV;
using platform::FFMpegException;

void TCustomFFmpeg::WriteSubtitle(AVFormatContext *file, TOutputStreamRecord &ost, int64_t pts,
                                  AVSubtitle *subtitle, TInputStreamRecord &ist) {
    if (pts == AV_NOPTS_VALUE) {
        if (ExitOnError) throw FFMpegException("Subtitle packets must have a pts");
        Log(0, "Subtitle packets must have a pts");
        return;
    }
    if (!SubtitleEncodeBuffer)
        SubtitleEncodeBuffer = static_cast<uint8_t *>(AV.av_malloc(SubtitleEncodeBufferSize));
    if (!SubtitleEncodeBuffer) throw FFMpegException("av_malloc fail");

    AVCodecContext *enc = ost.Encoder;
    const AVRational outputBase = ost.Stream->time_base;
    const AVRational milliseconds{1, 1000};
    const int64_t basePts = AV.av_rescale_q(pts, ist.Stream->time_base, outputBase);
    const uint32_t start = subtitle->start_display_time;
    const uint32_t end = subtitle->end_display_time;
    const unsigned rectCount = subtitle->num_rects;
    // The encoder wants the display times relative to the subtitle's own time, starting at 0.
    subtitle->pts = AV.av_rescale_q(pts, ist.Stream->time_base, AV_TIME_BASE_Q) +
                    AV.av_rescale_q(start, milliseconds, AV_TIME_BASE_Q);
    subtitle->end_display_time = end - start;
    subtitle->start_display_time = 0;

    // A DVB subtitle is written twice: once to show it and once, at its end time, to clear it.
    const bool dvb = enc->codec_id == AV_CODEC_ID_DVB_SUBTITLE;
    const int count = dvb ? 2 : 1;
    AVPacket *packet = ost.Packet;
    for (int i = 0; i < count; ++i) {
        if (i == 1) subtitle->num_rects = 0;
        const int size = AV.avcodec_encode_subtitle(enc, SubtitleEncodeBuffer,
                                                    SubtitleEncodeBufferSize, subtitle);
        if (size < 0) {
            subtitle->num_rects = rectCount;
            throw FFMpegException("Subtitle encoding failed");
        }
        AV.av_packet_unref(packet);
        if (AV.av_new_packet(packet, size) < 0) {
            subtitle->num_rects = rectCount;
            throw FFMpegException("av_malloc fail");
        }
        std::memcpy(packet->data, SubtitleEncodeBuffer, size);
        packet->pts = basePts + AV.av_rescale_q(i == 0 ? start : end, milliseconds, outputBase);
        packet->dts = packet->pts;
        if (!dvb) packet->duration = AV.av_rescale_q(end - start, milliseconds, outputBase);
        packet->flags |= AV_PKT_FLAG_KEY;
        WritePacket(packet, file, ost);
    }
    // The caller frees the rectangles by their count.
    subtitle->num_rects = rectCount;
}

} // namespace tarnwick::engine
