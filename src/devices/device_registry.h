// The device list: every managed device in insertion order (the order of the file, of heartbeats and of
// reply matching). Records are shared so that a record the network thread is still using outlives its
// removal from the list.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "devices/device_record.h"

namespace nms {

using DevicePtr = std::shared_ptr<DeviceRecord>;

class DeviceRegistry {
public:
    // Appends a record (list order = insertion order).
    void Append(DevicePtr device);
    // Removes a record; false when it is not in the list.
    bool Remove(const DeviceRecord* device);
    // Removes every record.
    void Clear();
    // A copy of the list, taken under the lock.
    std::vector<DevicePtr> Snapshot() const;
    // The record as a shared pointer, or null when it is not (any more) in the list.
    DevicePtr Find(const DeviceRecord* device) const;
    // The first device in list order with this address, port and type code, or null.
    DevicePtr FindByEndpoint(uint32_t address, uint16_t port, uint16_t typeCode) const;
    size_t Size() const;
    // Bumped at every change; lets readers cache what they derive from the list.
    uint64_t Generation() const;
    // Changes a record's fields under the lock (address, port, names, type) and refreshes the index.
    void Edit(DeviceRecord* device, const std::function<void(DeviceRecord&)>& change);

private:
    void RebuildIndexLocked() const;

    std::vector<DevicePtr> m_devices;  // guarded by DeviceListMutex()
    uint64_t m_generation = 0;
    mutable uint64_t m_indexGeneration = ~uint64_t(0);
    mutable std::vector<std::pair<uint64_t, DevicePtr>> m_index;  // (key, device), stable-sorted by key
};

}  // namespace nms
