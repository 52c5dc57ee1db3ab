#include "transcode_job.h"

#include "binding/media_libraries.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

namespace tarnwick::test {

using binding::AV;

TranscodeJob::TranscodeJob() {
    LoadLibrariesOrFail();
    Job.Prepare();
    Job.LogHandler = [this](engine::TCustomFFmpeg&, int level, const std::string& text) {
        std::lock_guard lock(mutex_);
        logs_.emplace_back(level, text);
    };
    Job.TerminateHandler = [this](engine::TCustomFFmpeg&) { ++terminations_; };
}

void TranscodeJob::Input(const std::string& path) {
    ASSERT_TRUE(Job.OpenInputFile(path)) << Job.LastErrorText;
}

void TranscodeJob::Output(const std::string& path) {
    ASSERT_TRUE(Job.OpenOutputFile(path)) << Job.LastErrorText;
}

void TranscodeJob::RunHere() { EXPECT_EQ(Job.Run(false, platform::tpNormal), nullptr); }

void TranscodeJob::RunThreaded() {
    engine::TFFmpegThread* thread = Job.Run(true, platform::tpNormal);
    ASSERT_NE(thread, nullptr);
    thread->Start();
    ASSERT_TRUE(WaitFor([this] { return terminations_ > 0; }));
    // The worker clears WorkerThread as its last act on the job.
    ASSERT_TRUE(WaitFor([this] { return Job.WorkerThread.load() == nullptr; }));
}

std::vector<std::pair<int, std::string>> TranscodeJob::Logs() const {
    std::lock_guard lock(mutex_);
    return logs_;
}

std::vector<std::string> TranscodeJob::LinesWith(const std::string& text) const {
    std::vector<std::string> lines;
    for (const auto& [level, line] : Logs())
        if (line.find(text) != std::string::npos) lines.push_back(line);
    return lines;
}

int TranscodeJob::IndexOf(const std::string& text) const {
    const auto logs = Logs();
    for (size_t i = 0; i < logs.size(); ++i)
        if (logs[i].second == text) return static_cast<int>(i);
    return -1;
}

namespace {

struct Input {
    AVFormatContext* Context = nullptr;
    explicit Input(const std::string& path) {
        LoadLibrariesOrFail();
        EXPECT_GE(AV.avformat_open_input(&Context, path.c_str(), nullptr, nullptr), 0) << path;
        if (Context) AV.avformat_find_stream_info(Context, nullptr);
    }
    ~Input() {
        if (Context) AV.avformat_close_input(&Context);
    }
    int First(AVMediaType type) const {
        for (unsigned i = 0; Context && i < Context->nb_streams; ++i)
            if (Context->streams[i]->codecpar->codec_type == type) return static_cast<int>(i);
        return -1;
    }
};

} // namespace

std::vector<TPacketCopy> ReadPackets(const std::string& path, AVMediaType type) {
    std::vector<TPacketCopy> packets;
    Input input(path);
    const int stream = input.First(type);
    if (stream < 0) return packets;
    AVPacket* packet = AV.av_packet_alloc();
    while (AV.av_read_frame(input.Context, packet) >= 0) {
        if (packet->stream_index == stream)
            packets.push_back({std::vector<uint8_t>(packet->data, packet->data + packet->size),
                               (packet->flags & AV_PKT_FLAG_KEY) != 0, packet->pos});
        AV.av_packet_unref(packet);
    }
    AV.av_packet_free(&packet);
    return packets;
}

AVRational StreamTimeBase(const std::string& path, AVMediaType type) {
    Input input(path);
    const int stream = input.First(type);
    return stream < 0 ? AVRational{0, 1} : input.Context->streams[stream]->time_base;
}

} // namespace tarnwick::test
