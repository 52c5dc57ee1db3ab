#include "cli/time_argument.h"

#include <vector>

namespace tarnwick::cli {

std::optional<int32_t> ParseClockTime(const std::string& text) {
    std::vector<std::string> groups{""};
    for (char c : text) {
        if (c == ':') groups.emplace_back();
        else if (c >= '0' && c <= '9') groups.back() += c;
        else return std::nullopt;
    }
    if (groups.size() > 3) return std::nullopt;
    int64_t seconds = 0;
    for (size_t i = 0; i < groups.size(); ++i) {
        const std::string& g = groups[i];
        if (g.empty() || g.size() > 6) return std::nullopt;
        const int64_t value = std::stoll(g);
        // Minutes and seconds after the first group stay below 60, as a clock shows them.
        if (i > 0 && (g.size() != 2 || value >= 60)) return std::nullopt;
        seconds = seconds * 60 + value;
    }
    if (seconds * 1000 > INT32_MAX) return std::nullopt;
    return static_cast<int32_t>(seconds * 1000);
}

bool ParseTrim(const std::string& startText, const std::string& lengthText, TrimRequest& trim,
               std::string& error) {
    if (!startText.empty()) {
        const auto start = ParseClockTime(startText);
        if (!start) {
            error = "--start wants HH:MM:SS, not '" + startText + "'";
            return false;
        }
        trim.startMs = *start;
    }
    if (!lengthText.empty()) {
        const auto length = ParseClockTime(lengthText);
        if (!length || *length == 0) {
            error = "--length wants a time above 0 as HH:MM:SS, not '" + lengthText + "'";
            return false;
        }
        trim.lengthMs = *length;
    }
    return true;
}

} // namespace tarnwick::cli
