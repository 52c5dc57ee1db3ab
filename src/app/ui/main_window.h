#pragma once
// The main window `TfrmMain`: the task list, the commands and menus, the output format and
// folder, the preview pane, and the converter component `KivAVC` that probes and converts.
// A fixed 786 x 534 window. Its members are split by concern over several files:
// main_window.cpp (creation, show, close, what other windows reach), main_window_task_list.cpp
// (adding, removing, clearing), main_window_commands.cpp (folder, help, check and menu
// rules), main_window_skins.cpp, main_window_run.cpp (settings, start, preview) and
// main_window_editors.cpp (trim, crop, file information, preferences).
// Everything here runs on the window thread; every handler runs through the handler guard.

#include "app/core/global_object.h"
#include "app/core/task_row.h"
#include "app/ui/desktop.h"
#include "app/ui/main_form.h"
#include "app/ui/main_menus.h"
#include "app/ui/task_list_model.h"
#include "app/ui/themes.h"
#include "component/av_converter.h"
#include "platform/ini_store.h"

#include <QMainWindow>

#include <memory>

namespace tarnwick::ui {

class PreviewPane;
class RunController;
class SettingsDialog;
class TaskListView;

class TfrmMain : public QMainWindow {
    Q_OBJECT
public:
    static constexpr int DesignWidth = 786;
    static constexpr int DesignHeight = 534;

    // FormCreate: the settings holder, the application title, the saved theme, the handler of
    // escaped errors.
    explicit TfrmMain(Desktop& desktop, QWidget* parent = nullptr);
    ~TfrmMain() override;

    // ---- What the other windows reach ----
    app::TGlobalObject& Global() { return *global_; }
    platform::IniStore Settings() const { return platform::IniStore(global_->SettingsFile()); }
    platform::IniStore Presets() const { return platform::IniStore(global_->PresetsFile()); }
    Desktop& Services() { return desktop_; }
    ThemeManager& Themes() { return themes_; }
    const MainForm& Form() const { return form_; }
    const MainMenus& Menus() const { return menus_; }
    PreviewPane& Preview() { return *form_.preview; }
    // The rows; the editors and the run write their cells through it (SetTrimmedLength,
    // SetProgress) and edit a row's record in place (MutableRecord, then RecordChanged).
    TaskListModel& Rows() { return rows_; }
    // The selected row (-1 when none) and its record (nullptr when none).
    int SelectedRow() const;
    app::TlvFilesRecord* SelectedRecord();
    // Selects the row and gives the list the focus.
    void SelectRow(int row);
    // The preset chosen in `cbOutputFormat`.
    int PresetIndex() const;
    // Appends a line to the hidden log memo `mmoLog` / replaces its text.
    void AddLogLine(const QString& line);
    void SetLogText(const QString& text);

    // The converter component: it probes the added files and runs the conversions.
    component::TKivAVConverter KivAVC;
    // The conversion run of "&Start" with its progress window, made at first use.
    RunController& Run();

    // ---- Handlers, by component and event ----
    void btnAddClick();
    void btnRemoveClick();
    void btnClearClick();
    void btnExitClick();
    void cbOutputFormatChange();
    void edDirectoryChange();
    void btnBrowsClick();
    void btnOpenClick();
    void Help2Click();
    void WebSite1Click();
    void SupportandContact1Click();
    void AboutClick();
    void CheckAll1Click();
    void UncheckAll1Click();
    void ReserveCheck1Click();
    void Check1Click();
    void Uncheck1Click();
    void Edit2Click();
    void PopupMenuPopup();
    void lvFilesMouseDown(const QPoint& globalPosition);
    void lvFilesDblClick();
    void Skin1Click();
    // Skin11Click ... Skin71Click: the theme of that index.
    void SkinClick(int themeIndex);
    // The run and the preview (main_window_run.cpp).
    void btnStartClick();
    void btnSettingsClick();
    void btnStopClick();
    void btnPauseClick();
    void btnResumeClick();
    void imgbtnPlay1Click();
    void PreviewSelectedRow();
    // The editors and dialogs (main_window_editors.cpp).
    void Crop1Click();
    void Trim1Click();
    void VideoInfomation1Click();
    void Preference1Click();

protected:
    void showEvent(QShowEvent* event) override;
    // FormCloseQuery: always allows the close.
    void closeEvent(QCloseEvent* event) override;

private:
    void FormShow();
    void FormCloseQuery();
    void ConnectHandlers();
    // The preview pane's commands that reach beyond it (main_window_run.cpp).
    void ConnectPreview();
    void OpenAddress(const std::string& address);

    Desktop& desktop_;
    std::unique_ptr<app::TGlobalObject> global_;
    ThemeManager themes_;
    TaskListModel rows_;
    MainForm form_;
    MainMenus menus_;
    bool shown_ = false;
    RunController* run_ = nullptr;
    SettingsDialog* settingsDialog_ = nullptr;
    // The memo has its first line (an empty document cannot tell an empty line from none).
    bool logStarted_ = false;
};

} // namespace tarnwick::ui
