// The Operate menu's configuration commands and the transfer dialog against simulated devices, through
// the real network thread.
#include <arpa/inet.h>
#include <gtest/gtest.h>

#include <QApplication>
#include <QDeadlineTimer>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <atomic>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "app/config_transfer_dlg.h"
#include "device_simulator.h"
#include "devices/config_operation.h"
#include "devices/device_list_file.h"
#include "devices/network_thread.h"
#include "devices/qt_gui_handoff.h"
#include "event_recorder.h"
#include "pagebase/form_template_view.h"
#include "platform/prompt.h"
#include "qt_app_environment.h"

namespace nms {
namespace config_sim_test {

namespace fs = std::filesystem;
using test::DeviceSimulator;
using test::SimPacket;
using test::SimReply;

// Runs the event loop until done() holds, waking at each posted event (QTest::qWaitFor sleeps 10 ms per
// round, which a thousand-block transfer would feel).
template <typename Done>
bool WaitFor(Done done, int timeoutMs = 30000) {
    QDeadlineTimer deadline(timeoutMs);
    QTimer wake;
    wake.start(20);
    while (!done()) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    return true;
}

// The image a simulated device exports: block n of either format.
std::vector<uint8_t> ImageBlock(int n, int size) {
    std::vector<uint8_t> b(size);
    for (int i = 0; i < size; ++i)
        b[i] = uint8_t(n + i * 3);
    return b;
}

class ConfigSimTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(sim.Start());
        index = sim.AddDevice(test::SimLoopbackAddress(7), 0, 0x2101);
        ASSERT_GE(index, 0);
        device = std::make_shared<DeviceRecord>();
        device->deviceName = "Mux";
        device->typeCode = 0x2101;
        device->address = sim.Address(index);
        device->port = sim.Port(index);
        registry.Append(device);
        NetworkThread::Options options;
        options.bindAddress = htonl(INADDR_LOOPBACK);
        options.receiveBufferBytes = 1 << 20;
        net = std::make_unique<NetworkThread>(registry, gui, nullptr, options);
        ASSERT_TRUE(net->Start());
        sim.SetPeer(htonl(INADDR_LOOPBACK), net->LocalPort());
        net->Tick();  // the heartbeat reply brings the device online
        ASSERT_TRUE(WaitFor([&] { return events.Count("Device online") == 1; }, 10000));
        dir = fs::temp_directory_path() / ("cfg_sim_" + std::to_string(::getpid()));
        fs::create_directories(dir);
    }
    void TearDown() override {
        net->Stop();
        sim.Stop();
        fs::remove_all(dir);
    }

    // Answers export, erase and import as a device with the given formats would, and keeps what it was sent.
    void ServeTransfers(bool longFormat) {
        sim.SetHandler(index, [this, longFormat](const SimPacket& p) -> std::optional<SimReply> {
            if (p.command == 23)
                return SimReply{23, ImageBlock(p.b, longFormat ? 2048 : 1024), p.b,
                                uint8_t(longFormat ? 255 : 250)};
            if (p.command == 24)
                return SimReply{24, longFormat ? std::vector<uint8_t>{255} : std::vector<uint8_t>{}};
            if (p.command == 25) {
                std::lock_guard<std::mutex> lock(m_importMutex);
                m_imported.push_back(p);
                return SimReply{25, {}, p.b, p.c};
            }
            return std::nullopt;
        });
    }
    std::vector<SimPacket> Imported() {
        std::lock_guard<std::mutex> lock(m_importMutex);
        return m_imported;
    }

    DeviceSimulator sim;
    int index = -1;
    DeviceRegistry registry;
    DevicePtr device;
    QtGuiHandoff gui;
    std::unique_ptr<NetworkThread> net;
    ScriptedPrompt prompt;
    ScopedPrompt scope{&prompt};
    test::EventRecorder events;
    fs::path dir;
    std::mutex m_importMutex;
    std::vector<SimPacket> m_imported;
};

