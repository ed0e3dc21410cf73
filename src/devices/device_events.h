// Device events: the single road by which the network thread (through the GUI thread), the page base and
// the pages report something about a device. An event goes to the installed sink (the main frame's alarm
// list, which also appends it to the alarm log); with no sink it is dropped, as when no main frame exists.
#pragma once

#include <cstdint>
#include <ctime>
#include <functional>
#include <string>

namespace nms {

struct DeviceRecord;

struct DeviceEvent {
    std::string deviceName;  // code-page bytes, as in the record
    uint32_t address = 0;    // network order
    std::string typeName;    // of the first catalogue row with the device's type code; empty when none
    std::string text;        // the event text
    std::string timeText;    // local time, "%d-%d-%d %d:%d:%d"
};

using DeviceEventSink = std::function<void(const DeviceEvent&)>;

// Reports an event for a device; a null device reports nothing. Call on the GUI thread.
void PostDeviceEvent(const DeviceRecord* device, const std::string& text);

// Installs the sink (empty: none). Returns the previous one.
DeviceEventSink SetDeviceEventSink(DeviceEventSink sink);
// Replaces the type-code to type-name lookup (empty: the catalogue's first row with the code, or "").
void SetDeviceTypeNameResolver(std::function<std::string(uint16_t)> resolver);
std::string DeviceTypeName(uint16_t typeCode);

// "a.b.c.d" of an address in network order.
std::string DottedAddress(uint32_t address);
// "%d-%d-%d %d:%d:%d" of a local time: year, month, day, hour, minute, second, no leading zeros.
std::string FormatAlarmTime(const std::tm& local);
// The alarm log line of an event, newline included.
std::string AlarmLogLine(const DeviceEvent& event);
// Appends the event's line to alarmlog.txt in the data folder (only ever appended to). A file that cannot
// be opened is skipped. Serialised, so that callers on any thread never interleave lines. The file stays
// open between lines; each line reaches the file at once, unless an AlarmLogBatch is open.
void AppendAlarmLog(const DeviceEvent& event);

// While one exists (on any thread), alarm log lines are buffered; the last one to go flushes them, so a
// burst of events costs one write.
class AlarmLogBatch {
public:
    AlarmLogBatch();
    ~AlarmLogBatch();
    AlarmLogBatch(const AlarmLogBatch&) = delete;
    AlarmLogBatch& operator=(const AlarmLogBatch&) = delete;
};

// Installs a sink for the lifetime of the object and restores the previous one.
class ScopedDeviceEventSink {
public:
    explicit ScopedDeviceEventSink(DeviceEventSink sink) : m_previous(SetDeviceEventSink(std::move(sink))) {}
    ~ScopedDeviceEventSink() { SetDeviceEventSink(std::move(m_previous)); }
    ScopedDeviceEventSink(const ScopedDeviceEventSink&) = delete;
    ScopedDeviceEventSink& operator=(const ScopedDeviceEventSink&) = delete;

private:
    DeviceEventSink m_previous;
};

}  // namespace nms
