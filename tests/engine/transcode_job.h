#pragma once
// A job for the transcode tests: prepared, with its log lines and its end recorded, and the
// helpers that read an output's packets through the library binding.

#include "engine/custom_ffmpeg.h"

#include <atomic>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

namespace tarnwick::test {

class TranscodeJob {
public:
    TranscodeJob();
    engine::TCustomFFmpeg Job;

    // Open through the job; fail the test when the job refuses.
    void Input(const std::string& path);
    void Output(const std::string& path);
    // Runs on the calling thread.
    void RunHere();
    // Runs on the job's worker thread and waits for its terminate event.
    void RunThreaded();

    std::vector<std::pair<int, std::string>> Logs() const;
    // The log lines that contain `text`.
    std::vector<std::string> LinesWith(const std::string& text) const;
    // Index of the first line equal to `text`, -1 when none.
    int IndexOf(const std::string& text) const;
    int Terminations() const { return terminations_; }

private:
    mutable std::mutex mutex_;
    std::vector<std::pair<int, std::string>> logs_;
    std::atomic<int> terminations_{0};
};

// Every packet of the first stream of `type`, in file order.
struct TPacketCopy {
    std::vector<uint8_t> Data;
    bool Key = false;
    int64_t Position = -1; // byte offset in the file, -1 when unknown
};
std::vector<TPacketCopy> ReadPackets(const std::string& path, AVMediaType type);
// The time base of the first stream of `type` as the demuxer reports it.
AVRational StreamTimeBase(const std::string& path, AVMediaType type);

} // namespace tarnwick::test
