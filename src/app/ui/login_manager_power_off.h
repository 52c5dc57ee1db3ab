#pragma once
// The power-off of the desktop's own shutdown menu: the login manager's PowerOff request on
// the system bus, asked interactively, so the login manager may ask the user for permission.

#include "app/core/power_off.h"

#include <QDBusConnection>
#include <QObject>

namespace tarnwick::ui {

class LoginManagerPowerOff : public QObject, public app::TPowerOff {
    Q_OBJECT
public:
    // The program passes QDBusConnection::systemBus(); tests a bus of their own.
    explicit LoginManagerPowerOff(const QDBusConnection& bus, QObject* parent = nullptr);

    // The answer arrives through the window thread's event loop; a refusal calls `refused`
    // there. A bus that is not connected refuses at once.
    void RequestPowerOff(std::function<void(const std::string& reason)> refused) override;

private:
    QDBusConnection bus_;
};

} // namespace tarnwick::ui
