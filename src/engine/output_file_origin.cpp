#include "engine/output_file_origin.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace tarnwick::engine {
namespace {

// The path still leads to the regular file the job opened.
bool StillTheOpenedFile(const TOutputFileOrigin& origin, const std::string& path,
                        struct stat& info) {
    return origin.Known && origin.Regular && stat(path.c_str(), &info) == 0 &&
           S_ISREG(info.st_mode) && info.st_dev == origin.Device && info.st_ino == origin.Inode;
}

// The path itself is that file, not a link someone put in its place.
bool PathIsTheFile(const TOutputFileOrigin& origin, const std::string& path) {
    struct stat info {};
    return lstat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
           info.st_dev == origin.Device && info.st_ino == origin.Inode;
}

} // namespace

bool PathNamesSomething(const std::string& path) {
    struct stat info {};
    return lstat(path.c_str(), &info) == 0 || errno != ENOENT;
}

TOutputFileOrigin OpenedOutputOrigin(const std::string& path, bool existedBefore) {
    TOutputFileOrigin origin;
    origin.Known = true;
    origin.Created = !existedBefore;
    struct stat info {};
    if (stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode)) {
        origin.Regular = true;
        origin.Device = info.st_dev;
        origin.Inode = info.st_ino;
    }
    return origin;
}

TDiscardResult DiscardUnfinishedOutput(const TOutputFileOrigin& origin, const std::string& path) {
    struct stat info {};
    if (!StillTheOpenedFile(origin, path, info)) return TDiscardResult::Kept;
    if (origin.Created)
        return PathIsTheFile(origin, path) && unlink(path.c_str()) == 0 ? TDiscardResult::Removed
                                                                        : TDiscardResult::Kept;
    if (info.st_size == 0) return TDiscardResult::Kept;
    return truncate(path.c_str(), 0) == 0 ? TDiscardResult::Emptied : TDiscardResult::Kept;
}

void RemoveCreatedOutputIfEmpty(const TOutputFileOrigin& origin, const std::string& path) {
    struct stat info {};
    if (origin.Created && StillTheOpenedFile(origin, path, info) && info.st_size == 0 &&
        PathIsTheFile(origin, path))
        unlink(path.c_str());
}

} // namespace tarnwick::engine
