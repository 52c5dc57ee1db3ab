#include "app/core/output_folder.h"

#include "app/core/app_paths.h"
#include "app/core/settings_keys.h"

#include <filesystem>

namespace tarnwick::app {
namespace {

bool MakeFolder(const std::string& folder) {
    if (folder.empty()) return false;
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    return std::filesystem::is_directory(folder, error);
}

std::string WithSlash(std::string folder) {
    if (folder.empty() || folder.back() != '/') folder.push_back('/');
    return folder;
}

} // namespace

std::string UsableFolder(const platform::IniStore& settings, const char* key,
                         TMessageBox& messages) {
    const std::string fallback = DefaultOutputFolder();
    const std::string folder = settings.ReadString(SettingsSection, key, fallback);
    if (MakeFolder(folder)) return WithSlash(folder);
    // The old program went on with the folder it could not make, so the first file of the
    // batch failed to open; the warning promises the default folder, so it is used at once.
    messages.ShowMessage(WarningCaption,
                         "Cannot create output directory:" + folder +
                             ".It will create default directory " + fallback + "!",
                         TMessageIcon::Warning);
    MakeFolder(fallback);
    settings.WriteString(SettingsSection, key, fallback);
    return WithSlash(fallback);
}

} // namespace tarnwick::app
