#pragma once
// The splash `TfrmCover`: the cover picture, borderless and centred, shown while the main
// window is made. Its clock hides it once the main window shows.

#include <QWidget>

class QLabel;
class QTimer;

namespace tarnwick::ui {

class TfrmCover : public QWidget {
    Q_OBJECT
public:
    // Loads "skin/tarnwickcover.jpg" from the program's folder; without it the splash is blank.
    TfrmCover();

    // Shows the splash and paints it at once.
    void ShowNow();
    // The window whose showing ends the splash (at the next tick of the clock).
    void HideWhenShowing(const QWidget* mainWindow) { mainWindow_ = mainWindow; }

    QLabel* imgCover;
    QTimer* tmr1; // 1000 ms

private:
    void tmr1Timer();

    const QWidget* mainWindow_ = nullptr;
};

} // namespace tarnwick::ui
