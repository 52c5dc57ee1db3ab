#pragma once
// The progress window of a run: the current job's times, size, place in the run and output
// file, its percentage, the picture being converted, pause, resume and cancel, a snapshot of
// the picture, and what happens after the last job. Shown application-modal for the whole
// run; the run writes its values (ShowProgress) and closes it at the end. Closing it in any
// other way stops the run's jobs.

#include "app/core/message_box.h"
#include "platform/ini_store.h"

#include <QDialog>

#include <cstdint>

class QCheckBox;
class QLabel;
class QProgressBar;
class QPushButton;
class QTimer;

namespace tarnwick::app {
class TLastFrameProbe;
struct TProgressTexts;
} // namespace tarnwick::app
namespace tarnwick::component {
class TCustomAVConverter;
}

namespace tarnwick::ui {

class PictureView;

class ProgressWindow : public QDialog {
    Q_OBJECT
public:
    // The converter runs the jobs; lastFrame holds the picture being converted. All three
    // outlive the window.
    ProgressWindow(component::TCustomAVConverter& converter, app::TLastFrameProbe& lastFrame,
                   const platform::IniStore& settings, app::TMessageBox& messages,
                   QWidget* parent = nullptr);

    // FormShow: empty values, "open the folder" ticked again, Pause usable, an empty picture;
    // then shown application-modal.
    void StartShowing();
    // A progress event's texts.
    void ShowProgress(const app::TProgressTexts& texts);
    // A job finished: the bar reads 100.
    void ShowFinished();
    bool OpenFolderTicked() const;
    bool ShutDownTicked() const;

signals:
    // The run is paused (true) or goes on (false): the main window's hidden buttons follow.
    void pausedChanged(bool paused);

protected:
    // Any way of closing stops the run's jobs; the run then ends through its terminate events.
    void closeEvent(QCloseEvent* event) override;

private:
    void Timer1Timer();
    void btnPauseClick();
    void btnResumeClick();
    void imgbtnSnapClick();

    component::TCustomAVConverter& converter_;
    app::TLastFrameProbe& lastFrame_;
    const platform::IniStore settings_;
    app::TMessageBox& messages_;
    QLabel* lblTime_;
    QLabel* lblLength_;
    QLabel* lblSize_;
    QLabel* lblProgress_;
    QLabel* lblOutput_;
    QProgressBar* progbarFile_;
    QPushButton* btnPause_;
    QPushButton* btnResume_;
    QCheckBox* ckShutDown_;
    QCheckBox* ckOpen_;
    PictureView* imgPreview_;
    QTimer* timer1_;
    uint64_t drawnSerial_ = 0; // the LastFrame picture the box shows
};

} // namespace tarnwick::ui
