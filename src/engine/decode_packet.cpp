// One packet of one input stream: decoded (a packet may give several frames) and fed to every
// output stream that takes this stream, or copied as it is; without a packet the decoder and
// then the encoders it feeds are drained.
#include "engine/custom_ffmpeg.h"

#include "binding/media_libraries.h"
#include "engine/audio_volume.h"
#include "engine/picture_graph.h"
#include "engine/picture_turner.h"
#include "platform/ffmpeg_exception.h"

#include <algorithm>
#include <chrono>
#include <thread>

namespace tarnwick::engine {

using binding::AV;
using platform::FFMpegException;

namespace {

// Time of one picture of the stream.
int64_t PictureDurationUs(const TInputStreamRecord& ist) {
    const AVRational timeBase = TCustomFFmpeg::DecoderTimeBase(ist);
    return timeBase.num != 0 ? int64_t{1000000} * timeBase.num / timeBase.den : 0;
}

} // namespace

// Data before the start time is not output, nor data past the recording time that the loop read
// while another stream caught up or that a decoder held back until its end.
bool TCustomFFmpeg::InOutputWindow(const TInputStreamRecord& ist) const {
    return (StartTime == 0 || ist.Pts >= StartTime) && ist.Pts - StartTime < RecordingTime;
}

// An input opened at a start time was sought to the key frame before it: the pictures and sound
// decoded on the way lie before time 0 of its clock. The end of the window is the paths' own
// business: they cut it to the picture and to the sample.
bool TCustomFFmpeg::BeforeOutputStart(const TInputStreamRecord& ist) const {
    return (StartTime != 0 || InputCutBeforeStart[ist.FileIndex]) && ist.Pts < StartTime;
}

int TCustomFFmpeg::DecodePacket(TInputStreamRecord& ist, int index, TTranscodeTables& run,
                                const AVPacket* packet) {
    if (ist.NextPts == AV_NOPTS_VALUE) ist.NextPts = ist.Pts;
    if (packet && packet->dts != AV_NOPTS_VALUE)
        ist.NextPts = AV.av_rescale_q(packet->dts, ist.Stream->time_base, AV_TIME_BASE_Q);
    if (packet) ist.Pts = ist.NextPts;

    if (packet && InOutputWindow(ist)) CopyPacket(ist, index, run, packet);

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
    case AVMEDIA_TYPE_VIDEO: break;
    case AVMEDIA_TYPE_SUBTITLE:
        // Subtitles are decoded one per packet and have nothing to drain.
        return packet ? DecodeSubtitle(ist, index, run, packet) : 0;
    default: return -1;
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
    if (!packet) {
        // The deinterlacer gives out the picture it kept back once it knows no more come.
        if (decoder->codec_type == AVMEDIA_TYPE_VIDEO && ist.Deinterlacer &&
            ist.Deinterlacer->Push(nullptr))
            OutputDeinterlacedPictures(ist, index, run, ist.DecodedFrame);
        if (decoder->codec_type == AVMEDIA_TYPE_VIDEO && UsingFilters && ist.FilterIn)
            FlushFilterGraph(ist, index, run);
        DrainEncoders(index, run);
    }
    return 0;
}

void TCustomFFmpeg::OutputDecodedFrame(TInputStreamRecord& ist, int index, TTranscodeTables& run,
                                       AVFrame* frame) {
    AVCodecContext* decoder = ist.Decoder;
    // Decoders of this generation may hold several packets back (frame threads, reordering):
    // the frame's own timestamp tells its time; the running estimate serves frames without one.
    if (frame->best_effort_timestamp != AV_NOPTS_VALUE)
        ist.NextPts =
            AV.av_rescale_q(frame->best_effort_timestamp, ist.Stream->time_base, AV_TIME_BASE_Q);
    ist.Pts = ist.NextPts;
    if (decoder->codec_type == AVMEDIA_TYPE_VIDEO) {
        ist.Quality = frame->quality;
        ist.NextPts += PictureDurationUs(ist);
        if (!ist.Deinterlacer) {
            OutputPicture(ist, index, run, frame);
            return;
        }
        frame->pts = ist.Pts;
        if (!ist.Deinterlacer->Push(frame)) {
            // The pictures go on as they are, rather than not at all.
            Log(0, "Deinterlacing failed.");
            delete ist.Deinterlacer;
            ist.Deinterlacer = nullptr;
            OutputPicture(ist, index, run, frame);
            return;
        }
        OutputDeinterlacedPictures(ist, index, run, frame);
        return;
    }

    if (frame->sample_rate > 0)
        ist.NextPts += int64_t{1000000} * frame->nb_samples / frame->sample_rate;
    if (AudioVolume != 256) ApplyAudioVolume(*frame, AudioVolume);
    EmulateRate(ist);
    // Sound chunks may straddle the start: AudioOutput cuts them to the sample.
    FeedEncoders(index, run, ist, frame);
}

void TCustomFFmpeg::OutputPicture(TInputStreamRecord& ist, int index, TTranscodeTables& run,
                                  AVFrame* picture) {
    if (ist.Turner && !ist.Turner->Turn(picture))
        throw FFMpegException("Cannot turn the picture as its stream displays it");
    PreprocessPicture(ist, picture);
    const bool filtered = UsingFilters && ist.FilterIn;
    if (filtered) {
        AV.av_frame_unref(ist.FilterFrame);
        if (AV.av_frame_ref(ist.FilterFrame, picture) < 0)
            throw FFMpegException("av_frame_ref fail");
        ist.HasFilterFrame = true;
    }
    EmulateRate(ist);

    if (BeforeOutputStart(ist)) return;
    if (!filtered) {
        FeedEncoders(index, run, ist, picture);
        return;
    }
    while (PullFilteredPicture(ist, picture) == 1)
        FeedEncoders(index, run, ist, picture);
    AV.av_frame_unref(ist.FilterPicture);
}

// The deinterlacer's pictures carry their own time: it gives each out a picture late.
void TCustomFFmpeg::OutputDeinterlacedPictures(TInputStreamRecord& ist, int index,
                                               TTranscodeTables& run, AVFrame* picture) {
    while (ist.Deinterlacer->Pull(picture)) {
        if (picture->pts != AV_NOPTS_VALUE) ist.Pts = picture->pts;
        OutputPicture(ist, index, run, picture);
        AV.av_frame_unref(picture);
    }
}

// Frames come no faster than the stream's real time.
void TCustomFFmpeg::EmulateRate(TInputStreamRecord& ist) {
    if (!ist.RateEmulation) return;
    const AVRational timeBase = DecoderTimeBase(ist);
    const int64_t due = timeBase.den ? AV.av_rescale(int64_t{timeBase.num} * ist.RateEmuFrames,
                                                     1000000, timeBase.den)
                                     : 0;
    const int64_t now = AV.av_gettime() - ist.RateEmuStart;
    if (due - now > 50000)
        std::this_thread::sleep_for(std::chrono::milliseconds((due - now) / 1000));
    ist.RateEmuFrames += 1;
}

void TCustomFFmpeg::FeedEncoders(int index, TTranscodeTables& run, TInputStreamRecord& ist,
                                 AVFrame* frame) {
    for (TOutputStreamRecord& ost : run.OutputStreams) {
        if (ost.SourceIndex != index || !ost.EncodingNeeded) continue;
        AVFormatContext* file = run.OutputFiles[ost.FileIndex];
        switch (ost.Encoder->codec_type) {
        case AVMEDIA_TYPE_AUDIO: AudioOutput(file, ost, ist, frame); break;
        case AVMEDIA_TYPE_VIDEO:
            if (const int frameSize = VideoOutput(file, ost, ist, frame);
                !VstatsFileName.empty() && frameSize > 0)
                WriteFrameStatistics(file, ost, frameSize);
            break;
        case AVMEDIA_TYPE_SUBTITLE: break; // fed by DecodeSubtitle
        default: throw FFMpegException("invalid codec_type");
        }
    }
}

// Filters that look ahead or collect (frame-rate changes, reversal, padding at the end) give
// their last pictures only once the graph is told that no more will come.
void TCustomFFmpeg::FlushFilterGraph(TInputStreamRecord& ist, int index, TTranscodeTables& run) {
    ist.HasFilterFrame = false;
    if (AV.av_buffersrc_add_frame_flags(ist.FilterIn, nullptr, 0) < 0) return;
    AVFrame* frame = ist.DecodedFrame;
    while (PullFilteredPicture(ist, frame) == 1) {
        if (!BeforeOutputStart(ist)) FeedEncoders(index, run, ist, frame);
        AV.av_frame_unref(frame);
    }
    AV.av_frame_unref(ist.FilterPicture);
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
        if (InOutputWindow(ist)) {
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
        copy->pts =
            packet->pts != AV_NOPTS_VALUE ? AV.av_rescale_q(packet->pts, from, to) : AV_NOPTS_VALUE;
        copy->dts = packet->dts != AV_NOPTS_VALUE ? AV.av_rescale_q(packet->dts, from, to)
                                                  : AV.av_rescale_q(ist.Pts, AV_TIME_BASE_Q, to);
        copy->duration = AV.av_rescale_q(packet->duration, from, to);
        copy->pos = -1;
        WritePacket(copy, run.OutputFiles[ost.FileIndex], ost);
        ost.FrameNumber += 1;
    }
}

// After the decoder's last frame: what the audio paths still hold, then every encoder's
// delayed packets.
void TCustomFFmpeg::DrainEncoders(int index, TTranscodeTables& run) {
    for (TOutputStreamRecord& ost : run.OutputStreams) {
        if (ost.SourceIndex != index || !ost.EncodingNeeded) continue;
        AVFormatContext* file = run.OutputFiles[ost.FileIndex];
        switch (ost.Encoder->codec_type) {
        case AVMEDIA_TYPE_AUDIO: DrainAudioOutput(file, ost); break;
        case AVMEDIA_TYPE_VIDEO:
            if (EncodeFrame(file, ost, nullptr) < 0) throw FFMpegException("Video encoding failed");
            break;
        default: break; // subtitles keep nothing back
        }
    }
}

} // namespace tarnwick::engine
