#include "app/ui/main_menus.h"

#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>

namespace tarnwick::ui {
namespace {

QMenu* Menu(QWidget* parent, const char* name, const QString& title) {
    auto* menu = new QMenu(title, parent);
    menu->setObjectName(name);
    return menu;
}

QAction* Entry(QMenu* menu, const char* name, const QString& caption) {
    QAction* action = menu->addAction(caption);
    action->setObjectName(name);
    return action;
}

} // namespace

void MainMenus::Build(QMainWindow& window) {
    QMenuBar* bar = window.menuBar();

    File1 = Menu(&window, "File1", "&File");
    Add1 = Entry(File1, "Add1", "&Add");
    Remove1 = Entry(File1, "Remove1", "&Remove");
    Clear1 = Entry(File1, "Clear1", "&Clear");
    File1->addSeparator();
    Start1 = Entry(File1, "Start1", "&Start");
    Settings1 = Entry(File1, "Settings1", "Se&ttings");
    File1->addSeparator();
    Exit2 = Entry(File1, "Exit2", "&Exit");
    bar->addMenu(File1);

    Edit2 = Menu(&window, "Edit2", "&Edit");
    Crop1 = Entry(Edit2, "Crop1", "&Crop");
    Trim1 = Entry(Edit2, "Trim1", "&Trim");
    WaterMark1 = Entry(Edit2, "WaterMark1", "&Water Mark");
    Edit2->addSeparator();
    CheckAll1 = Entry(Edit2, "CheckAll1", "&Check All");
    UncheckAll1 = Entry(Edit2, "UncheckAll1", "&Uncheck All");
    ReserveCheck1 = Entry(Edit2, "ReserveCheck1", "&Reverse Check");
    Edit2->addSeparator();
    Check1 = Entry(Edit2, "Check1", "C&heck");
    Uncheck1 = Entry(Edit2, "Uncheck1", "U&ncheck");
    bar->addMenu(Edit2);

    Tools1 = Menu(&window, "Tools1", "&Tools");
    Preference1 = Entry(Tools1, "Preference1", "&Preference");
    Skin1 = Menu(Tools1, "Skin1", "&Skin");
    for (int theme = 0; theme < app::ThemeCount; ++theme) {
        const QByteArray name = "Skin" + QByteArray::number(theme + 1) + "1";
        QAction* entry = Entry(Skin1, name.constData(),
                               QString::fromUtf8(app::ThemeNames()[static_cast<size_t>(theme)]));
        entry->setCheckable(true);
        SkinEntries[static_cast<size_t>(theme)] = entry;
    }
    Tools1->addMenu(Skin1);
    bar->addMenu(Tools1);

    Help1 = Menu(&window, "Help1", "&Help");
    Help2 = Entry(Help1, "Help2", "&Help");
    WebSite1 = Entry(Help1, "WebSite1", "&Web Site");
    SupportandContact1 = Entry(Help1, "SupportandContact1", "&Support and Contact");
    Help1->addSeparator();
    About = Entry(Help1, "About", "&About");
    bar->addMenu(Help1);

    PopupMenu = Menu(&window, "PopupMenu", QString());
    Add2 = Entry(PopupMenu, "Add2", "Add");
    Remove2 = Entry(PopupMenu, "Remove2", "Remove");
    Clear2 = Entry(PopupMenu, "Clear2", "Clear");
    PopupMenu->addSeparator();
    Crop2 = Entry(PopupMenu, "Crop2", "&Crop");
    Trim2 = Entry(PopupMenu, "Trim2", "&Trim");
    WaterMark2 = Entry(PopupMenu, "WaterMark2", "&Water Mark");
    VideoInfomation1 = Entry(PopupMenu, "VideoInfomation1", "Video Infomation");
    PopupMenu->addSeparator();
    Start2 = Entry(PopupMenu, "Start2", "Start");
}

} // namespace tarnwick::ui
