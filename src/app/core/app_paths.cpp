#include "app/core/app_paths.h"

#include "platform/atomic_file.h"
#include "platform/executable_folder.h"

#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <pwd.h>
#include <unistd.h>

namespace tarnwick::app {
namespace {

std::string WithSlash(std::string folder) {
    if (folder.empty() || folder.back() != '/') folder.push_back('/');
    return folder;
}

std::string HomeFolder() {
    const char* home = std::getenv("HOME");
    if (home && *home) return home;
    if (const passwd* entry = getpwuid(getuid()); entry && entry->pw_dir) return entry->pw_dir;
    return "/tmp";
}

} // namespace

std::string SettingsFolder() {
    const char* config = std::getenv("XDG_CONFIG_HOME");
    if (config && config[0] == '/') return WithSlash(config) + "tarnwick/";
    return WithSlash(HomeFolder()) + ".config/tarnwick/";
}

std::string SettingsFilePath() { return SettingsFolder() + "tarnwick.ini"; }
std::string ShippedSettingsFilePath() { return platform::ExecutableFolder() + "tarnwick.ini"; }
std::string PresetsFilePath() { return platform::ExecutableFolder() + "tarnwickformat.ini"; }
std::string ListBackgroundPicturePath() { return platform::ExecutableFolder() + "skin/lvBack.bmp"; }
std::string CoverPicturePath() { return platform::ExecutableFolder() + "skin/tarnwickcover.jpg"; }
std::string UserGuidePath() { return platform::ExecutableFolder() + "help/tarnwick-guide.html"; }

std::string FileUrl(std::string_view path) {
    static constexpr char hex[] = "0123456789ABCDEF";
    std::string address = "file://";
    for (const unsigned char c : path) {
        if (std::isalnum(c) || c == '/' || c == '-' || c == '.' || c == '_' || c == '~') {
            address.push_back(static_cast<char>(c));
        } else {
            address.push_back('%');
            address.push_back(hex[c >> 4]);
            address.push_back(hex[c & 15]);
        }
    }
    return address;
}

std::string UserGuideAddress(std::string_view section) {
    std::string address = FileUrl(UserGuidePath());
    if (!section.empty()) address.append("#").append(section);
    return address;
}

std::string DefaultOutputFolder() { return WithSlash(HomeFolder()) + "tarnwick"; }

bool SeedSettingsFile() {
    const std::string settings = SettingsFilePath();
    std::error_code error;
    std::filesystem::create_directories(SettingsFolder(), error);
    if (std::filesystem::exists(settings, error)) return true;
    std::string shipped;
    if (!platform::ReadFileContents(ShippedSettingsFilePath(), shipped)) return false;
    // Replacing atomically: a crash while seeding must not leave a half settings file that
    // the next start would take for the user's own.
    return platform::ReplaceFileContents(settings, shipped);
}

} // namespace tarnwick::app
