#include "cli/session_settings.h"

#include "app/core/app_paths.h"
#include "app/core/settings_keys.h"

#include <cstdlib>
#include <filesystem>
#include <stdexcept>

namespace tarnwick::cli {

namespace fs = std::filesystem;

SessionSettings::SessionSettings(const std::string& outputFolder) {
    std::string pattern = (fs::temp_directory_path() / "tarnwick-cli-XXXXXX").string();
    if (!mkdtemp(pattern.data())) throw std::runtime_error("cannot make a temporary folder");
    folder_ = pattern;
    const std::string path = folder_ + "/tarnwick.ini";
    std::error_code ignored;
    if (app::SeedSettingsFile()) fs::copy_file(app::SettingsFilePath(), path, ignored);
    store_ = std::make_unique<platform::IniStore>(path);
    if (!outputFolder.empty()) {
        const std::string absolute = fs::absolute(outputFolder).lexically_normal().string();
        app::WriteOutputFolder(*store_, absolute);
        app::WriteSnapshotFolder(*store_, absolute);
    }
}

SessionSettings::~SessionSettings() {
    std::error_code ignored;
    fs::remove_all(folder_, ignored);
}

} // namespace tarnwick::cli
