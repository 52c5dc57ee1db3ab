#pragma once
// What the windows ask of the desktop: message boxes, choosing files and folders, opening an
// address in the desktop's handler, running work on the window thread, powering off. The program
// gets the real ones (qt_desktop.h); the window tests hand in recorders that answer for the user.
// Every function is called on the window thread, except MainThreadScheduler::Post.

#include "app/core/message_box.h"
#include "app/core/power_off.h"
#include "platform/main_thread.h"

#include <QString>
#include <QStringList>
#include <QUrl>

class QWidget;

namespace tarnwick::ui {

class FileChooser {
public:
    virtual ~FileChooser() = default;
    // The open dialog of "&Add": existing files, several at once, under the five source
    // filters. Empty when the user cancels.
    virtual QStringList ChooseSourceFiles(QWidget* parent) = 0;
    // The output folder chooser, modal over the parent; empty when nothing was chosen.
    virtual QString ChooseFolder(QWidget* parent) = 0;
};

class UrlOpener {
public:
    virtual ~UrlOpener() = default;
    // Opens a web page, a local page or a folder with the desktop's handler for it.
    virtual void OpenUrl(const QUrl& url) = 0;
};

// The services one program run shares; all outlive the windows.
struct Desktop {
    app::TMessageBox& Messages;
    FileChooser& Files;
    UrlOpener& Urls;
    platform::MainThreadScheduler& Scheduler;
    // The end of a run may power the machine off; tests always give a recorder here.
    app::TPowerOff& PowerOff;
};

} // namespace tarnwick::ui
