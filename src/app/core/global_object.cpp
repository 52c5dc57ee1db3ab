#include "app/core/global_object.h"

#include "app/core/app_paths.h"

namespace tarnwick::app {
namespace {

void SetWhenLonger(std::string& field, std::string_view text, size_t minimumExclusive) {
    if (text.size() > minimumExclusive) field = text;
}

} // namespace

TGlobalObject::TGlobalObject() {
    SeedSettingsFile();
    SetHelpPageAddress("https://www.tarnwick.example/help/");
    SetSettingsFile(SettingsFilePath());
    SetPresetsFile(PresetsFilePath());
    SetProductName("Tarnwick");
    SetVersionText(" ver 1.33 ");
    SetWebSiteAddress("https://www.tarnwick.example/");
}

void TGlobalObject::SetHelpPageAddress(std::string_view text) {
    SetWhenLonger(helpPageAddress_, text, 0);
}
void TGlobalObject::SetSettingsFile(std::string_view text) { SetWhenLonger(settingsFile_, text, 3); }
void TGlobalObject::SetPresetsFile(std::string_view text) { SetWhenLonger(presetsFile_, text, 3); }
void TGlobalObject::SetProductName(std::string_view text) { SetWhenLonger(productName_, text, 0); }
void TGlobalObject::SetVersionText(std::string_view text) { SetWhenLonger(versionText_, text, 0); }
void TGlobalObject::SetWebSiteAddress(std::string_view text) {
    SetWhenLonger(webSiteAddress_, text, 0);
}

std::string TGlobalObject::RightText(std::string_view text, int count) {
    if (count <= 0) return {};
    if (static_cast<size_t>(count) >= text.size()) return std::string(text);
    return std::string(text.substr(text.size() - static_cast<size_t>(count)));
}

} // namespace tarnwick::app
