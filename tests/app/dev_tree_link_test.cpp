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
namespace {

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
        if (alarms->item(row, 0)->text() == name && alarms->item(row, 3)->text() == text)
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

}  // namespace
}  // namespace nms
