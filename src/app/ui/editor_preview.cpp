#include "app/ui/editor_preview.h"

#include "app/core/file_adding.h"
#include "app/core/seek_bar.h"
#include "app/core/time_text.h"
#include "app/ui/handler_guard.h"
#include "app/ui/picture_view.h"
#include "component/av_converter.h"

#include <QHBoxLayout>
#include <QSlider>
#include <QStyle>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

namespace tarnwick::ui {
namespace {

constexpr int PreviewWidth = 370;
constexpr int PreviewHeight = 253;

QToolButton* ImageButton(QWidget* parent, const char* name, QStyle::StandardPixmap icon,
                         const QString& hint) {
    auto* button = new QToolButton(parent);
    button->setObjectName(name);
    button->setIcon(parent->style()->standardIcon(icon));
    button->setToolTip(hint);
    button->setAutoRaise(true);
    return button;
}

// Keeps the track bar's changes from showing pictures while it is set up, also when the set-up
// fails half way.
class UpdatingScope {
public:
    explicit UpdatingScope(bool& updating) : updating_(updating) { updating_ = true; }
    ~UpdatingScope() { updating_ = false; }
    UpdatingScope(const UpdatingScope&) = delete;
    UpdatingScope& operator=(const UpdatingScope&) = delete;

private:
    bool& updating_;
};

} // namespace

EditorPreview::EditorPreview(component::TKivAVConverter& converter, bool showTicks, QWidget* parent)
    : QWidget(parent), converter_(converter), imgPreview_(new PictureView(this)),
      trcPreview_(new QSlider(Qt::Horizontal, this)),
      imgbtnPlay_(ImageButton(this, "imgbtnPlay", QStyle::SP_MediaPlay, tr("Play"))),
      imgbtnpause_(ImageButton(this, "imgbtnpause", QStyle::SP_MediaPause, tr("Pause"))),
      timer1_(new QTimer(this)), preview_(*imgPreview_, this) {
    imgPreview_->setObjectName("imgPreview");
    imgPreview_->setFixedSize(PreviewWidth, PreviewHeight);
    trcPreview_->setObjectName("trcPreview");
    trcPreview_->setFixedWidth(PreviewWidth);
    trcPreview_->setRange(0, 0);
    trcPreview_->setTickPosition(showTicks ? QSlider::TicksBelow : QSlider::NoTicks);
    timer1_->setObjectName("Timer1");
    timer1_->setInterval(500);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(imgbtnPlay_);
    buttons->addWidget(imgbtnpause_);
    buttons->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(imgPreview_);
    layout->addWidget(trcPreview_);
    layout->addLayout(buttons);

    connect(trcPreview_, &QSlider::valueChanged, this, Guarded([this] { ShowPosition(false); }));
    connect(timer1_, &QTimer::timeout, this, Guarded([this] { Tick(); }));
    connect(imgbtnPlay_, &QToolButton::clicked, this, Guarded([this] { Play(); }));
    connect(imgbtnpause_, &QToolButton::clicked, this, Guarded([this] { Pause(); }));
}

bool EditorPreview::Load(const std::string& sourceFile) {
    sourceFile_ = sourceFile;
    preview_.Detach();
    // The rows were added with the libraries loaded: this only attaches the component to them.
    app::LoadLibrariesForAdding(converter_, [](const std::string&) {});
    converter_.ClearJobs();
    // The job only probes the file; it never runs.
    component::TInputOptions options;
    component::ClearInputOptions(options);
    options.FileName = sourceFile;
    converter_.AddJob(sourceFile, &options);
    if (!converter_.Probe.Open(sourceFile, "")) {
        Clear();
        return false;
    }
    probe::TAVFormatInfo format;
    converter_.Probe.GetFormatInfo(format);
    durationUs_ = format.Duration;
    preview_.Attach(converter_.Probe);
    SetUpTrackBar();
    ShowPosition(true);
    return true;
}

void EditorPreview::Clear() {
    preview_.Detach();
    imgPreview_->Fill(PictureBackground);
    durationUs_ = -1;
    UpdatingScope updating(updating_);
    trcPreview_->setRange(0, 0);
}

bool EditorPreview::HasVideo() const {
    return preview_.Probe() && preview_.Probe()->VideoStreamCount() > 0;
}

void EditorPreview::ShowAt(int64_t timeUs, std::function<void()> then) {
    preview_.ShowAt(timeUs, std::move(then));
}

void EditorPreview::SetUpTrackBar() {
    UpdatingScope updating(updating_);
    trcPreview_->setVisible(converter_.Probe.FormatName() != "image2");
    trcPreview_->setRange(0, 0);
    if (trcPreview_->isHidden()) return;
    const app::TSeekBarSetup setup = app::SetUpSeekBar(durationUs_, PreviewWidth);
    stepUnit_ = setup.Unit;
    trcPreview_->setTickInterval(setup.TickSpacing);
    trcPreview_->setRange(0, setup.Maximum);
    trcPreview_->setSingleStep(setup.LineStep);
    trcPreview_->setPageStep(setup.PageStep);
    trcPreview_->setValue(0);
}

void EditorPreview::ShowPosition(bool force) {
    if (updating_) return;
    const int position = trcPreview_->value();
    const int maximum = trcPreview_->maximum();
    if (!force && (maximum <= 0 || maximum <= trcPreview_->minimum())) return;
    if (HasVideo()) {
        const int64_t time = position == maximum ? durationUs_ : position * stepUnit_;
        preview_.ShowAt(time);
    }
    emit TimeChanged(QString::fromStdString(app::FormatSecondsMs(position * stepUnit_)));
}

void EditorPreview::Play() {
    if (paused_) {
        StartPlaying();
        return;
    }
    if (sourceFile_) Load(*sourceFile_);
}

void EditorPreview::Pause() { paused_ = true; }

void EditorPreview::StartPlaying() {
    paused_ = false;
    timer1_->start();
}

void EditorPreview::Stop() {
    timer1_->stop();
    preview_.Detach();
    converter_.ClearJobs();
}

void EditorPreview::Tick() {
    const app::TEditorClockTick tick =
        app::EditorClockTick(trcPreview_->value(), trcPreview_->maximum(), durationUs_, paused_);
    if (tick.Rewind) trcPreview_->setValue(*tick.Rewind);
    if (tick.Stop) {
        if (tick.Rewind) paused_ = true;
        timer1_->stop();
        return;
    }
    for (int i = 0; i < tick.StepCount; ++i)
        trcPreview_->setValue(tick.Steps[i]);
}

} // namespace tarnwick::ui
