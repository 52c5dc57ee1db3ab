// The power-off request as the login manager receives it, on a message bus of the test's own:
// a private bus daemon with a stand-in login manager, so no test ever reaches the system bus.

#include "app/core/power_off.h"
#include "app/ui/login_manager_power_off.h"
#include "ui/ui_test_support.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusContext>
#include <QDBusError>
#include <QProcess>
#include <QSignalSpy>
#include <QtTest>

#include <optional>

namespace tarnwick::ui {
namespace {

// Answers PowerOff as the login manager would, recording each request.
class StandInLoginManager : public QObject, protected QDBusContext {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.login1.Manager")
public:
    QList<bool> requests; // the "interactive" argument of each
    QString refusal;      // when set, the request is refused with this text

public slots:
    void PowerOff(bool interactive) {
        requests << interactive;
        if (!refusal.isEmpty()) sendErrorReply(QDBusError::AccessDenied, refusal);
    }
};

} // namespace

class PowerOffTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        daemon_.setProgram(QStringLiteral("dbus-daemon"));
        daemon_.setArguments({QStringLiteral("--session"), QStringLiteral("--nofork"),
                              QStringLiteral("--print-address=1")});
        daemon_.start();
        QVERIFY2(daemon_.waitForStarted(10000), "dbus-daemon does not start");
        QTRY_VERIFY_WITH_TIMEOUT(daemon_.canReadLine(), 10000);
        address_ = QString::fromUtf8(daemon_.readLine()).trimmed();
        QVERIFY(!address_.isEmpty());
    }

    void cleanupTestCase() {
        QDBusConnection::disconnectFromBus(QStringLiteral("service"));
        QDBusConnection::disconnectFromBus(QStringLiteral("client"));
        daemon_.terminate();
        daemon_.waitForFinished(10000);
    }

    void init() {
        manager_.emplace();
        QDBusConnection service = QDBusConnection::connectToBus(address_, "service");
        QVERIFY(service.isConnected());
        QVERIFY(service.registerObject(QStringLiteral("/org/freedesktop/login1"), &*manager_,
                                       QDBusConnection::ExportAllSlots));
        QVERIFY(service.registerService(QStringLiteral("org.freedesktop.login1")));
    }

    void cleanup() {
        QDBusConnection service(QStringLiteral("service"));
        service.unregisterService(QStringLiteral("org.freedesktop.login1"));
        service.unregisterObject(QStringLiteral("/org/freedesktop/login1"));
        manager_.reset();
    }

    void acceptedRequestIsInteractiveAndShowsNothing() {
        LoginManagerPowerOff powerOff(QDBusConnection::connectToBus(address_, "client"));
        test::RecordingMessageBox messages;
        app::ShutDownComputer(powerOff, messages);
        QTRY_COMPARE(manager_->requests.size(), 1);
        QCOMPARE(manager_->requests.front(), true);
        // Replies come back in order: once a later call has returned, the answer to the
        // request is queued, and handling the queue shows whatever it would show.
        QDBusConnection(QStringLiteral("client"))
            .interface()
            ->isServiceRegistered(QStringLiteral("org.freedesktop.login1"));
        QCoreApplication::processEvents();
        QVERIFY(messages.shown.empty());
    }

    void refusalIsShownAsAWarning_data() {
        QTest::addColumn<bool>("withManager");
        QTest::addColumn<QString>("expected");
        QTest::newRow("no permission")
            << true << "The computer could not be shut down: Permission denied.";
        QTest::newRow("no login manager") << false << "The computer could not be shut down: ";
    }

    void refusalIsShownAsAWarning() {
        QFETCH(bool, withManager);
        QFETCH(QString, expected);
        if (withManager)
            manager_->refusal = QStringLiteral("Permission denied");
        else
            QDBusConnection(QStringLiteral("service"))
                .unregisterService(QStringLiteral("org.freedesktop.login1"));
        LoginManagerPowerOff powerOff(QDBusConnection::connectToBus(address_, "client"));
        test::RecordingMessageBox messages;
        app::ShutDownComputer(powerOff, messages);
        QTRY_COMPARE(messages.shown.size(), size_t{1});
        QCOMPARE(messages.shown[0].caption, std::string("Warning"));
        QCOMPARE(messages.shown[0].icon, app::TMessageIcon::Warning);
        QVERIFY2(QString::fromStdString(messages.shown[0].text).startsWith(expected),
                 messages.shown[0].text.c_str());
    }

    void noBusRefusesAtOnce() {
        LoginManagerPowerOff powerOff(
            QDBusConnection::connectToBus(QStringLiteral("unix:path=/nonexistent/bus"), "none"));
        std::optional<std::string> reason;
        powerOff.RequestPowerOff([&](const std::string& why) { reason = why; });
        QVERIFY(reason.has_value());
        QVERIFY(!reason->empty());
        QVERIFY(manager_->requests.empty());
    }

private:
    QProcess daemon_;
    QString address_;
    std::optional<StandInLoginManager> manager_;
};

} // namespace tarnwick::ui

TARNWICK_UI_TEST_MAIN(tarnwick::ui::PowerOffTest)
#include "power_off_test.moc"
