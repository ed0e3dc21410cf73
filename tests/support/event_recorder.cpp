#include "event_recorder.h"

namespace nms::test {

EventRecorder::EventRecorder(bool appendToLog) {
    m_previous = SetDeviceEventSink([this, appendToLog](const DeviceEvent& event) {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_events.push_back(event);
        }
        if (appendToLog)
            AppendAlarmLog(event);
    });
}

EventRecorder::~EventRecorder() {
    SetDeviceEventSink(std::move(m_previous));
}

std::vector<DeviceEvent> EventRecorder::Events() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_events;
}

std::vector<std::string> EventRecorder::Texts() const {
    std::vector<std::string> texts;
    for (const DeviceEvent& e : Events())
        texts.push_back(e.text);
    return texts;
}

std::vector<std::string> EventRecorder::TextsOf(const std::string& deviceName) const {
    std::vector<std::string> texts;
    for (const DeviceEvent& e : Events())
        if (e.deviceName == deviceName)
            texts.push_back(e.text);
    return texts;
}

int EventRecorder::Count(const std::string& text) const {
    int n = 0;
    for (const DeviceEvent& e : Events())
        n += e.text == text;
    return n;
}

void EventRecorder::Clear() {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_events.clear();
}

}  // namespace nms::test
