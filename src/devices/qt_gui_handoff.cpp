#include "devices/qt_gui_handoff.h"

#include <QElapsedTimer>
#include <QMetaObject>

namespace nms {

void QtGuiHandoff::Post(std::function<void()> work) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_queue.push_back(std::move(work));
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
    for (;;) {
        std::function<void()> work;
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
            // Work may open a modal box; the box's event loop then runs what follows, in order.
            if (!m_queue.empty())
                QueueDrainLocked();
        }
        work();
    }
}

}  // namespace nms
