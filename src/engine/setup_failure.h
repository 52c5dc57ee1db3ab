#pragma once

#include "platform/ffmpeg_exception.h"

#include <cstdio>

namespace tarnwick::engine {

// Raises the setup's "#%d.%d"-style messages: the pattern filled with two numbers.
[[noreturn]] inline void FailWithNumbers(const char* format, int a, int b) {
    char text[256];
    std::snprintf(text, sizeof text, format, a, b);
    throw platform::FFMpegException(text);
}

} // namespace tarnwick::engine
