#include "app/ui/cover_window.h"

#include "app/ui/handler_guard.h"

#include <QApplication>
#include <QLabel>
#include <QPixmap>
#include <QScreen>
#include <QTimer>

namespace tarnwick::ui {

TfrmCover::TfrmCover(const std::string& picture)
    : QWidget(nullptr, Qt::SplashScreen | Qt::FramelessWindowHint) {
    setObjectName("frmCover");
    // The splash never keeps the program running by itself.
    setAttribute(Qt::WA_QuitOnClose, false);
    setFixedSize(399, 239);
    imgCover = new QLabel(this);
    imgCover->setObjectName("imgCover");
    imgCover->setGeometry(rect());
    imgCover->setScaledContents(true);
    const QPixmap cover(QString::fromStdString(picture));
    if (!cover.isNull()) imgCover->setPixmap(cover);

    tmr1 = new QTimer(this);
    tmr1->setObjectName("tmr1");
    tmr1->setInterval(1000);
    connect(tmr1, &QTimer::timeout, this, Guarded([this] { tmr1Timer(); }));
}

void TfrmCover::ShowNow() {
    if (const QScreen* screen = QApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    show();
    repaint();
    QApplication::processEvents();
    tmr1->start();
}

void TfrmCover::tmr1Timer() {
    if (!mainWindow_ || !mainWindow_->isVisible()) return;
    hide();
    tmr1->stop();
}

} // namespace tarnwick::ui
