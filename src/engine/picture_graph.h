#pragma once
// A small filter graph of the media libraries that a stream's pictures pass through one by
// one: a buffer source, a chain of filters given as text, and a sink. It is made for the first
// picture and made again only when the pictures change size, format or pixel aspect.
//
// Threads: one graph is used by one thread at a time.

#include "binding/media_headers.h"

#include <string>

namespace tarnwick::engine {

// A filter of the graph by its library name, with its instance name and argument text;
// nullptr when the library has no such filter or refuses the arguments.
AVFilterContext* CreateFilter(AVFilterGraph* graph, const char* filterName, const char* name,
                              const char* args);
// Links `from` to `to` through the filters of `chain` (the libraries' graph syntax, with the
// open ends "in" and "out"), or directly when the chain is empty; false when it cannot.
bool LinkFilterChain(AVFilterGraph* graph, const std::string& chain, AVFilterContext* from,
                     AVFilterContext* to);

class TPictureGraph {
public:
    // `chain`: the filters in the libraries' graph syntax ("hflip,vflip"). With `keepFormat`
    // the pictures leave in the pixel format they came in, whatever the filters work in.
    TPictureGraph(std::string chain, bool keepFormat);
    ~TPictureGraph();
    TPictureGraph(const TPictureGraph&) = delete;
    TPictureGraph& operator=(const TPictureGraph&) = delete;

    // Makes the graph for pictures of this size, format and pixel aspect, unless it has it
    // already; false when the libraries cannot make it. Afterwards the Output... values tell
    // what such pictures become. Making it anew drops the pictures the old graph still held.
    bool Configure(int width, int height, AVPixelFormat format, AVRational sampleAspect);
    // Hands `picture` to the graph, which takes its references over and leaves it blank;
    // nullptr tells the graph that no more pictures come, so it gives out what it kept back.
    // False when no graph can be made for the picture or the graph refuses it; the picture is
    // then left as it was.
    bool Push(AVFrame* picture);
    // The next picture the graph has ready, into the blank `picture`, with its timestamp in
    // the unit the pictures came in with; false while none is ready.
    bool Pull(AVFrame* picture);

    int OutputWidth() const { return outputWidth_; }
    int OutputHeight() const { return outputHeight_; }
    AVPixelFormat OutputFormat() const { return outputFormat_; }
    AVRational OutputSampleAspect() const { return outputAspect_; }

private:
    void Release();

    std::string chain_;
    bool keepFormat_;
    AVFilterGraph* graph_ = nullptr;
    AVFilterContext* source_ = nullptr;
    AVFilterContext* sink_ = nullptr;
    // The pictures the graph was made for.
    int width_ = 0, height_ = 0;
    AVPixelFormat format_ = AV_PIX_FMT_NONE;
    AVRational aspect_{0, 1};
    int outputWidth_ = 0, outputHeight_ = 0;
    AVPixelFormat outputFormat_ = AV_PIX_FMT_NONE;
    AVRational outputAspect_{0, 1};
};

} // namespace tarnwick::engine
