#include "cli/console_reporter.h"

#include "cli/json_line.h"

#include <sys/ioctl.h>
#include <unistd.h>

namespace tarnwick::cli {

using Clock = std::chrono::steady_clock;

ConsoleReporter::ConsoleReporter(ReportStyle style, bool quiet, std::FILE* out, std::FILE* err)
    : style_(style), quiet_(quiet), out_(out), err_(err) {}

size_t ConsoleReporter::TerminalWidth() const {
    winsize size{};
    if (ioctl(fileno(out_), TIOCGWINSZ, &size) == 0 && size.ws_col > 20) return size.ws_col - 1;
    return 100;
}

void ConsoleReporter::ClearLiveLines() {
    for (size_t i = 0; i < drawnLines_; ++i) std::fputs("\x1b[1A\x1b[2K", out_);
    drawnLines_ = 0;
}

void ConsoleReporter::DrawLiveLines() {
    const auto now = Clock::now();
    const size_t width = TerminalWidth();
    for (auto& [index, job] : running_) {
        job.progress.elapsedSeconds = std::chrono::duration<double>(now - job.started).count();
        std::fprintf(out_, "%s\n", FormatProgressLine(job.progress, width).c_str());
        ++drawnLines_;
    }
    std::fflush(out_);
    lastDraw_ = now;
}

void ConsoleReporter::JobStarted(int index, int position, int count, const std::string& source,
                                 const std::string& output, Clock::time_point startedAt) {
    std::lock_guard lock(mutex_);
    Running job;
    job.progress.position = position;
    job.progress.count = count;
    const size_t slash = source.find_last_of('/');
    job.progress.name = slash == std::string::npos ? source : source.substr(slash + 1);
    job.output = output;
    job.started = startedAt;
    running_[index] = job;
    if (style_ == ReportStyle::Json) {
        std::fprintf(out_, "%s\n",
                     JsonLine().Add("event", "start").Add("index", index).Add("source", source)
                         .Add("output", output).Text().c_str());
        std::fflush(out_);
    } else if (!quiet_ && style_ == ReportStyle::PlainLines) {
        std::fprintf(out_, "[%d/%d] %s -> %s\n", position, count, source.c_str(), output.c_str());
        std::fflush(out_);
    }
}

void ConsoleReporter::JobProgress(int index, int32_t mediaMs, int32_t totalMs, int64_t sizeBytes) {
    std::lock_guard lock(mutex_);
    auto it = running_.find(index);
    if (it == running_.end()) return;
    Running& job = it->second;
    const auto now = Clock::now();
    job.progress.mediaMs = mediaMs;
    job.progress.totalMs = totalMs;
    job.progress.sizeBytes = sizeBytes;
    job.progress.elapsedSeconds = std::chrono::duration<double>(now - job.started).count();
    if (style_ == ReportStyle::Json) {
        JsonLine line;
        line.Add("event", "progress").Add("index", index).Add("media_ms", mediaMs)
            .Add("total_ms", totalMs).Add("size", sizeBytes)
            .Add("percent", ProgressPercent(job.progress)).Add("speed", RealtimeFactor(job.progress));
        std::fprintf(out_, "%s\n", line.Text().c_str());
        std::fflush(out_);
    } else if (!quiet_ && style_ == ReportStyle::PlainLines &&
               now - job.lastPlainLine >= std::chrono::seconds(1)) {
        job.lastPlainLine = now;
        std::fprintf(out_, "%s\n", FormatProgressLine(job.progress, 200).c_str());
        std::fflush(out_);
    }
}

void ConsoleReporter::Log(int index, const std::string& level, const std::string& text) {
    std::lock_guard lock(mutex_);
    std::string line = text;
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.pop_back();
    if (style_ == ReportStyle::Json) {
        std::fprintf(out_, "%s\n",
                     JsonLine().Add("event", "log").Add("index", index).Add("level", level)
                         .Add("text", line).Text().c_str());
        std::fflush(out_);
        return;
    }
    if (quiet_) return;
    if (style_ == ReportStyle::LiveTerminal) ClearLiveLines();
    std::fprintf(err_, "%s\n", line.c_str());
    std::fflush(err_);
    if (style_ == ReportStyle::LiveTerminal) DrawLiveLines();
}

void ConsoleReporter::JobEnded(int index, bool ok, const std::string& source,
                               const std::string& output, const std::string& message) {
    std::lock_guard lock(mutex_);
    if (style_ == ReportStyle::LiveTerminal) ClearLiveLines();
    running_.erase(index);
    if (style_ == ReportStyle::Json) {
        JsonLine line;
        line.Add("event", "end").Add("index", index).Add("source", source).Add("output", output)
            .Add("outcome", ok ? "converted" : "failed");
        if (!message.empty()) line.Add("message", message);
        std::fprintf(out_, "%s\n", line.Text().c_str());
        std::fflush(out_);
    } else if (ok) {
        if (!quiet_) std::fprintf(out_, "done: %s\n", output.c_str());
    } else {
        std::fprintf(err_, "tarnwick-cli: %s: %s\n", source.c_str(), message.c_str());
    }
    std::fflush(err_);
    if (style_ == ReportStyle::LiveTerminal) DrawLiveLines();
}

void ConsoleReporter::Error(const std::string& source, const std::string& message) {
    std::lock_guard lock(mutex_);
    if (style_ == ReportStyle::LiveTerminal) ClearLiveLines();
    if (style_ == ReportStyle::Json) {
        std::fprintf(out_, "%s\n",
                     JsonLine().Add("event", "end").Add("index", -1).Add("source", source)
                         .Add("output", "").Add("outcome", "failed").Add("message", message)
                         .Text().c_str());
        std::fflush(out_);
    }
    std::fprintf(err_, "tarnwick-cli: %s: %s\n", source.c_str(), message.c_str());
    std::fflush(err_);
    if (style_ == ReportStyle::LiveTerminal) DrawLiveLines();
}

void ConsoleReporter::Refresh() {
    std::lock_guard lock(mutex_);
    if (style_ != ReportStyle::LiveTerminal || quiet_) return;
    if (Clock::now() - lastDraw_ < std::chrono::milliseconds(250)) return;
    ClearLiveLines();
    DrawLiveLines();
}

} // namespace tarnwick::cli
