#include "devices/device_registry.h"

#include <algorithm>

namespace nms {
namespace {

uint64_t EndpointKey(uint32_t address, uint16_t port, uint16_t typeCode) {
    return uint64_t(address) << 32 | uint64_t(port) << 16 | typeCode;
}

template <typename Bucket, typename Entry>
void InsertInOrder(Bucket& bucket, Entry entry) {
    // Appends are the common case: the newest device goes last.
    auto at = std::upper_bound(bucket.begin(), bucket.end(), entry.sequence,
                               [](uint64_t s, const Entry& e) { return s < e.sequence; });
    bucket.insert(at, std::move(entry));
}

template <typename Map, typename Key>
void EraseFrom(Map& map, const Key& key, const DeviceRecord* device) {
    auto it = map.find(key);
    if (it == map.end())
        return;
    auto& bucket = it->second;
    bucket.erase(std::remove_if(bucket.begin(), bucket.end(),
                                [device](const auto& e) { return e.device.get() == device; }),
                 bucket.end());
    if (bucket.empty())
        map.erase(it);
}

}  // namespace

void DeviceRegistry::IndexLocked(const DevicePtr& device, uint64_t sequence) {
    InsertInOrder(m_byEndpoint[EndpointKey(device->address, device->port, device->typeCode)],
                  Entry{sequence, device});
    InsertInOrder(m_byAddress[device->address], Entry{sequence, device});
}

void DeviceRegistry::UnindexLocked(const DeviceRecord* device) {
    EraseFrom(m_byEndpoint, EndpointKey(device->address, device->port, device->typeCode), device);
    EraseFrom(m_byAddress, device->address, device);
}

void DeviceRegistry::Append(DevicePtr device) {
    std::lock_guard<std::mutex> lock(DeviceListMutex());
    if (!device || m_sequence.count(device.get()))
        return;
    const uint64_t sequence = m_nextSequence++;
    m_sequence.emplace(device.get(), sequence);
    IndexLocked(device, sequence);
    m_devices.push_back(std::move(device));
    ++m_generation;
}

bool DeviceRegistry::Remove(const DeviceRecord* device) {
    std::lock_guard<std::mutex> lock(DeviceListMutex());
    if (!m_sequence.erase(device))
        return false;
    // The indexes must not keep a removed record alive.
    UnindexLocked(device);
    m_devices.erase(std::find_if(m_devices.begin(), m_devices.end(),
                                 [&](const DevicePtr& d) { return d.get() == device; }));
    ++m_generation;
    return true;
}

void DeviceRegistry::Clear() {
    std::lock_guard<std::mutex> lock(DeviceListMutex());
    m_devices.clear();
    m_sequence.clear();
    m_byEndpoint.clear();
    m_byAddress.clear();
    ++m_generation;
}

void DeviceRegistry::Reserve(size_t count) {
    std::lock_guard<std::mutex> lock(DeviceListMutex());
    m_devices.reserve(count);
    m_sequence.reserve(count);
    m_byEndpoint.reserve(count);
    m_byAddress.reserve(count);
}

std::vector<DevicePtr> DeviceRegistry::Snapshot() const {
    std::lock_guard<std::mutex> lock(DeviceListMutex());
    return m_devices;
}

DevicePtr DeviceRegistry::Find(const DeviceRecord* device) const {
    std::lock_guard<std::mutex> lock(DeviceListMutex());
    // Looked up by value only: a pointer to a record that was freed is never followed.
    auto it = m_sequence.find(device);
    if (it == m_sequence.end())
        return nullptr;
    return const_cast<DeviceRecord*>(device)->shared_from_this();
}

DevicePtr DeviceRegistry::FindByEndpoint(uint32_t address, uint16_t port, uint16_t typeCode) const {
    std::lock_guard<std::mutex> lock(DeviceListMutex());
    auto it = m_byEndpoint.find(EndpointKey(address, port, typeCode));
    return it == m_byEndpoint.end() ? nullptr : it->second.front().device;
}

std::vector<DevicePtr> DeviceRegistry::FindByAddress(uint32_t address) const {
    std::vector<DevicePtr> found;
    std::lock_guard<std::mutex> lock(DeviceListMutex());
    auto it = m_byAddress.find(address);
    if (it != m_byAddress.end())
        for (const Entry& e : it->second)
            found.push_back(e.device);
    return found;
}

void DeviceRegistry::Edit(DeviceRecord* device, const std::function<void(DeviceRecord&)>& change) {
    std::lock_guard<std::mutex> lock(DeviceListMutex());
    auto listed = m_sequence.find(device);
    if (listed == m_sequence.end()) {
        change(*device);
        return;
    }
    DevicePtr held = device->shared_from_this();
    UnindexLocked(device);
    change(*device);
    IndexLocked(held, listed->second);
    ++m_generation;
}

size_t DeviceRegistry::Size() const {
    std::lock_guard<std::mutex> lock(DeviceListMutex());
    return m_devices.size();
}

uint64_t DeviceRegistry::Generation() const {
    std::lock_guard<std::mutex> lock(DeviceListMutex());
    return m_generation;
}

}  // namespace nms
