#include "app/core/themes.h"

namespace tarnwick::app {

const std::array<std::string_view, ThemeCount>& ThemeNames() {
    static constexpr std::array<std::string_view, ThemeCount> names = {
        "Default", "Gray", "Orange", "Purple", "Red", "Green", "Light blue"};
    return names;
}

bool IsThemeIndex(int index) { return index >= 0 && index < ThemeCount; }

std::optional<int> ThemeAtStart(int skinIndex) {
    if (IsThemeIndex(skinIndex)) return skinIndex;
    return std::nullopt;
}

uint32_t OddRowTint(std::optional<int> themeIndex) {
    static constexpr std::array<uint32_t, ThemeCount> tints = {
        0xE2E6F6, 0xECECEC, 0xF8F2E0, 0xF6E6F1, 0xF7E1E1, 0xE2F7E1, 0xE1F0F7};
    if (!themeIndex || !IsThemeIndex(*themeIndex)) return 0xEBEBEB;
    return tints[*themeIndex];
}

} // namespace tarnwick::app
