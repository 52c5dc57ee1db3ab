#include "platform/atomic_file.h"

#include <cerrno>
#include <fcntl.h>
#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

namespace tarnwick::platform {
namespace {

bool WriteAll(int fd, std::string_view content) {
    const char* data = content.data();
    size_t left = content.size();
    while (left > 0) {
        const ssize_t written = ::write(fd, data, left);
        if (written < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        data += written;
        left -= static_cast<size_t>(written);
    }
    return true;
}

mode_t ModeForReplacement(const std::string& path) {
    struct stat old {};
    if (::stat(path.c_str(), &old) == 0) return old.st_mode & 07777;
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0644 & ~mask;
}

} // namespace

bool ReplaceFileContents(const std::string& path, std::string_view content) {
    std::string temporary = path + ".tmp-XXXXXX";
    const int fd = ::mkstemp(temporary.data());
    if (fd < 0) return false;
    const bool written = WriteAll(fd, content) && ::fchmod(fd, ModeForReplacement(path)) == 0 &&
                         ::fsync(fd) == 0;
    const bool closed = ::close(fd) == 0;
    if (!written || !closed || ::rename(temporary.c_str(), path.c_str()) != 0) {
        const int reason = errno; // the caller may report it
        ::unlink(temporary.c_str());
        errno = reason;
        return false;
    }
    return true;
}

bool ReadFileContents(const std::string& path, std::string& content) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    std::ostringstream buffer;
    buffer << in.rdbuf();
    if (in.bad()) return false;
    content = std::move(buffer).str();
    return true;
}

} // namespace tarnwick::platform
