#include "app/core/last_frame_probe.h"

#include "probe/av_probe.h"

#include <exception>

namespace tarnwick::app {

TLastFrameProbe::TLastFrameProbe(std::chrono::milliseconds spacing)
    : spacing_(spacing), thread_([this] { Run(); }) {}

TLastFrameProbe::~TLastFrameProbe() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    changed_.notify_all();
    thread_.join();
}

void TLastFrameProbe::Request(const std::string& sourceFile, int64_t positionUs) {
    {
        std::lock_guard lock(mutex_);
        pending_ = TRequest{sourceFile, positionUs};
    }
    changed_.notify_all();
}

void TLastFrameProbe::Clear() {
    {
        std::lock_guard lock(mutex_);
        pending_.reset();
        closePending_ = true;
        ++generation_;
    }
    changed_.notify_all();
    std::lock_guard canvas(LastFrame.CanvasLock());
    LastFrame.SetSize(0, 0);
}

void TLastFrameProbe::WaitIdle() {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return !pending_ && !closePending_ && !busy_; });
}

void TLastFrameProbe::Run() {
    probe::TAVProbe probe;
    std::string openFile;
    bool openFailed = false;
    auto nextDecode = std::chrono::steady_clock::now();
    std::unique_lock lock(mutex_);
    for (;;) {
        changed_.wait(lock, [this] { return stopping_ || pending_ || closePending_; });
        if (stopping_) return;
        if (!closePending_ && std::chrono::steady_clock::now() < nextDecode) {
            // A newer request may replace this one meanwhile.
            changed_.wait_until(lock, nextDecode, [this] { return stopping_ || closePending_; });
            continue;
        }
        if (closePending_) {
            closePending_ = false;
            lock.unlock();
            probe.Close();
            openFile.clear();
            openFailed = false;
            lock.lock();
            changed_.notify_all();
            continue;
        }
        const TRequest request = std::move(*pending_);
        pending_.reset();
        const uint64_t generation = generation_;
        busy_ = true;
        nextDecode = std::chrono::steady_clock::now() + spacing_;
        lock.unlock();
        try {
            if (request.SourceFile != openFile) {
                openFile = request.SourceFile;
                openFailed = !probe.Open(openFile, "");
            }
            if (!openFailed && probe.VideoStreamCount() > 0) {
                const int stream = probe.FirstVideoStream();
                probe.Seek(stream, request.PositionUs);
                Deliver(probe.DecodeFrame(stream), generation);
            }
        } catch (const std::exception&) {
            // A source the probe cannot decode shows no picture; the run itself reports why.
            openFailed = true;
        }
        lock.lock();
        busy_ = false;
        changed_.notify_all();
    }
}

void TLastFrameProbe::Deliver(const platform::Bitmap24& picture, uint64_t generation) {
    if (picture.Width() <= 0 || picture.Height() <= 0) return;
    std::lock_guard canvas(LastFrame.CanvasLock());
    // A Clear since the request was taken: the picture belongs to the run before it.
    {
        std::lock_guard lock(mutex_);
        if (generation != generation_) return;
    }
    LastFrame.Assign(picture);
    ++frameSerial_;
}

} // namespace tarnwick::app
