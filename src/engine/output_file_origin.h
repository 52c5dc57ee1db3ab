#pragma once
// What an output path named before the job opened it for writing, and so what the job may do to
// it when the output turns out unfinished or empty. Only a regular file that the job created is
// ever removed; a file that was there before is emptied at most (opening it for writing took
// its old content already, and a half-written output would pass for a finished one); devices,
// pipes, links and anything put in the path's place meanwhile are left alone.

#include <sys/types.h>

#include <string>

namespace tarnwick::engine {

struct TOutputFileOrigin {
    bool Known = false;   // the job opened the path as a file of its own
    bool Created = false; // the path named nothing before
    bool Regular = false; // once opened it named a regular file (through links)
    dev_t Device = 0;     // that file's identity, to know it again
    ino_t Inode = 0;
};

// Whether the path names anything, a dangling link included. Call before opening it; an error
// other than "no such file" counts as naming something.
bool PathNamesSomething(const std::string& path);

// The origin of a path the job has just opened for writing.
TOutputFileOrigin OpenedOutputOrigin(const std::string& path, bool existedBefore);

enum class TDiscardResult { Kept, Removed, Emptied };

// After a failed run: removes the file the job created, empties a regular file that was there
// before, and keeps anything else.
TDiscardResult DiscardUnfinishedOutput(const TOutputFileOrigin& origin, const std::string& path);

// When the output is released: removes the file the job created if it stayed empty.
void RemoveCreatedOutputIfEmpty(const TOutputFileOrigin& origin, const std::string& path);

} // namespace tarnwick::engine
