#include "app/ui/preview_pane.h"

#include "app/ui/picture_view.h"
#include "app/ui/program_icons.h"

#include <QLabel>
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
    imgPreview->Fill(QColor(0xA6CAF0));

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
}

void PreviewPane::imgbtnStopClick() {
    if (PreviewStopped) return;
    trcPreview->setValue(0);
    PreviewStopped = true;
    PreviewPaused = false;
    trcPreview->setEnabled(false);
    ShowStopped();
}

void PreviewPane::MarkStoppedAndPaused() {
    PreviewStopped = true;
    PreviewPaused = true;
}

void PreviewPane::ShowStopped() {
    imgbtnPlay->setEnabled(true);
    imgbtnPause->setEnabled(false);
    imgbtnStop->setEnabled(false);
    imgbtnSnap->setEnabled(false);
    imgPreview1->show();
}

} // namespace tarnwick::ui
