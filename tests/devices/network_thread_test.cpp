#include "devices/network_thread.h"

#include <arpa/inet.h>
#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>

#include "device_simulator.h"
#include "devices/device_events.h"
#include "devices/device_packet.h"
#include "devices/reply_receiver.h"
#include "devices/reply_routing.h"
#include "devices/reply_view.h"
#include "event_recorder.h"
#include "platform/data_folder.h"
#include "platform/prompt.h"
#include "queued_handoff.h"

namespace nms {
namespace network_thread_test {

using test::DeviceSimulator;
using test::FramePacket;
using test::SimReply;

struct Observer : INetworkObserver {
    void UpdateStatusIcon(DeviceRecord* device) override { icons.push_back(device->status.load() > 0); }
    void SetVersion(uint32_t v) override { versions.push_back(v); }
    void ShowCode(const uint8_t* payload, int length, const DeviceRecord*) override {
        codes.emplace_back(payload, payload + length);
    }
    std::vector<bool> icons;
    std::vector<uint32_t> versions;
    std::vector<std::vector<uint8_t>> codes;
};

// A page as the link sees it.
struct Receiver : IReplyReceiver {
    void OnDeviceReply(DeviceRecord* device, const ReplyView& reply) override {
        commands.push_back(reply.Command());
        payloads.push_back(reply.PayloadCopy());
        packetLengths.push_back(reply.PacketLength());
        if (onReply)
            onReply(reply);
    }
    void OnConfigOperation(int started, int operation) override {
        operations.push_back({started, operation});
    }
    void OnTimer(int id) override {
        timers.push_back(id);
        if (id == 4)
            PostDeviceEvent(device, "Operation timeout");
    }
    DeviceRecord* device = nullptr;
    std::vector<int> commands;
    std::vector<std::vector<uint8_t>> payloads;
    std::vector<int> packetLengths;
    std::vector<std::pair<int, int>> operations;
    std::vector<int> timers;
    std::function<void(const ReplyView&)> onReply;
};

class NetworkThreadTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::filesystem::remove(DataFilePath("alarmlog.txt"));
        ASSERT_TRUE(sim.Start());
    }
    void TearDown() override {
        if (net)
            net->Stop();
        gui.RunPending();
    }

    // A device of the simulator and its record in the list (status 0, as loaded).
    DevicePtr AddDevice(const char* name, uint16_t type = 0x2101, int* simIndex = nullptr) {
        const int index = sim.AddDevice(test::SimLoopbackAddress(nextAddress++), 0, type);
        EXPECT_GE(index, 0);
        if (simIndex)
            *simIndex = index;
        return AddRecord(name, sim.Address(index), sim.Port(index), type);
    }
    DevicePtr AddRecord(const char* name, uint32_t address, uint16_t port, uint16_t type) {
        auto d = std::make_shared<DeviceRecord>();
        d->deviceName = name;
        d->typeCode = type;
        d->address = address;
        d->port = port;
        registry.Append(d);
        return d;
    }
    void StartNet() {
        NetworkThread::Options options;
        options.bindAddress = htonl(INADDR_LOOPBACK);
        options.receiveBufferBytes = 1 << 20;
        net = std::make_unique<NetworkThread>(registry, gui, &observer, options);
        ASSERT_TRUE(net->Start());
        sim.SetPeer(htonl(INADDR_LOOPBACK), net->LocalPort());
    }
    // One heartbeat tick; returns when `answers` datagrams came back and their GUI work ran.
    void Tick(int answers) {
        const uint64_t passes = net->Stats().heartbeatPasses.load();
        const uint64_t before = net->Stats().processed.load();
        net->Tick();
        ASSERT_TRUE(gui.RunUntil([&] {
            return net->Stats().heartbeatPasses.load() > passes &&
                   net->Stats().processed.load() >= before + answers;
        })) << "passes "
            << net->Stats().heartbeatPasses.load() << " heartbeats " << net->Stats().heartbeats.load()
            << " datagrams " << net->Stats().datagrams.load() << " processed "
            << net->Stats().processed.load();
    }
    // Waits until n more datagrams were taken by the network thread and their GUI work ran.
    void AwaitDatagrams(uint64_t before, int n) {
        ASSERT_TRUE(gui.RunUntil([&] { return net->Stats().processed.load() >= before + n; }));
        gui.RunPending();
    }

