#include "devices/device_events.h"

#include <sys/stat.h>

#include <cstdio>
#include <mutex>

#include "devices/device_record.h"
#include "devices/device_type_catalogue.h"
#include "platform/data_folder.h"

namespace nms {
namespace {

std::mutex g_eventMutex;  // guards the sink and the resolver
DeviceEventSink g_sink;
std::function<std::string(uint16_t)> g_typeNames;
std::mutex g_logMutex;  // guards the three below
std::FILE* g_log = nullptr;
std::string g_logPath;
int g_logBatches = 0;
bool g_logCheckedInBatch = false;  // the open file was found to be the named one since the batch began

}  // namespace

DeviceEventSink SetDeviceEventSink(DeviceEventSink sink) {
    std::lock_guard<std::mutex> lock(g_eventMutex);
    DeviceEventSink previous = std::move(g_sink);
    g_sink = std::move(sink);
    return previous;
}

void SetDeviceTypeNameResolver(std::function<std::string(uint16_t)> resolver) {
    std::lock_guard<std::mutex> lock(g_eventMutex);
    g_typeNames = std::move(resolver);
}

std::string DeviceTypeName(uint16_t typeCode) {
    std::function<std::string(uint16_t)> resolver;
    {
        std::lock_guard<std::mutex> lock(g_eventMutex);
        resolver = g_typeNames;
    }
    if (resolver)
        return resolver(typeCode);
    const DeviceTypeInfo* type = FindDeviceTypeByCode(typeCode);
    return type ? std::string(type->name) : std::string();
}

std::string DottedAddress(uint32_t address) {
    char text[16];
    std::snprintf(text, sizeof text, "%u.%u.%u.%u", address & 0xFF, (address >> 8) & 0xFF,
                  (address >> 16) & 0xFF, address >> 24);
    return text;
}

std::string FormatAlarmTime(const std::tm& local) {
    char text[64];
    std::snprintf(text, sizeof text, "%d-%d-%d %d:%d:%d", local.tm_year + 1900, local.tm_mon + 1,
                  local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec);
    return text;
}

std::string AlarmLogLine(const DeviceEvent& event) {
    return event.deviceName + "   " + DottedAddress(event.address) + "   " + event.typeName + "   " +
           event.text + "   " + event.timeText + "\n";
}

void AppendAlarmLog(const DeviceEvent& event) {
    const std::string line = AlarmLogLine(event);
    std::lock_guard<std::mutex> lock(g_logMutex);
    // Within a batch the file is looked up once: a burst of ten thousand lines costs no path lookups.
    if (g_log && g_logBatches > 0 && g_logCheckedInBatch) {
        std::fwrite(line.data(), 1, line.size(), g_log);
        return;
    }
    const std::string path = DataFilePath("alarmlog.txt");
    if (g_log) {
        // Another data folder, or the log was moved away or deleted (rotated by hand): start on the file
        // that the path names now.
        struct stat named {
        }, open{};
        if (path != g_logPath || ::stat(path.c_str(), &named) != 0 || ::fstat(fileno(g_log), &open) != 0 ||
            named.st_ino != open.st_ino || named.st_dev != open.st_dev) {
            std::fclose(g_log);
            g_log = nullptr;
        }
    }
    if (!g_log) {
        // Append only: a log that cannot be opened for appending is skipped, never recreated empty.
        g_log = std::fopen(path.c_str(), "ab");
        if (!g_log)
            return;
        g_logPath = path;
    }
    std::fwrite(line.data(), 1, line.size(), g_log);
    if (g_logBatches == 0)
        std::fflush(g_log);
    else
        g_logCheckedInBatch = true;
}

AlarmLogBatch::AlarmLogBatch() {
    std::lock_guard<std::mutex> lock(g_logMutex);
    if (g_logBatches++ == 0)
        g_logCheckedInBatch = false;
}

AlarmLogBatch::~AlarmLogBatch() {
    std::lock_guard<std::mutex> lock(g_logMutex);
    if (--g_logBatches == 0 && g_log)
        std::fflush(g_log);
}

void PostDeviceEvent(const DeviceRecord* device, const std::string& text) {
    if (!device)
        return;
    DeviceEventSink sink;
    {
        std::lock_guard<std::mutex> lock(g_eventMutex);
        sink = g_sink;
    }
    if (!sink)
        return;
    DeviceEvent event;
    uint16_t typeCode = 0;
    {
        std::lock_guard<std::mutex> lock(DeviceListMutex());
        event.deviceName = device->deviceName;
        event.address = device->address;
        typeCode = device->typeCode;
    }
    event.text = text;
    event.typeName = DeviceTypeName(typeCode);
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    event.timeText = FormatAlarmTime(local);
    sink(event);
}

}  // namespace nms
