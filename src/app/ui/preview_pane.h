#pragma once
// The main window's group "Fast preview": the picture box, the placeholder lying over it while
// the preview is stopped, the seek bar, the time label and the four image buttons. The preview
// does not play video: its 500 ms clock moves the bar one second of media per tick, and every
// position shows the picture the probe decodes there.

#include "app/core/message_box.h"
#include "app/core/preview_state.h"
#include "app/core/seek_bar.h"
#include "platform/ini_store.h"

#include <QGroupBox>

class QLabel;
class QSlider;
class QTimer;
class QToolButton;

namespace tarnwick::probe {
class TAVProbe;
}

namespace tarnwick::ui {

class PictureView;
class ProbePreview;

class PreviewPane : public QGroupBox {
    Q_OBJECT
public:
    explicit PreviewPane(QWidget* parent = nullptr);

    PictureView* imgPreview;  // 217 x 188
    QLabel* imgPreview1;      // placeholder over the picture box, shown while stopped
    QLabel* lblPTS;           // "Time:"
    QSlider* trcPreview;      // seek bar, 209 wide, ticks shown
    QToolButton* imgbtnPlay;  // "Play"
    QToolButton* imgbtnPause; // "Pause"
    QToolButton* imgbtnStop;  // "Stop"
    QToolButton* imgbtnSnap;  // "Save snapshot picture."
    QTimer* Timer1;           // the preview clock, 500 ms

    const app::TPreviewState& State() const { return state_; }
    // Where the pictures come from; its Picture() is the last one shown (PreviewPicture).
    ProbePreview& Pictures() { return *pictures_; }
    const app::TSeekBarSetup& SeekBar() const { return bar_; }

    // The start state of a shown window: stopped, "Play" the only usable button.
    void ShowStopped();
    // Hands an opened probe over: fills the picture box, sets up the seek bar and shows the
    // picture at its start. With `decoded` the probe holds that picture already (the run's
    // first picture of each source): it is drawn at once, and the probe is left as it is.
    void SetPreviewProbe(probe::TAVProbe& probe, bool decoded = false);
    // A row is being previewed: playing from the start.
    void Started();
    // "Play" or a double click on a paused preview: it goes on. False when it was not paused
    // (the main window then previews its row).
    bool Resume();
    void imgbtnPauseClick();
    // "Stop": nothing when stopped already; else back to the start state with the position
    // 0. Removing the last row and clearing the list call it too.
    void imgbtnStopClick();
    // Saves the picture shown as snapshot files; nothing before the first picture.
    void imgbtnSnapClick(const platform::IniStore& settings, app::TMessageBox& messages);

signals:
    // "Play" on a preview that is not paused: the main window previews its selected row.
    void playClicked();

private:
    void ShowPreviewFrame();
    void trcPreviewChange();
    void OnTimer();
    // Reaching the end (or a file without pictures to go through): the probe closes and the
    // preview stops; "Play" opens the file again.
    void EndPreview();
    void ApplyControls();

    ProbePreview* pictures_;
    probe::TAVProbe* probe_ = nullptr;
    app::TPreviewState state_;
    app::TSeekBarSetup bar_;
    int64_t durationUs_ = 0;
    bool busy_ = false; // the seek bar is being set up: its changes show nothing
    bool decoded_ = false;
};

} // namespace tarnwick::ui
