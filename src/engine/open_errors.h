#pragma once

#include "binding/media_headers.h"

#include <string>

namespace tarnwick::engine {

// The code of a failed input opening, made precise: the library says that the data is invalid
// both of a file that no demuxer recognises and of a recognised one whose header is broken.
// Without a forced format, the first becomes AVERROR_DEMUXER_NOT_FOUND ("Unknown format"). A
// file counts as recognised when its content is, not merely its name's extension.
int InputOpenFailure(const std::string& fileName, const AVInputFormat* forcedFormat, int code);

// The message for a library error code from opening or writing a file, with the file name (or
// the name of the failed call) in front.
std::string OpenErrorText(const std::string& fileName, int code);

} // namespace tarnwick::engine
