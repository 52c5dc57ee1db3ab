#pragma once
// Times as the preview and the trim editor show and read them.

#include <cstdint>
#include <string>
#include <string_view>

namespace tarnwick::app {

// Seconds with three decimals: "%d.%.3d" of us div 1000000 and (us div 1000) mod 1000;
// 90040000 gives "90.040".
std::string FormatSecondsMs(int64_t us);

// Six digits HHMMSS without separators (the masked edit adds the colons); 3723000000 gives
// "010203". Hours above 99 take more digits.
std::string FormatHHMMSS(int64_t us);

struct THHMMSS {
    int Hours = 0;
    int Minutes = 0;
    int Seconds = 0;
    int64_t Ms = 0; // (hours x 3600 + minutes x 60 + seconds) x 1000
};
// Reads a masked-edit text: right-aligned to six characters, split into three two-character
// groups; a group of two blanks is 0, and any other character that is not a digit counts as
// the digit 0. Only the first six characters of a longer text are read.
THHMMSS ParseHHMMSS(std::string_view text);

} // namespace tarnwick::app
