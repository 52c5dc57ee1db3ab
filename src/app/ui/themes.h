#pragma once
// The seven colour themes of the windows and the one manager that applies the current one.
// A theme is a palette of the whole application, so every window, also one made later, is
// drawn in the main window's theme when it shows.

#include <QColor>
#include <QPalette>

#include <optional>

namespace tarnwick::ui {

// The palette of theme 0..6.
QPalette ThemePalette(int themeIndex);

class ThemeManager {
public:
    // Makes the theme (0..6) current: the application's palette becomes its palette. Other
    // indexes are ignored.
    void SetCurrent(int themeIndex);
    // The current theme; nothing before the first SetCurrent.
    std::optional<int> Current() const { return current_; }
    // The task list's odd-row tint under the current theme.
    QColor OddRowColour() const;

private:
    std::optional<int> current_;
};

} // namespace tarnwick::ui
