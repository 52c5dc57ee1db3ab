#pragma once
// How an error that no window caught is shown to the user.

#include "app/core/message_box.h"

#include <exception>
#include <string>
#include <string_view>

namespace tarnwick::app {

// The message with "." appended when it is not empty and its last character sorts after "."
// (a letter, a digit, ":"...); a message ending in "." or "!" is kept as it is.
std::string ApplicationErrorText(std::string_view message);

struct TApplicationError {
    std::string Text;
    TMessageIcon Icon; // engine errors warn, everything else is an error
};
TApplicationError DescribeApplicationError(const std::exception& error);

} // namespace tarnwick::app
