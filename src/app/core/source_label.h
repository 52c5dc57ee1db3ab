#pragma once
// The texts the editors and the file information dialog show about the file: its path cut to
// the label's room, and its duration.

#include <cstdint>
#include <string>
#include <string_view>

namespace tarnwick::app {

// A path of at most `longestWhole` characters as it is; a longer one as its first `headLength`
// characters, "..", its extension (with the dot) and two blanks. Characters are counted as the
// user sees them (UTF-8 code points), and a cut never splits one.
std::string ShortenedPath(std::string_view path, size_t longestWhole, size_t headLength);

// The editors' "Source Name:" label (up to 50 characters whole) and the file information's
// "File Name:" label (up to 45).
inline std::string EditorSourceLabel(std::string_view path) { return ShortenedPath(path, 50, 44); }
inline std::string FileInfoSourceLabel(std::string_view path) {
    return ShortenedPath(path, 45, 40);
}

// The duration as seconds with three decimals and " Second" ("90.040 Second"); empty when the
// library does not know it.
std::string DurationLabel(int64_t durationUs);

} // namespace tarnwick::app
