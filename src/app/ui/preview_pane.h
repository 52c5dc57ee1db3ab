#pragma once
// The main window's group "Fast preview": the picture box, the placeholder lying over it while
// the preview is stopped, the seek bar, the time label and the four image buttons.

#include <QGroupBox>

class QLabel;
class QSlider;
class QTimer;
class QToolButton;

namespace tarnwick::ui {

class PictureView;

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

    // The preview's state: stopped at show, after "Stop" and after reaching the end.
    bool PreviewStopped = true;
    bool PreviewPaused = false;

    // The start state of a shown window: "Play" enabled; "Pause", "Stop" and the snapshot
    // button disabled; the placeholder over the picture box.
    void ShowStopped();
    // "Stop": nothing when stopped already; else back to the start, stopped, not paused, the
    // seek bar disabled and the buttons as at show. Removing the last row calls it too.
    void imgbtnStopClick();
    // Clearing the list marks the preview stopped and paused.
    void MarkStoppedAndPaused();
};

} // namespace tarnwick::ui
