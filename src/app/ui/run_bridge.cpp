#include "app/ui/run_bridge.h"

#include "component/av_converter.h"

#include <mutex>

namespace tarnwick::ui {

struct RunBridge::Target {
    std::mutex mutex;
    RunBridge* bridge = nullptr; // nullptr once the bridge is gone

    // Queues deliver(bridge) for the window thread. Holding the mutex keeps the bridge alive
    // while the call is posted; Qt drops the posted calls of an object it destroys.
    template <typename Deliver> void Post(Deliver deliver) {
        std::lock_guard lock(mutex);
        if (!bridge) return;
        RunBridge* to = bridge;
        QMetaObject::invokeMethod(
            to, [to, deliver = std::move(deliver)] { deliver(to); }, Qt::QueuedConnection);
    }
};

RunBridge::RunBridge(component::TCustomAVConverter& converter, QObject* parent)
    : QObject(parent), target_(std::make_shared<Target>()) {
    target_->bridge = this;
    converter.OnProgress = [target = target_](int32_t index, int32_t, int32_t, int32_t currentMs,
                                              float, float, int64_t currentSize, int32_t totalMs) {
        target->Post([index, currentMs, totalMs, currentSize](RunBridge* bridge) {
            emit bridge->progress(index, currentMs, totalMs, currentSize);
        });
    };
    converter.OnTerminate = [target = target_](int32_t index, bool finished, bool exception,
                                               const std::string& message) {
        target->Post([index, finished, exception,
                      text = QString::fromStdString(message)](RunBridge* bridge) {
            emit bridge->terminated(index, finished, exception, text);
        });
    };
}

RunBridge::~RunBridge() {
    std::lock_guard lock(target_->mutex);
    target_->bridge = nullptr;
}

} // namespace tarnwick::ui
