#include "binding/log_capture.h"

#include "binding/media_functions.h"

#include <cstdio>
#include <mutex>

namespace tarnwick::test {
namespace {
std::mutex mutex;
std::vector<std::string> lines;

void Callback(void*, int, const char* format, va_list args) {
    char buffer[2048];
    std::vsnprintf(buffer, sizeof buffer, format, args);
    std::lock_guard lock(mutex);
    lines.emplace_back(buffer);
}
} // namespace

LibraryLogCapture::LibraryLogCapture() {
    std::lock_guard lock(mutex);
    lines.clear();
    binding::AV.av_log_set_callback(Callback);
}

LibraryLogCapture::~LibraryLogCapture() {
    binding::AV.av_log_set_callback(binding::AV.av_log_default_callback);
}

std::vector<std::string> LibraryLogCapture::Lines() const {
    std::lock_guard lock(mutex);
    return lines;
}

} // namespace tarnwick::test
