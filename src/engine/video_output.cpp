// The last stage of a video picture: frame-rate sync, crop, scale, pad and encoding.
#include "engine/custom_ffmpeg.h"

#include "binding/media_functions.h"
#include "engine/picture_crop_pad.h"
#include "engine/video_frames.h"
#include "engine/video_sync.h"
#include "platform/ffmpeg_exception.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace tarnwick::engine {

using binding::AV;
using platform::FFMpegException;

namespace {

// A crop or pad the picture cannot take: raised with ExitOnError, else logged; the picture is
// not encoded either way.
void PictureFailure(TCustomFFmpeg &job, const char *text) {
    if (job.ExitOnError) throw FFMpegException(text);
    job.Log(0, text);
}

} // namespace

int TCustomFFmpeg::VideoOutput(AVFormatContext *file, TOutputStreamRecord &ost,
                               TInputStreamRecord &ist, AVFrame *picture) {
    AVCodecContext *enc = ost.Encoder;
    const double timeBase = av_q2d(enc->time_base);
    const double syncTime =
        static_cast<double>((ost.SyncInput ? ost.SyncInput->Pts : ist.Pts) - StartTime) / 1000000.0;

    const VideoSyncDecision sync =
        DecideVideoSync(syncTime, timeBase, ost.SyncOpts, VideoSyncMethod);
    int64_t count = sync.count;
    ost.SyncOpts = sync.syncOpts;
    if (count == 0) {
        ++FramesDropped;
        if (Verbose > 2) Log(1, "*** drop!");
    } else if (count > 1) {
        FramesDuplicated += static_cast<int32_t>(count - 1);
        if (Verbose > 2) LogFormat(1, "*** %d dup!", static_cast<int>(count - 1));
    }
    count = std::min<int64_t>(count, int64_t{MaxFrames[AVMEDIA_TYPE_VIDEO]} - ost.FrameNumber);
    // The recording time holds a whole number of pictures: the last one starts inside it. A
    // picture from past its end may still fill the last of them (its predecessor ended there).
    if (RecordingTime != std::numeric_limits<int64_t>::max()) {
        const double pictures = static_cast<double>(RecordingTime) / 1000000.0 / timeBase;
        count = std::min<int64_t>(count,
                                  static_cast<int64_t>(std::ceil(pictures - 1e-6)) - ost.SyncOpts);
    }
    if (count <= 0) return 0;

    // Crop: a view of the picture, no copy. The filter graph, when used, has cropped already.
    const auto inputFormat = static_cast<AVPixelFormat>(picture->format);
    PicturePlanes formatted = PlanesOf(*picture);
    int formattedWidth = picture->width, formattedHeight = picture->height;
    if (!UsingFilters && ost.VideoCrop) {
        formattedWidth -= CropLeft + CropRight;
        formattedHeight -= CropTop + CropBottom;
        if (formattedWidth <= 0 || formattedHeight <= 0 ||
            !CropPicture(formatted, PlanesOf(*picture), inputFormat, ost.CropTopBand,
                         ost.CropLeftBand)) {
            PictureFailure(*this, "error cropping picture");
            return 0;
        }
    }

    // Scale whenever the picture does not already have the encoder's inner size and format,
    // which also covers a decoder or graph that changes the picture size mid-stream.
    const int innerWidth = enc->width - PadLeft - PadRight;
    const int innerHeight = enc->height - PadTop - PadBottom;
    const bool scale = formattedWidth != innerWidth || formattedHeight != innerHeight ||
                       inputFormat != enc->pix_fmt;

    AVFrame *finalPicture = picture;
    if (scale || ost.VideoPad) {
        if (!PrepareWritablePicture(ost.ResamplePicture, enc->pix_fmt, enc->width, enc->height))
            throw FFMpegException("Cannot allocate temp picture, check pix fmt");
        PicturePlanes target = PlanesOf(*ost.ResamplePicture);
        PicturePlanes scalerTarget = target;
        if (ost.VideoPad && scale &&
            !CropPicture(scalerTarget, target, enc->pix_fmt, ost.PadTopBand, ost.PadLeftBand)) {
            PictureFailure(*this, "error padding picture");
            return 0;
        }
        const PicturePlanes *paddingSource = &formatted;
        if (scale) {
            ost.ScaleContext = AV.sws_getCachedContext(
                ost.ScaleContext, formattedWidth, formattedHeight, inputFormat, innerWidth,
                innerHeight, enc->pix_fmt, SwsFlags, nullptr, nullptr, nullptr);
            if (!ost.ScaleContext) throw FFMpegException("Cannot get resampling context");
            ost.VideoResample = true;
            AV.sws_scale(ost.ScaleContext, formatted.data, formatted.linesize, 0, formattedHeight,
                         scalerTarget.data, scalerTarget.linesize);
            paddingSource = nullptr;
        }
        if (ost.VideoPad && !PadPicture(target, paddingSource, enc->height, enc->width,
                                        enc->pix_fmt, ost.PadTopBand, ost.PadBottomBand,
                                        ost.PadLeftBand, ost.PadRightBand, PadColor)) {
            PictureFailure(*this, "error padding picture");
            return 0;
        }
        finalPicture = ost.ResamplePicture;
    }

    // The encoder gets a reference, so it may keep the picture while it looks ahead.
    if (!VideoEncodeFrame) VideoEncodeFrame = AV.av_frame_alloc();
    AVFrame *frame = VideoEncodeFrame;
    if (!frame || AV.av_frame_ref(frame, finalPicture) < 0)
        throw FFMpegException("Video encoding failed");
    if (finalPicture == picture) {
        for (int i = 0; i < 4; ++i)
            frame->data[i] = formatted.data[i];
        frame->width = formattedWidth;
        frame->height = formattedHeight;
    } else {
        AV.av_frame_copy_props(frame, picture);
    }
    frame->interlaced_frame = picture->interlaced_frame;
    const AVCodecContext *videoOptions = CodecOptions[AVMEDIA_TYPE_VIDEO];
    if (videoOptions &&
        (videoOptions->flags & (AV_CODEC_FLAG_INTERLACED_DCT | AV_CODEC_FLAG_INTERLACED_ME)))
        frame->top_field_first = TopFieldFirst != -1 ? TopFieldFirst : picture->top_field_first;
    frame->quality = SameQuality ? ist.Quality : enc->global_quality;
    if (MeThreshold == 0) frame->pict_type = AV_PICTURE_TYPE_NONE;

    int frameSize = 0;
    for (int64_t i = 0; i < count; ++i) {
        if (i > 0) PassPauseGate();
        if (StopRequested) break;
        frame->pts = ost.SyncOpts;
        const int written = EncodeFrame(file, ost, frame);
        if (written < 0) {
            AV.av_frame_unref(frame);
            throw FFMpegException("Video encoding failed");
        }
        if (written > 0) frameSize = written;
        ++ost.SyncOpts;
        ++ost.FrameNumber;
    }
    AV.av_frame_unref(frame);
    return frameSize;
}

} // namespace tarnwick::engine
