#pragma once
// The main window's menus: the menu bar ("&File", "&Edit", "&Tools" with the "&Skin" submenu,
// "&Help") and the task list's popup menu, every entry under its component name. No
// behaviour: TfrmMain connects them.

#include "app/core/themes.h"

#include <array>

class QAction;
class QMainWindow;
class QMenu;

namespace tarnwick::ui {

struct MainMenus {
    // Makes the menu bar of the window and the popup menu (owned by the window).
    void Build(QMainWindow& window);

    QMenu* File1 = nullptr; // "&File"
    QAction* Add1 = nullptr;
    QAction* Remove1 = nullptr;
    QAction* Clear1 = nullptr;
    QAction* Start1 = nullptr;
    QAction* Settings1 = nullptr; // "Se&ttings"
    QAction* Exit2 = nullptr;

    QMenu* Edit2 = nullptr; // "&Edit"
    QAction* Crop1 = nullptr;
    QAction* Trim1 = nullptr;
    QAction* WaterMark1 = nullptr; // hidden whenever the menu opens
    QAction* CheckAll1 = nullptr;
    QAction* UncheckAll1 = nullptr;
    QAction* ReserveCheck1 = nullptr; // "&Reverse Check"
    QAction* Check1 = nullptr;
    QAction* Uncheck1 = nullptr;

    QMenu* Tools1 = nullptr; // "&Tools"
    QAction* Preference1 = nullptr;
    QMenu* Skin1 = nullptr;                              // "&Skin"
    std::array<QAction*, app::ThemeCount> SkinEntries{}; // Skin11 ... Skin71

    QMenu* Help1 = nullptr; // "&Help"
    QAction* Help2 = nullptr;
    QAction* WebSite1 = nullptr;
    QAction* SupportandContact1 = nullptr;
    QAction* About = nullptr;

    QMenu* PopupMenu = nullptr; // the task list's, opened by a right button press
    QAction* Add2 = nullptr;
    QAction* Remove2 = nullptr;
    QAction* Clear2 = nullptr;
    QAction* Crop2 = nullptr;
    QAction* Trim2 = nullptr;
    QAction* WaterMark2 = nullptr; // hidden whenever the popup opens
    QAction* VideoInfomation1 = nullptr;
    QAction* Start2 = nullptr;
};

} // namespace tarnwick::ui
