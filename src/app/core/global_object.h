#pragma once
// The application-wide settings holder: the two settings file paths and the product texts
// that every window shows. Created once at start-up by the front end and handed to whoever
// needs it; used on the user-interface thread only.

#include <string>
#include <string_view>

namespace tarnwick::app {

class TGlobalObject {
public:
    // Sets the start values: the settings file in the user's configuration folder (seeded
    // from the shipped default when the user has none yet), the presets file beside the
    // executable, the product name and version text and the web addresses.
    TGlobalObject();

    const std::string& HelpPageAddress() const { return helpPageAddress_; }
    const std::string& SettingsFile() const { return settingsFile_; }
    const std::string& PresetsFile() const { return presetsFile_; }
    const std::string& ProductName() const { return productName_; }
    const std::string& VersionText() const { return versionText_; }
    const std::string& WebSiteAddress() const { return webSiteAddress_; }

    // Each setter ignores a text it does not accept and keeps the old value: the two file
    // paths need more than 3 characters, the other texts must not be empty.
    void SetHelpPageAddress(std::string_view text);
    void SetSettingsFile(std::string_view text);
    void SetPresetsFile(std::string_view text);
    void SetProductName(std::string_view text);
    void SetVersionText(std::string_view text);
    void SetWebSiteAddress(std::string_view text);

    // The last count characters of the text, or the whole text when it is shorter.
    static std::string RightText(std::string_view text, int count);

private:
    std::string helpPageAddress_;
    std::string settingsFile_;
    std::string presetsFile_;
    std::string productName_;
    std::string versionText_;
    std::string webSiteAddress_;
};

} // namespace tarnwick::app
