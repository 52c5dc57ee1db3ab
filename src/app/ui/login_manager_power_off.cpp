#include "app/ui/login_manager_power_off.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>

#include <climits>

namespace tarnwick::ui {

LoginManagerPowerOff::LoginManagerPowerOff(const QDBusConnection& bus, QObject* parent)
    : QObject(parent), bus_(bus) {}

void LoginManagerPowerOff::RequestPowerOff(std::function<void(const std::string& reason)> refused) {
    if (!bus_.isConnected()) {
        const QString reason = bus_.lastError().isValid() ? bus_.lastError().message()
                                                          : QStringLiteral("no system bus");
        refused(reason.toStdString());
        return;
    }
    QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.login1"), QStringLiteral("/org/freedesktop/login1"),
        QStringLiteral("org.freedesktop.login1.Manager"), QStringLiteral("PowerOff"));
    call << true; // interactive: the login manager may ask the user for permission
    // The user may take a while to answer the permission question; no timeout cuts it short.
    auto* watcher = new QDBusPendingCallWatcher(bus_.asyncCall(call, INT_MAX), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [refused = std::move(refused)](QDBusPendingCallWatcher* finished) {
                const QDBusPendingReply<> reply = *finished;
                finished->deleteLater();
                if (reply.isError()) refused(reply.error().message().toStdString());
            });
}

} // namespace tarnwick::ui
