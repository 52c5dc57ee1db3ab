#pragma once
// The trim times of the command line: "HH:MM:SS", "MM:SS" or plain seconds.

#include <cstdint>
#include <optional>
#include <string>

namespace tarnwick::cli {

// Milliseconds, or nothing when the text is not such a time.
std::optional<int32_t> ParseClockTime(const std::string& text);

struct TrimRequest {
    int32_t startMs = 0;  // 0: from the beginning
    int32_t lengthMs = 0; // 0: to the end
};

// Both texts may be empty. False with the reason when one is not a time or the length is 0.
bool ParseTrim(const std::string& startText, const std::string& lengthText, TrimRequest& trim,
               std::string& error);

} // namespace tarnwick::cli
