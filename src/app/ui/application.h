#pragma once
// The program: the application object and the start of the windows.

#include "app/ui/desktop.h"

#include <QApplication>

#include <memory>

namespace tarnwick::ui {

class TfrmCover;
class TfrmMain;

// The application object of the windows. After the toolkit's start it keeps the C library's
// numbers in the "C" locale (the toolkit takes the locale from the environment, and the media
// libraries read "29.97" with the C library), draws every window in one style, and catches
// whatever error a handler lets escape into the event loop.
class TarnwickApplication : public QApplication {
public:
    TarnwickApplication(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;
};

// The windows of a started program.
struct ProgramWindows {
    ProgramWindows();
    ~ProgramWindows();
    std::unique_ptr<TfrmCover> Cover;
    std::unique_ptr<TfrmMain> Main;
};

// The start, after the application object: the splash shown and painted, the main window
// made (its creation steps) and shown; the splash goes once the main window shows.
std::unique_ptr<ProgramWindows> StartWindows(Desktop& desktop);

// The whole program: no arguments are read. Returns when the main window has closed.
int RunProgram(int argc, char** argv);

} // namespace tarnwick::ui
