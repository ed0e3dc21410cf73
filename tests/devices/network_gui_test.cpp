// The network thread with the GUI thread of the program: hand-offs through Qt's queued calls to pages.
#include <arpa/inet.h>
#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <fstream>
#include <thread>

#include "device_simulator.h"
#include "devices/device_events.h"
#include "devices/device_packet.h"
#include "devices/network_thread.h"
#include "devices/qt_gui_handoff.h"
#include "page_fixture.h"
#include "pagebase/form_template_view.h"
#include "platform/data_folder.h"

namespace nms {
namespace network_gui_test {

bool PumpUntil(const std::function<bool()>& done, int timeoutMs = 10000) {
    QElapsedTimer timer;
    timer.start();
    while (!done()) {
        if (timer.elapsed() > timeoutMs)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    return true;
}

class GetPage : public CFormTemplateView {
public:
    void Get() {
        if (SendCommand(0x40, 1, 1, m_device, nullptr, 0) == 1)
            BeginWait(4);
    }
    void OnDeviceReply(DeviceRecord*, const ReplyView& reply) override {
        uint8_t value = 0;
        if (reply.Command() != 0x40 || !reply.U8(0, &value))
            return;  // too short: the wait times out
        m_value = value;
        ++m_replies;
        if (onReply)
            onReply();
        EndWait(4);
    }
    int m_value = -1;
    int m_replies = 0;
    std::function<void()> onReply;
};

class NetworkGuiTest : public ::testing::Test {
protected:
    void SetUp() override {
        test::EnsureApplication();
        ASSERT_TRUE(sim.Start());
        m_index = sim.AddDevice(test::SimLoopbackAddress(0), 0, 0x2101);
        ASSERT_GE(m_index, 0);
        device = std::make_shared<DeviceRecord>();
        device->deviceName = "Dev1";
        device->typeCode = 0x2101;
        device->address = sim.Address(m_index);
        device->port = sim.Port(m_index);
        device->status.store(3);
        registry.Append(device);
        NetworkThread::Options options;
        options.bindAddress = htonl(INADDR_LOOPBACK);
        options.receiveBufferBytes = 1 << 20;
        net = std::make_unique<NetworkThread>(registry, handoff, nullptr, options);
        ASSERT_TRUE(net->Start());
        sim.SetPeer(htonl(INADDR_LOOPBACK), net->LocalPort());
    }
    void TearDown() override {
        net->Stop();
        QCoreApplication::processEvents();
    }

    test::DeviceSimulator sim;
    DeviceRegistry registry;
    QtGuiHandoff handoff;
    DevicePtr device;
    std::unique_ptr<NetworkThread> net;
    test::EventRecorder events;
    int m_index = -1;
};

TEST_F(NetworkGuiTest, RequestAndReplyRoundTripEndsTheWait) {
    GetPage page;
    page.SetDevice(device.get());
    page.show();
    sim.ScriptReply(m_index, 0x40, {0x40, {0x2A}});
    page.Get();
    EXPECT_TRUE(page.IsBusy());
    ASSERT_TRUE(PumpUntil([&] { return page.m_replies == 1; }));
    EXPECT_EQ(page.m_value, 0x2A);
    EXPECT_FALSE(page.IsBusy());
    EXPECT_EQ(device->busy.load(), 0);

    // A reply too short for the handler changes nothing; the wait stays until its time-out.
    sim.ScriptReply(m_index, 0x40, {0x40, {}});
    page.Get();
    ASSERT_TRUE(sim.WaitForRequests(m_index, 0x40, 2));
    const uint64_t before = net->Stats().processed.load();
    ASSERT_TRUE(PumpUntil([&] { return net->Stats().processed.load() > before; }));
    EXPECT_TRUE(page.IsBusy());
    EXPECT_EQ(page.m_replies, 1);
    ASSERT_TRUE(page.Timers().Fire(4));
    EXPECT_EQ(events.Texts(), std::vector<std::string>{"Operation timeout"});
}

TEST_F(NetworkGuiTest, DeviceRestartWithABoundPageGivesTimeoutThenRestart) {
    GetPage page;
    page.SetDevice(device.get());
    page.show();
    page.BeginWait(4);
    sim.SendRestart(m_index);
    ASSERT_TRUE(PumpUntil([&] { return events.Texts().size() == 2; }));
    EXPECT_EQ(events.Texts(), (std::vector<std::string>{"Operation timeout", "Device restart"}));
    EXPECT_FALSE(page.IsBusy());
}

TEST_F(NetworkGuiTest, ClosingWhileAHandlerIsInsideAModalBoxDoesNotHang) {
    ScriptedPrompt prompt;
    ScopedPrompt scope(&prompt);
    GetPage page;
    page.SetDevice(device.get());
    page.show();
    int repliesInsideBox = -1;
    prompt.onShow = [&](const PromptRequest&) {
        // The box's event loop runs; another reply arrives but is not handled while we are inside.
        sim.SendPacket(m_index, 0x40, {0x02});
        QEventLoop loop;
        QTimer::singleShot(50, &loop, &QEventLoop::quit);
        loop.exec();
        repliesInsideBox = page.m_replies;
        // The operator closes the program: the device tree stops the link from inside the box.
        net->Stop();
    };
    page.onReply = [&] {
        if (page.m_replies == 1)
            ShowMessageBox("Set parameter succeed!");
    };
    sim.SendPacket(m_index, 0x40, {0x01});
    ASSERT_TRUE(PumpUntil([&] { return !net->IsRunning(); }));
    EXPECT_EQ(repliesInsideBox, 1);
    EXPECT_EQ(page.m_value, 1);
}

TEST_F(NetworkGuiTest, SavedConfigurationBoxDoesNotStopTheLink) {
    ScriptedPrompt prompt;
    ScopedPrompt scope(&prompt);
    GetPage page;
    page.SetDevice(device.get());
    page.show();
    sim.ScriptReply(m_index, 0x40, {0x40, {0x07}});
    bool repliedWhileBoxOpen = false;
    prompt.onShow = [&](const PromptRequest& request) {
        if (request.text.find("Save config succeed!") == std::string::npos)
            return;
        page.Get();
        repliedWhileBoxOpen = PumpUntil([&] { return page.m_replies == 1; });
    };
    sim.SetHeartbeatReply(m_index, {0x01}, true);
    net->Tick();
    ASSERT_TRUE(PumpUntil([&] { return !prompt.shown.empty(); }));
    EXPECT_TRUE(repliedWhileBoxOpen);
    EXPECT_EQ(prompt.shown[0].text, "Dev1(127.0.1.1):Save config succeed!");
}

// A flood of "saved" heartbeat replies: the box stays one per device, never one inside another.
TEST_F(NetworkGuiTest, AFloodOfSavedNoticesOpensOneBoxAtATime) {
    ScriptedPrompt prompt;
    ScopedPrompt scope(&prompt);
    int depth = 0, deepest = 0;
    prompt.onShow = [&](const PromptRequest& request) {
        if (request.text.find("Save config succeed!") == std::string::npos)
            return;
        ++depth;
        deepest = std::max(deepest, depth);
        // The box's own event loop: everything the network thread hands over meanwhile runs here.
        if (prompt.shown.size() == 1) {
            for (int i = 0; i < 500; ++i)
                sim.SendPacket(m_index, 1, {0x01}, 0x81, 1);
            PumpUntil([] { return false; }, 1500);  // the flood arrives while the box is open
        }
        --depth;
    };
    sim.SetHeartbeatReply(m_index, {0x01}, true);
    net->Tick();
    ASSERT_TRUE(PumpUntil([&] { return prompt.shown.size() >= 2; }));
    PumpUntil([] { return false; }, 300);
    EXPECT_EQ(deepest, 1);
    ASSERT_EQ(prompt.shown.size(), 2u);  // the first, then the rest merged into one
    EXPECT_NE(prompt.shown[1].text.find("Dev1(127.0.1.1):Save config succeed! ("), std::string::npos);
    EXPECT_NE(prompt.shown[1].text.find(" times)"), std::string::npos);
}

// A long queue of work from the network thread runs in slices: a timer of the GUI thread gets its turn
// between them, the work keeps its order, and work that opens a modal loop lets the work after it run there.
TEST_F(NetworkGuiTest, HandOffRunsLongQueuesInSlicesInOrder) {
    QtGuiHandoff handoff;
    std::vector<int> ran;
    int ranBeforeTimer = -1;
    std::thread network([&] {
        for (int i = 0; i < 40; ++i)
            handoff.Post([&ran, i] {
                std::this_thread::sleep_for(std::chrono::milliseconds(2));
                ran.push_back(i);
            });
    });
    network.join();
    QTimer::singleShot(0, [&] { ranBeforeTimer = int(ran.size()); });
    QElapsedTimer waited;
    waited.start();
    while (ran.size() < 40 && waited.elapsed() < 5000)
        QApplication::processEvents();
    ASSERT_EQ(ran.size(), 40u);
    for (int i = 0; i < 40; ++i)
        EXPECT_EQ(ran[size_t(i)], i);
    EXPECT_GT(ranBeforeTimer, 0);
    EXPECT_LT(ranBeforeTimer, 40);  // 80 ms of work: the timer came between two slices

    // Work inside a modal loop: what was queued after it runs inside that loop, before it returns.
    ran.clear();
    handoff.Post([&] {
        QEventLoop loop;
        QTimer::singleShot(50, &loop, &QEventLoop::quit);
        loop.exec();
        ran.push_back(100 + int(ran.size()));
    });
    handoff.Post([&] { ran.push_back(int(ran.size())); });
    waited.restart();
    while (ran.size() < 2 && waited.elapsed() < 5000)
        QApplication::processEvents();
    EXPECT_EQ(ran, (std::vector<int>{0, 101}));
}

// A batch of status changes is spread over slices item by item, in order with the work around it; its
// alarm log lines reach the file before other work runs (which may open a box and stay a long time).
TEST_F(NetworkGuiTest, HandOffSpreadsABatchOverSlices) {
    const std::string log = DataFilePath("alarmlog.txt");
    std::remove(log.c_str());
    auto logLines = [&] {
        std::ifstream in(log);
        int n = 0;
        for (std::string line; std::getline(in, line);)
            ++n;
        return n;
    };
    QtGuiHandoff handoff;
    std::vector<int> ran;
    int ranBeforeTimer = -1, linesBeforeHandler = -1;
    handoff.Post([&] { ran.push_back(-1); });
    std::vector<std::function<void()>> batch;
    for (int i = 0; i < 40; ++i)
        batch.push_back([&ran, i] {
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
            DeviceEvent event;
            event.deviceName = "B" + std::to_string(i);
            AppendAlarmLog(event);
            ran.push_back(i);
        });
    handoff.PostBatch(std::move(batch));
    handoff.Post([&] {
        linesBeforeHandler = logLines();
        ran.push_back(40);
    });
    QTimer::singleShot(0, [&] { ranBeforeTimer = int(ran.size()); });
    QElapsedTimer waited;
    waited.start();
    while (ran.size() < 42 && waited.elapsed() < 5000)
        QApplication::processEvents();
    ASSERT_EQ(ran.size(), 42u);
    for (int i = 0; i < 42; ++i)
        EXPECT_EQ(ran[size_t(i)], i - 1);
    EXPECT_GT(ranBeforeTimer, 1);
    EXPECT_LT(ranBeforeTimer, 41);  // 80 ms of one batch: the timer came between two of its items
    EXPECT_EQ(linesBeforeHandler, 40);

    // A batch run through leaves no turn behind that would later run new work ahead of an event the GUI
    // thread posted before that work was handed over.
    std::vector<std::string> order;
    std::vector<std::function<void()>> shortBatch;
    for (int i = 0; i < 3; ++i)
        shortBatch.push_back([&order] { order.push_back("batch"); });
    handoff.PostBatch(std::move(shortBatch));
    waited.restart();
    while (order.size() < 3 && waited.elapsed() < 5000)
        QApplication::processEvents();
    QMetaObject::invokeMethod(
        qApp, [&order] { order.push_back("posted"); }, Qt::QueuedConnection);
    handoff.Post([&order] { order.push_back("handed over"); });
    waited.restart();
    while (order.size() < 5 && waited.elapsed() < 5000)
        QApplication::processEvents();
    EXPECT_EQ(order, (std::vector<std::string>{"batch", "batch", "batch", "posted", "handed over"}));
}

}  // namespace network_gui_test
}  // namespace nms