    DeviceSimulator sim;
    DeviceRegistry registry;
    test::QueuedHandoff gui;
    Observer observer;
    test::EventRecorder events{/*appendToLog=*/true};
    std::unique_ptr<NetworkThread> net;
    int nextAddress = 0;
};

TEST(CheckedPacketLength, VerifiesCrcAndLengthField) {
    const auto good = FramePacket(0x2101, 0x40, {1, 2, 3});
    EXPECT_EQ(test::FramePacket(0x2101, 1, {}).size(), 11u);
    EXPECT_EQ(CheckedPacketLength(good.data(), int(good.size())), 10);
    auto badCrc = good;
    badCrc.back() ^= 1;
    EXPECT_EQ(CheckedPacketLength(badCrc.data(), int(badCrc.size())), -1);
    // Length field says 4 but 3 arrived: CRC recomputed so only the field is wrong.
    std::vector<uint8_t> mismatch = {0x21, 0x01, 1, 1, 0x40, 0, 4, 1, 2, 3};
    mismatch.resize(14);
    AppendCrc32(mismatch.data(), 10);
    EXPECT_EQ(CheckedPacketLength(mismatch.data(), 14), -1);
    EXPECT_EQ(CheckedPacketLength(good.data(), 6), -1);  // shorter than a header
    // 0x3101 with a bad CRC: the whole datagram, as long as its length field fits.
    auto sas = FramePacket(0x3101, 0x40, {9, 8});
    sas.back() ^= 0xFF;
    EXPECT_EQ(CheckedPacketLength(sas.data(), int(sas.size())), int(sas.size()));
    std::vector<uint8_t> sasNoCrc = {0x31, 0x01, 1, 1, 0x40, 0, 2, 9, 8};
    EXPECT_EQ(CheckedPacketLength(sasNoCrc.data(), 9), 9);
    std::vector<uint8_t> sasTooLong = {0x31, 0x01, 1, 1, 0x40, 0, 9, 9, 8};
    EXPECT_EQ(CheckedPacketLength(sasTooLong.data(), 9), -1);
}

TEST_F(NetworkThreadTest, OnlineAndOfflineFollowTheHeartbeats) {
    int quietIndex = -1;
    DevicePtr never = AddDevice("never");
    DevicePtr answering = AddDevice("answering");
    DevicePtr quitting = AddDevice("quitting", 0x2101, &quietIndex);
    sim.SetSilent(0, true);
    answering->status.store(3);  // both answered before
    quitting->status.store(3);
    StartNet();

    Tick(2);
    EXPECT_EQ(never->status.load(), -1);
    EXPECT_EQ(answering->status.load(), 3);
    EXPECT_EQ(quitting->status.load(), 3);
    sim.SetSilent(quietIndex, true);
    for (int tick = 0; tick < 4; ++tick) {
        Tick(1);
        EXPECT_EQ(answering->status.load(), 3);
        const int expected[] = {2, 1, -1, -1};  // offline at the third silent tick
        EXPECT_EQ(quitting->status.load(), expected[tick]);
        EXPECT_EQ(events.Count("Device offline"), tick < 2 ? 1 : 2);
    }
    EXPECT_EQ(never->status.load(), -1);
    EXPECT_EQ(events.TextsOf("never"), std::vector<std::string>{"Device offline"});
    EXPECT_TRUE(events.TextsOf("answering").empty());
    EXPECT_EQ(events.TextsOf("quitting"), std::vector<std::string>{"Device offline"});
    EXPECT_EQ(observer.icons, (std::vector<bool>{false, false}));

    // Every event is one line of the alarm log, in its format.
    std::ifstream in(DataFilePath("alarmlog.txt"));
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);)
        lines.push_back(line + "\n");
    const auto recorded = events.Events();
    ASSERT_EQ(lines.size(), recorded.size());
    for (size_t i = 0; i < lines.size(); ++i)
        EXPECT_EQ(lines[i], AlarmLogLine(recorded[i]));
    EXPECT_EQ(lines[0].rfind("never   127.0.1.1   ASI Multiplexer(8ASI)   Device offline   ", 0), 0u);

    // A device that answers again comes back online once.
    sim.SetSilent(quietIndex, false);
    Tick(2);
    Tick(2);
    EXPECT_EQ(quitting->status.load(), 3);
    EXPECT_EQ(events.TextsOf("quitting"), (std::vector<std::string>{"Device offline", "Device online"}));
    EXPECT_EQ(observer.icons.back(), true);
}

