#include "app/ui/probe_preview.h"

#include "app/ui/handler_guard.h"
#include "app/ui/picture_view.h"
#include "probe/av_probe.h"

#include <QTimer>

namespace tarnwick::ui {

ProbePreview::ProbePreview(PictureView& view, QObject* parent) : QObject(parent), view_(view) {}

void ProbePreview::Attach(probe::TAVProbe& probe) {
    view_.Fill(PictureBackground);
    shownSinceAttach_ = false;
    probe_ = &probe;
    videoStream_ = probe.FirstVideoStream();
}

void ProbePreview::Detach() {
    probe_ = nullptr;
    videoStream_ = -1;
    pending_.reset();
}

void ProbePreview::ShowAt(int64_t timeUs, std::function<void()> then) {
    Schedule({timeUs, std::move(then)});
}

void ProbePreview::Finish(std::function<void()> then) { Schedule({std::nullopt, std::move(then)}); }

void ProbePreview::Schedule(Request request) {
    const bool scheduled = pending_.has_value();
    pending_ = std::move(request);
    if (!scheduled) QTimer::singleShot(0, this, Guarded([this] { Serve(); }));
}

void ProbePreview::ShowDecoded(const platform::Bitmap24& picture) {
    if (picture.Width() <= 0 || picture.Height() <= 0) return;
    picture_.Assign(picture);
    view_.DrawPicture(picture_);
    shownSinceAttach_ = true;
    emit pictureShown();
}

void ProbePreview::Serve() {
    if (!pending_) return;
    const Request request = std::move(*pending_);
    pending_.reset();
    if (request.TimeUs && probe_ && probe_->Context() && videoStream_ >= 0) {
        try {
            probe_->Seek(videoStream_, *request.TimeUs);
            ShowDecoded(probe_->DecodeFrame(videoStream_));
        } catch (...) {
            // A stream that cannot be decoded is reported once, not at every tick.
            Detach();
            if (request.Then) request.Then();
            throw;
        }
    }
    if (request.Then) request.Then();
}

} // namespace tarnwick::ui
