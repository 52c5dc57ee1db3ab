#pragma once
// The splash `TfrmCover`: the cover picture, borderless and centred, shown while the main
// window is made. Its clock hides it once the main window shows.

#include "app/core/app_paths.h"

#include <QWidget>

#include <string>

class QLabel;
class QTimer;

namespace tarnwick::ui {

class TfrmCover : public QWidget {
    Q_OBJECT
public:
    // Loads the picture ("skin/tarnwickcover.jpg" in the program's folder); without a
    // readable one the splash is blank.
    explicit TfrmCover(const std::string& picture = app::CoverPicturePath());

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
