#include "devices/device_tree_model.h"

#include <algorithm>

#include "devices/device_list_file.h"
#include "devices/device_type_catalogue.h"
#include "platform/codepage.h"
#include "platform/data_folder.h"
#include "platform/prompt.h"

namespace nms {

DeviceTreeModel::DeviceTreeModel(DeviceRegistry& registry) : m_registry(registry) {}

std::string DeviceTreeModel::DefaultListPath() {
    return DataFilePath("devinfo.db");
}

int DeviceTreeModel::FindNode(const std::string& name) const {
    auto it = m_nodeIndex.find(name);
    return it == m_nodeIndex.end() ? -1 : it->second;
}

void DeviceTreeModel::RebuildNodeIndex() {
    m_nodeIndex.clear();
    for (size_t i = 0; i < m_nodes.size(); ++i)
        m_nodeIndex.emplace(m_nodes[i].name, int(i));  // the first of equal names wins
}

int DeviceTreeModel::NodeOf(const DeviceRecord* device) const {
    for (size_t i = 0; i < m_nodes.size(); ++i)
        for (const DevicePtr& d : m_nodes[i].devices)
            if (d.get() == device)
                return int(i);
    return -1;
}

bool DeviceTreeModel::LoadDevices(const std::string& path) {
    std::vector<FileDeviceRecord> records;
    if (!ReadDeviceListFile(path.empty() ? DefaultListPath() : path, &records))
        return false;
    // The records of the list loaded before go with their tree: a list that stayed behind unseen would
    // still be polled and saved again.
    for (const TreeNode& node : m_nodes)
        for (const DevicePtr& d : node.devices)
            if (m_listener)
                m_listener->OnDeviceRemoving(d.get());
    m_nodes.clear();
    m_nodeIndex.clear();
    m_registry.Clear();
    m_registry.Reserve(records.size());
    if (m_listener)
        m_listener->OnTreeCleared();
    for (const FileDeviceRecord& r : records) {
        if (!r.nodeName.empty())
            FindOrAddNode(r.nodeName);
        if (!r.deviceName.empty())
            AddDevice(r.nodeName, r.deviceName, r.typeCode, r.address, r.port);
    }
    return true;
}

bool DeviceTreeModel::SaveDevices(const std::string& path) {
    const std::string target = path.empty() ? DefaultListPath() : path;
    std::string error;
    if (WriteDeviceListFile(target, m_registry.Snapshot(), &error))
        return true;
    ShowMessageBox("Cannot save the device list to " + target + ": " + error, std::string(), MB_ICONERROR);
    return false;
}

int DeviceTreeModel::FindOrAddNode(const std::string& name) {
    const int found = FindNode(name);
    if (found >= 0)
        return found;
    m_nodes.push_back(TreeNode{name, {}});
    m_nodeIndex.emplace(name, int(m_nodes.size()) - 1);
    if (m_listener)
        m_listener->OnNodeAdded(int(m_nodes.size()) - 1);
    return int(m_nodes.size()) - 1;
}

void DeviceTreeModel::WarnConflicts(const std::string& deviceName, uint32_t address,
                                    const DeviceRecord* except) const {
    for (const DevicePtr& other : m_registry.FindByAddress(address)) {
        if (other.get() == except)
            continue;
        ShowMessageBox(GbkToUtf8(deviceName) +
                       " IP Conflict With Other Device,\nName:" + GbkToUtf8(other->deviceName));
    }
}

DevicePtr DeviceTreeModel::AddDevice(const std::string& nodeName, const std::string& deviceName,
                                     uint16_t typeCode, uint32_t address, uint16_t port,
                                     const TreeSelection& selection) {
    if (!FindDeviceTypeByCode(typeCode))
        return nullptr;
    const bool operatorRoad = nodeName.empty() && !selection.IsNone();
    const int node = operatorRoad ? selection.node : FindNode(nodeName);
    if (node < 0 || node >= int(m_nodes.size()))
        return nullptr;

    WarnConflicts(deviceName, address, nullptr);

    auto device = std::make_shared<DeviceRecord>();
    device->nodeName = m_nodes[node].name.substr(0, kDeviceNameBytes - 1);
    device->deviceName = deviceName.substr(0, kDeviceNameBytes - 1);
    device->typeCode = typeCode;
    device->address = address;
    device->port = port;
    m_nodes[node].devices.push_back(device);
    m_registry.Append(device);
    if (m_listener)
        m_listener->OnDeviceAdded(node, device.get());
    if (operatorRoad)
        AutoSave();
    return device;
}

void DeviceTreeModel::EditDevice(DeviceRecord* device, const std::string& deviceName, uint32_t address,
                                 uint16_t port, uint16_t typeCode) {
    WarnConflicts(deviceName, address, device);
    m_registry.Edit(device, [&](DeviceRecord& d) {
        d.address = address;
        d.deviceName = deviceName.substr(0, kDeviceNameBytes - 1);
        d.port = port;
        d.typeCode = typeCode;
    });
    if (m_listener)
        m_listener->OnDeviceChanged(device);
    AutoSave();
}

void DeviceTreeModel::RenameNode(int node, const std::string& name) {
    if (node < 0 || node >= int(m_nodes.size()))
        return;
    m_nodes[node].name = name;
    RebuildNodeIndex();
    for (const DevicePtr& d : m_nodes[node].devices)
        m_registry.Edit(d.get(), [&](DeviceRecord& r) { r.nodeName = name.substr(0, kDeviceNameBytes - 1); });
    if (m_listener)
        m_listener->OnNodeRenamed(node);
    AutoSave();
}

DeviceTreeModel::DeleteResult DeviceTreeModel::DeleteSelected(const TreeSelection& selection) {
    if (selection.IsNone() || selection.node >= int(m_nodes.size()))
        return DeleteResult::Nothing;
    TreeNode& node = m_nodes[selection.node];
    if (selection.IsNode() && !node.devices.empty()) {
        ShowMessageBox("Please delete device first!");
        return DeleteResult::HasDevices;
    }
    const std::string text = selection.IsDevice() ? selection.device->deviceName : node.name;
    if (!Confirm("Sure to delete '" + GbkToUtf8(text) + "' ?"))
        return DeleteResult::Cancelled;
    if (selection.IsDevice()) {
        auto it = std::find_if(node.devices.begin(), node.devices.end(),
                               [&](const DevicePtr& d) { return d.get() == selection.device; });
        if (it == node.devices.end())
            return DeleteResult::Nothing;
        DevicePtr keep = *it;  // the record lives until the listeners are done with it
        if (m_listener)
            m_listener->OnDeviceRemoving(keep.get());
        m_registry.Remove(keep.get());
        node.devices.erase(it);
    } else {
        m_nodes.erase(m_nodes.begin() + selection.node);
        RebuildNodeIndex();
        if (m_listener)
            m_listener->OnNodeRemoved(selection.node);
    }
    return DeleteResult::Deleted;
}

void DeviceTreeModel::AutoSave() {
    SaveDevices(std::string());
    if (m_autoSaved)
        m_autoSaved();
}

}  // namespace nms
