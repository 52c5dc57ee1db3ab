// The Skin submenu: ticking the stored theme when it opens, switching the theme.
#include "app/core/settings_keys.h"
#include "app/core/themes.h"
#include "app/ui/main_window.h"

#include <QAction>

namespace tarnwick::ui {

void TfrmMain::Skin1Click() {
    // Ticks the stored entry (the second, "Gray", when none is stored) and unticks nothing.
    const int stored = app::ReadSkinIndexForMenu(Settings());
    if (app::IsThemeIndex(stored))
        menus_.SkinEntries[static_cast<size_t>(stored)]->setChecked(true);
}

void TfrmMain::SkinClick(int themeIndex) {
    QAction* chosen = menus_.SkinEntries[static_cast<size_t>(themeIndex)];
    // The toolkit flips the tick before the handler runs: an entry that is unticked now was
    // ticked when it was chosen, and choosing the ticked entry does nothing.
    if (!chosen->isChecked()) {
        chosen->setChecked(true);
        return;
    }
    hide();
    themes_.SetCurrent(themeIndex);
    for (QAction* entry : menus_.SkinEntries)
        entry->setChecked(entry == chosen);
    show();
    app::WriteSkinIndex(Settings(), themeIndex);
}

} // namespace tarnwick::ui
