#pragma once

#include <stdexcept>
#include <string>

namespace tarnwick::platform {

// The class of every error the engine raises; the message is one of the engine's fixed texts.
class FFMpegException : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

} // namespace tarnwick::platform
