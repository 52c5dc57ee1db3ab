#pragma once
// The preview both editors show: a 370 x 253 picture on the letterbox colour, a track bar over
// the file and "Play" and "Pause" buttons. A 500 ms clock plays the file as a run of still
// pictures that its probe decodes. The editor owns the converter component whose probe is
// previewed. Window thread only.

#include "app/ui/probe_preview.h"

#include <QWidget>

#include <cstdint>
#include <optional>
#include <string>

class QSlider;
class QTimer;
class QToolButton;

namespace tarnwick::component {
class TKivAVConverter;
}

namespace tarnwick::ui {

class PictureView;

class EditorPreview : public QWidget {
    Q_OBJECT
public:
    // `showTicks`: the track bar marks about every 10 pixels.
    EditorPreview(component::TKivAVConverter& converter, bool showTicks, QWidget* parent = nullptr);

    // Opens the file in the component's probe (after a job of the component has probed it)
    // and shows its first picture with the track bar at 0. False when it cannot be opened:
    // the preview is then empty, with no track bar.
    bool Load(const std::string& sourceFile);
    // Shows nothing of any file (nothing of an earlier one may stay on show).
    void Clear();
    // The file's duration in µs, the libraries' unset value when unknown; -1 before a load.
    int64_t DurationUs() const { return durationUs_; }
    bool HasVideo() const;
    // Shows the picture of the video stream at timeUs; `then` runs once it is drawn (or could
    // not be).
    void ShowAt(int64_t timeUs, std::function<void()> then = {});

    // "Play": go on after a pause or an end; while playing, start the file again.
    void Play();
    // "Pause": the next tick stops the clock.
    void Pause();
    // Playing from where the bar is (used when an editor shows a freshly loaded file).
    void StartPlaying();
    // Stops the clock and forgets the file's jobs (the editor closes).
    void Stop();
    bool Paused() const { return paused_; }

    PictureView& Picture() const { return *imgPreview_; }
    // The last picture drawn, at its decoded size; 0 x 0 before the first.
    const platform::Bitmap24& LastPicture() const { return preview_.Picture(); }

signals:
    // The position's time changed, in seconds with milliseconds ("12.340").
    void TimeChanged(const QString& text);

private:
    void SetUpTrackBar();
    // Shows the picture and time of the bar's position; `force` also for a bar of nothing.
    void ShowPosition(bool force);
    void Tick();

    component::TKivAVConverter& converter_;
    PictureView* imgPreview_;
    QSlider* trcPreview_;
    QToolButton* imgbtnPlay_;
    QToolButton* imgbtnpause_;
    QTimer* timer1_;
    ProbePreview preview_;
    std::optional<std::string> sourceFile_;
    int64_t durationUs_ = -1;
    int64_t stepUnit_ = 10;
    bool paused_ = false;
    bool updating_ = false;
};

} // namespace tarnwick::ui
