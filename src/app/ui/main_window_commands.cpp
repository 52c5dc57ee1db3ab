// The output format and folder, the exit, the Help menu, the check commands and the enabling
// rules of the Edit menu and the popup.
#include "app/core/app_paths.h"
#include "app/core/settings_keys.h"
#include "app/core/task_list_rules.h"
#include "app/ui/about_box.h"
#include "app/ui/main_window.h"

#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QMenu>

namespace tarnwick::ui {

void TfrmMain::cbOutputFormatChange() {
    app::WriteOutputFormat(Settings(), form_.cbOutputFormat->currentIndex());
}

void TfrmMain::edDirectoryChange() {
    app::WriteOutputFolder(Settings(), form_.edDirectory->text().toStdString());
}

void TfrmMain::btnBrowsClick() {
    const QString chosen = desktop_.Files.ChooseFolder(this);
    if (chosen.isEmpty() || chosen == form_.edDirectory->text()) return;
    app::WriteOutputFolder(Settings(), chosen.toStdString());
    form_.edDirectory->setText(chosen);
}

void TfrmMain::btnOpenClick() {
    // The folder is not checked: the file manager says so when it is missing.
    if (form_.edDirectory->text().size() <= 2) return;
    desktop_.Urls.OpenUrl(
        QUrl::fromLocalFile(QString::fromStdString(app::ReadOutputFolder(Settings()))));
}

void TfrmMain::btnExitClick() { close(); }

void TfrmMain::OpenAddress(const std::string& address) {
    desktop_.Urls.OpenUrl(QUrl(QString::fromStdString(address)));
}

void TfrmMain::Help2Click() { OpenAddress(global_->HelpPageAddress()); }
void TfrmMain::WebSite1Click() { OpenAddress(global_->WebSiteAddress()); }
void TfrmMain::SupportandContact1Click() { OpenAddress(app::UserGuideAddress("support")); }

void TfrmMain::AboutClick() {
    // Made on first use, kept with the main window and shown again.
    auto* about = findChild<TfrmAbout*>();
    if (!about) about = new TfrmAbout(*global_, desktop_.Urls, this);
    about->exec();
}

void TfrmMain::CheckAll1Click() {
    rows_.ApplyCheckCommand(app::TCheckCommand::CheckAll, SelectedRow());
}
void TfrmMain::UncheckAll1Click() {
    rows_.ApplyCheckCommand(app::TCheckCommand::UncheckAll, SelectedRow());
}
void TfrmMain::ReserveCheck1Click() {
    rows_.ApplyCheckCommand(app::TCheckCommand::ReverseCheck, SelectedRow());
}
void TfrmMain::Check1Click() {
    rows_.ApplyCheckCommand(app::TCheckCommand::CheckSelected, SelectedRow());
}
void TfrmMain::Uncheck1Click() {
    rows_.ApplyCheckCommand(app::TCheckCommand::UncheckSelected, SelectedRow());
}

void TfrmMain::Edit2Click() {
    menus_.WaterMark1->setVisible(false);
    const bool enabled = app::EditEntriesEnabled(rows_.rowCount());
    for (QAction* entry : {menus_.Crop1, menus_.Trim1, menus_.CheckAll1, menus_.UncheckAll1,
                           menus_.ReserveCheck1, menus_.Check1, menus_.Uncheck1})
        entry->setEnabled(enabled);
}

void TfrmMain::PopupMenuPopup() {
    menus_.WaterMark2->setVisible(false);
    const bool enabled = app::PopupEntriesEnabled(rows_.rowCount(), SelectedRow());
    for (QAction* entry : {menus_.Crop2, menus_.Trim2, menus_.VideoInfomation1, menus_.Remove2,
                           menus_.Clear2, menus_.Start2})
        entry->setEnabled(enabled);
    menus_.Add2->setEnabled(true);
}

void TfrmMain::lvFilesMouseDown(const QPoint& globalPosition) {
    menus_.PopupMenu->popup(globalPosition);
}

} // namespace tarnwick::ui
