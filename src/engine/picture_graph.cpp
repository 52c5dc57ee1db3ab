#include "engine/picture_graph.h"

#include "binding/media_functions.h"

#include <cstdio>

namespace tarnwick::engine {

using binding::AV;

namespace {

// Pictures enter with their timestamps in microseconds, the engine's clock (a formality for
// filters that keep every timestamp as it is).
constexpr AVRational MicrosecondBase{1, 1000000};

AVFilterInOut* OpenEnd(const char* name, AVFilterContext* filter) {
    AVFilterInOut* end = AV.avfilter_inout_alloc();
    if (!end) return nullptr;
    end->name = AV.av_strdup(name);
    end->filter_ctx = filter;
    end->pad_idx = 0;
    end->next = nullptr;
    return end;
}

} // namespace

AVFilterContext* CreateFilter(AVFilterGraph* graph, const char* filterName, const char* name,
                              const char* args) {
    const AVFilter* filter = AV.avfilter_get_by_name(filterName);
    AVFilterContext* context = nullptr;
    if (!filter ||
        AV.avfilter_graph_create_filter(&context, filter, name, args, nullptr, graph) < 0)
        return nullptr;
    return context;
}

bool LinkFilterChain(AVFilterGraph* graph, const std::string& chain, AVFilterContext* from,
                     AVFilterContext* to) {
    if (chain.empty()) return AV.avfilter_link(from, 0, to, 0) >= 0;
    // The chain's open ends: its input "in" is fed by `from`, its output "out" feeds `to`.
    AVFilterInOut* outputs = OpenEnd("in", from);
    AVFilterInOut* inputs = OpenEnd("out", to);
    const int result = outputs && inputs ? AV.avfilter_graph_parse_ptr(graph, chain.c_str(),
                                                                       &inputs, &outputs, nullptr)
                                         : -1;
    AV.avfilter_inout_free(&inputs);
    AV.avfilter_inout_free(&outputs);
    return result >= 0;
}

TPictureGraph::TPictureGraph(std::string chain, bool keepFormat)
    : chain_(std::move(chain)), keepFormat_(keepFormat) {}

TPictureGraph::~TPictureGraph() { Release(); }

void TPictureGraph::Release() {
    AV.avfilter_graph_free(&graph_);
    source_ = sink_ = nullptr;
    width_ = height_ = 0;
    format_ = AV_PIX_FMT_NONE;
}

bool TPictureGraph::Configure(int width, int height, AVPixelFormat format,
                              AVRational sampleAspect) {
    if (sampleAspect.num <= 0 || sampleAspect.den <= 0) sampleAspect = AVRational{0, 1};
    if (graph_ && width == width_ && height == height_ && format == format_ &&
        av_cmp_q(sampleAspect, aspect_) == 0)
        return true;
    Release();
    const char* formatName = AV.av_get_pix_fmt_name(format);
    graph_ = AV.avfilter_graph_alloc();
    if (!graph_ || width <= 0 || height <= 0 || !formatName) {
        Release();
        return false;
    }
    char args[160];
    std::snprintf(args, sizeof args,
                  "video_size=%dx%d:pix_fmt=%d:time_base=%d/%d:pixel_aspect=%d/%d", width, height,
                  format, MicrosecondBase.num, MicrosecondBase.den, sampleAspect.num,
                  sampleAspect.den);
    source_ = CreateFilter(graph_, "buffer", "in", args);
    sink_ = CreateFilter(graph_, "buffersink", "out", nullptr);
    std::string chain = chain_;
    if (keepFormat_)
        chain += (chain.empty() ? "" : ",") + std::string("format=pix_fmts=") + formatName;
    if (!source_ || !sink_ || !LinkFilterChain(graph_, chain, source_, sink_) ||
        AV.avfilter_graph_config(graph_, nullptr) < 0) {
        Release();
        return false;
    }
    width_ = width;
    height_ = height;
    format_ = format;
    aspect_ = sampleAspect;
    outputWidth_ = AV.av_buffersink_get_w(sink_);
    outputHeight_ = AV.av_buffersink_get_h(sink_);
    outputFormat_ = static_cast<AVPixelFormat>(AV.av_buffersink_get_format(sink_));
    outputAspect_ = AV.av_buffersink_get_sample_aspect_ratio(sink_);
    return true;
}

bool TPictureGraph::Push(AVFrame* picture) {
    if (!picture) return graph_ && AV.av_buffersrc_add_frame_flags(source_, nullptr, 0) >= 0;
    // The graph gets a reference of its own, so a refused picture is still whole.
    if (!Configure(picture->width, picture->height, static_cast<AVPixelFormat>(picture->format),
                   picture->sample_aspect_ratio) ||
        AV.av_buffersrc_add_frame_flags(source_, picture, AV_BUFFERSRC_FLAG_KEEP_REF) < 0)
        return false;
    AV.av_frame_unref(picture);
    return true;
}

bool TPictureGraph::Pull(AVFrame* picture) {
    if (!sink_ || AV.av_buffersink_get_frame(sink_, picture) < 0) return false;
    // Filters that make fields of pictures count in a finer unit than the one they were given.
    if (picture->pts != AV_NOPTS_VALUE)
        picture->pts =
            AV.av_rescale_q(picture->pts, AV.av_buffersink_get_time_base(sink_), MicrosecondBase);
    return true;
}

} // namespace tarnwick::engine