TEST_F(NetworkThreadTest, BusyDevicesAndDevicesWithoutAddressOrPortGetNoHeartbeat) {
    int busyIndex = -1;
    DevicePtr busy = AddDevice("busy", 0x2101, &busyIndex);
    DevicePtr noAddress = AddRecord("no address", 0, 2009, 0x2101);
    DevicePtr noPort = AddRecord("no port", test::SimLoopbackAddress(50), 0, 0x2101);
    DevicePtr plain = AddDevice("plain");
    busy->status.store(3);
    busy->busy.store(1);
    StartNet();
    for (int i = 0; i < 3; ++i)
        Tick(1);
    EXPECT_EQ(sim.RequestCount(busyIndex, 1), 0);
    EXPECT_EQ(busy->status.load(), 3);
    EXPECT_EQ(noAddress->status.load(), 0);
    EXPECT_EQ(noPort->status.load(), 0);
    EXPECT_EQ(net->Stats().heartbeats.load(), 3u);
    EXPECT_TRUE(events.TextsOf("busy").empty());
    EXPECT_TRUE(events.TextsOf("no address").empty());
}

TEST_F(NetworkThreadTest, MalformedAndForeignDatagramsAreDropped) {
    int index = -1, stranger = -1, sasIndex = -1;
    DevicePtr device = AddDevice("dev", 0x2101, &index);
    DevicePtr sas = AddDevice("sas", 0x3101, &sasIndex);
    stranger = sim.AddDevice(test::SimLoopbackAddress(nextAddress++), 0, 0x2101);  // not in the list
    Receiver page, sasPage;
    SetReplyWindow(device.get(), &page);
    SetReplyWindow(sas.get(), &sasPage);
    StartNet();

    using test::Malformation;
    const auto good = FramePacket(0x2101, 0x40, {1, 2, 3});
    std::vector<uint8_t> lengthTooSmall = {0x21, 0x01, 1, 1, 0x40, 0, 1, 1, 2, 3};
    lengthTooSmall.resize(14);
    AppendCrc32(lengthTooSmall.data(), 10);
    std::vector<std::vector<uint8_t>> dropped = {
        {0x21, 0x01, 1, 1, 0x40, 0},  // six bytes
        lengthTooSmall,
    };
    for (Malformation kind :
         {Malformation::BadCrc, Malformation::Short, Malformation::WrongType, Malformation::LengthMismatch})
        dropped.push_back(test::MalformedPacket(kind, 0x2101, 0x40, {1, 2, 3}));
    uint64_t before = net->Stats().processed.load();
    for (const auto& datagram : dropped)
        ASSERT_TRUE(sim.SendRaw(index, datagram));
    ASSERT_TRUE(sim.SendRaw(stranger, good));
    ASSERT_TRUE(sim.SendRaw(index, good));  // the one that counts, sent last
    AwaitDatagrams(before, int(dropped.size()) + 2);
    EXPECT_EQ(page.commands, std::vector<int>{0x40});
    EXPECT_EQ(page.packetLengths, std::vector<int>{10});
    EXPECT_EQ(net->Stats().dropped.load(), dropped.size() + 1);

    // 0x3101 with a bad CRC is taken whole.
    auto sasBad = FramePacket(0x3101, 0x41, {7, 7});
    sasBad.back() ^= 0x55;
    before = net->Stats().processed.load();
    ASSERT_TRUE(sim.SendRaw(sasIndex, sasBad));
    AwaitDatagrams(before, 1);
    ASSERT_EQ(sasPage.commands, std::vector<int>{0x41});
    EXPECT_EQ(sasPage.packetLengths[0], int(sasBad.size()));
    EXPECT_EQ(sasPage.payloads[0], (std::vector<uint8_t>{7, 7}));
    EXPECT_EQ(sas->link->lastReceivedLength, int(sasBad.size()));
}

TEST_F(NetworkThreadTest, OnlyTheFirstOfTwoDevicesWithOneEndpointGetsReplies) {
    int index = -1;
    DevicePtr first = AddDevice("first", 0x2101, &index);
    DevicePtr second = AddRecord("second", first->address, first->port, first->typeCode);
    Receiver page1, page2;
    SetReplyWindow(first.get(), &page1);
    SetReplyWindow(second.get(), &page2);
    StartNet();
    Tick(2);  // both get a heartbeat, both replies go to the first
    EXPECT_EQ(first->status.load(), 3);
    EXPECT_EQ(second->status.load(), -1);
    const uint64_t before = net->Stats().processed.load();
    sim.SendPacket(index, 0x40, {5});
    AwaitDatagrams(before, 1);
    EXPECT_EQ(page1.commands.size(), 1u);
    EXPECT_TRUE(page2.commands.empty());
}

