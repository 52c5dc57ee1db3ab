#pragma once

#include <string>

namespace tarnwick::engine {

// The message for a library error code from opening or writing a file, with the file name (or
// the name of the failed call) in front.
std::string OpenErrorText(const std::string& fileName, int code);

} // namespace tarnwick::engine
