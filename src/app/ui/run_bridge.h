#pragma once
// The one object that carries a converter component's run events to the window thread. Its
// handlers run on the jobs' worker threads: they copy the event's values and post them, never
// block and never touch a widget. The signals are emitted on the window thread, in the order
// the component raised the events (it raises them one at a time, under its event lock). The
// end of the run arrives there after the event that reported it has returned, so whatever the
// window does then (clearing the jobs) never frees a job under its own thread.

#include <QObject>
#include <QString>

#include <memory>

namespace tarnwick::component {
class TCustomAVConverter;
}

namespace tarnwick::ui {

class RunBridge : public QObject {
    Q_OBJECT
public:
    // Installs the component's progress and terminate handlers. Window thread only.
    explicit RunBridge(component::TCustomAVConverter& converter, QObject* parent = nullptr);
    // Events still raised afterwards (a worker finishing) are dropped, never delivered to a
    // destroyed object; the handlers stay installed and do nothing.
    ~RunBridge() override;

signals:
    void progress(int job, int currentMs, int totalMs, qint64 currentSize);
    // job -1: the run is over.
    void terminated(int job, bool finished, bool exception, const QString& message);

private:
    // Shared with the handlers, which may outlive this object on a worker thread.
    struct Target;
    std::shared_ptr<Target> target_;
};

} // namespace tarnwick::ui
