#pragma once
// Replacing a file's whole content so that a reader, or a crash at any moment, only ever sees
// the old content or the new one, never a mixture or a truncated file.

#include <string>
#include <string_view>

namespace tarnwick::platform {

// Writes the content to a temporary file in the same folder, flushes it to disk and renames it
// over the path. The folder must exist. Returns false (and leaves the old file as it was) when
// any step fails; the temporary file is removed then. Keeps the old file's permission bits;
// a new file gets 0644 less the process's umask.
bool ReplaceFileContents(const std::string& path, std::string_view content);

// Reads a whole file; false when it cannot be opened or read.
bool ReadFileContents(const std::string& path, std::string& content);

} // namespace tarnwick::platform
