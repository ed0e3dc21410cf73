// The network thread's road to the GUI thread: work is queued to this object's thread (the GUI thread)
// and runs there in the order it was handed over. Work still queued when the object is destroyed is
// dropped, so the object should live as long as what the work refers to (the device tree that owns the
// network thread).
//
// The queue is drained in slices of a few milliseconds, measured item by item (the items of a batch
// too): when ten thousand devices change state at once, their work is spread over many turns of the event
// loop, and the window keeps painting and answering the operator in between.
#pragma once

#include <QObject>
#include <deque>
#include <functional>
#include <mutex>

#include "devices/gui_handoff.h"

namespace nms {

class QtGuiHandoff : public QObject, public IGuiHandoff {
    Q_OBJECT
public:
    // How long one turn of the event loop runs queued work before it lets other events in.
    static constexpr int kSliceMs = 15;

    explicit QtGuiHandoff(QObject* parent = nullptr) : QObject(parent) {}
    void Post(std::function<void()> work) override;
    void PostBatch(std::vector<std::function<void()>> batch) override;

private:
    struct Work {
        std::function<void()> run;
        bool batched;  // a short item of a batch: runs with the alarm log batched
    };

    void Drain();
    void QueueDrainLocked();

    std::mutex m_mutex;  // guards the two below
    std::deque<Work> m_queue;
    bool m_drainQueued = false;
};

}  // namespace nms
