// The device tree in the upper left pane: frequency nodes with their devices, each device's icon showing
// whether it is online. It owns the device list (through DeviceTreeModel), starts the network thread and
// its heartbeat tick, and tells the frame when the operator selects, edits or deletes a device.
#pragma once

#include <QBasicTimer>
#include <QTreeWidget>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "devices/device_registry.h"
#include "devices/device_tree_model.h"
#include "devices/gui_handoff.h"

class QMenu;

namespace nms {

class NetworkThread;
class QtGuiHandoff;

class CDevTreeView : public QTreeWidget, public IDeviceTreeListener, public INetworkObserver {
    Q_OBJECT
public:
    static constexpr int kHeartbeatSeconds = 5;
    static constexpr int kNodeIcon = 146;
    static constexpr int kOfflineIcon = 151;

    explicit CDevTreeView(QWidget* parent = nullptr);
    ~CDevTreeView() override;

    // Loads the start-up list, starts the network thread and the heartbeat tick.
    void OnInitialUpdate(const std::string& path);

    bool LoadDevices(const std::string& path);
    bool SaveDevices(const std::string& path);
    void FindOrAddNode(const std::string& name);
    // An empty node name with a selection is the operator's road (under the selected node, saved).
    DevicePtr AddDevice(const std::string& nodeName, const std::string& deviceName, uint16_t typeCode,
                        uint32_t address, uint16_t port);
    void EditSelected();
    DeviceTreeModel::DeleteResult DeleteSelected();
    // The Operate menu on the selected device (dev_tree_config.cpp): save (1), reload (2) or factory
    // reset (3) of an online device; import and export through the transfer dialog (path: its first path).
    void ConfigOperation(int operation);
    void ImportConfig(const std::string& path);
    void ExportConfig(const std::string& path);
    // Online: the icon of the device's catalogue row; offline: the offline icon.
    void UpdateStatusIcon(DeviceRecord* device) override;
    // The heartbeat tick of timer 1.
    void OnHeartbeatTimer();
    // The running link, or null before the initial update.
    NetworkThread* Network() const { return m_network.get(); }

    DeviceTreeModel& Model() { return m_model; }
    DeviceRegistry& Registry() { return m_registry; }
    TreeSelection Selection() const;
    QTreeWidgetItem* ItemOf(const DeviceRecord* device) const;
    static DeviceRecord* DeviceOf(const QTreeWidgetItem* item);

    // The context menu for a click on item (null: on empty space); the caller owns it.
    QMenu* CreateContextMenu(QTreeWidgetItem* item);
    // The item whose icon or label lies under pos (viewport coordinates), or null.
    QTreeWidgetItem* ItemUnderLabel(const QPoint& pos) const;

signals:
    // A command for the main frame, delivered queued as a posted command would be.
    void commandPosted(int id);
    // The operator selected a device (not a node).
    void deviceSelected(DeviceRecord* device);
    // The device's record is about to leave the list: its pages and information go.
    void deviceRemoving(DeviceRecord* device);
    // The operator edited the device.
    void deviceEdited(DeviceRecord* device);
    // What the link has the information list show: a version reply of any device, and the payload of a
    // heartbeat reply (valid during the call only).
    void versionReceived(uint32_t version);
    void codeReceived(const uint8_t* payload, int length, const DeviceRecord* device);

protected:
    void contextMenuEvent(QContextMenuEvent* event) override;
    void timerEvent(QTimerEvent* event) override;

private:
    // IDeviceTreeListener
    void OnTreeCleared() override;
    void OnNodeAdded(int node) override;
    void OnNodeRenamed(int node) override;
    void OnNodeRemoved(int node) override;
    void OnDeviceAdded(int node, DeviceRecord* device) override;
    void OnDeviceChanged(DeviceRecord* device) override;
    void OnDeviceRemoving(DeviceRecord* device) override;

    void OnCurrentItemChanged(QTreeWidgetItem* current);
    QIcon DeviceIcon(const DeviceRecord* device, bool online) const;
    QIcon CachedIcon(int id) const;
    // INetworkObserver
    void SetVersion(uint32_t version) override { emit versionReceived(version); }
    void ShowCode(const uint8_t* payload, int length, const DeviceRecord* device) override {
        emit codeReceived(payload, length, device);
    }

    DeviceRegistry m_registry;
    DeviceTreeModel m_model;
    // Device -> its tree item, so a state change costs the same with ten devices as with fifty thousand.
    std::unordered_map<const DeviceRecord*, QTreeWidgetItem*> m_items;
    // Node items in model order. While a list loads they are not in the tree yet: the whole tree goes in
    // at once at the end, instead of one view update per device.
    std::vector<QTreeWidgetItem*> m_nodeItems;
    bool m_loading = false;
    mutable std::unordered_map<int, QIcon> m_icons;  // by icon id
    QBasicTimer m_heartbeat;
    std::unique_ptr<QtGuiHandoff> m_handoff;
    std::unique_ptr<NetworkThread> m_network;
};

}  // namespace nms
