// The device tree with the running link against simulated devices: icons follow the online state, events
// reach the alarm list, heartbeat codes reach the information list.
#include <gtest/gtest.h>

#include <QApplication>
#include <chrono>
#include <cstdio>
#include <functional>
#include <thread>

#include "app/dev_alarm_list_view.h"
#include "app/dev_info_list_view.h"
#include "app/dev_tree_view.h"
#include "app/main_frame.h"
#include "device_simulator.h"
#include "devices/device_list_file.h"
#include "devices/network_thread.h"
#include "platform/prompt.h"
#include "platform/resource_icons.h"
#include "qt_app_environment.h"

namespace nms {
namespace dev_tree_link_test {

using test::DeviceSimulator;

// Runs the GUI thread's queued work until done() holds; false after a generous deadline.
bool RunUntil(const std::function<bool()>& done) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        QApplication::processEvents(QEventLoop::AllEvents, 10);
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

QImage IconImage(const QIcon& icon) {
    return icon.pixmap(16, 16).toImage();
}

int CountRows(CDevAlarmListView* alarms, const QString& name, const QString& text) {
    int n = 0;
    for (int row = 0; row < alarms->rowCount(); ++row)
        if (alarms->Text(row, 0) == name && alarms->Text(row, 3) == text)
            ++n;
    return n;
}

TEST(DevTreeLinkTest, IconsAndEventsFollowTheHeartbeats) {
    ScriptedPrompt prompt;
    ScopedPrompt scoped(&prompt);
    DeviceSimulator sim;
    const int dev = sim.AddDevice("127.0.0.1", 0, 0x2101);
    ASSERT_GE(dev, 0);
    sim.SetHeartbeatReply(dev, {0x0a, 0x0b});
    ASSERT_TRUE(sim.Start());
    {
        // The start-up list holds the simulated device.
        DeviceRegistry registry;
        DeviceTreeModel model(registry);
        model.FindOrAddNode("N");
        model.AddDevice("N", "Sim", 0x2101, sim.Address(dev), sim.Port(dev));
        ASSERT_TRUE(model.SaveDevices(std::string()));
    }

    CMainFrame frame;
    frame.Start(std::string());
    CDevTreeView* tree = frame.DevTree();
    ASSERT_NE(tree->Network(), nullptr);
    ASSERT_EQ(tree->Registry().Size(), 1u);
    DeviceRecord* device = tree->Registry().Snapshot()[0].get();
    QTreeWidgetItem* item = tree->ItemOf(device);
    tree->setCurrentItem(item);
    CDevAlarmListView* alarms = frame.AlarmList();

    const QImage offline = IconImage(IconById(CDevTreeView::kOfflineIcon));
    const QImage online = IconImage(IconById(207));
    ASSERT_NE(offline, online);
    EXPECT_EQ(IconImage(item->icon(0)), offline);

    auto tick = [&] {
        const uint64_t passes = tree->Network()->Stats().heartbeatPasses.load();
        tree->OnHeartbeatTimer();
        return RunUntil([&] { return tree->Network()->Stats().heartbeatPasses.load() > passes; });
    };

    // A new device is offline at the first tick and online at its first reply.
    ASSERT_TRUE(tick());
    ASSERT_TRUE(RunUntil([&] { return CountRows(alarms, "Sim", "Device online") == 1; }));
    EXPECT_EQ(CountRows(alarms, "Sim", "Device offline"), 1);
    EXPECT_EQ(IconImage(item->icon(0)), online);
    ASSERT_TRUE(RunUntil([&] { return frame.InfoList()->Value(CDevInfoListView::kRowCode) == "0b0a"; }));

    // Silent: offline at the third unanswered tick, once.
    sim.SetSilent(dev, true);
    for (int i = 0; i < 3; ++i)
        ASSERT_TRUE(tick());
    ASSERT_TRUE(RunUntil([&] { return CountRows(alarms, "Sim", "Device offline") == 2; }));
    EXPECT_EQ(IconImage(item->icon(0)), offline);
    EXPECT_EQ(device->status.load(), -1);
    sim.Stop();
}

// Hundreds of devices in several nodes change state in the same ticks: each device's own item follows it,
// every change reaches the alarm list once, and items of deleted devices are forgotten.
TEST(DevTreeLinkTest, ManyDevicesChangeStateTogether) {
    ScriptedPrompt prompt;
    ScopedPrompt scoped(&prompt);
    DeviceSimulator::Options options;
    options.recordRequests = false;
    DeviceSimulator sim(options);
    constexpr int kDevices = 300;
    {
        DeviceRegistry registry;
        DeviceTreeModel model(registry);
        for (int i = 0; i < kDevices; ++i) {
            const int index = sim.AddDevice(test::SimLoopbackAddress(i), 0, 0x2101);
            ASSERT_EQ(index, i);
            const std::string node = "N" + std::to_string(i % 3);
            model.FindOrAddNode(node);
            model.AddDevice(node, "D" + std::to_string(i), 0x2101, sim.Address(i), sim.Port(i));
        }
        ASSERT_TRUE(model.SaveDevices(std::string()));
    }
    ASSERT_TRUE(sim.Start());
    CMainFrame frame;
    frame.Start(std::string());
    CDevTreeView* tree = frame.DevTree();
    CDevAlarmListView* alarms = frame.AlarmList();
    ASSERT_EQ(tree->topLevelItemCount(), 3);
    const auto devices = tree->Registry().Snapshot();
    ASSERT_EQ(int(devices.size()), kDevices);
    for (int i = 0; i < kDevices; ++i) {
        QTreeWidgetItem* item = tree->ItemOf(devices[size_t(i)].get());
        ASSERT_NE(item, nullptr);
        EXPECT_EQ(item->text(0), QString("D%1").arg(i));
        EXPECT_EQ(item->parent(), tree->topLevelItem(i % 3));
        EXPECT_TRUE(item->parent()->isExpanded());
    }
    const QImage offline = IconImage(IconById(CDevTreeView::kOfflineIcon));
    const QImage online = IconImage(IconById(207));
    auto tick = [&] {
        const uint64_t passes = tree->Network()->Stats().heartbeatPasses.load();
        tree->OnHeartbeatTimer();
        return RunUntil([&] { return tree->Network()->Stats().heartbeatPasses.load() > passes; });
    };
    auto rows = [&](const char* text) {
        int n = 0;
        for (int row = 0; row < alarms->rowCount(); ++row)
            n += alarms->Text(row, 3) == text;
        return n;
    };
    ASSERT_TRUE(tick());
    ASSERT_TRUE(RunUntil([&] { return rows("Device online") == kDevices; }));
    EXPECT_EQ(rows("Device offline"), kDevices);  // the first tick, before they answered
    for (int i = 0; i < kDevices; i += 7)
        EXPECT_EQ(IconImage(tree->ItemOf(devices[size_t(i)].get())->icon(0)), online) << i;

    // Every other device goes silent: those, and only those, go offline at the third silent tick.
    for (int i = 0; i < kDevices; i += 2)
        sim.SetSilent(i, true);
    for (int t = 0; t < 3; ++t) {
        // Ticks five seconds apart: every heartbeat of one is out and its answers are in before the next.
        const uint64_t sent = tree->Network()->Stats().heartbeats.load();
        ASSERT_TRUE(tick());
        ASSERT_TRUE(RunUntil([&] {
            if (tree->Network()->Stats().heartbeats.load() < sent + kDevices)
                return false;
            for (int i = 1; i < kDevices; i += 2)
                if (devices[size_t(i)]->status.load() != 3)
                    return false;
            return true;
        }));
    }
    ASSERT_TRUE(RunUntil([&] { return rows("Device offline") == kDevices + kDevices / 2; }));
    for (int i = 0; i < kDevices; ++i)
        ASSERT_EQ(IconImage(tree->ItemOf(devices[size_t(i)].get())->icon(0)), i % 2 ? online : offline) << i;

    tree->setCurrentItem(tree->ItemOf(devices[1].get()));
    prompt.answers = {IDOK};
    ASSERT_EQ(tree->DeleteSelected(), DeviceTreeModel::DeleteResult::Deleted);
    EXPECT_EQ(tree->ItemOf(devices[1].get()), nullptr);
    EXPECT_EQ(tree->topLevelItem(1)->childCount(), kDevices / 3 - 1);
    sim.Stop();
}

}  // namespace dev_tree_link_test
}  // namespace nms
