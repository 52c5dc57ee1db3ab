#include "app/ui/run_controller.h"

#include "app/core/run_plan.h"
#include "app/core/run_progress.h"
#include "app/ui/handler_guard.h"
#include "app/ui/progress_window.h"
#include "app/ui/run_bridge.h"
#include "component/av_converter.h"

#include <algorithm>
#include <filesystem>

namespace tarnwick::ui {

// The picture of the progress window follows the reported position, so a report at least
// twice a second keeps it moving (each one also costs the window a decode).
constexpr int32_t RunProgressIntervalMs = 250;

RunController::RunController(component::TKivAVConverter& converter,
                             const platform::IniStore& settings, const platform::IniStore& presets,
                             app::TMessageBox& messages, app::TPowerOff& powerOff,
                             MainWindowAccess access, QWidget* window, QString title)
    : QObject(window), converter_(converter), settings_(settings), presets_(presets),
      messages_(messages), powerOff_(powerOff), access_(std::move(access)), window_(window),
      title_(std::move(title)), bridge_(new RunBridge(converter, this)) {
    converter_.SetProgressInterval(RunProgressIntervalMs);
    connect(bridge_, &RunBridge::progress, this,
            [this](int job, int currentMs, int totalMs, qint64 size) {
                RunGuarded([&] { KivAVCProgress(job, currentMs, totalMs, size); });
            });
    connect(bridge_, &RunBridge::terminated, this,
            [this](int job, bool finished, bool exception, const QString& message) {
                RunGuarded([&] { KivAVCTerminate(job, finished, exception, message); });
            });
}

RunController::~RunController() = default;

void RunController::btnStartClick() {
    if (running_) return;
    const std::vector<app::TTaskRow> rows = access_.Rows();
    const app::TRunSetup setup{settings_, presets_, messages_, access_.Log, access_.PreviewOpened};
    std::vector<int32_t> runRows =
        app::QueueRun(converter_, converter_.Probe, rows, access_.PresetIndex(), setup);
    if (runRows.empty()) return;

    runRows_ = std::move(runRows);
    jobs_.clear();
    for (size_t job = 0; job < runRows_.size(); ++job) {
        const app::TlvFilesRecord& row = rows[static_cast<size_t>(runRows_[job])].Record;
        component::TOutputOptions output;
        converter_.GetJobOutputOptions(static_cast<int>(job), output);
        jobs_.push_back(
            {row.SourceFile, int64_t{std::max(row.TrimStart, 0)} * 1000, output.FileName});
    }
    access_.StopPreview();
    // Until the run's end has been handled, no second run may queue jobs into the component.
    running_ = true;
    access_.EnableListCommands(false);
    access_.EnableRunButtons(true, true, false);
    lastFrame_.Clear();

    converter_.StartJobs(1);
    if (!progress_) {
        progress_ = new ProgressWindow(converter_, lastFrame_, settings_, messages_, window_);
        connect(progress_, &ProgressWindow::pausedChanged, this,
                [this](bool paused) { access_.EnableRunButtons(true, !paused, paused); });
    }
    progress_->StartShowing();
}

void RunController::KivAVCProgress(int job, int currentMs, int totalMs, qint64 currentSize) {
    if (!running_ || job < 0 || static_cast<size_t>(job) >= jobs_.size()) return;
    const TJobFacts& facts = jobs_[static_cast<size_t>(job)];
    const app::TProgressTexts texts = app::ProgressTexts(
        job, static_cast<int>(jobs_.size()), currentMs, totalMs, currentSize, facts.Output);
    progress_->ShowProgress(texts);
    access_.SetProgressCell(runRows_[static_cast<size_t>(job)], QString::fromStdString(texts.Cell));
    lastFrame_.Request(facts.Source, facts.StartUs + int64_t{currentMs} * 1000);
}

void RunController::KivAVCTerminate(int job, bool finished, bool exception,
                                    const QString& message) {
    if (!running_) return;
    const app::TTerminateActions actions =
        app::TerminateActions(job, finished, exception, static_cast<int>(runRows_.size()),
                              progress_->OpenFolderTicked(), progress_->ShutDownTicked());
    if (actions.RunOver) {
        running_ = false;
        access_.EnableListCommands(true);
        access_.EnableRunButtons(false, false, false);
        converter_.ClearJobs();
        progress_->close();
        lastFrame_.Clear();
        return;
    }
    if (actions.MarkFinished) {
        access_.SetProgressCell(runRows_[static_cast<size_t>(job)], QStringLiteral("100%"));
        progress_->ShowFinished();
    }
    if (actions.RemoveOutput) {
        std::error_code ignored;
        std::filesystem::remove(jobs_[static_cast<size_t>(job)].Output, ignored);
    }
    if (actions.OpenFolder) access_.OpenOutputFolder();
    if (actions.ShutDown) app::ShutDownComputer(powerOff_, messages_);
    if (actions.ShowWarning)
        messages_.ShowMessage(title_.toStdString(), message.toStdString(),
                              app::TMessageIcon::Warning);
}

} // namespace tarnwick::ui
