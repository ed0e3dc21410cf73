// The device tree without its window: frequency nodes in order, each with its devices, over the device
// registry. The tree widget mirrors it through IDeviceTreeListener and calls these operations from its
// menu commands; the rules for loading, adding, editing and deleting live here.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <unordered_map>
#include <vector>

#include "devices/device_registry.h"

namespace nms {

struct TreeNode {
    std::string name;                // code-page bytes
    std::vector<DevicePtr> devices;  // in tree order
};

// What is selected in the tree: nothing, a node, or a device (with its node).
struct TreeSelection {
    int node = -1;
    DeviceRecord* device = nullptr;
    bool IsNone() const { return node < 0; }
    bool IsNode() const { return node >= 0 && device == nullptr; }
    bool IsDevice() const { return device != nullptr; }
};

class IDeviceTreeListener {
public:
    virtual ~IDeviceTreeListener() = default;
    virtual void OnTreeCleared() {}
    virtual void OnNodeAdded(int node) {}
    virtual void OnNodeRenamed(int node) {}
    virtual void OnNodeRemoved(int node) {}
    virtual void OnDeviceAdded(int node, DeviceRecord* device) {}
    virtual void OnDeviceChanged(DeviceRecord* device) {}
    // Called before the record leaves the list: remove its pages, clear the information list.
    virtual void OnDeviceRemoving(DeviceRecord* device) {}
};

class DeviceTreeModel {
public:
    explicit DeviceTreeModel(DeviceRegistry& registry);

    void SetListener(IDeviceTreeListener* listener) { m_listener = listener; }
    // Called after every automatic save (add, edit, delete): the stored start-up path is cleared then, so
    // the next start loads the file that was just written.
    void SetAutoSavedHook(std::function<void()> hook) { m_autoSaved = std::move(hook); }

    const std::vector<TreeNode>& Nodes() const { return m_nodes; }
    DeviceRegistry& Registry() { return m_registry; }
    int FindNode(const std::string& name) const;
    // The node holding the device, or -1.
    int NodeOf(const DeviceRecord* device) const;

    // Empties the list, then reads the file. An empty path means devinfo.db in the data folder. False
    // (and nothing changed) when the file cannot be opened.
    bool LoadDevices(const std::string& path);
    // Writes the whole list; an empty path means devinfo.db in the data folder. A failure is told to the
    // operator and leaves the old file whole.
    bool SaveDevices(const std::string& path);
    static std::string DefaultListPath();

    // Appends a node unless one of that name exists; returns its index.
    int FindOrAddNode(const std::string& name);
    // The loading road (node name given, or nothing selected) puts the device under the node of that name;
    // the operator's road (empty node name and a selection) under the selected node, and saves. Returns
    // the new record, or null when nothing was added (unknown type, no such node).
    DevicePtr AddDevice(const std::string& nodeName, const std::string& deviceName, uint16_t typeCode,
                        uint32_t address, uint16_t port, const TreeSelection& selection = {});
    // The operator edited a device in the device dialog: conflict boxes, store, save.
    void EditDevice(DeviceRecord* device, const std::string& deviceName, uint32_t address, uint16_t port,
                    uint16_t typeCode);
    // The operator renamed a node: every device under it takes the new name; save.
    void RenameNode(int node, const std::string& name);

    enum class DeleteResult { Nothing, HasDevices, Cancelled, Deleted };
    // Deletes the selected node or device after the confirmation. Saving after a deletion is the caller's
    // (the main frame's Delete command).
    DeleteResult DeleteSelected(const TreeSelection& selection);

private:
    void WarnConflicts(const std::string& deviceName, uint32_t address, const DeviceRecord* except) const;
    void AutoSave();
    // After nodes moved or were renamed.
    void RebuildNodeIndex();

    DeviceRegistry& m_registry;
    std::vector<TreeNode> m_nodes;
    // Node name -> index of the first node of that name, so loading finds nodes without scanning them.
    std::unordered_map<std::string, int> m_nodeIndex;
    IDeviceTreeListener* m_listener = nullptr;
    std::function<void()> m_autoSaved;
};

}  // namespace nms
