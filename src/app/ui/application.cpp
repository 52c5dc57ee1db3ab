#include "app/ui/application.h"

#include "app/ui/cover_window.h"
#include "app/ui/handler_guard.h"
#include "app/ui/main_window.h"
#include "app/ui/qt_desktop.h"

#include <QStyleFactory>

#include <clocale>

namespace tarnwick::ui {

TarnwickApplication::TarnwickApplication(int& argc, char** argv) : QApplication(argc, argv) {
    std::setlocale(LC_NUMERIC, "C");
    setStyle(QStyleFactory::create("Fusion"));
    setApplicationName("Tarnwick");
}

bool TarnwickApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (...) {
        HandleEscapedError(std::current_exception());
        return false;
    }
}

ProgramWindows::ProgramWindows() = default;
// The main window goes first: the splash watches it.
ProgramWindows::~ProgramWindows() { Main.reset(); }

std::unique_ptr<ProgramWindows> StartWindows(Desktop& desktop) {
    auto windows = std::make_unique<ProgramWindows>();
    windows->Cover = std::make_unique<TfrmCover>();
    windows->Cover->ShowNow();
    windows->Main = std::make_unique<TfrmMain>(desktop);
    windows->Cover->HideWhenShowing(windows->Main.get());
    windows->Main->show();
    return windows;
}

int RunProgram(int argc, char** argv) {
    TarnwickApplication application(argc, argv);
    QtDesktop desktop;
    const auto windows = StartWindows(desktop.Services());
    return QApplication::exec();
}

} // namespace tarnwick::ui
