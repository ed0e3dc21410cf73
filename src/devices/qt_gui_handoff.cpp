#include "devices/qt_gui_handoff.h"

#include <QElapsedTimer>
#include <QMetaObject>
#include <optional>

#include "devices/device_events.h"

namespace nms {

void QtGuiHandoff::Post(std::function<void()> work) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_queue.push_back({std::move(work), false});
    QueueDrainLocked();
}

void QtGuiHandoff::PostBatch(std::vector<std::function<void()>> batch) {
    if (batch.empty())
        return;
    std::lock_guard<std::mutex> lock(m_mutex);
    for (auto& work : batch)
        m_queue.push_back({std::move(work), true});
    QueueDrainLocked();
}

void QtGuiHandoff::QueueDrainLocked() {
    if (m_drainQueued)
        return;
    m_drainQueued = true;
    QMetaObject::invokeMethod(this, &QtGuiHandoff::Drain, Qt::QueuedConnection);
}

void QtGuiHandoff::Drain() {
    QElapsedTimer slice;
    slice.start();
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_drainQueued = false;
    }
    // Lines of batched events reach the alarm log once per slice. Other work (a page's handler, a box)
    // runs with the log flushed and unbatched, as it may open a modal box and stay a long time.
    std::optional<AlarmLogBatch> log;
    for (;;) {
        Work work;
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            if (m_queue.empty())
                return;
            if (slice.elapsed() >= kSliceMs) {
                // The rest waits for the next turn: events that came meanwhile (painting, input, timers)
                // go first.
                QueueDrainLocked();
                return;
            }
            work = std::move(m_queue.front());
            m_queue.pop_front();
            // Work may open a modal box; the box's event loop then runs what follows, in order. Items of
            // a batch open none: queueing a turn for each would leave turns behind that later run work
            // handed over after events the GUI thread posted meanwhile, out of their order.
            if (!work.batched && !m_queue.empty())
                QueueDrainLocked();
        }
        if (work.batched) {
            if (!log)
                log.emplace();
        } else {
            log.reset();
        }
        work.run();
    }
}

}  // namespace nms
