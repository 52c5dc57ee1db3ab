#include "app/ui/progress_window.h"

#include "app/core/last_frame_probe.h"
#include "app/core/run_progress.h"
#include "app/core/snapshot.h"
#include "app/ui/handler_guard.h"
#include "app/ui/picture_view.h"
#include "app/ui/program_icons.h"
#include "component/av_converter.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

namespace tarnwick::ui {
namespace {

QLabel* ValueLabel(const char* objectName, QWidget* parent) {
    auto* label = new QLabel(parent);
    label->setObjectName(QString::fromUtf8(objectName));
    return label;
}

QPushButton* Button(const char* objectName, const char* caption, QWidget* parent) {
    auto* button = new QPushButton(QString::fromUtf8(caption), parent);
    button->setObjectName(QString::fromUtf8(objectName));
    return button;
}

} // namespace

ProgressWindow::ProgressWindow(component::TCustomAVConverter& converter,
                               app::TLastFrameProbe& lastFrame, const platform::IniStore& settings,
                               app::TMessageBox& messages, QWidget* parent)
    : QDialog(parent), converter_(converter), lastFrame_(lastFrame), settings_(settings),
      messages_(messages) {
    setObjectName(QStringLiteral("frmProgress"));
    setWindowTitle(QStringLiteral("Progress"));
    setFixedSize(420, 460);

    imgPreview_ = new PictureView(this);
    imgPreview_->setObjectName(QStringLiteral("imgPreview"));
    imgPreview_->setFixedSize(320, 180);
    auto* snap = new QToolButton(this);
    snap->setObjectName(QStringLiteral("imgbtnSnap"));
    snap->setToolTip(QStringLiteral("Save snapshot picture"));
    snap->setIcon(SnapshotIcon());
    snap->setIconSize(QSize(24, 24));
    auto* pictureRow = new QHBoxLayout;
    pictureRow->addStretch(1);
    pictureRow->addWidget(imgPreview_);
    pictureRow->addWidget(snap, 0, Qt::AlignBottom);
    pictureRow->addStretch(1);

    lblTime_ = ValueLabel("lblTime", this);
    lblLength_ = ValueLabel("lblLength", this);
    lblSize_ = ValueLabel("lblSize", this);
    lblProgress_ = ValueLabel("lblProgress", this);
    lblOutput_ = ValueLabel("lblOutput", this);
    lblOutput_->setFixedWidth(283);
    lblOutput_->setWordWrap(false);
    auto* values = new QGridLayout;
    const struct {
        const char* caption;
        QLabel* value;
    } rows[] = {{"Current Time:", lblTime_},
                {"Length:", lblLength_},
                {"File Size:", lblSize_},
                {"Progress:", lblProgress_},
                {"Output File:", lblOutput_}};
    int row = 0;
    for (const auto& r : rows) {
        values->addWidget(new QLabel(QString::fromUtf8(r.caption), this), row, 0);
        values->addWidget(r.value, row, 1);
        ++row;
    }
    values->setColumnStretch(1, 1);

    progbarFile_ = new QProgressBar(this);
    progbarFile_->setObjectName(QStringLiteral("progbarFile"));
    progbarFile_->setRange(0, 100);
    progbarFile_->setTextVisible(true);

    ckShutDown_ = new QCheckBox(QStringLiteral("Shut down computer after conversion"), this);
    ckShutDown_->setObjectName(QStringLiteral("ckShutDown"));
    ckOpen_ = new QCheckBox(QStringLiteral("Open the output folder after conversion"), this);
    ckOpen_->setObjectName(QStringLiteral("ckOpen"));

    btnPause_ = Button("btnPause", "Pause", this);
    btnResume_ = Button("btnResume", "Resume", this);
    QPushButton* cancel = Button("btnCancel", "Cancel", this);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(btnPause_);
    buttons->addWidget(btnResume_);
    buttons->addWidget(cancel);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(pictureRow);
    layout->addLayout(values);
    layout->addWidget(progbarFile_);
    layout->addWidget(ckOpen_);
    layout->addWidget(ckShutDown_);
    layout->addStretch(1);
    layout->addLayout(buttons);

    timer1_ = new QTimer(this);
    timer1_->setObjectName(QStringLiteral("Timer1"));
    timer1_->setInterval(100);
    connect(timer1_, &QTimer::timeout, this, Guarded([this] { Timer1Timer(); }));
    connect(btnPause_, &QPushButton::clicked, this, Guarded([this] { btnPauseClick(); }));
    connect(btnResume_, &QPushButton::clicked, this, Guarded([this] { btnResumeClick(); }));
    connect(cancel, &QPushButton::clicked, this, &QWidget::close);
    connect(snap, &QToolButton::clicked, this, Guarded([this] { imgbtnSnapClick(); }));
}

void ProgressWindow::StartShowing() {
    for (QLabel* label : {lblTime_, lblLength_, lblSize_, lblProgress_, lblOutput_})
        label->clear();
    ckOpen_->setChecked(true); // at every show; "shut down" keeps the last run's choice
    btnPause_->setEnabled(true);
    btnResume_->setEnabled(false);
    imgPreview_->Fill(PictureBackground);
    drawnSerial_ = 0;
    progbarFile_->setValue(0);
    timer1_->start();
    setWindowModality(Qt::ApplicationModal);
    show();
}

void ProgressWindow::ShowProgress(const app::TProgressTexts& texts) {
    progbarFile_->setValue(texts.Percent);
    lblTime_->setText(QString::fromStdString(texts.Time));
    lblLength_->setText(QString::fromStdString(texts.Length));
    lblSize_->setText(QString::fromStdString(texts.Size));
    lblProgress_->setText(QString::fromStdString(texts.Counter));
    lblOutput_->setText(QString::fromStdString(texts.Output));
}

void ProgressWindow::ShowFinished() { progbarFile_->setValue(100); }

bool ProgressWindow::OpenFolderTicked() const { return ckOpen_->isChecked(); }
bool ProgressWindow::ShutDownTicked() const { return ckShutDown_->isChecked(); }

void ProgressWindow::Timer1Timer() {
    {
        std::lock_guard lock(lastFrame_.LastFrame.CanvasLock());
        const platform::Bitmap24& frame = lastFrame_.LastFrame;
        if (frame.Width() <= 0 || frame.Height() <= 0 || lastFrame_.FrameSerial() == drawnSerial_)
            return;
        drawnSerial_ = lastFrame_.FrameSerial();
    }
    // Drawing copies the picture under its lock.
    imgPreview_->Fill(PictureBackground);
    imgPreview_->DrawPicture(lastFrame_.LastFrame);
}

void ProgressWindow::btnPauseClick() {
    converter_.PauseJobs();
    btnPause_->setEnabled(false);
    btnResume_->setEnabled(true);
    emit pausedChanged(true);
}

void ProgressWindow::btnResumeClick() {
    converter_.ResumeJobs();
    btnPause_->setEnabled(true);
    btnResume_->setEnabled(false);
    emit pausedChanged(false);
}

void ProgressWindow::imgbtnSnapClick() {
    // Before the first picture arrived there is nothing to save: no file is written.
    platform::Bitmap24 full;
    {
        std::lock_guard lock(lastFrame_.LastFrame.CanvasLock());
        const platform::Bitmap24& frame = lastFrame_.LastFrame;
        if (frame.Width() <= 0 || frame.Height() <= 0) return;
        full.Assign(frame);
    }
    platform::Bitmap24 small;
    imgPreview_->CopyCanvasTo(small);
    app::SaveSnapshots(settings_, full, small, messages_);
}

void ProgressWindow::closeEvent(QCloseEvent* event) {
    RunGuarded([this] {
        converter_.StopJobs();
        timer1_->stop();
    });
    event->accept();
}

} // namespace tarnwick::ui
