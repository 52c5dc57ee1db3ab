#pragma once
// The states of the main window's preview (stopped, playing, paused) and which of its controls
// each state leaves usable. The pane calls one function per user action or clock tick and
// copies Controls() to its widgets.

namespace tarnwick::app {

struct TPreviewControls {
    bool Play = true;
    bool Pause = false;
    bool Stop = false;
    bool Snapshot = false;
    bool SeekBar = true;
    bool Placeholder = true; // the still picture that lies over the preview while stopped

    bool operator==(const TPreviewControls&) const = default;
};

class TPreviewState {
public:
    bool Stopped() const { return stopped_; }
    bool Paused() const { return paused_; }
    const TPreviewControls& Controls() const { return controls_; }

    // A row is being previewed (Play, double click): playing from the start.
    void Started();
    // Stop, also when the list is cleared or loses its last row: back to the start state.
    // False when already stopped (nothing changes).
    bool Stop();
    // Pause: Play, Stop and the snapshot stay usable.
    void Pause();
    // Play or double click on a paused preview goes on where it paused. False when the preview
    // was not paused (the caller previews the row from the start).
    bool Resume();
    // The preview reached the end of the file or lost it: stopped, the controls as they were
    // until the next clock tick, so the last picture can still be saved.
    void Ended();
    // The 500 ms clock: a stopped preview offers Play again. Returns whether the preview is
    // stopped (the clock then moves the bar back to 0).
    bool Tick();

private:
    bool stopped_ = true;
    bool paused_ = false;
    TPreviewControls controls_;
};

} // namespace tarnwick::app
