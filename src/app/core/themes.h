#pragma once
// The seven colour themes as far as they are rules: their names in the Skin menu, which one a
// stored "skinIndex" makes current at start, and the tint of the task list's odd rows. The
// palettes themselves are the windows' business.

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

namespace tarnwick::app {

inline constexpr int ThemeCount = 7;
// The theme the windows are designed with; current until a stored index says otherwise.
inline constexpr int DesignTheme = 0;

// "Default", "Gray", "Orange", "Purple", "Red", "Green", "Light blue": index = theme index.
const std::array<std::string_view, ThemeCount>& ThemeNames();

bool IsThemeIndex(int index);

// The theme a stored "skinIndex" makes current at start: the index itself for 0..6; nothing
// for any other value (the design theme stays, and nothing is written back).
std::optional<int> ThemeAtStart(int skinIndex);

// Colour (0xRRGGBB) of the task list's odd rows under the theme; #EBEBEB without one. Even
// rows are white in every theme.
uint32_t OddRowTint(std::optional<int> themeIndex);
inline constexpr uint32_t EvenRowColour = 0xFFFFFF;

} // namespace tarnwick::app
