#include "devices/device_registry.h"

#include <algorithm>

namespace nms {
namespace {

uint64_t EndpointKey(uint32_t address, uint16_t port, uint16_t typeCode) {
    return uint64_t(address) << 32 | uint64_t(port) << 16 | typeCode;
}

}  // namespace

void DeviceRegistry::Append(DevicePtr device) {
    std::lock_guard<std::mutex> lock(DeviceListMutex());
    m_devices.push_back(std::move(device));
    ++m_generation;
}

bool DeviceRegistry::Remove(const DeviceRecord* device) {
    std::lock_guard<std::mutex> lock(DeviceListMutex());
    auto it = std::find_if(m_devices.begin(), m_devices.end(),
                           [&](const DevicePtr& d) { return d.get() == device; });
    if (it == m_devices.end())
        return false;
    m_devices.erase(it);
    ++m_generation;
    m_index.clear();  // the index must not keep a removed record alive
    return true;
}

void DeviceRegistry::Clear() {
    std::lock_guard<std::mutex> lock(DeviceListMutex());
    m_devices.clear();
    ++m_generation;
    m_index.clear();
}

std::vector<DevicePtr> DeviceRegistry::Snapshot() const {
    std::lock_guard<std::mutex> lock(DeviceListMutex());
    return m_devices;
}

DevicePtr DeviceRegistry::Find(const DeviceRecord* device) const {
    std::lock_guard<std::mutex> lock(DeviceListMutex());
    for (const DevicePtr& d : m_devices)
        if (d.get() == device)
            return d;
    return nullptr;
}

void DeviceRegistry::RebuildIndexLocked() const {
    m_index.clear();
    m_index.reserve(m_devices.size());
    for (const DevicePtr& d : m_devices)
        m_index.emplace_back(EndpointKey(d->address, d->port, d->typeCode), d);
    // Stable: of several devices with one endpoint, the first in list order stays first.
    std::stable_sort(m_index.begin(), m_index.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    m_indexGeneration = m_generation;
}

DevicePtr DeviceRegistry::FindByEndpoint(uint32_t address, uint16_t port, uint16_t typeCode) const {
    std::lock_guard<std::mutex> lock(DeviceListMutex());
    if (m_indexGeneration != m_generation)
        RebuildIndexLocked();
    const uint64_t key = EndpointKey(address, port, typeCode);
    auto it = std::lower_bound(m_index.begin(), m_index.end(), key,
                               [](const auto& e, uint64_t k) { return e.first < k; });
    if (it == m_index.end() || it->first != key)
        return nullptr;
    return it->second;
}

void DeviceRegistry::Edit(DeviceRecord* device, const std::function<void(DeviceRecord&)>& change) {
    std::lock_guard<std::mutex> lock(DeviceListMutex());
    change(*device);
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
