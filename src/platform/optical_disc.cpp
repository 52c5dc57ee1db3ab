#include "platform/optical_disc.h"

#include <sys/vfs.h>

namespace tarnwick::platform {
namespace {
// From linux/magic.h.
constexpr long Iso9660Magic = 0x9660;
constexpr long UdfMagic = 0x15013346;
} // namespace

bool IsOpticalDiscFileSystem(long fileSystemType) {
    return fileSystemType == Iso9660Magic || fileSystemType == UdfMagic;
}

bool IsOnOpticalDisc(const std::string& folder) {
    struct statfs info {};
    return statfs(folder.c_str(), &info) == 0 && IsOpticalDiscFileSystem(info.f_type);
}

} // namespace tarnwick::platform
