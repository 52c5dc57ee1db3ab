#include "app/ui/preview_pane.h"

#include "app/core/snapshot.h"
#include "app/ui/handler_guard.h"
#include "app/ui/picture_view.h"
#include "app/ui/probe_preview.h"
#include "app/ui/program_icons.h"
#include "probe/av_probe.h"

#include <QLabel>
#include <QScopeGuard>
#include <QSlider>
#include <QTimer>
#include <QToolButton>

namespace tarnwick::ui {
namespace {

QToolButton* ImageButton(QWidget* parent, const char* name, const QString& hint, const QIcon& icon,
                         int left) {
    auto* button = new QToolButton(parent);
    button->setObjectName(name);
    button->setIcon(icon);
    button->setIconSize(QSize(20, 20));
    button->setToolTip(hint);
    button->setAccessibleName(hint);
    button->setAutoRaise(true);
    button->setGeometry(left, 270, 34, 30);
    return button;
}

} // namespace

PreviewPane::PreviewPane(QWidget* parent) : QGroupBox("Fast preview", parent) {
    setObjectName("grpPreview");
    imgPreview = new PictureView(this);
    imgPreview->setObjectName("imgPreview");
    imgPreview->setGeometry(11, 24, 217, 188);
    imgPreview->Fill(PictureBackground);
    pictures_ = new ProbePreview(*imgPreview, this);

    imgPreview1 = new QLabel(this);
    imgPreview1->setObjectName("imgPreview1");
    imgPreview1->setGeometry(imgPreview->geometry());
    imgPreview1->setPixmap(PreviewPlaceholder(imgPreview->size()));

    trcPreview = new QSlider(Qt::Horizontal, this);
    trcPreview->setObjectName("trcPreview");
    trcPreview->setGeometry(15, 218, 209, 26);
    trcPreview->setTickPosition(QSlider::TicksBelow);
    trcPreview->setRange(0, 0);

    lblPTS = new QLabel("Time:", this);
    lblPTS->setObjectName("lblPTS");
    lblPTS->setGeometry(14, 246, 212, 18);

    imgbtnPlay = ImageButton(this, "imgbtnPlay", "Play", PlayIcon(), 14);
    imgbtnPause = ImageButton(this, "imgbtnPause", "Pause", PauseIcon(), 52);
    imgbtnStop = ImageButton(this, "imgbtnStop", "Stop", StopIcon(), 90);
    imgbtnSnap = ImageButton(this, "imgbtnSnap", "Save snapshot picture.", SnapshotIcon(), 195);

    Timer1 = new QTimer(this);
    Timer1->setObjectName("Timer1");
    Timer1->setInterval(500);

    connect(Timer1, &QTimer::timeout, this, Guarded([this] { OnTimer(); }));
    connect(trcPreview, &QSlider::valueChanged, this, Guarded([this] { trcPreviewChange(); }));
    connect(imgbtnPlay, &QToolButton::clicked, this, Guarded([this] {
                if (!Resume()) emit playClicked();
            }));
    connect(imgbtnPause, &QToolButton::clicked, this, Guarded([this] { imgbtnPauseClick(); }));
    connect(imgbtnStop, &QToolButton::clicked, this, Guarded([this] { imgbtnStopClick(); }));
}

void PreviewPane::ShowStopped() {
    state_ = app::TPreviewState();
    ApplyControls();
}

void PreviewPane::ApplyControls() {
    const app::TPreviewControls& controls = state_.Controls();
    imgbtnPlay->setEnabled(controls.Play);
    imgbtnPause->setEnabled(controls.Pause);
    imgbtnStop->setEnabled(controls.Stop);
    imgbtnSnap->setEnabled(controls.Snapshot);
    trcPreview->setEnabled(controls.SeekBar);
    imgPreview1->setVisible(controls.Placeholder);
}

void PreviewPane::SetPreviewProbe(probe::TAVProbe& probe, bool decoded) {
    pictures_->Attach(probe);
    probe_ = &probe;
    decoded_ = decoded;
    probe::TAVFormatInfo format;
    probe.GetFormatInfo(format);
    durationUs_ = format.Duration;

    // A still picture has nothing to go through: no bar, its one picture is the end.
    const bool still = probe.FormatName() == "image2";
    trcPreview->setVisible(!still);
    {
        busy_ = true;
        const auto done = qScopeGuard([this] { busy_ = false; });
        bar_ = still ? app::TSeekBarSetup{} : app::SetUpSeekBar(durationUs_, trcPreview->width());
        trcPreview->setRange(0, bar_.Maximum);
        trcPreview->setTickInterval(bar_.TickSpacing);
        trcPreview->setSingleStep(bar_.LineStep);
        trcPreview->setPageStep(bar_.PageStep);
        trcPreview->setValue(0);
    }
    if (decoded)
        pictures_->ShowDecoded(probe.LastPicture());
    else
        ShowPreviewFrame();
}

void PreviewPane::ShowPreviewFrame() {
    if (busy_ || !probe_) return;
    const int position = trcPreview->value();
    if (position == trcPreview->maximum() && !decoded_) {
        // The end: the probe closes and the preview stops. A seek to the end lands after the
        // last picture, which decodes as black, so a file that has shown pictures keeps its
        // last one; a still picture is decoded here, its only picture. The time label keeps
        // its text.
        if (pictures_->ShownSinceAttach())
            pictures_->Finish([this] { EndPreview(); });
        else
            pictures_->ShowAt(durationUs_, [this] { EndPreview(); });
        return;
    }
    if (probe_->VideoStreamCount() > 0 && !decoded_)
        pictures_->ShowAt(int64_t{position} * bar_.Unit);
    lblPTS->setText(QString::fromStdString(app::PreviewTimeText(position, bar_.Unit)));
}

void PreviewPane::EndPreview() {
    if (probe_) probe_->Close();
    probe_ = nullptr;
    pictures_->Detach();
    state_.Ended();
}

void PreviewPane::trcPreviewChange() {
    if (trcPreview->maximum() > 0 && trcPreview->minimum() < trcPreview->maximum())
        ShowPreviewFrame();
}

void PreviewPane::OnTimer() {
    if (state_.Tick()) {
        trcPreview->setValue(0);
        ApplyControls();
        return;
    }
    if (state_.Paused()) return;
    const int maximum = trcPreview->maximum();
    if (maximum <= 0 || trcPreview->minimum() >= maximum) return;
    // The bar stops at its maximum, which ends the preview.
    trcPreview->setValue(trcPreview->value() + app::PreviewTickAdvance(maximum, durationUs_));
}

void PreviewPane::Started() {
    decoded_ = false;
    state_.Started();
    ApplyControls();
}

bool PreviewPane::Resume() {
    if (!state_.Resume()) return false;
    ApplyControls();
    return true;
}

void PreviewPane::imgbtnPauseClick() {
    state_.Pause();
    ApplyControls();
}

void PreviewPane::imgbtnStopClick() {
    if (state_.Stopped()) return;
    trcPreview->setValue(0);
    state_.Stop();
    ApplyControls();
}

void PreviewPane::imgbtnSnapClick(const platform::IniStore& settings, app::TMessageBox& messages) {
    const platform::Bitmap24& full = pictures_->Picture();
    if (full.Width() <= 0 || full.Height() <= 0) return;
    platform::Bitmap24 small;
    imgPreview->CopyCanvasTo(small);
    app::SaveSnapshots(settings, full, small, messages);
}

} // namespace tarnwick::ui
