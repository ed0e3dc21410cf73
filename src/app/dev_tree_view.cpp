#include "app/dev_tree_view.h"

#include <arpa/inet.h>

#include <QContextMenuEvent>
#include <QHeaderView>
#include <QMenu>
#include <QTimerEvent>

#include "app/command_ids.h"
#include "app/device_dlg.h"
#include "app/freq_node_dlg.h"
#include "app/menu_xp.h"
#include "devices/device_type_catalogue.h"
#include "devices/network_thread.h"
#include "devices/qt_gui_handoff.h"
#include "platform/codepage.h"
#include "platform/resource_icons.h"

namespace nms {

namespace {

constexpr int kDeviceRole = Qt::UserRole + 1;

QString ScreenText(const std::string& gbk) {
    return QString::fromStdString(GbkToUtf8(gbk));
}

}  // namespace

CDevTreeView::CDevTreeView(QWidget* parent) : QTreeWidget(parent), m_model(m_registry) {
    setHeaderHidden(true);
    setColumnCount(1);
    setRootIsDecorated(true);
    setItemsExpandable(true);
    setDragDropMode(QAbstractItemView::NoDragDrop);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setIconSize(QSize(16, 16));
    // Every row is one line beside a 16-pixel icon: the view then lays out fifty thousand rows without
    // asking each one for its height.
    setUniformRowHeights(true);
    m_model.SetListener(this);
    connect(this, &QTreeWidget::currentItemChanged, this,
            [this](QTreeWidgetItem* current, QTreeWidgetItem*) { OnCurrentItemChanged(current); });
}

CDevTreeView::~CDevTreeView() {
    // The link ends (and is joined) before the list and the windows it reports to.
    m_heartbeat.stop();
    if (m_network)
        m_network->Stop();
    m_network.reset();
    m_handoff.reset();
    m_model.SetListener(nullptr);
}

void CDevTreeView::OnInitialUpdate(const std::string& path) {
    LoadDevices(path);
    if (!m_network) {
        m_handoff = std::make_unique<QtGuiHandoff>();
        m_network = std::make_unique<NetworkThread>(m_registry, *m_handoff, this);
        m_network->Start();
    }
    m_heartbeat.start(kHeartbeatSeconds * 1000, this);
}

void CDevTreeView::OnHeartbeatTimer() {
    if (m_network)
        m_network->Tick();
}

bool CDevTreeView::LoadDevices(const std::string& path) {
    m_loading = true;
    const bool loaded = m_model.LoadDevices(path);
    m_loading = false;
    // Items made while loading (all of them when the file was read) go into the tree in one step.
    QList<QTreeWidgetItem*> pending;
    for (QTreeWidgetItem* node : m_nodeItems)
        if (!node->treeWidget())
            pending.append(node);
    if (!pending.isEmpty()) {
        addTopLevelItems(pending);
        for (QTreeWidgetItem* node : pending)
            if (node->childCount() > 0)
                node->setExpanded(true);
    }
    return loaded;
}

bool CDevTreeView::SaveDevices(const std::string& path) {
    return m_model.SaveDevices(path);
}

void CDevTreeView::FindOrAddNode(const std::string& name) {
    m_model.FindOrAddNode(name);
}

DevicePtr CDevTreeView::AddDevice(const std::string& nodeName, const std::string& deviceName,
                                  uint16_t typeCode, uint32_t address, uint16_t port) {
    return m_model.AddDevice(nodeName, deviceName, typeCode, address, port, Selection());
}

void CDevTreeView::EditSelected() {
    const TreeSelection selection = Selection();
    if (selection.IsDevice()) {
        DeviceRecord* device = selection.device;
        const DeviceTypeInfo* type = FindDeviceTypeByCode(device->typeCode);
        const auto b = device->AddressBytes();
        CDeviceDlg dialog(this);
        dialog.m_editMode = 1;
        dialog.m_deviceName = device->deviceName;
        dialog.m_address = std::to_string(b[0]) + "." + std::to_string(b[1]) + "." + std::to_string(b[2]) +
                           "." + std::to_string(b[3]);
        dialog.m_port = device->port;
        dialog.m_typeName = type ? type->name : "";
        if (dialog.DoModal() != 1)
            return;
        const DeviceTypeInfo* chosen = FindDeviceTypeByName(dialog.m_typeName);
        m_model.EditDevice(device, dialog.m_deviceName, inet_addr(dialog.m_address.c_str()),
                           uint16_t(dialog.m_port), chosen ? chosen->typeCode : device->typeCode);
        emit deviceEdited(device);
    } else if (selection.IsNode()) {
        CFreqNodeDlg dialog(this);
        dialog.m_editMode = 1;
        dialog.m_nodeName = m_model.Nodes()[selection.node].name;
        if (dialog.DoModal() != 1)
            return;
        m_model.RenameNode(selection.node, dialog.m_nodeName);
    }
}

DeviceTreeModel::DeleteResult CDevTreeView::DeleteSelected() {
    return m_model.DeleteSelected(Selection());
}

void CDevTreeView::UpdateStatusIcon(DeviceRecord* device) {
    QTreeWidgetItem* item = ItemOf(device);
    if (item)
        item->setIcon(0, DeviceIcon(device, IsDeviceOnline(device) > 0));
}

TreeSelection CDevTreeView::Selection() const {
    TreeSelection selection;
    QTreeWidgetItem* item = currentItem();
    if (!item)
        return selection;
    QTreeWidgetItem* nodeItem = item->parent() ? item->parent() : item;
    selection.node = indexOfTopLevelItem(nodeItem);
    selection.device = DeviceOf(item);
    return selection;
}

QTreeWidgetItem* CDevTreeView::ItemOf(const DeviceRecord* device) const {
    auto it = m_items.find(device);
    return it == m_items.end() ? nullptr : it->second;
}

DeviceRecord* CDevTreeView::DeviceOf(const QTreeWidgetItem* item) {
    if (!item)
        return nullptr;
    return reinterpret_cast<DeviceRecord*>(item->data(0, kDeviceRole).value<quintptr>());
}

QIcon CDevTreeView::DeviceIcon(const DeviceRecord* device, bool online) const {
    const DeviceTypeInfo* type = online ? FindDeviceTypeByCode(device->typeCode) : nullptr;
    return CachedIcon(type ? int(type->icon) : kOfflineIcon);
}

QIcon CDevTreeView::CachedIcon(int id) const {
    // Loaded once per picture: a list of fifty thousand devices would otherwise read it fifty thousand times.
    auto it = m_icons.find(id);
    if (it == m_icons.end())
        it = m_icons.emplace(id, IconById(id)).first;
    return it->second;
}

QMenu* CDevTreeView::CreateContextMenu(QTreeWidgetItem* item) {
    auto* menu = new CMenuXP(this);
    const bool onDevice = item && item->parent();
    const bool onNode = item && !item->parent();
    auto add = [&](const char* text, int id, int forwardAs, bool enabled, int icon) {
        auto* record = new CMenuXPItem(16);
        record->m_id = uint32_t(id);
        record->m_icon = IconById(icon);
        record->SetText(QString::fromLatin1(text));
        QAction* action = menu->AppendMenuItem(enabled ? MF_STRING : MF_GRAYED, record);
        connect(action, &QAction::triggered, this, [this, forwardAs] { emit commandPosted(forwardAs); });
    };
    add("Add Frequency Node", ID_TREE_ADD_FREQ_NODE, ID_ADD_FREQ_NODE, !onNode && !onDevice, 140);
    add("Add Device", ID_TREE_ADD_DEVICE, ID_ADD_DEVICE, onNode, 141);
    menu->AppendMenuItem(MF_SEPARATOR, new CMenuXPItem(16));
    add("Edit Device", ID_TREE_EDIT_DEVICE, ID_EDIT_DEVICE, onNode || onDevice, 178);
    add("Delete Device", ID_TREE_DELETE_DEVICE, ID_DELETE_DEVICE, onNode || onDevice, 179);
    return menu;
}

QTreeWidgetItem* CDevTreeView::ItemUnderLabel(const QPoint& pos) const {
    QTreeWidgetItem* item = itemAt(pos);
    if (!item)
        return nullptr;
    // The row spans the whole width; only the icon and the text count as the item.
    const QRect cell = visualItemRect(item);
    const int labelRight =
        cell.left() + iconSize().width() + 8 + fontMetrics().horizontalAdvance(item->text(0));
    return pos.x() >= cell.left() && pos.x() <= labelRight ? item : nullptr;
}

void CDevTreeView::contextMenuEvent(QContextMenuEvent* event) {
    QTreeWidgetItem* item = ItemUnderLabel(viewport()->mapFromGlobal(event->globalPos()));
    if (item)
        setCurrentItem(item);
    QMenu* menu = CreateContextMenu(item);
    menu->exec(event->globalPos());
    delete menu;
}

void CDevTreeView::timerEvent(QTimerEvent* event) {
    if (event->timerId() == m_heartbeat.timerId()) {
        OnHeartbeatTimer();
        return;
    }
    QTreeWidget::timerEvent(event);
}

void CDevTreeView::OnTreeCleared() {
    // Nodes made during a load that has not put them into the tree yet are not the tree's to delete.
    for (QTreeWidgetItem* node : m_nodeItems)
        if (!node->treeWidget())
            delete node;
    clear();
    m_nodeItems.clear();
    m_items.clear();
}

void CDevTreeView::OnNodeAdded(int node) {
    auto* item = new QTreeWidgetItem({ScreenText(m_model.Nodes()[node].name)});
    item->setIcon(0, CachedIcon(kNodeIcon));
    m_nodeItems.insert(m_nodeItems.begin() + node, item);
    if (!m_loading)
        insertTopLevelItem(node, item);
}

void CDevTreeView::OnNodeRenamed(int node) {
    if (node >= 0 && node < int(m_nodeItems.size()))
        m_nodeItems[size_t(node)]->setText(0, ScreenText(m_model.Nodes()[node].name));
}

void CDevTreeView::OnNodeRemoved(int node) {
    if (node < 0 || node >= int(m_nodeItems.size()))
        return;
    QTreeWidgetItem* item = m_nodeItems[size_t(node)];
    m_nodeItems.erase(m_nodeItems.begin() + node);
    if (item == currentItem())
        setCurrentItem(nullptr);
    delete item;  // a node is removed only when it holds no devices
}

void CDevTreeView::OnDeviceAdded(int node, DeviceRecord* device) {
    if (node < 0 || node >= int(m_nodeItems.size()))
        return;
    QTreeWidgetItem* parent = m_nodeItems[size_t(node)];
    auto* item = new QTreeWidgetItem(parent, {ScreenText(device->deviceName)});
    item->setData(0, kDeviceRole, QVariant::fromValue(reinterpret_cast<quintptr>(device)));
    item->setIcon(0, DeviceIcon(device, false));
    m_items[device] = item;
    if (!m_loading)
        parent->setExpanded(true);
}

void CDevTreeView::OnDeviceChanged(DeviceRecord* device) {
    if (QTreeWidgetItem* item = ItemOf(device))
        item->setText(0, ScreenText(device->deviceName));
}

void CDevTreeView::OnDeviceRemoving(DeviceRecord* device) {
    emit deviceRemoving(device);
    QTreeWidgetItem* item = ItemOf(device);
    m_items.erase(device);
    // Nothing is selected afterwards: the tree would otherwise move the selection on and show the pages
    // of another device.
    if (item && item == currentItem())
        setCurrentItem(nullptr);
    delete item;
}

void CDevTreeView::OnCurrentItemChanged(QTreeWidgetItem* current) {
    if (DeviceRecord* device = DeviceOf(current))
        emit deviceSelected(device);
}

}  // namespace nms
