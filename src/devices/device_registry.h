// The device list: every managed device in insertion order (the order of the file, of heartbeats and of
// reply matching). Records are shared so that a record the network thread is still using outlives its
// removal from the list.
//
// Two indexes keep lookups independent of the list's length: by endpoint (address, port, type code: reply
// matching) and by address alone (the conflict check of every add and edit). Each key holds its devices
// in list order, so "the first device in list order" stays a constant-time answer.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <unordered_map>
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
    // Makes room for this many records (a list about to be loaded).
    void Reserve(size_t count);
    // A copy of the list, taken under the lock.
    std::vector<DevicePtr> Snapshot() const;
    // The record as a shared pointer, or null when it is not (any more) in the list.
    DevicePtr Find(const DeviceRecord* device) const;
    // The first device in list order with this address, port and type code, or null.
    DevicePtr FindByEndpoint(uint32_t address, uint16_t port, uint16_t typeCode) const;
    // Every device with this address, in list order.
    std::vector<DevicePtr> FindByAddress(uint32_t address) const;
    size_t Size() const;
    // Bumped at every change; lets readers cache what they derive from the list.
    uint64_t Generation() const;
    // Changes a record's fields under the lock (address, port, names, type) and refreshes the indexes.
    // Fields that the indexes use must be changed only through here once the record is listed.
    void Edit(DeviceRecord* device, const std::function<void(DeviceRecord&)>& change);

private:
    // A listed device with its insertion number: list order among the devices of one key.
    struct Entry {
        uint64_t sequence;
        DevicePtr device;
    };
    using Bucket = std::vector<Entry>;

    void IndexLocked(const DevicePtr& device, uint64_t sequence);
    void UnindexLocked(const DeviceRecord* device);

    std::vector<DevicePtr> m_devices;  // guarded by DeviceListMutex(), as everything below
    uint64_t m_generation = 0;
    uint64_t m_nextSequence = 0;
    std::unordered_map<const DeviceRecord*, uint64_t> m_sequence;
    std::unordered_map<uint64_t, Bucket> m_byEndpoint;
    std::unordered_map<uint32_t, Bucket> m_byAddress;
};

}  // namespace nms
