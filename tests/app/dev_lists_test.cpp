// The information list, the alarm list and the device tree's context menu.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <filesystem>
#include <fstream>

#include "app/command_ids.h"
#include "app/dev_alarm_list_view.h"
#include "app/dev_info_list_view.h"
#include "app/dev_tree_view.h"
#include "app/menu_xp.h"
#include "devices/device_events.h"
#include "devices/device_record.h"
#include "platform/data_folder.h"
#include "platform/prompt.h"
#include "platform/resource_icons.h"
#include "qt_app_environment.h"

namespace nms {
namespace dev_lists_test {

class DevListsTest : public ::testing::Test {
protected:
    ScriptedPrompt prompt;
    ScopedPrompt scoped{&prompt};
};

// "text=command/icon" for each entry of an owner-drawn menu, "-" for a separator; the icon is the
// resource number among candidates that draws the same image.
QStringList Entries(QMenu* menu, std::initializer_list<int> candidates) {
    QStringList entries;
    auto* xp = qobject_cast<CMenuXP*>(menu);
    for (QAction* a : menu->actions()) {
        if (a->isSeparator()) {
            entries << "-";
            continue;
        }
        const CMenuXPItem* record = xp ? xp->ItemOf(a) : nullptr;
        if (!record) {
            entries << "?" + a->text();
            continue;
        }
        QString icon = "?";
        const QImage image = record->m_icon.pixmap(16, 16).toImage();
        for (int id : candidates)
            if (!IconById(id).isNull() && IconById(id).pixmap(16, 16).toImage() == image) {
                icon = QString::number(id);
                break;
            }
        entries << record->m_text + "=" + QString::number(record->m_id) + "/" + icon;
    }
    return entries;
}

TEST_F(DevListsTest, ColumnsAndRowLabels) {
    CDevInfoListView info;
    EXPECT_EQ(info.headerItem()->text(0), "Name");
    EXPECT_EQ(info.headerItem()->text(1), "Information");
    EXPECT_GE(info.columnWidth(0), 75);  // wider only when the screen font needs it
    info.resize(600, 300);
    info.show();
    QApplication::processEvents();
    EXPECT_EQ(info.columnWidth(1), 126);
    QStringList labels;
    for (int row = 0; row < info.topLevelItemCount(); ++row)
        labels << info.topLevelItem(row)->text(0);
    EXPECT_EQ(labels, QStringList({"Type:", "Name:", "IP Add.:", "Port:", "HW Ver.:", "SW Ver.:", "Code:"}));

    CDevAlarmListView alarms;
    const struct {
        const char* title;
        int width;
    } columns[] = {{"Device Name", 150},
                   {"IP Address", 150},
                   {"Device Type", 150},
                   {"Alarm Info", 200},
                   {"Alarm Time", 150}};
    ASSERT_EQ(alarms.columnCount(), 5);
    for (int c = 0; c < 5; ++c) {
        EXPECT_EQ(alarms.model()->headerData(c, Qt::Horizontal).toString(), columns[c].title);
        EXPECT_EQ(alarms.columnWidth(c), columns[c].width) << columns[c].title;
    }
}

TEST_F(DevListsTest, ContextMenuCommandsAndIcons) {
    CDevAlarmListView alarms;
    std::unique_ptr<QMenu> alarmMenu(alarms.CreateContextMenu());
    EXPECT_EQ(Entries(alarmMenu.get(), {179, 189, 157}),
              QStringList({"Delete Alarm=32784/179", "Empty All=32785/189", "-", "Refresh=32786/157"}));

    CDevTreeView tree;
    std::unique_ptr<QMenu> treeMenu(tree.CreateContextMenu(nullptr));
    EXPECT_EQ(Entries(treeMenu.get(), {140, 141, 178, 179}),
              QStringList({"Add Frequency Node=32792/140", "Add Device=32793/141", "-",
                           "Edit Device=32788/178", "Delete Device=32789/179"}));
}

TEST_F(DevListsTest, InfoListShowsAndClearsADevice) {
    CDevInfoListView list;
    ASSERT_EQ(list.topLevelItemCount(), 7);
    EXPECT_EQ(list.topLevelItem(0)->text(0), "Type:");
    EXPECT_EQ(list.topLevelItem(6)->text(0), "Code:");

    DeviceRecord device;
    device.deviceName = "Mod 1";
    device.typeCode = 0x4104;  // "4in1 QAM Modulator(4*ASI)"
    device.SetAddressBytes(192, 168, 1, 20);
    device.port = 2009;
    list.SetVersion(0x12020501);  // payload 01 05 02 12
    list.ShowDevice(&device, 1);
    EXPECT_EQ(list.Value(0), "4in1 QAM Modulator(4*ASI)");
    EXPECT_EQ(list.Value(1), "Mod 1");
    EXPECT_EQ(list.Value(2), "192.168.1.20");
    EXPECT_EQ(list.Value(3), "2009");
    EXPECT_EQ(list.Value(4), "2.12");  // the versions of the last version reply stay
    EXPECT_EQ(list.Value(5), "1.05");
    EXPECT_EQ(list.Value(6), "0");

    list.ShowDevice(&device, 0);
    for (int row = 0; row < 6; ++row)
        EXPECT_EQ(list.Value(row), "") << row;
    EXPECT_EQ(list.Value(6), "0");
}

TEST_F(DevListsTest, VersionTextsPadTheMinorNumber) {
    CDevInfoListView list;
    const struct {
        uint32_t version;
        const char* hw;
        const char* sw;
    } cases[] = {
        {0x0A010A01, "1.0a", "1.0a"},
        {0x100F00FF, "f.10", "ff.00"},
        {0x00000000, "0.00", "0.00"},
    };
    for (const auto& c : cases) {
        list.SetVersion(c.version);
        EXPECT_EQ(list.Value(CDevInfoListView::kRowHwVersion), c.hw);
        EXPECT_EQ(list.Value(CDevInfoListView::kRowSwVersion), c.sw);
    }
}

TEST_F(DevListsTest, CodeShownOnlyForTheDeviceShown) {
    CDevInfoListView list;
    DeviceRecord shown, other;
    shown.typeCode = other.typeCode = 0x2101;
    shown.SetAddressBytes(10, 0, 0, 1);
    other.SetAddressBytes(10, 0, 0, 2);
    list.ShowDevice(&shown, 1);
    const uint8_t payload[] = {0x01, 0x02, 0xA0};
    list.ShowCode(payload, 3, &other);
    EXPECT_EQ(list.Value(6), "0");
    list.ShowCode(payload, 3, &shown);
    EXPECT_EQ(list.Value(6), "a00201");

    // A long payload shows its most significant bytes only, never runs past what arrived.
    std::vector<uint8_t> longPayload(300, 0x11);
    longPayload.back() = 0xEE;
    list.ShowCode(longPayload.data(), int(longPayload.size()), &shown);
    EXPECT_EQ(list.Value(6).size(), 254);
    EXPECT_TRUE(list.Value(6).startsWith("ee11"));
}

TEST_F(DevListsTest, AlarmRowsAndEmptyAll) {
    CDevAlarmListView alarms;
    DeviceRecord device;
    device.SetAddressBytes(127, 0, 0, 5);
    alarms.AddAlarm("Mux", device.address, "ASI Multiplexer(8ASI)", "Device online");
    alarms.AddAlarm("Enc", device.address, "", "Device offline");
    ASSERT_EQ(alarms.rowCount(), 2);
    EXPECT_EQ(alarms.Text(0, 0), "Mux");
    EXPECT_EQ(alarms.Text(0, 1), "127.0.0.5");
    EXPECT_EQ(alarms.Text(0, 2), "ASI Multiplexer(8ASI)");
    EXPECT_EQ(alarms.Text(0, 3), "Device online");
    EXPECT_TRUE(
        alarms.Text(0, 4).contains(QRegularExpression("^\\d{4}-\\d{1,2}-\\d{1,2} "
                                                      "\\d{1,2}:\\d{1,2}:\\d{1,2}$")));
    EXPECT_EQ(alarms.Text(1, 2), "");

    prompt.answers = {IDCANCEL};
    alarms.OnCommand(CDevAlarmListView::ID_EMPTY_ALL);
    ASSERT_EQ(prompt.shown.size(), 1u);
    EXPECT_EQ(prompt.shown[0].text, "Sure to empty all alarm ?");
    EXPECT_EQ(prompt.shown[0].caption, "Confirm");
    EXPECT_EQ(prompt.shown[0].flags, unsigned(MB_OKCANCEL | MB_ICONQUESTION | MB_DEFBUTTON2));
    EXPECT_EQ(alarms.rowCount(), 2);

    prompt.answers = {IDOK};
    alarms.OnCommand(CDevAlarmListView::ID_EMPTY_ALL);
    EXPECT_EQ(alarms.rowCount(), 0);
}

TEST_F(DevListsTest, DeleteAlarmRemovesExactlyTheSelectedRows) {
    CDevAlarmListView alarms;
    for (int i = 0; i < 5; ++i)
        alarms.AddAlarm("D" + std::to_string(i), 0, "", "e");
    ASSERT_EQ(alarms.rowCount(), 5);
    alarms.selectRow(1);
    alarms.selectionModel()->select(alarms.model()->index(3, 0),
                                    QItemSelectionModel::Select | QItemSelectionModel::Rows);
    alarms.OnCommand(CDevAlarmListView::ID_DELETE_ALARM);
    ASSERT_EQ(alarms.rowCount(), 3);
    EXPECT_EQ(alarms.Text(0, 0), "D0");
    EXPECT_EQ(alarms.Text(1, 0), "D2");
    EXPECT_EQ(alarms.Text(2, 0), "D4");
    EXPECT_TRUE(prompt.shown.empty());
}

// The table keeps the most recent rows only, trimmed once after a burst; the log keeps every line.
TEST_F(DevListsTest, AlarmTableKeepsTheMostRecentRowsAndTheLogKeepsAll) {
    std::filesystem::remove(DataFilePath("alarmlog.txt"));
    CDevAlarmListView alarms;
    constexpr int kAdded = CDevAlarmListView::kMaxRows + 25;
    {
        AlarmLogBatch batch;
        for (int i = 0; i < kAdded; ++i)
            alarms.AddAlarm("D" + std::to_string(i), 0, "", "Device online");
    }
    QApplication::processEvents();  // the end of the burst
    ASSERT_EQ(alarms.rowCount(), CDevAlarmListView::kMaxRows);
    EXPECT_EQ(alarms.Text(0, 0), "D25");
    EXPECT_EQ(alarms.Text(alarms.rowCount() - 1, 0), QString("D%1").arg(kAdded - 1));
    // The newest row is in view.
    EXPECT_TRUE(alarms.viewport()->rect().intersects(
        alarms.visualRect(alarms.model()->index(alarms.rowCount() - 1, 0))));
    std::ifstream in(DataFilePath("alarmlog.txt"));
    int lines = 0;
    for (std::string line; std::getline(in, line);)
        lines += line.rfind("D", 0) == 0;
    EXPECT_EQ(lines, kAdded);
}

TEST_F(DevListsTest, AlarmContextMenuEntries) {
    CDevAlarmListView alarms;
    std::unique_ptr<QMenu> menu(alarms.CreateContextMenu());
    QStringList texts;
    for (QAction* a : menu->actions())
        texts << (a->isSeparator() ? QString("-") : a->text());
    EXPECT_EQ(texts, QStringList({"Delete Alarm", "Empty All", "-", "Refresh"}));
}

struct MenuState {
    bool addNode, addDevice, edit, del;
};

MenuState StateOf(QMenu* menu) {
    std::map<int, bool> enabled;
    for (QAction* a : menu->actions())
        if (!a->isSeparator())
            enabled[a->data().toInt()] = a->isEnabled();
    return {enabled.at(ID_TREE_ADD_FREQ_NODE), enabled.at(ID_TREE_ADD_DEVICE),
            enabled.at(ID_TREE_EDIT_DEVICE), enabled.at(ID_TREE_DELETE_DEVICE)};
}

TEST_F(DevListsTest, TreeContextMenuGreying) {
    CDevTreeView tree;
    tree.FindOrAddNode("Node A");
    DeviceRecord* device = tree.AddDevice("Node A", "Mux", 0x2101, 0x0100007F, 2009).get();
    ASSERT_NE(device, nullptr);
    QTreeWidgetItem* nodeItem = tree.topLevelItem(0);
    QTreeWidgetItem* deviceItem = tree.ItemOf(device);
    ASSERT_NE(deviceItem, nullptr);

    std::unique_ptr<QMenu> onSpace(tree.CreateContextMenu(nullptr));
    QStringList texts;
    for (QAction* a : onSpace->actions())
        texts << (a->isSeparator() ? QString("-") : a->text());
    EXPECT_EQ(texts, QStringList({"Add Frequency Node", "Add Device", "-", "Edit Device", "Delete Device"}));

    const struct {
        QTreeWidgetItem* item;
        MenuState expected;
    } cases[] = {
        {nullptr, {true, false, false, false}},
        {nodeItem, {false, true, true, true}},
        {deviceItem, {false, false, true, true}},
    };
    for (const auto& c : cases) {
        std::unique_ptr<QMenu> menu(tree.CreateContextMenu(c.item));
        const MenuState s = StateOf(menu.get());
        EXPECT_EQ(s.addNode, c.expected.addNode);
        EXPECT_EQ(s.addDevice, c.expected.addDevice);
        EXPECT_EQ(s.edit, c.expected.edit);
        EXPECT_EQ(s.del, c.expected.del);
    }
}

TEST_F(DevListsTest, TreeContextMenuForwardsTheFrameCommands) {
    CDevTreeView tree;
    tree.FindOrAddNode("N");
    std::vector<int> posted;
    QObject::connect(&tree, &CDevTreeView::commandPosted, [&](int id) { posted.push_back(id); });
    for (QTreeWidgetItem* item : {static_cast<QTreeWidgetItem*>(nullptr), tree.topLevelItem(0)}) {
        std::unique_ptr<QMenu> menu(tree.CreateContextMenu(item));
        for (QAction* a : menu->actions())
            if (!a->isSeparator())
                a->trigger();  // greyed entries send nothing
    }
    EXPECT_EQ(posted, std::vector<int>({ID_ADD_FREQ_NODE, ID_ADD_DEVICE, ID_EDIT_DEVICE, ID_DELETE_DEVICE}));
}

TEST_F(DevListsTest, LabelHitTestIgnoresTheEmptyRowEnd) {
    CDevTreeView tree;
    tree.resize(300, 200);
    tree.FindOrAddNode("N");
    tree.show();
    const QRect cell = tree.visualItemRect(tree.topLevelItem(0));
    EXPECT_EQ(tree.ItemUnderLabel(QPoint(cell.left() + 4, cell.center().y())), tree.topLevelItem(0));
    EXPECT_EQ(tree.ItemUnderLabel(QPoint(cell.right() - 4, cell.center().y())), nullptr);
    EXPECT_EQ(tree.ItemUnderLabel(QPoint(cell.left() + 4, cell.bottom() + 40)), nullptr);
}

}  // namespace dev_lists_test
}  // namespace nms
