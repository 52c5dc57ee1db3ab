#pragma once
// The desktop as the program meets it: real message boxes, the toolkit's open dialog, the
// folder chooser, the desktop's URL handler and the window thread's event loop.

#include "app/ui/desktop.h"
#include "app/ui/login_manager_power_off.h"

#include <QObject>

namespace tarnwick::ui {

// The program's title, the caption of its message boxes (the product name once the main
// window has set it).
QString ApplicationTitle();

class QtMessageBox : public app::TMessageBox {
public:
    // A modal box over the active window with the icon and a single OK button.
    void ShowMessage(const std::string& caption, const std::string& text,
                     app::TMessageIcon icon) override;
};

class QtFileChooser : public FileChooser {
public:
    explicit QtFileChooser(app::TMessageBox& messages) : messages_(messages) {}
    QStringList ChooseSourceFiles(QWidget* parent) override;
    // The parent window's folder chooser, made on first use and kept with the window.
    QString ChooseFolder(QWidget* parent) override;

private:
    app::TMessageBox& messages_;
};

class QtUrlOpener : public UrlOpener {
public:
    void OpenUrl(const QUrl& url) override;
};

// Runs posted work on the thread that made the scheduler (the window thread) through its
// event loop; delayed work on a precise one-shot timer.
class QtMainThreadScheduler : public platform::MainThreadScheduler {
public:
    QtMainThreadScheduler();
    void Post(std::function<void()> work, std::chrono::milliseconds delay) override;

private:
    QObject context_;
};

// The program's desktop: one of each, alive for the whole run.
class QtDesktop {
public:
    QtDesktop()
        : files_(messages_),
          powerOff_(QDBusConnection::systemBus()), desktop_{messages_, files_, urls_, scheduler_,
                                                            powerOff_} {}
    Desktop& Services() { return desktop_; }

private:
    QtMessageBox messages_;
    QtFileChooser files_;
    QtUrlOpener urls_;
    QtMainThreadScheduler scheduler_;
    LoginManagerPowerOff powerOff_;
    Desktop desktop_;
};

} // namespace tarnwick::ui