TEST_F(NetworkThreadTest, VersionCodeAndSavedConfigurationBox) {
    int index = -1;
    DevicePtr device = AddDevice("dev", 0x2101, &index);
    ScriptedPrompt prompt;
    ScopedPrompt scope(&prompt);
    StartNet();
    device->status.store(3);

    // Version: the first four payload bytes, little-endian; a shorter reply changes nothing.
    sim.SetVersionPayload(index, {0x01, 0x05, 0x02, 0x12, 0xEE});
    uint64_t before = net->Stats().processed.load();
    SendCommand(2, 1, 1, device.get(), nullptr, 0);
    AwaitDatagrams(before, 1);
    EXPECT_EQ(device->version.load(), 0x12020501u);
    EXPECT_EQ(observer.versions, std::vector<uint32_t>{0x12020501u});
    sim.SetVersionPayload(index, {0x09, 0x09, 0x09});
    before = net->Stats().processed.load();
    SendCommand(2, 1, 1, device.get(), nullptr, 0);
    AwaitDatagrams(before, 1);
    EXPECT_EQ(device->version.load(), 0x12020501u);
    EXPECT_EQ(observer.versions.size(), 1u);

    // Heartbeat replies: an empty payload shows nothing, even with the saved bit.
    sim.SetHeartbeatReply(index, {}, true);
    Tick(1);
    EXPECT_TRUE(observer.codes.empty());
    EXPECT_TRUE(prompt.shown.empty());
    sim.SetHeartbeatReply(index, {0x34, 0x12}, false);
    Tick(1);
    EXPECT_EQ(observer.codes, (std::vector<std::vector<uint8_t>>{{0x34, 0x12}}));
    EXPECT_TRUE(prompt.shown.empty());
    sim.SetHeartbeatReply(index, {0x01}, true);
    Tick(1);
    ASSERT_EQ(prompt.shown.size(), 1u);
    EXPECT_EQ(prompt.shown[0].text, "dev(" + DottedAddress(device->address) + "):Save config succeed!");
}

TEST_F(NetworkThreadTest, ConfigurationOperationRestartAndTransferRouting) {
    int index = -1;
    DevicePtr device = AddDevice("dev", 0x2101, &index);
    Receiver page, transfer;
    page.device = device.get();
    StartNet();

    // Without a bound page, a restart neither ends a wait nor reports anything.
    uint64_t before = net->Stats().processed.load();
    sim.SendRestart(index);
    sim.SendPacket(index, 3, {1});
    AwaitDatagrams(before, 2);
    EXPECT_TRUE(events.Texts().empty());

    SetReplyWindow(device.get(), &page);
    SetTransferWindow(device.get(), &transfer);
    before = net->Stats().processed.load();
    sim.SendRestart(index);
    sim.SendPacket(index, 3, {0xFF});  // sign-extended
    sim.SendPacket(index, 3, {});      // no operation byte: ignored
    sim.SendPacket(index, 23, {1, 2});
    sim.SendPacket(index, 25, {});
    sim.SendPacket(index, 0x40, {});
    AwaitDatagrams(before, 6);
    EXPECT_EQ(page.timers, std::vector<int>{4});
    EXPECT_EQ(events.Texts(), (std::vector<std::string>{"Operation timeout", "Device restart"}));
    EXPECT_EQ(page.operations, (std::vector<std::pair<int, int>>{{0, -1}}));
    EXPECT_EQ(transfer.commands, (std::vector<int>{23, 25}));
    EXPECT_EQ(page.commands, std::vector<int>{0x40});
}

