// Window timers by numeric id, as the program's windows have always used them: SetTimer(id, ms) starts
// or restarts the timer with that id, KillTimer(id) stops it (an unknown id is fine), and every expiry
// calls the owner's handler with the id. Tests fire a running timer at once with Fire(id).
#pragma once

#include <QObject>
#include <functional>
#include <map>

namespace nms {

class WindowTimers : public QObject {
    Q_OBJECT
public:
    explicit WindowTimers(std::function<void(int)> onTimer, QObject* parent = nullptr);
    ~WindowTimers() override;

    void SetTimer(int id, int milliseconds);
    void KillTimer(int id);
    void KillAll();
    bool IsActive(int id) const;
    // The period of a running timer in milliseconds, 0 when it is not running.
    int Interval(int id) const;
    // Runs the handler for a running timer as its expiry would (the timer keeps running). False when the
    // timer is not running.
    bool Fire(int id);

protected:
    void timerEvent(QTimerEvent* event) override;

private:
    struct Entry {
        int qtId;
        int interval;
    };
    std::function<void(int)> m_onTimer;
    std::map<int, Entry> m_timers;  // by window timer id
};

}  // namespace nms
