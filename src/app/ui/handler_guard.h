#pragma once
// No exception may reach the toolkit's event loop. Every handler of the windows runs through
// Guarded or RunGuarded, and the application object catches what escapes an event handler
// all the same; both hand the error to the one handler the main window installs, which shows
// it (ShowApplicationError).

#include "app/core/message_box.h"

#include <QString>

#include <exception>
#include <functional>
#include <utility>

namespace tarnwick::ui {

using ErrorHandler = std::function<void(std::exception_ptr)>;

// Installs the handler of escaped errors (window thread only). Without one, an escaped error
// is written to the standard error stream.
void SetApplicationErrorHandler(ErrorHandler handler);

// Hands an escaped error to the installed handler. The handler's own errors are swallowed:
// showing an error must not raise another.
void HandleEscapedError(std::exception_ptr error);

// Runs the handler; an error it raises ends it there and goes to HandleEscapedError.
void RunGuarded(const std::function<void()>& handler);

// A handler for connect(): the function run through RunGuarded. It takes no arguments, so it
// fits any signal.
template <typename Handler> auto Guarded(Handler handler) {
    return [handler = std::move(handler)]() { RunGuarded(handler); };
}

// Shows an error that no window caught: its message by the application error rule, in a box
// titled with the application's title, with a warning icon for engine errors and an error
// icon for everything else.
void ShowApplicationError(std::exception_ptr error, app::TMessageBox& messages,
                          const QString& title);

} // namespace tarnwick::ui
