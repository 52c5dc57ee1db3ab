#include "app/core/source_label.h"

#include "app/core/time_text.h"

namespace tarnwick::app {
namespace {

bool ContinuationByte(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

size_t CodePoints(std::string_view text) {
    size_t count = 0;
    for (char c : text)
        if (!ContinuationByte(c)) ++count;
    return count;
}

// The bytes of the first `count` code points.
std::string_view Head(std::string_view text, size_t count) {
    size_t end = 0;
    for (size_t seen = 0; end < text.size(); ++end) {
        if (ContinuationByte(text[end])) continue;
        if (seen++ == count) break;
    }
    return text.substr(0, end);
}

std::string_view Extension(std::string_view path) {
    const size_t name = path.find_last_of('/');
    const size_t dot = path.find_last_of('.');
    if (dot == std::string_view::npos || (name != std::string_view::npos && dot < name)) return {};
    return path.substr(dot);
}

} // namespace

std::string ShortenedPath(std::string_view path, size_t longestWhole, size_t headLength) {
    if (CodePoints(path) <= longestWhole) return std::string(path);
    std::string text(Head(path, headLength));
    text += "..";
    text += Extension(path);
    text += "  ";
    return text;
}

std::string DurationLabel(int64_t durationUs) {
    if (durationUs < 0) return {};
    return FormatSecondsMs(durationUs) + " Second";
}

} // namespace tarnwick::app
