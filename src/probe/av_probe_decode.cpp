// Seeking and decoding single pictures for previews.

#include "probe/av_probe.h"

#include "binding/media_functions.h"
#include "engine/picture_turner.h"
#include "platform/codec_lock.h"
#include "platform/ffmpeg_exception.h"
#include "probe/probe_log.h"

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <new>
#include <stdexcept>
#include <strings.h>

namespace tarnwick::probe {

using binding::AV;

namespace {

constexpr AVRational Microseconds{1, 1000000};

// A preview of a bigger picture is not worth what it costs: a few hundred bytes of a crafted
// header can announce a picture whose decode, conversion and copies take gigabytes.
constexpr int64_t MaxPreviewPixels = int64_t{8192} * 8192;

[[noreturn]] void RaiseCodecError(const char* format, int a, int b = 0) {
    char text[256];
    std::snprintf(text, sizeof text, format, a, b);
    throw platform::FFMpegException(text);
}

} // namespace

bool TAVProbe::IsStillImageFormat() const {
    return Context_ && Context_->iformat && strcasecmp(Context_->iformat->name, "image2") == 0;
}

bool TAVProbe::Seek(int streamIndex, int64_t timeUs) {
    if (Context_ && !OwnsContext_) {
        ProbeLog(1, "file cannot be seeked, handle is readonly.\n");
        LastError_ = "file cannot be seeked, handle is readonly.";
        throw std::runtime_error(LastError_);
    }
    if (!Context_) {
        ProbeLog(1, "file not loaded.\n");
        LastError_ = "file not loaded.";
        return false;
    }
    if (IsStillImageFormat()) {
        ProbeLog(1, "\"image2\" format cannot to be seeked.\n");
        return true;
    }
    int64_t target = timeUs < 0 ? 0 : timeUs;
    if (streamIndex < 0) {
        streamIndex = FirstVideoStream_ >= 0   ? FirstVideoStream_
                      : FirstAudioStream_ >= 0 ? FirstAudioStream_
                                               : FirstSubtitleStream_;
    } else if (streamIndex >= StreamCount_) {
        ProbeLog(0, "stream index #%d is invalid.\n", streamIndex);
        return false;
    }
    int64_t start;
    if (streamIndex >= 0) {
        const AVStream& stream = *Context_->streams[streamIndex];
        target = AV.av_rescale_q(target, Microseconds, stream.time_base);
        if (stream.duration > 0 && stream.duration < target) target = stream.duration;
        start = stream.start_time;
    } else {
        if (Context_->duration > 0 && Context_->duration < target) target = Context_->duration;
        start = Context_->start_time;
    }
    // A damaged header can carry any start time; the seek then goes to the nearest end.
    if (start != AV_NOPTS_VALUE && __builtin_add_overflow(target, start, &target))
        target = start < 0 ? INT64_MIN : INT64_MAX;
    // No picture from before the jump may come out of the decoder afterwards.
    if (DecoderContext_) AV.avcodec_flush_buffers(DecoderContext_);
    int result = timeUs > 0 ? AV.av_seek_frame(Context_, streamIndex, target, 0)
                            : AV.av_seek_frame(Context_, streamIndex, 0, AVSEEK_FLAG_BACKWARD);
    // Past the last key frame there is none at or after the time: the one before it serves.
    // Left where it stood, the file would give whatever follows the last read, or the end.
    if (result < 0 && timeUs > 0)
        result = AV.av_seek_frame(Context_, streamIndex, target, AVSEEK_FLAG_BACKWARD);
    if (result != 0)
        ProbeLog(0, "could not seek to position %0.3f\n", static_cast<double>(timeUs) / 1000000);
    return true;
}

void TAVProbe::OpenDecoder(int streamIndex) {
    if (DecoderContext_ && DecoderStream_ == streamIndex) return;
    CloseDecoder();
    const AVStream& stream = *Context_->streams[streamIndex];
    const AVCodec* decoder = AV.avcodec_find_decoder(stream.codecpar->codec_id);
    if (!decoder)
        RaiseCodecError("Unsupported codec (id=%d) for input file stream #%d",
                        stream.codecpar->codec_id, streamIndex);
    AVCodecContext* context = AV.avcodec_alloc_context3(decoder);
    bool opened = context && AV.avcodec_parameters_to_context(context, stream.codecpar) >= 0;
    if (opened) {
        context->pkt_timebase = stream.time_base;
        // Also refuses a picture that grows past the bound in the middle of the stream.
        context->max_pixels = MaxPreviewPixels;
        std::lock_guard lock(platform::CodecLock());
        opened = AV.avcodec_open2(context, decoder, nullptr) >= 0;
    }
    if (!opened) {
        AV.avcodec_free_context(&context);
        RaiseCodecError("Error while opening codec for input file stream #%d", streamIndex);
    }
    DecoderContext_ = context;
    DecoderStream_ = streamIndex;
    const engine::TDisplayOrientation orientation = engine::StreamOrientation(stream);
    if (!orientation.Upright()) Turner_ = std::make_unique<engine::TPictureTurner>(orientation);
}

void TAVProbe::CloseDecoder() {
    if (DecoderContext_) {
        std::lock_guard lock(platform::CodecLock());
        AV.avcodec_free_context(&DecoderContext_);
    }
    DecoderContext_ = nullptr;
    DecoderStream_ = -1;
    DecodedScanType_ = stUnknown;
    Turner_.reset();
}

bool TAVProbe::CopyFrameToWorkPicture(const AVFrame& frame) {
    const int width = frame.width;
    const int height = frame.height;
    const uint8_t* source = frame.data[0];
    int sourceLineSize = frame.linesize[0];
    if (frame.format != AV_PIX_FMT_BGR24) {
        uint8_t* planes[4];
        int lineSizes[4];
        if (!PictureBuffer_.Prepare(AV_PIX_FMT_BGR24, width, height, planes, lineSizes))
            return false;
        ScaleContext_ = AV.sws_getCachedContext(
            ScaleContext_, width, height, static_cast<AVPixelFormat>(frame.format), width, height,
            AV_PIX_FMT_BGR24, SWS_BICUBIC, nullptr, nullptr, nullptr);
        if (!ScaleContext_) {
            ProbeLog(0, "Cannot initialize the toRGB conversion context\n");
            return false;
        }
        AV.sws_scale(ScaleContext_, frame.data, frame.linesize, 0, height, planes, lineSizes);
        source = planes[0];
        sourceLineSize = lineSizes[0];
    }
    // The decoder may change size mid-stream: the picture takes the frame's own size, so rows
    // are never read past the frame's end.
    WorkPicture_->SetSize(width, height);
    const size_t rowBytes = static_cast<size_t>(width) * 3;
    for (int row = 0; row < height; ++row)
        std::memcpy(WorkPicture_->ScanLine(row),
                    source + static_cast<ptrdiff_t>(row) * sourceLineSize, rowBytes);
    return true;
}

platform::Bitmap24& TAVProbe::DecodeFrame(int streamIndex) {
    if (Context_ && !OwnsContext_) {
        ProbeLog(1, "frame cannot be read, handle is readonly.\n");
        LastError_ = "frame cannot be read, handle is readonly.";
        throw std::runtime_error(LastError_);
    }
    if (!WorkPicture_) WorkPicture_ = std::make_unique<platform::Bitmap24>();
    platform::Bitmap24& picture = *WorkPicture_;
    const auto nothing = [&picture]() -> platform::Bitmap24& {
        picture.SetSize(0, 0);
        return picture;
    };
    if (!Context_) {
        ProbeLog(0, "file not loaded.\n");
        return nothing();
    }
    if (streamIndex < 0) {
        streamIndex = FirstVideoStream_;
        if (streamIndex < 0) {
            ProbeLog(0, "no video stream.\n");
            return nothing();
        }
    } else if (streamIndex >= StreamCount_) {
        ProbeLog(0, "stream index #%d is invalid.\n", streamIndex);
        return nothing();
    }
    const AVCodecParameters& parameters = *Context_->streams[streamIndex]->codecpar;
    if (parameters.codec_type != AVMEDIA_TYPE_VIDEO) {
        ProbeLog(0, "stream #%d is not video stream.\n", streamIndex);
        return nothing();
    }
    // A still picture has been read once; reading on would only find the end of the file.
    if (LastWasStillImage_ && IsStillImageFormat()) return picture;
    if (parameters.width == 0 || parameters.height == 0) return nothing();
    if (int64_t{parameters.width} * parameters.height > MaxPreviewPixels) {
        ProbeLog(0, "picture of %dx%d is too large for a preview.\n", parameters.width,
                 parameters.height);
        return nothing();
    }

    OpenDecoder(streamIndex);
    if (engine::StreamOrientation(*Context_->streams[streamIndex]).Transpose)
        picture.SetSize(parameters.height, parameters.width);
    else
        picture.SetSize(parameters.width, parameters.height);
    if (!Packet_) Packet_ = AV.av_packet_alloc();
    if (!Frame_) Frame_ = AV.av_frame_alloc();
    if (!Packet_ || !Frame_) throw std::bad_alloc();

    // A decoder may hold pictures back (reordering); they come out before the next packet is
    // needed, and at the end of the file the decoder is drained before the picture goes black.
    bool ended = false;
    for (;;) {
        const int received = AV.avcodec_receive_frame(DecoderContext_, Frame_);
        if (received == 0) {
            DecodedScanType_ = !Frame_->interlaced_frame ? stProgressive
                               : Frame_->top_field_first ? stTopFieldFirst
                                                         : stBottomFieldFirst;
            const bool converted =
                (!Turner_ || Turner_->Turn(Frame_)) && CopyFrameToWorkPicture(*Frame_);
            AV.av_frame_unref(Frame_);
            if (!converted) {
                picture.Fill(0, 0, 0);
                break;
            }
            if (!LastPicture_) LastPicture_ = std::make_unique<platform::Bitmap24>();
            LastPicture_->Assign(picture);
            LastWasStillImage_ = IsStillImageFormat();
            break;
        }
        if (received == AVERROR_EOF || ended) {
            ProbeLog(2, "stream eof reached.\n");
            picture.Fill(0, 0, 0);
            break;
        }
        if (AV.av_read_frame(Context_, Packet_) < 0) {
            // Drain the decoder; one that is drained already refuses, and that is the end.
            ended = AV.avcodec_send_packet(DecoderContext_, nullptr) < 0;
            continue;
        }
        // Packets of other streams and packets the decoder rejects are skipped.
        if (Packet_->stream_index == streamIndex) AV.avcodec_send_packet(DecoderContext_, Packet_);
        AV.av_packet_unref(Packet_);
    }
    return picture;
}

platform::Bitmap24& TAVProbe::LastPicture() {
    if (!LastPicture_) LastPicture_ = std::make_unique<platform::Bitmap24>();
    return *LastPicture_;
}

} // namespace tarnwick::probe
