#include "platform/executable_folder.h"

#include <filesystem>
#include <system_error>

namespace tarnwick::platform {

std::string ExecutableFolder() {
    std::error_code error;
    const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error) return {};
    std::string folder = program.parent_path().string();
    if (folder.empty() || folder.back() != '/') folder += '/';
    return folder;
}

} // namespace tarnwick::platform
