// The task list's commands: adding, removing and clearing rows, and previewing one.
#include "app/core/file_adding.h"
#include "app/core/task_list_rules.h"
#include "app/ui/main_window.h"
#include "app/ui/preview_pane.h"
#include "app/ui/task_list.h"

#include <QPushButton>

namespace tarnwick::ui {

void TfrmMain::btnAddClick() {
    const auto log = [this](const std::string& line) { AddLogLine(QString::fromStdString(line)); };
    // Without the libraries nothing can be probed; the reason goes to the log only.
    if (!app::LoadLibrariesForAdding(KivAVC, log)) return;
    const QStringList chosen = desktop_.Files.ChooseSourceFiles(this);
    if (chosen.isEmpty()) return;
    std::vector<std::string> paths;
    for (const QString& path : chosen)
        paths.push_back(path.toStdString());

    app::TAddSink sink;
    sink.IsListed = [this](const std::string& path) { return rows_.Contains(path); };
    sink.Log = log;
    sink.Added = [this](const app::TlvFilesRecord& record) {
        rows_.Append(record);
        for (QPushButton* button :
             {form_.btnStart, form_.btnStartBelow, form_.btnClear, form_.btnRemove})
            button->setEnabled(true);
        SelectRow(0);
    };
    app::AddFiles(KivAVC, paths, PresetIndex(), Settings(), Presets(), desktop_.Messages, sink);
}

void TfrmMain::btnRemoveClick() {
    const int row = SelectedRow();
    if (row < 0) return;
    rows_.Remove(row);
    const int next = app::RowToSelectAfterRemoval(row, rows_.rowCount());
    if (next >= 0)
        SelectRow(next);
    else
        form_.preview->imgbtnStopClick();
}

void TfrmMain::btnClearClick() {
    if (rows_.rowCount() == 0) return;
    KivAVC.ClearJobs();
    rows_.Clear();
    form_.preview->imgbtnStopClick();
}

void TfrmMain::lvFilesDblClick() {
    if (SelectedRow() >= 0) PreviewSelectedRow();
}

} // namespace tarnwick::ui
