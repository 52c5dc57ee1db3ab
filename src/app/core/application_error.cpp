#include "app/core/application_error.h"

#include "platform/ffmpeg_exception.h"

namespace tarnwick::app {

std::string ApplicationErrorText(std::string_view message) {
    std::string text(message);
    if (!text.empty() && static_cast<unsigned char>(text.back()) > '.') text.push_back('.');
    return text;
}

TApplicationError DescribeApplicationError(const std::exception& error) {
    const bool engineError = dynamic_cast<const platform::FFMpegException*>(&error) != nullptr;
    return {ApplicationErrorText(error.what()),
            engineError ? TMessageIcon::Warning : TMessageIcon::Error};
}

} // namespace tarnwick::app
