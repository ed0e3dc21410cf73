#include "queued_handoff.h"

namespace nms::test {

void QueuedHandoff::Post(std::function<void()> work) {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_queue.push_back(std::move(work));
    }
    m_arrived.notify_all();
}

bool QueuedHandoff::RunOne() {
    std::function<void()> work;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (m_queue.empty())
            return false;
        work = std::move(m_queue.front());
        m_queue.pop_front();
    }
    work();
    return true;
}

int QueuedHandoff::RunPending() {
    int ran = 0;
    while (RunOne())
        ++ran;
    return ran;
}

bool QueuedHandoff::RunUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        RunPending();
        if (done())
            return true;
        if (std::chrono::steady_clock::now() >= deadline)
            return false;
        // The condition may depend on other threads than the one posting: look again now and then.
        std::unique_lock<std::mutex> lock(m_mutex);
        m_arrived.wait_for(lock, std::chrono::milliseconds(2), [&] { return !m_queue.empty(); });
    }
}

int QueuedHandoff::RunFor(std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    int ran = 0;
    while (std::chrono::steady_clock::now() < deadline) {
        ran += RunPending();
        std::unique_lock<std::mutex> lock(m_mutex);
        m_arrived.wait_until(lock, deadline, [&] { return !m_queue.empty(); });
    }
    return ran + RunPending();
}

size_t QueuedHandoff::QueuedCount() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_queue.size();
}

}  // namespace nms::test
