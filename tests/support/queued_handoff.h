// The GUI thread of core tests and benchmarks: work the network thread hands over waits in a queue until
// the thread that plays the GUI runs it (RunPending / RunUntil), in order.
#pragma once

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>

#include "devices/gui_handoff.h"

namespace nms::test {

class QueuedHandoff : public IGuiHandoff {
public:
    void Post(std::function<void()> work) override;
    // Runs the queued work, and what that work queues, until the queue is empty. Returns how many ran.
    int RunPending();
    // Runs work as it arrives until done() holds; false when it still does not after timeout.
    bool RunUntil(const std::function<bool()>& done,
                  std::chrono::milliseconds timeout = std::chrono::seconds(10));
    // Waits for work and runs it, for at most timeout; returns how many ran.
    int RunFor(std::chrono::milliseconds timeout);
    size_t QueuedCount() const;

private:
    bool RunOne();

    mutable std::mutex m_mutex;
    std::condition_variable m_arrived;
    std::deque<std::function<void()>> m_queue;
};

}  // namespace nms::test
