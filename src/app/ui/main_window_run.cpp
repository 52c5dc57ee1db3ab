// The settings dialog, the conversion run with its hidden run buttons, and the preview of the
// selected row.
#include "app/ui/handler_guard.h"
#include "app/ui/main_window.h"
#include "app/ui/preview_pane.h"
#include "app/ui/qt_desktop.h"
#include "app/ui/run_controller.h"
#include "app/ui/settings_dialog.h"
#include "probe/av_probe.h"

#include <QComboBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QToolButton>

namespace tarnwick::ui {

RunController& TfrmMain::Run() {
    if (!run_) {
        RunController::MainWindowAccess access{
            .Rows = [this] { return rows_.TaskRows(); },
            .PresetIndex = [this] { return PresetIndex(); },
            .SetProgressCell = [this](int row,
                                      const QString& text) { rows_.SetProgress(row, text); },
            .Log = [this](const std::string& line) { AddLogLine(QString::fromStdString(line)); },
            .PreviewOpened =
                [this](probe::TAVProbe& probe) { form_.preview->SetPreviewProbe(probe, true); },
            .StopPreview = [this] { form_.preview->imgbtnStopClick(); },
            .EnableListCommands =
                [this](bool enabled) {
                    for (QPushButton* button : {form_.btnAdd, form_.btnRemove, form_.btnClear,
                                                form_.btnStart, form_.btnStartBelow})
                        button->setEnabled(enabled);
                },
            .EnableRunButtons =
                [this](bool stop, bool pause, bool resume) {
                    form_.btnStop->setEnabled(stop);
                    form_.btnPause->setEnabled(pause);
                    form_.btnResume->setEnabled(resume);
                },
            .OpenOutputFolder = [this] { btnOpenClick(); }};
        run_ = new RunController(KivAVC, Settings(), Presets(), desktop_.Messages,
                                 desktop_.PowerOff, std::move(access), this, ApplicationTitle());
    }
    return *run_;
}

void TfrmMain::btnStartClick() { Run().btnStartClick(); }

void TfrmMain::btnSettingsClick() {
    if (!settingsDialog_) {
        settingsDialog_ = new SettingsDialog(Settings(), Presets(), this);
        // "&Ok" has written the preset as chosen: the combo box follows without writing again.
        connect(settingsDialog_, &SettingsDialog::presetChosen, this, [this](int preset) {
            const QSignalBlocker quiet(form_.cbOutputFormat);
            form_.cbOutputFormat->setCurrentIndex(preset);
        });
    }
    settingsDialog_->ShowFor(*form_.cbOutputFormat);
}

void TfrmMain::btnStopClick() { KivAVC.StopJobs(); }
void TfrmMain::btnPauseClick() { KivAVC.PauseJobs(); }
void TfrmMain::btnResumeClick() { KivAVC.ResumeJobs(); }

void TfrmMain::ConnectPreview() {
    PreviewPane& pane = *form_.preview;
    connect(&pane, &PreviewPane::playClicked, this, Guarded([this] { imgbtnPlay1Click(); }));
    connect(pane.imgbtnSnap, &QToolButton::clicked, this,
            Guarded([this] { form_.preview->imgbtnSnapClick(Settings(), desktop_.Messages); }));
}

void TfrmMain::imgbtnPlay1Click() {
    if (rows_.rowCount() == 0) btnAddClick();
    if (SelectedRow() < 0) {
        if (rows_.rowCount() == 0) return;
        SelectRow(0);
    }
    PreviewSelectedRow();
}

void TfrmMain::PreviewSelectedRow() {
    PreviewPane& pane = *form_.preview;
    // A double click on a paused preview only lets it go on.
    if (pane.Resume()) return;
    const app::TlvFilesRecord* record = SelectedRecord();
    if (!record) return;
    KivAVC.ClearJobs();
    // A file that does not open is not shown; the preview still switches to playing.
    if (KivAVC.Probe.Open(record->SourceFile, "")) {
        pane.SetPreviewProbe(KivAVC.Probe);
        form_.mmoLog->setPlainText(QString::fromStdString(KivAVC.Probe.InfoText()));
    }
    pane.Started();
}

} // namespace tarnwick::ui
