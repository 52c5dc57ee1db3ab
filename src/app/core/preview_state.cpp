#include "app/core/preview_state.h"

namespace tarnwick::app {

void TPreviewState::Started() {
    stopped_ = false;
    paused_ = false;
    controls_ = {.Play = false,
                 .Pause = true,
                 .Stop = true,
                 .Snapshot = true,
                 .SeekBar = true,
                 .Placeholder = false};
}

bool TPreviewState::Stop() {
    if (stopped_) return false;
    stopped_ = true;
    paused_ = false;
    controls_ = {.Play = true,
                 .Pause = false,
                 .Stop = false,
                 .Snapshot = false,
                 .SeekBar = false,
                 .Placeholder = true};
    return true;
}

void TPreviewState::Pause() {
    paused_ = true;
    controls_.Play = true;
    controls_.Stop = true;
    controls_.Snapshot = true;
    controls_.Pause = false;
}

bool TPreviewState::Resume() {
    if (!paused_) return false;
    paused_ = false;
    controls_.Pause = true;
    return true;
}

void TPreviewState::Ended() { stopped_ = true; }

bool TPreviewState::Tick() {
    if (!stopped_) return false;
    controls_.Play = true;
    controls_.Stop = false;
    controls_.Pause = false;
    return true;
}

} // namespace tarnwick::app
