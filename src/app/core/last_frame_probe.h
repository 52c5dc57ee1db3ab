#pragma once
// The picture being converted, for the progress window. A probe of its own decodes the source
// at the position the run last reported, on a thread of its own: the conversion pays nothing
// per picture (a frame hook would turn every picture into a bitmap whether anyone looks or
// not), and the window's thread never waits for a decode.

#include "platform/bitmap24.h"

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

namespace tarnwick::app {

class TLastFrameProbe {
public:
    // Pictures decoded more often than the eye needs only cost the conversion: a decode
    // follows the one before by at least this much (the newest request waits for it).
    static constexpr std::chrono::milliseconds DefaultSpacing{400};

    // Starts the decoding thread; it sleeps until the first request.
    explicit TLastFrameProbe(std::chrono::milliseconds spacing = DefaultSpacing);
    // Stops the thread after the decode in hand, if any.
    ~TLastFrameProbe();
    TLastFrameProbe(const TLastFrameProbe&) = delete;
    TLastFrameProbe& operator=(const TLastFrameProbe&) = delete;

    // Asks for the picture of the source at positionUs (from the file's start). Any thread;
    // returns at once. A request not yet served is replaced by the newer one. The media
    // libraries must be loaded.
    void Request(const std::string& sourceFile, int64_t positionUs);
    // Empties LastFrame and closes the file once the decode in hand is done: the next run
    // starts without the last run's picture. Any thread.
    void Clear();
    // Waits until every request made before the call has been served. For tests and tools.
    void WaitIdle();

    // The newest decoded picture at the source's own size; 0 x 0 until one arrived. Read it
    // holding LastFrame.CanvasLock(): the decoding thread writes it under that lock.
    platform::Bitmap24 LastFrame;
    // Counts the pictures written into LastFrame, so a reader can skip one it has drawn.
    // Read it under LastFrame.CanvasLock() too.
    uint64_t FrameSerial() const { return frameSerial_; }

private:
    struct TRequest {
        std::string SourceFile;
        int64_t PositionUs = 0;
    };
    void Run();
    // Copies a decoded picture into LastFrame unless a Clear came after its request.
    void Deliver(const platform::Bitmap24& picture, uint64_t generation);

    const std::chrono::milliseconds spacing_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::optional<TRequest> pending_;
    bool closePending_ = false;
    bool busy_ = false;
    bool stopping_ = false;
    uint64_t generation_ = 0;  // counts Clear calls (guarded by mutex_)
    uint64_t frameSerial_ = 0; // guarded by LastFrame.CanvasLock()
    std::thread thread_;
};

} // namespace tarnwick::app
