#include "app/core/output_name.h"

#include "app/core/output_folder.h"

#include <filesystem>

namespace tarnwick::app {

std::string AddTimeSuffix(const std::string& extension) { return "_ipod." + extension; }
std::string RunSuffix(const std::string& extension) { return "." + extension; }

std::string BuildOutputFileName(const std::string& sourcePath, const std::string& suffix,
                                const platform::IniStore& settings, TMessageBox& messages,
                                const std::set<std::string>* reserved) {
    const std::string folder = UsableFolder(settings, "OutPutDir", messages);
    const std::string base = std::filesystem::path(sourcePath).stem().string();
    auto taken = [reserved](const std::string& name) {
        std::error_code error;
        if (reserved && reserved->contains(name)) return true;
        // A dangling link is a taken name too. When the folder cannot be searched at all,
        // every name would look taken; the name is handed out and opening it reports why.
        const auto type = std::filesystem::symlink_status(name, error).type();
        return !error && type != std::filesystem::file_type::not_found;
    };
    std::string candidate = folder + base + "_(new)" + suffix;
    for (long n = 1; taken(candidate); ++n)
        candidate = folder + base + "_(new_" + std::to_string(n) + ")" + suffix;
    return candidate;
}

} // namespace tarnwick::app
