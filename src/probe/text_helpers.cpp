#include "probe/text_helpers.h"

#include <cinttypes>
#include <cstdio>
#include <filesystem>
#include <system_error>

namespace tarnwick::probe {

std::string FormatDuration(int64_t us) {
    char text[64];
    std::snprintf(text, sizeof text, "%.2" PRId64 ":%.2" PRId64 ":%.2" PRId64 ".%.3" PRId64,
                  us / 3600000000, (us / 60000000) % 60, (us / 1000000) % 60,
                  (us % 1000000) / 1000);
    return text;
}

std::string FormatFileSize(int64_t size) {
    char text[64];
    if (size > 1073741824)
        std::snprintf(text, sizeof text, "%.2f GB", static_cast<double>(size) / 1073741824);
    else if (size > 1048576)
        std::snprintf(text, sizeof text, "%.2f MB", static_cast<double>(size) / 1048576);
    else if (size > 1024)
        std::snprintf(text, sizeof text, "%.2f KB", static_cast<double>(size) / 1024);
    else
        std::snprintf(text, sizeof text, "%" PRId64 " Byte", size);
    return text;
}

std::string FormatSecondsMicro(int64_t us) {
    // Sign and magnitude apart: "seconds.micro" with a truncating division would print
    // -0.5 s as "0.-500000".
    const uint64_t magnitude = us < 0 ? 0 - static_cast<uint64_t>(us) : static_cast<uint64_t>(us);
    char text[64];
    std::snprintf(text, sizeof text, "%s%" PRIu64 ".%.6" PRIu64, us < 0 ? "-" : "",
                  magnitude / 1000000, magnitude % 1000000);
    return text;
}

int64_t GetFileSizeOnDisk(const std::string& fileName) {
    if (fileName.empty()) return -1;
    std::error_code error;
    const std::filesystem::path path = std::filesystem::absolute(fileName, error);
    if (error) return -1;
    const auto size = std::filesystem::file_size(path, error);
    if (error) return -1;
    return static_cast<int64_t>(size);
}

std::string ScanTypeText(TScanType scanType) {
    switch (scanType) {
    case stProgressive: return "no";
    case stTopFieldFirst: return "top field first";
    case stBottomFieldFirst: return "bottom field first";
    default: return {};
    }
}

} // namespace tarnwick::probe
