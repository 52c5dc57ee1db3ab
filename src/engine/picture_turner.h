#pragma once
// Turns decoded pictures the way their stream displays them (see display_orientation.h), with
// a small filter graph of the media libraries that is made for the first picture and made
// again only when the pictures change size or format.
//
// Threads: one turner is used by one thread at a time.

#include "binding/media_headers.h"
#include "engine/display_orientation.h"
#include "engine/picture_graph.h"

namespace tarnwick::engine {

class TPictureTurner {
public:
    explicit TPictureTurner(TDisplayOrientation orientation);

    // Makes the graph for pictures of this size, format and pixel aspect, unless it has it
    // already; false when the libraries cannot make it. Afterwards the Turned... values tell
    // what such pictures become.
    bool Configure(int width, int height, AVPixelFormat format, AVRational sampleAspect) {
        return graph_.Configure(width, height, format, sampleAspect);
    }
    // Replaces `picture` by its turned copy, with the same timestamps and properties (the
    // pixel aspect turns too). False when no graph can be made for it or the graph refuses it.
    bool Turn(AVFrame* picture);

    // What the configured graph gives.
    int TurnedWidth() const { return graph_.OutputWidth(); }
    int TurnedHeight() const { return graph_.OutputHeight(); }
    AVPixelFormat TurnedFormat() const { return graph_.OutputFormat(); }
    AVRational TurnedSampleAspect() const { return graph_.OutputSampleAspect(); }

private:
    TPictureGraph graph_;
};

} // namespace tarnwick::engine
