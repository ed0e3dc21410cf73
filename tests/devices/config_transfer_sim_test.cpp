// The configuration transfer through the network thread and a simulated device, with the test thread
// playing the GUI thread.
#include <arpa/inet.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <mutex>

#include "config_flash_sim.h"
#include "device_simulator.h"
#include "devices/config_transfer.h"
#include "devices/network_thread.h"
#include "devices/reply_receiver.h"
#include "devices/reply_routing.h"
#include "event_recorder.h"
#include "platform/prompt.h"
#include "queued_handoff.h"

namespace nms {
namespace config_transfer_sim_test {

namespace fs = std::filesystem;

// The dialog as the transfer and the link see it.
class TransferWindow : public IReplyReceiver, public IConfigTransferView {
public:
    explicit TransferWindow(DeviceRecord* device, bool import) : transfer(device, import, *this) {}
    void OnDeviceReply(DeviceRecord*, const ReplyView& reply) override { transfer.OnReply(reply); }
    void OnConfigOperation(int, int) override {}
    void OnTimer(int id) override {
        if (id == kTransferTimerId)
            transfer.OnTimeout();
    }
    void SetProgressRange(int) override {}
    void SetProgress(int) override {}
    void SetPercentText(const std::string& text) override { percent = text; }
    void SetBlockCountText(const std::string&) override {}
    void EnableStart(bool) override {}
    void BeginWait() override {}
    void EndWait() override {}
    void ShowFinished() override { finished = true; }

