#include "engine/video_frames.h"

#include "binding/media_functions.h"

namespace tarnwick::engine {

using binding::AV;

bool PrepareWritablePicture(AVFrame *&frame, AVPixelFormat format, int width, int height) {
    if (!frame) frame = AV.av_frame_alloc();
    if (!frame) return false;
    if (frame->buf[0] && frame->format == format && frame->width == width &&
        frame->height == height && AV.av_frame_is_writable(frame))
        return true;
    AV.av_frame_unref(frame);
    frame->format = format;
    frame->width = width;
    frame->height = height;
    return AV.av_frame_get_buffer(frame, 0) >= 0;
}

} // namespace tarnwick::engine
