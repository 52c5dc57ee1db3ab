#pragma once
// The conversion run of the main window: "&Start" queues one job per checked row and starts
// them one at a time; the component's events, carried to the window thread by the run
// bridge, drive the progress window, the rows' "Progress" cells and the end-of-run actions
// (open the output folder, power off, a warning per failed job). Window thread only.

#include "app/core/last_frame_probe.h"
#include "app/core/message_box.h"
#include "app/core/power_off.h"
#include "app/core/task_row.h"
#include "platform/ini_store.h"

#include <QObject>
#include <QString>

#include <functional>
#include <string>
#include <vector>

class QWidget;

namespace tarnwick::component {
class TKivAVConverter;
}
namespace tarnwick::probe {
class TAVProbe;
}

namespace tarnwick::ui {

class ProgressWindow;
class RunBridge;

class RunController : public QObject {
    Q_OBJECT
public:
    // What the run uses of the main window.
    struct MainWindowAccess {
        std::function<std::vector<app::TTaskRow>()> Rows;
        std::function<int()> PresetIndex;
        std::function<void(int row, const QString& text)> SetProgressCell;
        std::function<void(const std::string& line)> Log;
        // The component's probe is open on a row's source and holds its first picture.
        std::function<void(probe::TAVProbe& probe)> PreviewOpened;
        std::function<void()> StopPreview;
        // "&Add", "&Remove", "&Clear" and "&Start".
        std::function<void(bool enabled)> EnableListCommands;
        // The hidden "Stop", "Pause" and "Resume" buttons.
        std::function<void(bool stop, bool pause, bool resume)> EnableRunButtons;
        std::function<void()> OpenOutputFolder;
    };

    // `window` is the progress window's parent; the run's warnings carry `title`.
    RunController(component::TKivAVConverter& converter, const platform::IniStore& settings,
                  const platform::IniStore& presets, app::TMessageBox& messages,
                  app::TPowerOff& powerOff, MainWindowAccess access, QWidget* window,
                  QString title);
    ~RunController() override;

    // "&Start". Raises what QueueRun raises (an unopenable source, a preset value that does
    // not parse); nothing runs then. Does nothing while a run goes on.
    void btnStartClick();

    bool Running() const { return running_; }
    // The list row of each job of the run (RunRows).
    const std::vector<int32_t>& RunRows() const { return runRows_; }
    // Created at the first run, reused afterwards; nullptr before.
    ProgressWindow* Progress() const { return progress_; }
    app::TLastFrameProbe& LastFrame() { return lastFrame_; }

private:
    void KivAVCProgress(int job, int currentMs, int totalMs, qint64 currentSize);
    void KivAVCTerminate(int job, bool finished, bool exception, const QString& message);

    // What each job converts, taken when the run is queued.
    struct TJobFacts {
        std::string Source;
        int64_t StartUs = 0; // where the job starts in its source
        std::string Output;
    };

    component::TKivAVConverter& converter_;
    const platform::IniStore settings_;
    const platform::IniStore presets_;
    app::TMessageBox& messages_;
    app::TPowerOff& powerOff_;
    MainWindowAccess access_;
    QWidget* window_;
    QString title_;
    app::TLastFrameProbe lastFrame_;
    RunBridge* bridge_;
    ProgressWindow* progress_ = nullptr;
    bool running_ = false;
    std::vector<int32_t> runRows_;
    std::vector<TJobFacts> jobs_;
};

} // namespace tarnwick::ui
