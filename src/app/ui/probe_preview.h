#pragma once
// Showing a probe's pictures in a picture view: seek to a time, decode one picture, keep a copy
// of it and draw it scaled to fit. The main window's preview and the editors' previews share
// it. Requests are served from the event loop, and of a burst (a dragged seek bar, a held key)
// only the newest is decoded, so the window never waits for more than one picture's work.
// Window thread only.

#include "platform/bitmap24.h"

#include <QObject>

#include <cstdint>
#include <functional>
#include <optional>

namespace tarnwick::probe {
class TAVProbe;
}

namespace tarnwick::ui {

class PictureView;

class ProbePreview : public QObject {
    Q_OBJECT
public:
    explicit ProbePreview(PictureView& view, QObject* parent = nullptr);

    // Fills the view with its background and takes the probe's first video stream. The probe
    // stays the caller's, who detaches (or attaches another) before destroying it.
    void Attach(probe::TAVProbe& probe);
    // Forgets the probe; a request not served yet is dropped.
    void Detach();
    probe::TAVProbe* Probe() const { return probe_; }
    int VideoStream() const { return videoStream_; }

    // Asks for the picture at timeUs of the video stream. `then` runs once the request has been
    // served, after the picture (if any) is drawn; a newer request replaces this one, `then`
    // included. Nothing is decoded without a probe, a file or a video stream.
    void ShowAt(int64_t timeUs, std::function<void()> then = {});
    // Runs `then` in the place of a request, after any decode already under way, without
    // decoding; a request not yet served is dropped.
    void Finish(std::function<void()> then);
    // Draws a picture the probe has already decoded, at once.
    void ShowDecoded(const platform::Bitmap24& picture);
    // Whether a picture has been drawn since the probe was attached.
    bool ShownSinceAttach() const { return shownSinceAttach_; }

    // A copy of the last picture shown, at its decoded size; 0 x 0 before the first.
    const platform::Bitmap24& Picture() const { return picture_; }

signals:
    // A picture was drawn into the view.
    void pictureShown();

private:
    struct Request {
        std::optional<int64_t> TimeUs; // nothing: decode nothing
        std::function<void()> Then;
    };
    void Schedule(Request request);
    void Serve();

    PictureView& view_;
    probe::TAVProbe* probe_ = nullptr;
    int videoStream_ = -1;
    std::optional<Request> pending_;
    platform::Bitmap24 picture_;
    bool shownSinceAttach_ = false;
};

} // namespace tarnwick::ui
