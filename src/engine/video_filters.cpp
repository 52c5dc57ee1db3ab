// The video filter graph of a re-encoded stream: a buffer source fed with the decoded pictures,
// an optional scale to the encoder's inner size, the user's "vfilters" text, and a sink that
// takes only the encoder's pixel format.
#include "engine/custom_ffmpeg.h"

#include "binding/media_functions.h"
#include "engine/picture_graph.h"

#include <cstdio>
#include <cstring>

namespace tarnwick::engine {

using binding::AV;

namespace {

// Pictures enter the graph with their pts in microseconds, the engine's clock.
constexpr AVRational MicrosecondBase{1, 1000000};

} // namespace

int TCustomFFmpeg::ConfigureFilters(TInputStreamRecord& ist, TOutputStreamRecord& ost) {
    if (CropTop + CropBottom + CropLeft + CropRight != 0) {
        FilterErrorText = "Cannot enable crop options and filters at the same time.";
        return -1;
    }
    AVCodecContext* enc = ost.Encoder;

    AVFilterGraph* graph = AV.avfilter_graph_alloc();
    if (!graph) return -1;
    if (ist.FilterGraph) AV.avfilter_graph_free(&ist.FilterGraph);
    ist.FilterGraph = graph;

    // The graph gets the pictures as the stream displays them (turned when it says so).
    const AVRational aspect = ist.PictureAspect.num > 0 ? ist.PictureAspect : AVRational{0, 1};
    char args[256];
    std::snprintf(args, sizeof args,
                  "video_size=%dx%d:pix_fmt=%d:time_base=%d/%d:pixel_aspect=%d/%d",
                  ist.PictureWidth, ist.PictureHeight, ist.PictureFormat, MicrosecondBase.num,
                  MicrosecondBase.den, aspect.num, aspect.den);
    // Filters that make pictures of their own (padding, rate changes) time them by the
    // stream's frame rate.
    const AVRational rate = ist.Stream->r_frame_rate;
    if (rate.num > 0 && rate.den > 0) {
        const size_t used = std::strlen(args);
        std::snprintf(args + used, sizeof args - used, ":frame_rate=%d/%d", rate.num, rate.den);
    }
    ist.FilterIn = CreateFilter(graph, "buffer", "src", args);
    ist.FilterOut = CreateFilter(graph, "buffersink", "out", nullptr);
    const char* encoderFormat = AV.av_get_pix_fmt_name(enc->pix_fmt);
    if (!ist.FilterIn || !ist.FilterOut || !encoderFormat) return -1;
    // The sink takes only the encoder's pixel format: a "format" filter right before it.
    std::snprintf(args, sizeof args, "pix_fmts=%s", encoderFormat);
    AVFilterContext* format = CreateFilter(graph, "format", "format", args);
    if (!format || AV.avfilter_link(format, 0, ist.FilterOut, 0) < 0) return -1;

    AVFilterContext* last = ist.FilterIn;
    if (ist.PictureWidth + PadLeft + PadRight != enc->width ||
        ist.PictureHeight + PadTop + PadBottom != enc->height) {
        std::snprintf(args, sizeof args, "%d:%d", enc->width - PadLeft - PadRight,
                      enc->height - PadTop - PadBottom);
        AVFilterContext* scale = CreateFilter(graph, "scale", "scale", args);
        if (!scale || AV.avfilter_link(last, 0, scale, 0) < 0) return -1;
        last = scale;
    }

    // The user's text has the open ends "in", fed by `last`, and "out", which feeds the sink.
    if (!LinkFilterChain(graph, VideoFilters, last, format)) return -1;

    if (AV.avfilter_graph_config(graph, nullptr) < 0) return -1;

    const int sinkWidth = AV.av_buffersink_get_w(ist.FilterOut);
    const int sinkHeight = AV.av_buffersink_get_h(ist.FilterOut);
    if (PadTop + PadBottom + PadLeft + PadRight == 0 ||
        (sinkWidth == FrameWidth && sinkHeight == FrameHeight)) {
        enc->width = sinkWidth + PadLeft + PadRight;
        enc->height = sinkHeight + PadTop + PadBottom;
        return 0;
    }
    FilterErrorText = "Cannot enable pad options and the filters which resize frame at the same "
                      "time. (crop, rotate, scale, transpose, etc.)";
    return -1;
}

int TCustomFFmpeg::PullFilteredPicture(TInputStreamRecord& ist, AVFrame* picture) {
    if (!ist.FilterIn || !ist.FilterOut || !ist.FilterPicture) return -1;
    if (ist.HasFilterFrame) {
        ist.HasFilterFrame = false;
        ist.FilterFrame->pts = ist.Pts;
        ist.FilterFrame->sample_aspect_ratio = ist.PictureAspect;
        // The source takes over the frame's references and leaves it blank.
        if (AV.av_buffersrc_add_frame_flags(ist.FilterIn, ist.FilterFrame, 0) < 0) {
            AV.av_frame_unref(ist.FilterFrame);
            return -1;
        }
    }
    AV.av_frame_unref(ist.FilterPicture);
    if (AV.av_buffersink_get_frame(ist.FilterOut, ist.FilterPicture) < 0) return -1;
    if (ist.FilterPicture->pts != AV_NOPTS_VALUE)
        ist.Pts = AV.av_rescale_q(ist.FilterPicture->pts,
                                  AV.av_buffersink_get_time_base(ist.FilterOut), MicrosecondBase);
    if (picture != ist.FilterPicture) {
        AV.av_frame_unref(picture);
        if (AV.av_frame_ref(picture, ist.FilterPicture) < 0) return -1;
    }
    return 1;
}

} // namespace tarnwick::engine
