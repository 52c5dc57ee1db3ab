#include "cli/progress_line.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace tarnwick::cli {

int ProgressPercent(const JobProgress& progress) {
    if (progress.totalMs <= 0) return -1;
    const double ratio = static_cast<double>(progress.mediaMs) / progress.totalMs;
    return static_cast<int>(std::clamp(ratio * 100.0, 0.0, 100.0));
}

double RealtimeFactor(const JobProgress& progress) {
    if (progress.elapsedSeconds <= 0 || progress.mediaMs <= 0) return 0;
    return progress.mediaMs / 1000.0 / progress.elapsedSeconds;
}

double SecondsLeft(const JobProgress& progress) {
    const double speed = RealtimeFactor(progress);
    if (progress.totalMs <= 0 || speed <= 0) return -1;
    return std::max(0.0, (progress.totalMs - progress.mediaMs) / 1000.0 / speed);
}

std::string ClockText(double seconds) {
    const auto total = static_cast<long long>(std::max(0.0, std::floor(seconds)));
    char text[32];
    std::snprintf(text, sizeof text, "%02lld:%02lld:%02lld", total / 3600, total / 60 % 60,
                  total % 60);
    return text;
}

namespace {

std::string SizeText(int64_t bytes) {
    char text[32];
    if (bytes < 1024 * 1024) std::snprintf(text, sizeof text, "%.0f KiB", bytes / 1024.0);
    else std::snprintf(text, sizeof text, "%.1f MiB", bytes / (1024.0 * 1024.0));
    return text;
}

} // namespace

std::string FormatProgressLine(const JobProgress& progress, size_t width) {
    char head[32];
    std::snprintf(head, sizeof head, "[%d/%d] ", progress.position, progress.count);
    std::string tail;
    const int percent = ProgressPercent(progress);
    char buffer[64];
    if (percent >= 0) {
        std::snprintf(buffer, sizeof buffer, "  %3d%%", percent);
        tail += buffer;
    }
    tail += "  " + ClockText(progress.mediaMs / 1000.0);
    tail += "  " + SizeText(progress.sizeBytes);
    const double speed = RealtimeFactor(progress);
    if (speed > 0) {
        std::snprintf(buffer, sizeof buffer, "  %.1fx", speed);
        tail += buffer;
    }
    const double left = SecondsLeft(progress);
    if (left >= 0) tail += "  left " + ClockText(left);

    std::string name = progress.name;
    const size_t fixed = std::string(head).size() + tail.size();
    if (fixed + name.size() > width && width > fixed + 4) {
        const size_t room = width - fixed;
        name = "..." + name.substr(name.size() - (room - 3));
    }
    return head + name + tail;
}

} // namespace tarnwick::cli
