#pragma once
// Whether a folder lies on a CD or DVD: output cannot be written there.

#include <string>

namespace tarnwick::platform {

// The file system types of optical discs: iso9660 and udf (statfs magic numbers).
bool IsOpticalDiscFileSystem(long fileSystemType);

// Whether the folder's file system is one of an optical disc; false when it cannot be asked.
bool IsOnOpticalDisc(const std::string& folder);

} // namespace tarnwick::platform