TEST_F(NetworkThreadTest, RequestsQueuedByAHandlerLeaveAfterItReturnsOnlyTheLast) {
    int index = -1;
    DevicePtr device = AddDevice("dev", 0x2101, &index);
    device->status.store(3);
    Receiver page;
    SetReplyWindow(device.get(), &page);
    StartNet();
    int sentBeforeReturn = -1;
    page.onReply = [&](const ReplyView&) {
        const uint8_t a = 0xA, b = 0xB;
        SendCommand(0x50, 1, 1, device.get(), &a, 1);
        SendCommand(0x51, 1, 1, device.get(), &b, 1);
        // The network thread waits for us: nothing may leave yet.
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        sentBeforeReturn = sim.RequestCount(index, 0x50) + sim.RequestCount(index, 0x51);
    };
    const uint64_t before = net->Stats().processed.load();
    sim.SendPacket(index, 0x40, {});
    AwaitDatagrams(before, 1);
    ASSERT_TRUE(sim.WaitForRequests(index, 0x51, 1));
    EXPECT_EQ(sentBeforeReturn, 0);
    EXPECT_EQ(sim.RequestCount(index, 0x50), 0);
    const auto requests = sim.Requests(index);
    ASSERT_FALSE(requests.empty());
    EXPECT_EQ(requests.back().payload, std::vector<uint8_t>{0xB});
}

// Page replies that queued up behind a handler reach the page in order, one handler after the other; a
// request that one of them queues leaves before the next reply is delivered.
TEST_F(NetworkThreadTest, QueuedPageRepliesFollowInOrderAndARequestLeavesBeforeTheNext) {
    int index = -1;
    DevicePtr device = AddDevice("dev", 0x2101, &index);
    device->status.store(3);
    Receiver page;
    SetReplyWindow(device.get(), &page);
    StartNet();
    constexpr int kReplies = 8;
    std::vector<bool> requestOut;  // per reply: had the request of reply 3 reached the device?
    page.onReply = [&](const ReplyView& reply) {
        const int i = reply.PayloadCopy().at(0);
        if (i <= 3) {
            requestOut.push_back(sim.RequestCount(index, 0x50) > 0);
        } else {
            requestOut.push_back(sim.WaitForRequests(index, 0x50, 1, std::chrono::milliseconds(500)));
        }
        if (i == 0) {
            for (int k = 1; k < kReplies; ++k)
                sim.SendPacket(index, 0x40, {uint8_t(k)});
            // They all arrive and wait while this handler runs.
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        } else if (i == 3) {
            SendCommand(0x50, 1, 1, device.get(), nullptr, 0);
        }
    };
    const uint64_t before = net->Stats().processed.load();
    sim.SendPacket(index, 0x40, {0});
    AwaitDatagrams(before, kReplies);
    ASSERT_EQ(int(page.payloads.size()), kReplies);
    for (int i = 0; i < kReplies; ++i)
        EXPECT_EQ(page.payloads[size_t(i)], std::vector<uint8_t>{uint8_t(i)}) << i;
    EXPECT_EQ(requestOut, (std::vector<bool>{false, false, false, false, true, true, true, true}));
    EXPECT_EQ(sim.RequestCount(index, 0x50), 1);
}

TEST_F(NetworkThreadTest, NoOtherPageReplyIsHandledWhileAHandlerIsInsideAModalBoxButHeartbeatsAre) {
    int index = -1, otherIndex = -1;
    DevicePtr device = AddDevice("dev", 0x2101, &index);
    DevicePtr other = AddDevice("other", 0x2101, &otherIndex);
    Receiver page;
    SetReplyWindow(device.get(), &page);
    StartNet();
    int handledInside = -1;
    int otherStatusInside = 0;
    page.onReply = [&](const ReplyView& reply) {
        if (reply.Command() != 0x40)
            return;
        sim.SendPacket(index, 0x41, {});  // arrives while the "box" is open
        net->Tick();                      // and so does the other device's heartbeat reply
        // The box's own event loop runs whatever the GUI thread gets meanwhile.
        ASSERT_TRUE(gui.RunUntil([&] { return other->status.load() == 3; }));
        gui.RunFor(std::chrono::milliseconds(30));
        handledInside = int(page.commands.size());
        otherStatusInside = other->status.load();
    };
    const uint64_t before = net->Stats().processed.load();
    sim.SendPacket(index, 0x40, {});
    AwaitDatagrams(before, 4);  // the two replies and the two heartbeat replies
    EXPECT_EQ(handledInside, 1);
    EXPECT_EQ(otherStatusInside, 3);
    EXPECT_EQ(page.commands, (std::vector<int>{0x40, 0x41}));
    EXPECT_EQ(events.Count("Device online"), 2);
}

