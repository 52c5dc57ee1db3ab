#include "app/core/time_text.h"

#include <cinttypes>
#include <cstdio>

namespace tarnwick::app {

std::string FormatSecondsMs(int64_t us) {
    char text[48];
    std::snprintf(text, sizeof text, "%" PRId64 ".%.3" PRId64, us / 1000000, (us / 1000) % 1000);
    return text;
}

std::string FormatHHMMSS(int64_t us) {
    char text[80];
    std::snprintf(text, sizeof text, "%2.2" PRId64 "%2.2" PRId64 "%2.2" PRId64, us / 3600000000,
                  (us / 60000000) % 60, (us / 1000000) % 60);
    return text;
}

THHMMSS ParseHHMMSS(std::string_view text) {
    std::string aligned(text);
    if (aligned.size() < 6) aligned.insert(0, 6 - aligned.size(), ' ');
    auto group = [&aligned](size_t first) {
        if (aligned[first] == ' ' && aligned[first + 1] == ' ') return 0;
        auto digit = [](char c) { return c >= '0' && c <= '9' ? c - '0' : 0; };
        return digit(aligned[first]) * 10 + digit(aligned[first + 1]);
    };
    THHMMSS result;
    result.Hours = group(0);
    result.Minutes = group(2);
    result.Seconds = group(4);
    result.Ms = (int64_t{result.Hours} * 3600 + result.Minutes * 60 + result.Seconds) * 1000;
    return result;
}

} // namespace tarnwick::app
