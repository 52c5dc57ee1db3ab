// The run bridge under load: progress reports from two worker threads, raised one at a time as
// the component raises them, reach the window thread complete and in order; a bridge destroyed
// while workers still report drops their events.

#include "app/ui/run_bridge.h"
#include "component/av_converter.h"
#include "ui/ui_test_support.h"

#include <QThread>
#include <QtTest>

#include <atomic>
#include <memory>
#include <mutex>
#include <thread>

namespace tarnwick::ui {

class RunBridgeTest : public QObject {
    Q_OBJECT
private slots:
    void reportsFromTwoWorkersArriveInOrder() {
        component::TKivAVConverter converter;
        RunBridge bridge(converter);
        constexpr int perWorker = 300;
        int received = 0, last = -1;
        bool inOrder = true, onWindowThread = true, endWasLast = false;
        connect(&bridge, &RunBridge::progress, this, [&](int, int sequence) {
            inOrder = inOrder && sequence == last + 1;
            onWindowThread = onWindowThread && QThread::currentThread() == thread();
            last = sequence;
            ++received;
        });
        connect(&bridge, &RunBridge::terminated, this,
                [&](int job) { endWasLast = job == -1 && received == 2 * perWorker; });

        // The component raises one event at a time under its event lock; the sequence number
        // is the order in which they were raised.
        std::mutex eventLock;
        int sequence = 0;
        const auto worker = [&](int job) {
            for (int i = 0; i < perWorker; ++i) {
                std::lock_guard lock(eventLock);
                converter.OnProgress(job, i, 25, sequence++, 1.0f, 100.0f, i * 1000, 9999);
            }
        };
        std::thread first(worker, 0), second(worker, 1);
        first.join();
        second.join();
        converter.OnTerminate(-1, true, false, "");
        QTRY_VERIFY_WITH_TIMEOUT(endWasLast, 30000);
        QCOMPARE(received, 2 * perWorker);
        QVERIFY(inOrder);
        QVERIFY(onWindowThread);
    }

    void eventsAfterTheBridgeIsGoneAreDropped() {
        component::TKivAVConverter converter;
        auto bridge = std::make_unique<RunBridge>(converter);
        int received = 0;
        connect(bridge.get(), &RunBridge::progress, this, [&] { ++received; });
        std::atomic<bool> stop{false};
        std::atomic<int> raised{0};
        std::thread worker([&] {
            while (!stop) {
                converter.OnProgress(0, 0, 0, raised++, 0, 0, 0, 100);
                std::this_thread::yield();
            }
        });
        QTRY_VERIFY(received > 0);
        // Destroyed while the worker goes on reporting: what it posts later, and what was
        // posted but not delivered, must not reach the destroyed object (the address
        // sanitizer tree sees it if it does).
        bridge.reset();
        const int before = raised;
        QTRY_VERIFY(raised > before + 100);
        stop = true;
        worker.join();
        QCoreApplication::processEvents();
    }
};

} // namespace tarnwick::ui

TARNWICK_UI_TEST_MAIN(tarnwick::ui::RunBridgeTest)
#include "run_bridge_test.moc"