    ConfigTransfer transfer;
    std::string percent;
    bool finished = false;
};

TEST(ConfigTransferSim, ExportThenImportThroughTheNetworkThread) {
    ScriptedPrompt prompt;
    ScopedPrompt scope(&prompt);
    test::EventRecorder events;
    test::DeviceSimulator sim;
    ASSERT_TRUE(sim.Start());
    const int index = sim.AddDevice(test::SimLoopbackAddress(3), 0, 0x4101);
    ASSERT_GE(index, 0);
    std::mutex importedMutex;
    std::vector<std::vector<uint8_t>> imported;
    sim.SetHandler(index, [&](const test::SimPacket& p) -> std::optional<test::SimReply> {
        if (p.command == 23)
            return test::SimReply{23, std::vector<uint8_t>(1024, uint8_t(p.b)), p.b, 250};
        if (p.command == 24)
            return test::SimReply{24, {}};
        if (p.command == 25) {
            std::lock_guard<std::mutex> lock(importedMutex);
            imported.push_back(p.payload);
            return test::SimReply{25, {}, p.b, p.c};
        }
        return std::nullopt;
    });

    DeviceRegistry registry;
    auto device = std::make_shared<DeviceRecord>();
    device->deviceName = "QAM";
    device->typeCode = 0x4101;
    device->address = sim.Address(index);
    device->port = sim.Port(index);
    registry.Append(device);
    test::QueuedHandoff gui;
    NetworkThread::Options options;
    options.bindAddress = htonl(INADDR_LOOPBACK);
    options.receiveBufferBytes = 1 << 20;
    NetworkThread net(registry, gui, nullptr, options);
    ASSERT_TRUE(net.Start());
    sim.SetPeer(htonl(INADDR_LOOPBACK), net.LocalPort());
    net.Tick();
    ASSERT_TRUE(gui.RunUntil([&] { return device->status.load() > 0; }));

    const fs::path dir = fs::temp_directory_path() / ("cfg_sim_core_" + std::to_string(::getpid()));
    fs::create_directories(dir);
    const std::string path = (dir / "QAM.qam").string();
    {
        TransferWindow window(device.get(), false);
        SetTransferWindow(device.get(), &window);
        window.transfer.Start(path);
        ASSERT_TRUE(gui.RunUntil([&] { return window.finished; }));
        UnregisterReceiver(device.get(), &window);
    }
    EXPECT_EQ(fs::file_size(path), 114u + 250 * 1024);
    EXPECT_EQ(device->busy.load(), 0);
    {
        TransferWindow window(device.get(), true);
        SetTransferWindow(device.get(), &window);
        window.transfer.Erase();
        ASSERT_TRUE(gui.RunUntil([&] { return window.transfer.StartEnabled(); }));
        window.transfer.Start(path);
        ASSERT_TRUE(gui.RunUntil([&] { return window.finished; }));
        EXPECT_EQ(window.percent, "100%#3");
        UnregisterReceiver(device.get(), &window);
    }
    net.Stop();
    gui.RunPending();
    std::lock_guard<std::mutex> lock(importedMutex);
    ASSERT_EQ(imported.size(), 250u);
    EXPECT_EQ(imported[0], std::vector<uint8_t>(1024, 1));
    EXPECT_EQ(imported[249], std::vector<uint8_t>(1024, 250));
    EXPECT_EQ(events.Count("Export config form device succeed!"), 1);
    EXPECT_EQ(events.Count("Import config to device succeed!"), 1);
    fs::remove_all(dir);
}

// devsim's configuration flash in both formats: an export writes the header and the whole image, an
// import after an erase skips the erased blocks and finishes with "#2", and the flash then holds the image
// that was exported.
TEST(ConfigTransferSim, RoundTripThroughTheSimulatedFlash) {
    for (const bool longFormat : {false, true}) {
        SCOPED_TRACE(longFormat ? "long format" : "short format");
        ScriptedPrompt prompt;
        ScopedPrompt scope(&prompt);
        test::EventRecorder events;
        test::DeviceSimulator sim;
        ASSERT_TRUE(sim.Start());
        const int index = sim.AddDevice(test::SimLoopbackAddress(4), 0, 0x2101);
        ASSERT_GE(index, 0);
        auto flash = std::make_shared<test::ConfigFlashSim>(longFormat);
        const std::vector<uint8_t> original = flash->Image();
        sim.SetHandler(index, [flash](const test::SimPacket& p) -> std::optional<test::SimReply> {
            if (auto r = flash->Handle(p.command, p.b, p.c, p.payload))
                return test::SimReply{p.command, r->payload, r->b, r->c};
            return std::nullopt;
        });

        DeviceRegistry registry;
        auto device = std::make_shared<DeviceRecord>();
        device->deviceName = "Mux";
        device->typeCode = 0x2101;
        device->address = sim.Address(index);
        device->port = sim.Port(index);
        registry.Append(device);
        test::QueuedHandoff gui;
        NetworkThread::Options options;
        options.bindAddress = htonl(INADDR_LOOPBACK);
        options.receiveBufferBytes = 1 << 20;
        NetworkThread net(registry, gui, nullptr, options);
        ASSERT_TRUE(net.Start());
        sim.SetPeer(htonl(INADDR_LOOPBACK), net.LocalPort());
        net.Tick();
        ASSERT_TRUE(gui.RunUntil([&] { return device->status.load() > 0; }));

        const fs::path dir = fs::temp_directory_path() / ("cfg_flash_" + std::to_string(::getpid()));
        fs::create_directories(dir);
        const std::string path = (dir / "Mux.mux").string();
        {
            TransferWindow window(device.get(), false);
            SetTransferWindow(device.get(), &window);
            window.transfer.Start(path);
            ASSERT_TRUE(gui.RunUntil([&] { return window.finished; }));
            UnregisterReceiver(device.get(), &window);
        }
        std::ifstream in(path, std::ios::binary);
        const std::vector<uint8_t> file((std::istreambuf_iterator<char>(in)),
                                        std::istreambuf_iterator<char>());
        ASSERT_EQ(file.size(), size_t(kConfigHeaderSize) + original.size());
        EXPECT_TRUE(std::equal(original.begin(), original.end(), file.begin() + kConfigHeaderSize));
        {
            TransferWindow window(device.get(), true);
            SetTransferWindow(device.get(), &window);
            window.transfer.Erase();
            ASSERT_TRUE(gui.RunUntil([&] { return window.transfer.StartEnabled(); }));
            EXPECT_EQ(window.transfer.LongFormat(), longFormat);
            EXPECT_EQ(flash->Image(), std::vector<uint8_t>(original.size(), 0xFF));
            window.transfer.Start(path);
            ASSERT_TRUE(gui.RunUntil([&] { return window.finished; }));
            EXPECT_EQ(window.percent.substr(window.percent.size() - 2), "#2");
            UnregisterReceiver(device.get(), &window);
        }
        net.Stop();
        gui.RunPending();
        EXPECT_EQ(flash->ImportedBlocks(), 40);
        EXPECT_EQ(flash->Image(), original);
        EXPECT_EQ(events.Count("Export config form device succeed!"), 1);
        EXPECT_EQ(events.Count("Import config to device succeed!"), 1);
        EXPECT_EQ(device->busy.load(), 0);
        fs::remove_all(dir);
    }
}

}  // namespace config_transfer_sim_test
}  // namespace nms
