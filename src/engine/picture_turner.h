#pragma once
// Turns decoded pictures the way their stream displays them (see display_orientation.h), with
// a small filter graph of the media libraries that is made for the first picture and made
// again only when the pictures change size or format.
//
// Threads: one turner is used by one thread at a time.

#include "binding/media_headers.h"
#include "engine/display_orientation.h"

namespace tarnwick::engine {

class TPictureTurner {
public:
    explicit TPictureTurner(TDisplayOrientation orientation);
    ~TPictureTurner();
    TPictureTurner(const TPictureTurner&) = delete;
    TPictureTurner& operator=(const TPictureTurner&) = delete;

    // Makes the graph for pictures of this size, format and pixel aspect, unless it has it
    // already; false when the libraries cannot make it. Afterwards the Turned... values tell
    // what such pictures become.
    bool Configure(int width, int height, AVPixelFormat format, AVRational sampleAspect);
    // Replaces `picture` by its turned copy, with the same timestamps and properties (the
    // pixel aspect turns too). False when no graph can be made for it or the graph refuses it;
    // the picture is then blank.
    bool Turn(AVFrame* picture);

    // What the configured graph gives.
    int TurnedWidth() const { return turnedWidth_; }
    int TurnedHeight() const { return turnedHeight_; }
    AVPixelFormat TurnedFormat() const { return turnedFormat_; }
    AVRational TurnedSampleAspect() const { return turnedAspect_; }

private:
    void Release();

    TDisplayOrientation orientation_;
    AVFilterGraph* graph_ = nullptr;
    AVFilterContext* source_ = nullptr;
    AVFilterContext* sink_ = nullptr;
    // The pictures the graph was made for.
    int width_ = 0, height_ = 0;
    AVPixelFormat format_ = AV_PIX_FMT_NONE;
    AVRational aspect_{0, 1};
    int turnedWidth_ = 0, turnedHeight_ = 0;
    AVPixelFormat turnedFormat_ = AV_PIX_FMT_NONE;
    AVRational turnedAspect_{0, 1};
};

} // namespace tarnwick::engine
