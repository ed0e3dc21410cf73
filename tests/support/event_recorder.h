// Collects the device events reported while it lives (and optionally appends them to the alarm log,
// as the main frame's alarm list does).
#pragma once

#include <mutex>
#include <string>
#include <vector>

#include "devices/device_events.h"

namespace nms::test {

class EventRecorder {
public:
    explicit EventRecorder(bool appendToLog = false);
    ~EventRecorder();
    EventRecorder(const EventRecorder&) = delete;
    EventRecorder& operator=(const EventRecorder&) = delete;

    std::vector<DeviceEvent> Events() const;
    // The texts of the events, in order.
    std::vector<std::string> Texts() const;
    // The texts of the events of one device (by name).
    std::vector<std::string> TextsOf(const std::string& deviceName) const;
    int Count(const std::string& text) const;
    void Clear();

private:
    mutable std::mutex m_mutex;
    std::vector<DeviceEvent> m_events;
    DeviceEventSink m_previous;
};

}  // namespace nms::test