// A device floods its shown page (a slow handler, as a busy page is) with replies and restarts: the page
// gets every one of them, in order, and the devices that answer their heartbeats meanwhile stay online.
TEST_F(NetworkThreadTest, AFloodOfPageRepliesNeverTakesOtherDevicesOffline) {
    int index = -1;
    DevicePtr flooding = AddDevice("flooding", 0x2101, &index);
    std::vector<DevicePtr> others;
    for (int i = 0; i < 3; ++i)
        others.push_back(AddDevice(("other" + std::to_string(i)).c_str()));
    Receiver page;
    page.device = flooding.get();
    SetReplyWindow(flooding.get(), &page);
    page.onReply = [](const ReplyView&) { std::this_thread::sleep_for(std::chrono::microseconds(1500)); };
    StartNet();
    Tick(4);
    ASSERT_EQ(events.Count("Device online"), 4);
    const int offlineBefore = events.Count("Device offline");  // the first tick's, before they answered
    constexpr int kFlood = 600;
    for (int i = 0; i < kFlood; ++i) {
        if (i % 3 == 2)
            sim.SendRestart(index);
        else
            sim.SendPacket(index, 0x40, {uint8_t(i >> 8), uint8_t(i)});
    }
    // Three silent heartbeats would take a device offline; the flood keeps the handler busy for longer.
    for (int t = 0; t < 5; ++t) {
        net->Tick();
        gui.RunFor(std::chrono::milliseconds(60));
    }
    for (const DevicePtr& d : others)
        EXPECT_GT(d->status.load(), 0) << d->deviceName;
    EXPECT_EQ(events.Count("Device offline"), offlineBefore);
    ASSERT_TRUE(gui.RunUntil([&] { return int(page.commands.size() + page.timers.size()) == kFlood; },
                             std::chrono::seconds(20)));
    int expected = 0;
    for (size_t i = 0; i < page.payloads.size(); ++i) {
        if (expected % 3 == 2)
            ++expected;
        ASSERT_EQ(page.payloads[i], (std::vector<uint8_t>{uint8_t(expected >> 8), uint8_t(expected)})) << i;
        ++expected;
    }
    EXPECT_EQ(int(page.timers.size()), kFlood / 3);
    EXPECT_EQ(events.Count("Device restart"), kFlood / 3);
    EXPECT_EQ(net->Stats().queueOverflows.load(), 0u);
}

TEST_F(NetworkThreadTest, StoppingWhileAHandlerIsInsideAModalBoxDoesNotHang) {
    int index = -1;
    DevicePtr device = AddDevice("dev", 0x2101, &index);
    Receiver page;
    SetReplyWindow(device.get(), &page);
    StartNet();
    bool stopped = false;
    page.onReply = [&](const ReplyView&) {
        // The operator closes the program from inside the box: the tree stops the link.
        net->Stop();
        stopped = !net->IsRunning();
    };
    sim.SendPacket(index, 0x40, {});
    ASSERT_TRUE(gui.RunUntil([&] { return stopped; }));
    // Replies that arrive now reach nobody; stopping again is harmless.
    net->Stop();
    net.reset();
}

TEST_F(NetworkThreadTest, StoppingWithAHandOffNobodyRunsDoesNotHang) {
    int index = -1;
    DevicePtr device = AddDevice("dev", 0x2101, &index);
    Receiver page;
    SetReplyWindow(device.get(), &page);
    StartNet();
    const uint64_t before = net->Stats().datagrams.load();
    sim.SendPacket(index, 0x40, {});
    // The GUI thread is busy elsewhere; the network thread waits in the hand-off.
    while (net->Stats().datagrams.load() < before + 1 || gui.QueuedCount() == 0)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    net->Stop();
    gui.RunPending();  // the abandoned delivery does not run
    EXPECT_TRUE(page.commands.empty());
}

TEST_F(NetworkThreadTest, DeviceRemovedFromTheListStaysValidForQueuedWork) {
    DevicePtr device = AddDevice("gone");
    StartNet();
    Tick(1);  // "Device online" is queued and run
    std::weak_ptr<DeviceRecord> weak = device;
    registry.Remove(device.get());
    device.reset();
    sim.SetSilent(0, true);
    net->Tick();
    gui.RunFor(std::chrono::milliseconds(20));
    EXPECT_EQ(events.Count("Device offline"), 1);  // only the first tick's, before it answered
    net->Stop();
    gui.RunPending();
    net.reset();
    EXPECT_TRUE(weak.expired());
}

}  // namespace network_thread_test
}  // namespace nms
