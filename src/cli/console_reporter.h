#pragma once
// What the user sees while files convert: one live line per running job on a terminal, plain
// lines otherwise, or one JSON object per event. Safe to call from the jobs' threads.

#include "cli/progress_line.h"

#include <chrono>
#include <cstdio>
#include <map>
#include <mutex>
#include <string>

namespace tarnwick::cli {

enum class ReportStyle { LiveTerminal, PlainLines, Json };

class ConsoleReporter {
public:
    // `out` receives progress and JSON, `err` errors; `quiet` leaves only errors and the JSON.
    ConsoleReporter(ReportStyle style, bool quiet, std::FILE* out, std::FILE* err);

    // `startedAt`: when the job began, for its speed and the time left.
    void JobStarted(int index, int position, int count, const std::string& source,
                    const std::string& output, std::chrono::steady_clock::time_point startedAt);
    void JobProgress(int index, int32_t mediaMs, int32_t totalMs, int64_t sizeBytes);
    // A log line of a job (index -1: of none).
    void Log(int index, const std::string& level, const std::string& text);
    // ok: converted and checked; message: why not.
    void JobEnded(int index, bool ok, const std::string& source, const std::string& output,
                  const std::string& message);
    // A failure that belongs to no running job (a file that could not be queued, say).
    void Error(const std::string& source, const std::string& message);
    // Redraws the live lines at most every quarter second.
    void Refresh();

private:
    struct Running {
        cli::JobProgress progress;
        std::string output;
        std::chrono::steady_clock::time_point started;
        std::chrono::steady_clock::time_point lastPlainLine;
    };
    void ClearLiveLines();
    void DrawLiveLines();
    size_t TerminalWidth() const;

    ReportStyle style_;
    bool quiet_;
    std::FILE* out_;
    std::FILE* err_;
    std::mutex mutex_;
    std::map<int, Running> running_;
    size_t drawnLines_ = 0;
    std::chrono::steady_clock::time_point lastDraw_{};
};

} // namespace tarnwick::cli
