#include "platform/window_timers.h"

#include <QTimerEvent>

namespace nms {

WindowTimers::WindowTimers(std::function<void(int)> onTimer, QObject* parent)
    : QObject(parent), m_onTimer(std::move(onTimer)) {}

WindowTimers::~WindowTimers() {
    KillAll();
}

void WindowTimers::SetTimer(int id, int milliseconds) {
    KillTimer(id);
    const int qtId = startTimer(milliseconds < 0 ? 0 : milliseconds);
    if (qtId)
        m_timers[id] = Entry{qtId, milliseconds};
}

void WindowTimers::KillTimer(int id) {
    auto it = m_timers.find(id);
    if (it == m_timers.end())
        return;
    killTimer(it->second.qtId);
    m_timers.erase(it);
}

void WindowTimers::KillAll() {
    for (auto& [id, entry] : m_timers)
        killTimer(entry.qtId);
    m_timers.clear();
}

bool WindowTimers::IsActive(int id) const {
    return m_timers.count(id) != 0;
}

int WindowTimers::Interval(int id) const {
    auto it = m_timers.find(id);
    return it == m_timers.end() ? 0 : it->second.interval;
}

bool WindowTimers::Fire(int id) {
    if (!IsActive(id))
        return false;
    if (m_onTimer)
        m_onTimer(id);
    return true;
}

void WindowTimers::timerEvent(QTimerEvent* event) {
    for (const auto& [id, entry] : m_timers) {
        if (entry.qtId == event->timerId()) {
            const int windowId = id;  // the handler may change the map
            if (m_onTimer)
                m_onTimer(windowId);
            return;
        }
    }
    QObject::timerEvent(event);
}

}  // namespace nms
