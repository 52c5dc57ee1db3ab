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
    // The product has no web site yet: the user guide shipped with the program stands in for
    // its help page and its home page.
    SetHelpPageAddress(UserGuideAddress());
    SetSettingsFile(SettingsFilePath());
    SetPresetsFile(PresetsFilePath());
    SetProductName("Tarnwick");
    SetVersionText(" ver 1.33 ");
    SetWebSiteAddress(UserGuideAddress("tarnwick"));
}

void TGlobalObject::SetHelpPageAddress(std::string_view text) {
    SetWhenLonger(helpPageAddress_, text, 0);
}
void TGlobalObject::SetSettingsFile(std::string_view text) {
    SetWhenLonger(settingsFile_, text, 3);
}
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
