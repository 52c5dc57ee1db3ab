#pragma once
// The program's icons, drawn at run time so that no binary picture is kept in the sources.

#include <QIcon>
#include <QPixmap>

namespace tarnwick::ui {

QIcon ProgramIcon();
QPixmap ProgramPicture(int size); // the program icon at one size

// The command buttons.
QIcon AddIcon();
QIcon RemoveIcon();
QIcon ClearIcon();
QIcon SettingsIcon();
QIcon StartIcon();
QIcon ExitIcon();

// The preview's image buttons.
QIcon PlayIcon();
QIcon PauseIcon();
QIcon StopIcon();
QIcon SnapshotIcon();

// What the preview's picture box shows while nothing is previewed.
QPixmap PreviewPlaceholder(const QSize& size);

} // namespace tarnwick::ui
