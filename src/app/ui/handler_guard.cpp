#include "app/ui/handler_guard.h"

#include "app/core/application_error.h"

#include <cstdio>

namespace tarnwick::ui {
namespace {

ErrorHandler& InstalledHandler() {
    static ErrorHandler handler;
    return handler;
}

void ReportToStandardError(std::exception_ptr error) {
    try {
        std::rethrow_exception(error);
    } catch (const std::exception& caught) {
        std::fprintf(stderr, "tarnwick: %s\n", caught.what());
    } catch (...) {
        std::fprintf(stderr, "tarnwick: an unknown error\n");
    }
}

} // namespace

void SetApplicationErrorHandler(ErrorHandler handler) { InstalledHandler() = std::move(handler); }

void HandleEscapedError(std::exception_ptr error) {
    try {
        if (InstalledHandler())
            InstalledHandler()(error);
        else
            ReportToStandardError(error);
    } catch (...) {
        ReportToStandardError(std::current_exception());
    }
}

void RunGuarded(const std::function<void()>& handler) {
    try {
        handler();
    } catch (...) {
        HandleEscapedError(std::current_exception());
    }
}

void ShowApplicationError(std::exception_ptr error, app::TMessageBox& messages,
                          const QString& title) {
    app::TApplicationError shown{"An unknown error occurred.", app::TMessageIcon::Error};
    try {
        std::rethrow_exception(error);
    } catch (const std::exception& caught) {
        shown = app::DescribeApplicationError(caught);
    } catch (...) {
    }
    messages.ShowMessage(title.toStdString(), shown.Text, shown.Icon);
}

} // namespace tarnwick::ui