TEST_F(ConfigSimTest, OperationsSendCommand3AndThePageShowsStartAndSucceed) {
    CFormTemplateView page;
    page.SetDevice(device.get());
    auto post = [](std::function<void()> work) {
        QMetaObject::invokeMethod(qApp, std::move(work), Qt::QueuedConnection);
    };
    struct Case {
        int operation;
        const char* start;
        const char* succeed;
    } cases[] = {
        {1, "Save config ...", "Save config succeed!"},
        {2, "Reload config form flash ...", "Reload config succeed!"},
        {3, "Restore to factory default ...", "Restore to factory succeed!"},
    };
    for (const Case& c : cases) {
        events.Clear();
        prompt.shown.clear();
        const int before = sim.RequestCount(index, 3);
        ASSERT_TRUE(ConfigOperation(device, c.operation, post));
        EXPECT_EQ(prompt.shown.size(), c.operation == 1 ? 0u : 1u);
        ASSERT_TRUE(WaitFor([&] { return events.Count(c.succeed) == 1; }, 10000)) << c.operation;
        EXPECT_EQ(events.Texts(), (std::vector<std::string>{c.start, c.succeed}));
        const auto requests = sim.Requests(index);
        ASSERT_EQ(sim.RequestCount(index, 3), before + 1);
        for (auto it = requests.rbegin(); it != requests.rend(); ++it) {
            if (it->command != 3)
                continue;
            EXPECT_EQ(it->payload, std::vector<uint8_t>{uint8_t(c.operation)});
            break;
        }
        EXPECT_FALSE(page.IsBusy());
    }
    // Cancelled confirmation: nothing goes out.
    prompt.answers = {IDCANCEL};
    const int before = sim.RequestCount(index, 3);
    EXPECT_FALSE(ConfigOperation(device, 3, post));
    EXPECT_EQ(device->link->sendLength, 0);
    EXPECT_EQ(sim.RequestCount(index, 3), before);
}

TEST_F(ConfigSimTest, ExportThenImportRoundTripInBothFormats) {
    for (bool longFormat : {false, true}) {
        ServeTransfers(longFormat);
        const int blocks = longFormat ? 175 : 250;
        const int blockSize = longFormat ? 2048 : 1024;
        const std::string path = (dir / (longFormat ? "long.mux" : "short.mux")).string();
        {
            CConfigTransferDlg dlg(device.get(), 0);
            dlg.PathEdit()->setText(QString::fromStdString(path));
            dlg.StartButton()->click();
            ASSERT_TRUE(WaitFor([&] { return dlg.CancelButton()->text() == "Close"; }, 30000));
        }
        std::ifstream in(path, std::ios::binary);
        const std::vector<uint8_t> file{std::istreambuf_iterator<char>(in), {}};
        ASSERT_EQ(file.size(), size_t(114 + blocks * blockSize));
        const auto last = ImageBlock(blocks, blockSize);
        EXPECT_TRUE(std::equal(last.begin(), last.end(), file.end() - blockSize));
        EXPECT_EQ(device->busy, 0);

        // Back into the device: erase first, then every 1024-byte block of the file.
        {
            CConfigTransferDlg dlg(device.get(), 1);
            dlg.PathEdit()->setText(QString::fromStdString(path));
            EXPECT_FALSE(dlg.StartButton()->isEnabled());
            dlg.EraseButton()->click();
            ASSERT_TRUE(WaitFor([&] { return dlg.StartButton()->isEnabled(); }, 10000));
            EXPECT_EQ(dlg.Transfer().LongFormat(), longFormat);
            dlg.StartButton()->click();
            ASSERT_TRUE(WaitFor([&] { return dlg.CancelButton()->text() == "Close"; }, 30000));
        }
        const auto imported = Imported();
        const int total = (blocks * blockSize) / 1024;
        ASSERT_EQ(int(imported.size()), total);
        for (int i = 0; i < total; i += 97) {
            const size_t offset = longFormat ? 2 : 0;
            EXPECT_TRUE(std::equal(imported[i].payload.begin() + offset, imported[i].payload.end(),
                                   file.begin() + 114 + i * 1024))
                << i;
            EXPECT_EQ(imported[i].c, longFormat ? 255 : (i == 0 ? total + 1 : total) & 0xFF);
        }
        EXPECT_EQ(prompt.shown.back().text, "Import config to device succeed!");
        std::lock_guard<std::mutex> lock(m_importMutex);
        m_imported.clear();
    }
}

TEST_F(ConfigSimTest, SilentDeviceTimesOutAndClosingFreesIt) {
    sim.SetHandler(index, [](const SimPacket&) -> std::optional<SimReply> { return std::nullopt; });
    CConfigTransferDlg dlg(device.get(), 0);
    dlg.PathEdit()->setText(QString::fromStdString((dir / "x.mux").string()));
    dlg.StartButton()->click();
    ASSERT_TRUE(sim.WaitForRequests(index, 23, 1));
    EXPECT_EQ(device->busy, 1);
    ASSERT_TRUE(dlg.Timers().Fire(kTransferTimerId));
    EXPECT_EQ(events.Count("Operation timeout"), 1);
    EXPECT_EQ(device->busy, 0);
    EXPECT_FALSE(fs::exists(dir / "x.mux"));

    dlg.StartButton()->click();
    ASSERT_TRUE(sim.WaitForRequests(index, 23, 2));
    dlg.CancelButton()->click();
    EXPECT_EQ(device->busy, 0);
    EXPECT_EQ(fs::directory_iterator(dir) == fs::directory_iterator(), true);
}

}  // namespace config_sim_test
}  // namespace nms
