#include "app/ui/themes.h"

#include "app/core/themes.h"

#include <QApplication>

#include <array>

namespace tarnwick::ui {
namespace {

// The colours a theme is made of: the face of windows and buttons, and the accent of
// selections and focused controls. The odd-row tints of the list are the core's.
struct ThemeColours {
    QRgb window;
    QRgb button;
    QRgb accent;
};

constexpr std::array<ThemeColours, app::ThemeCount> Colours = {{
    {0xEEF1FA, 0xD9DFF3, 0x3D64B4}, // Default
    {0xF0F0F0, 0xDEDEDE, 0x6B6B6B}, // Gray
    {0xFBF6EA, 0xF2E1B9, 0xCF7A22}, // Orange
    {0xF9EFF6, 0xEAD4E4, 0x8A4382}, // Purple
    {0xFAEDED, 0xEECACA, 0xB03434}, // Red
    {0xEEF9ED, 0xCFEBCD, 0x3A863A}, // Green
    {0xEDF6FA, 0xCFE6F2, 0x2D86B8}, // Light blue
}};

} // namespace

QPalette ThemePalette(int themeIndex) {
    const ThemeColours& colours = Colours.at(static_cast<size_t>(themeIndex));
    const QColor text(0x1E, 0x1E, 0x1E);
    QPalette palette;
    palette.setColor(QPalette::Window, QColor(colours.window));
    palette.setColor(QPalette::WindowText, text);
    palette.setColor(QPalette::Button, QColor(colours.button));
    palette.setColor(QPalette::ButtonText, text);
    palette.setColor(QPalette::Base, Qt::white);
    palette.setColor(QPalette::AlternateBase, QColor(app::OddRowTint(themeIndex)));
    palette.setColor(QPalette::Text, text);
    palette.setColor(QPalette::Highlight, QColor(colours.accent));
    palette.setColor(QPalette::HighlightedText, Qt::white);
    palette.setColor(QPalette::ToolTipBase, QColor(0xFF, 0xFF, 0xE1));
    palette.setColor(QPalette::ToolTipText, text);
    palette.setColor(QPalette::Link, QColor(colours.accent));
    // Read-only lines and disabled controls are drawn in the light 3-D colour.
    palette.setColor(QPalette::Light, QColor(colours.window).lighter(104));
    palette.setColor(QPalette::Disabled, QPalette::ButtonText, QColor(0x9A, 0x9A, 0x9A));
    palette.setColor(QPalette::Disabled, QPalette::WindowText, QColor(0x9A, 0x9A, 0x9A));
    palette.setColor(QPalette::Disabled, QPalette::Text, QColor(0x9A, 0x9A, 0x9A));
    return palette;
}

void ThemeManager::SetCurrent(int themeIndex) {
    if (!app::IsThemeIndex(themeIndex)) return;
    current_ = themeIndex;
    QApplication::setPalette(ThemePalette(themeIndex));
}

QColor ThemeManager::OddRowColour() const { return QColor(app::OddRowTint(current_)); }

} // namespace tarnwick::ui
