#include "engine/picture_turner.h"

#include "binding/media_functions.h"

#include <cstdio>

namespace tarnwick::engine {

using binding::AV;

namespace {

AVFilterContext* AddFilter(AVFilterGraph* graph, const char* filterName, const char* args,
                           AVFilterContext* previous) {
    const AVFilter* filter = AV.avfilter_get_by_name(filterName);
    AVFilterContext* context = nullptr;
    if (!filter ||
        AV.avfilter_graph_create_filter(&context, filter, filterName, args, nullptr, graph) < 0)
        return nullptr;
    if (previous && AV.avfilter_link(previous, 0, context, 0) < 0) return nullptr;
    return context;
}

// A transpose followed by mirrors is one of the transpose filter's four directions.
const char* TransposeDirection(const TDisplayOrientation& orientation) {
    if (orientation.MirrorHorizontally)
        return orientation.MirrorVertically ? "dir=clock_flip" : "dir=clock";
    return orientation.MirrorVertically ? "dir=cclock" : "dir=cclock_flip";
}

} // namespace

TPictureTurner::TPictureTurner(TDisplayOrientation orientation) : orientation_(orientation) {}

TPictureTurner::~TPictureTurner() { Release(); }

void TPictureTurner::Release() {
    AV.avfilter_graph_free(&graph_);
    source_ = sink_ = nullptr;
    width_ = height_ = 0;
    format_ = AV_PIX_FMT_NONE;
}

bool TPictureTurner::Configure(int width, int height, AVPixelFormat format,
                               AVRational sampleAspect) {
    if (sampleAspect.num <= 0 || sampleAspect.den <= 0) sampleAspect = AVRational{0, 1};
    if (graph_ && width == width_ && height == height_ && format == format_ &&
        av_cmp_q(sampleAspect, aspect_) == 0)
        return true;
    Release();
    graph_ = AV.avfilter_graph_alloc();
    if (!graph_ || width <= 0 || height <= 0 || format == AV_PIX_FMT_NONE) {
        Release();
        return false;
    }
    // The filters keep every timestamp as it is; the time base is only a formality here.
    char args[160];
    std::snprintf(args, sizeof args,
                  "video_size=%dx%d:pix_fmt=%d:time_base=1/1000000:pixel_aspect=%d/%d", width,
                  height, format, sampleAspect.num, sampleAspect.den);
    AVFilterContext* last = source_ = AddFilter(graph_, "buffer", args, nullptr);
    if (last && orientation_.Transpose) {
        last = AddFilter(graph_, "transpose", TransposeDirection(orientation_), last);
    } else if (last) {
        if (orientation_.MirrorHorizontally) last = AddFilter(graph_, "hflip", nullptr, last);
        if (last && orientation_.MirrorVertically) last = AddFilter(graph_, "vflip", nullptr, last);
    }
    sink_ = last ? AddFilter(graph_, "buffersink", nullptr, last) : nullptr;
    if (!sink_ || AV.avfilter_graph_config(graph_, nullptr) < 0) {
        Release();
        return false;
    }
    width_ = width;
    height_ = height;
    format_ = format;
    aspect_ = sampleAspect;
    turnedWidth_ = AV.av_buffersink_get_w(sink_);
    turnedHeight_ = AV.av_buffersink_get_h(sink_);
    turnedFormat_ = static_cast<AVPixelFormat>(AV.av_buffersink_get_format(sink_));
    turnedAspect_ = AV.av_buffersink_get_sample_aspect_ratio(sink_);
    return true;
}

bool TPictureTurner::Turn(AVFrame* picture) {
    if (!Configure(picture->width, picture->height, static_cast<AVPixelFormat>(picture->format),
                   picture->sample_aspect_ratio)) {
        AV.av_frame_unref(picture);
        return false;
    }
    // The source takes the picture's references over and leaves it blank for the result.
    if (AV.av_buffersrc_add_frame_flags(source_, picture, 0) < 0) {
        AV.av_frame_unref(picture);
        return false;
    }
    return AV.av_buffersink_get_frame(sink_, picture) >= 0;
}

} // namespace tarnwick::engine
